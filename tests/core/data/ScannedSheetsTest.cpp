#include "core/data/ScannedSheets.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

// One sheet line: the inmate number, six client cells and 160 marks, all "1"
// unless `marks` says otherwise for the first items.
std::string Sheet(const std::string& inmate, const std::string& client = ",,,,,",
                  const std::vector<std::string>& marks = {}) {
    std::string line = inmate + "," + client;
    for (int item = 1; item <= kItemCount; ++item) {
        line += "," + (item <= static_cast<int>(marks.size()) ? marks[item - 1] : "1");
    }
    return line;
}

std::string Header() {
    std::string line = "InmateNumber,Age,Sex,Race,Education,MaritalStatus,DateOfBirth";
    for (int item = 1; item <= kItemCount; ++item) line += "," + std::to_string(item);
    return line;
}

TEST(ScannedSheetsTest, SheetsReadTheirClientFieldsAndMarks) {
    const std::string text = "\xEF\xBB\xBF" + Header() + "\r\n" +
                             Sheet("\"A-1\"", "34,1,3,12,2,03/15/1980", {"2", "", "12", "*", "3"}) +
                             "\r\n\r\n" + Sheet("B2") + "\n";
    Result<std::vector<ScannedSheet>> sheets = ParseScannedSheets(text, "batch.csv", {});
    ASSERT_TRUE(sheets) << sheets.error().message;
    ASSERT_EQ(sheets->size(), 2u);
    const ScannedSheet& first = (*sheets)[0];
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(first.Gender, 1);
    EXPECT_EQ((std::vector<std::string>{first.InmateNumber, first.Age, first.Education,
                                        first.DateOfBirth}),
              (std::vector<std::string>{"A-1", "34", "12", "03/15/1980"}));
    EXPECT_EQ(first.Answers, "2    " + std::string(155, '1'));
    EXPECT_FALSE(first.AllMarksRead());

    // Fields the reader did not capture are not available.
    const ScannedSheet& second = (*sheets)[1];
    EXPECT_EQ((std::vector<std::string>{second.Age, second.Education, second.DateOfBirth}),
              (std::vector<std::string>{"N", "N", "N"}));
    EXPECT_TRUE(second.AllMarksRead());
    const ClientRecord client = ScannedClient(first, "Test#3", Date{2024, 3, 5});
    EXPECT_EQ(Trim(client.Name.View()), "Test#3");
    EXPECT_EQ(client.TodayDate.View(), "03/05/2024");
    EXPECT_EQ(client.Answers.View(), "20000" + std::string(155, '1'));

    // The sample batch of the README, read against the shipped question
    // table: its only unread marks are the two it is made to show.
    auto questions = Database::Open(MW_PROGRAM_DIR "/mw32.db", true);
    ASSERT_TRUE(questions) << questions.error().message;
    sheets = ReadScannedSheets(LocalFileSystem(), MW_SOURCE_DIR "/demo/scan-sample.csv",
                               ReadAnswerRanges(questions->get()));
    ASSERT_TRUE(sheets) << sheets.error().message;
    ASSERT_EQ(sheets->size(), 5u);
    std::vector<std::pair<std::size_t, int>> unread;
    for (std::size_t i = 0; i < sheets->size(); ++i) {
        for (int item = 1; item <= kItemCount; ++item) {
            if ((*sheets)[i].Answers[item - 1] == ' ') unread.emplace_back(i + 1, item);
        }
    }
    EXPECT_EQ(unread, (std::vector<std::pair<std::size_t, int>>{{2, 17}, {4, 102}}));
    EXPECT_EQ((*sheets)[3].DateOfBirth, "N");

    // A file of column names alone holds no sheets, but is no fault.
    sheets = ParseScannedSheets(Header() + "\n", "batch.csv", {});
    ASSERT_TRUE(sheets);
    EXPECT_TRUE(sheets->empty());
}

TEST(ScannedSheetsTest, ABadFileIsRefusedNamingTheFileAndTheLine) {
    const std::string ok = Sheet("A1") + "\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "b.csv is empty: it holds no sheets"},
        {"\n \r\n", "b.csv is empty: it holds no sheets"},
        {ok + "A2,1,1\n", "b.csv, line 2: 3 columns where a sheet has 167"},
        {Sheet("A1", ",,,,,", {"x"}), "b.csv, line 1: item 1: \"x\" is not a mark"},
        {ok + Sheet("A1"), "b.csv, line 2: inmate number A1 was already read on line 1"},
        {Sheet("A1", "34,3,,,,"), "b.csv, line 1: sex \"3\" is not a code from 0 to 2"},
        {Sheet("A1", ",,,,,1980-03-15"), "b.csv, line 1: date of birth \"1980-03-15\""},
        {Sheet("", ",,,,,"), "b.csv, line 1: the sheet has no inmate number"},
        {ok + "\"A2," + Sheet(""), "b.csv, line 2: a quoted cell is not closed"},
        {ok + Sheet("M\xFCller"), "b.csv, line 2: the file is not UTF-8 text"},
        {"\xFF\xFE" + ok, "b.csv, line 1: the file is not UTF-8 text"},
    };
    for (const auto& c : cases) {
        Result<std::vector<ScannedSheet>> sheets = ParseScannedSheets(c.text, "b.csv", {});
        ASSERT_FALSE(sheets) << c.message;
        EXPECT_EQ(sheets.error().message.substr(0, c.message.size()), c.message);
    }
}

}  // namespace
}  // namespace mw
