#include "core/data/ScannedSheets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/data/Cp1252.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

const fs::path kSheetsDir = fs::path(MW_SOURCE_DIR) / "tests" / "core" / "data" / "golden";
const Date kToday{2024, 3, 5};

AnswerRanges ShippedRanges() {
    auto questions = Database::Open(MW_PROGRAM_DIR "/mw32.db", true);
    EXPECT_TRUE(questions) << questions.error().message;
    return questions ? ReadAnswerRanges(questions->get()) : AnswerRanges();
}

// "line N: inmate|age|sex|race|education|marital status|born|answers", each
// field trimmed, an item to key as "?"; with the name after the inmate
// number where names come from the file.
std::string Records(const SheetFile& file, bool names) {
    std::string text = "layout " + std::string(file.layout->name) + "\n";
    for (const ScannedSheet& sheet : file.sheets) {
        const ClientRecord& c = sheet.client;
        std::string answers(c.Answers.View());
        std::ranges::replace(answers, ' ', '?');
        text += "line " + std::to_string(sheet.line) + ": ";
        if (names) text += Cp1252ToUtf8(Trim(c.Name.View())) + "|";
        for (std::string_view field :
             {c.IDNumber.View(), c.Age.View(), c.Gender.View(), c.Race.View(), c.Education.View(),
              c.MaritalStatus.View(), c.DateOfBirth.View()}) {
            text += Cp1252ToUtf8(Trim(field)) + "|";
        }
        text += answers + "\n";
    }
    for (const SheetFile::Repeat& repeat : file.repeats) {
        text += "line " + std::to_string(repeat.line) + ": repeats line " +
                std::to_string(repeat.sameAs) + "\n";
    }
    return text;
}

// Each folder under golden/ holds one program's sheet file as that program
// writes it (SOURCE.md names the code it follows), and expected.txt: the
// layout chosen from its header, the records read from it, every item
// checked, and the lines read once because they repeat a sheet. A folder's
// name-column.txt names the column the client's names are taken from.
class SheetFileTest : public ::testing::TestWithParam<std::string> {};

TEST_P(SheetFileTest, ReadsAsTheProgramWroteIt) {
    const fs::path dir = kSheetsDir / GetParam();
    fs::path sheetFile;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name != "expected.txt" && name != "name-column.txt" && name != "SOURCE.md") {
            sheetFile = entry.path();
        }
    }
    SheetChoice choice;
    if (fs::exists(dir / "name-column.txt")) {
        const std::string text = LocalFileSystem().ReadFile(dir / "name-column.txt").value();
        choice.nameColumn = Trim(text.substr(0, text.find_first_of("\r\n")));
    }
    Result<SheetFile> file =
        ReadSheetFile(LocalFileSystem(), sheetFile.string(), ShippedRanges(), kToday, choice);
    ASSERT_TRUE(file) << file.error().message;
    EXPECT_EQ(Records(*file, !choice.nameColumn.empty()),
              LocalFileSystem().ReadFile(dir / "expected.txt").value());
}

std::vector<std::string> SheetCases() {
    std::vector<std::string> cases;
    for (const auto& dir : fs::directory_iterator(kSheetsDir)) {
        cases.push_back(dir.path().filename().string());
    }
    std::ranges::sort(cases);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Layouts, SheetFileTest, ::testing::ValuesIn(SheetCases()),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::ranges::replace_if(
                                 name, [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

// The station's own header, `extra` columns added at the end, `drop` left out.
std::string Header(const std::string& extra = "", const std::string& drop = "") {
    std::string line = "InmateNumber,Age,Sex,Race,Education,MaritalStatus,DateOfBirth";
    for (int item = 1; item <= kItemCount; ++item) {
        if (std::to_string(item) != drop) line += "," + std::to_string(item);
    }
    return line + extra + "\n";
}

// A sheet under Header(): the inmate number, six client cells and 160 marks,
// all "1" unless the first is given.
std::string Sheet(const std::string& inmate, const std::string& client = ",,,,,",
                  const std::string& first = "1") {
    std::string line = inmate + "," + client + "," + first;
    for (int item = 2; item <= kItemCount; ++item) line += ",1";
    return line + "\n";
}

TEST(ScannedSheetsTest, AFileThatCannotBeReadRightIsRefusedNamingWhere) {
    const std::string ok = Header() + Sheet("A1");
    std::string amc = "\"A:id\"";
    std::string amcMarks;
    for (int item = 1; item <= kItemCount; ++item) {
        amc += ",\"TICKED:q" + std::to_string(item) + "\"";
        if (item > 1) amcMarks += ",\"A\"";
    }
    const struct {
        std::string text;
        std::string message;
        SheetChoice choice = {};
    } cases[] = {
        {"\n \r\n", "b.csv is empty: it holds no sheets"},
        {"\xFF\xFE" + ok, "b.csv:1: the file is not text in UTF-8 or Windows-1252"},
        {"A1,1,1\n", "b.csv:1: the header fits none of the layouts"},
        {Header(",File name"), "b.csv:1: the header fits both mirrorwise and formscanner"},
        {ok, "there is no sheet layout \"scantron\"", {"scantron", "", ""}},
        {ok, "b.csv:1: the header has no column Barcode for the inmate", {"", "Barcode", ""}},
        {ok, "b.csv:1: the header has no column Nom for the client's name", {"", "", "Nom"}},
        {Header(",Name") + Sheet("A1").substr(0, ok.size() - Header().size() - 1) + "," +
             std::string(26, 'x') + "\n",
         ":2:330: column Name: name \"xxxxxxxxxxxxxxxxxxxxxxxxxx\" is longer than 25",
         {"", "", "Name"}},
        {"\"Exam\",\"TICKED:q1\"\n\"1\",\"0;1\"\n",
         ":1: the header has no column A:<key> or a code column for the inmate number"},
        {amc + "\n\"1\",\"0;2\"" + amcMarks + "\n",
         ":2:5: column TICKED:q1: \"0;2\" is not a list of boxes (item 1)"},
        {"questionnaire_id,global_id,a_review,a\n", ":1: the header has no column for item 2"},
        {Header("", "17"), "b.csv:1: the header has no column for item 17"},
        {Header(",Sex"), "b.csv:1: the header names Sex twice"},
        {Header(",Score"), "b.csv:1: column Score is not one of the Mirrorwise sheet file columns"},
        {Header(",161"), "b.csv:1: column 161 is no item of the answer sheet"},
        {Header(",017"), "b.csv:1: columns 17 and 017 both hold item 17"},
        {Header() + "A1,1,1\n", "b.csv:2: 3 cells where the header names 167 columns"},
        {ok + "\"A2," + Sheet(""), "b.csv:3: a quoted cell is not closed"},
        {ok + Sheet("A1", ",,,,,", "2"),
         "b.csv:3: inmate number A1 was already read on line 2 with other answers"},
        {Header() + Sheet(""), "b.csv:2:1: column InmateNumber: the sheet has no inmate"},
        {Header() + Sheet("A-1234567890"),
         "column InmateNumber: inmate number \"A-1234567890\" is "
         "longer than 11 characters"},
        {Header() + Sheet("\xC5\x81\xC3\xB3"
                          "d\xC5\xBA-1"),
         "column InmateNumber: inmate number \"\xC5\x81\xC3\xB3"
         "d\xC5\xBA-1\" has a character"},
        {Header() + Sheet("A1", "0,,,,,"), ":2:4: column Age: \"0\" is not a number from 1"},
        {Header() + Sheet("A\xC3\xA9"
                          "1",
                          "0,,,,,"),
         "b.csv:2:5: column Age:"},  // é is one column
        {Header() + Sheet("A1", ",3,,,,"), ":2:5: column Sex: \"3\" is not a code from 0 to 2"},
        {Header() + Sheet("A1", ",,,100,,"),
         "column Education: \"100\" is not a number from 1 to 99"},
        {Header() + Sheet("A1", ",,,,,02/31/1980"),
         ":2:9: column DateOfBirth: \"02/31/1980\" is not a date of birth"},
        {Header() + Sheet("A1", ",,,,,1980-03-15"), "column DateOfBirth: \"1980-03-15\" is not"},
        {Header() + Sheet("A1", ",,,,,03/06/2024"), "column DateOfBirth: \"03/06/2024\" is not"},
        {Header() + Sheet("A1", ",,,,,", "x"), ":2:10: column 1: \"x\" is not a mark (item 1)"},
        {Header() + Sheet("A1").substr(0, Sheet("A1").size() - 3) + "\n",
         ":2: 166 cells where the header names 167 columns"},
    };
    for (const auto& c : cases) {
        Result<SheetFile> file = ParseSheetFile(c.text, "b.csv", {}, kToday, c.choice);
        ASSERT_FALSE(file) << c.message;
        EXPECT_NE(file.error().message.find(c.message), std::string::npos) << file.error().message;
    }
}

// A sheet as the summary of the next test shows it: inmate number, name
// and the last two items, then what the office is warned of.
std::string Shown(const SheetFile& file) {
    std::string text;
    for (const ScannedSheet& sheet : file.sheets) {
        const ClientRecord& c = sheet.client;
        text += Cp1252ToUtf8(Trim(c.IDNumber.View())) + "|" + Cp1252ToUtf8(Trim(c.Name.View())) +
                "|" + std::string(c.Answers.View().substr(kItemCount - 2)) + " ";
    }
    for (const std::string& warning : SheetFileWarnings(file)) text += warning + " ";
    return text;
}

// What the file gives beside the answers, as the office sees it before
// anything is stored: the client's name from the column the office chose
// (the inmate number from another), a sheet whose last items have no mark,
// a line ended by a delimiter, a sheet repeated exactly (read once), and
// inmate numbers that a spreadsheet may have cut the leading zeros off.
TEST(ScannedSheetsTest, WhatTheFileGivesBesideTheAnswersIsReadAndShown) {
    const auto without = [](std::string sheet, std::size_t last) {
        return sheet.substr(0, sheet.size() - last);
    };
    std::string formScanner = "Nombre de archivo";
    for (int item = 1; item <= kItemCount; ++item) {
        formScanner += ";[EMPTY] Pregunta" +
                       std::string(item < 10    ? "00"
                                   : item < 100 ? "0"
                                                : "") +
                       std::to_string(item);
    }
    formScanner += "\n";
    const struct {
        std::string text;
        std::string shown;
        SheetChoice choice = {};
    } cases[] = {
        {Header() + without(Sheet("A1"), 2) + "\n", "A1||10 "},
        {Header() + without(Sheet("A1"), 1) + ",\n", "A1||11 "},
        {Header(",Name") + without(Sheet("A1"), 1) +
             ",Jos\xC3\xA9 Pe\xC3\xB1"
             "a\n",
         "A1|Jos\xC3\xA9 Pe\xC3\xB1"
         "a|11 ",
         {"", "", "name"}},
        {Header(",Name") + without(Sheet("A1"), 1) + ",\n", "A1||11 ", {"", "", "Name"}},
        {Header(",Barcode") + without(Sheet("A1"), 1) + ",B7\n",
         "B7|A1|11 ",
         {"", "Barcode", "InmateNumber"}},
        {Header() + Sheet("A1") + Sheet("A1"),
         "A1||11 Line 3 repeats the sheet of line 2 and is read once. "},
        {Header() + Sheet("4512") + Sheet("004513"),
         "4512||11 004513||11 The inmate numbers are digits of unequal lengths (4512, 004513): a "
         "spreadsheet may have cut off their leading zeros. Check them against the sheets before "
         "importing. "},
        {Header() + Sheet("0045") + Sheet("A4512"), "0045||11 A4512||11 "},
        {formScanner + "401.17;A|B" + std::string(kItemCount - 1, ';') + "\n", "401.17||00 "},
    };
    for (const auto& c : cases) {
        Result<SheetFile> file = ParseSheetFile(c.text, "b.csv", {}, kToday, c.choice);
        ASSERT_TRUE(file) << file.error().message;
        EXPECT_EQ(Shown(*file), c.shown) << c.text.substr(c.text.find('\n'));
    }
}

// The sample batch of the README, read against the shipped question table:
// the one item to key is the one it is made to show, and a blank item is
// not answered. A named layout is used as named.
TEST(ScannedSheetsTest, TheSampleBatchReadsAsTheReadmeSays) {
    const std::string sample = MW_SOURCE_DIR "/demo/scan-sample.csv";
    Result<SheetFile> file =
        ReadSheetFile(LocalFileSystem(), sample, ShippedRanges(), kToday, {"MIRRORWISE", "", ""});
    ASSERT_TRUE(file) << file.error().message;
    ASSERT_EQ(file->sheets.size(), 5u);
    EXPECT_FALSE(file->layoutFromHeader);
    std::vector<std::vector<int>> toKey;
    for (const ScannedSheet& sheet : file->sheets) {
        toKey.push_back(ItemsToKey(sheet.client.Answers.View()));
    }
    EXPECT_EQ(toKey, (std::vector<std::vector<int>>{{}, {17}, {}, {}, {}}));
    EXPECT_EQ(file->sheets[3].client.Answers[101], '0');
    EXPECT_EQ(Trim(file->sheets[3].client.DateOfBirth.View()), "N");
}

// A sheet is on the disk when a client has its inmate number and answers, an
// item to key matching any answer; once a client's name is deleted, its
// answers alone tell. Another client's inmate number with other answers is
// told apart, and a sheet without an inmate number matches none by number.
TEST(ScannedSheetsTest, ASheetIsFoundOnTheDiskByInmateNumberAndAnswersOrByAnswersOnceWiped) {
    StationState state;
    const auto add = [&](const std::string& id, char answer, const char* flag) {
        ClientRecord& client = state.ClientRecords[++state.RecordCount];
        client.IDNumber = id;
        client.Answers = std::string(kItemCount, answer);
        client.DeleteFlag = flag;
    };
    add("A1", '1', "0");
    add("", '2', "1");  // its name deleted
    add("", '3', "0");  // kept without an ID number
    const auto sheet = [](const std::string& id, char answer, int item = 0, char mark = ' ') {
        ClientRecord client;
        client.IDNumber = id;
        client.Answers = std::string(kItemCount, answer);
        if (item > 0) client.Answers[static_cast<std::size_t>(item - 1)] = mark;
        return client;
    };
    const struct {
        ClientRecord sheet;
        SheetMatch::Kind kind;
        int client;
    } cases[] = {
        {sheet("A1", '1'), SheetMatch::Stored, 1},
        {sheet("A1", '1', 5, ' '), SheetMatch::Stored, 1},
        {sheet("A1", '1', 5, '2'), SheetMatch::OtherAnswers, 1},
        {sheet("B7", '2'), SheetMatch::StoredNameDeleted, 2},
        {sheet("B7", '2', 9, ' '), SheetMatch::StoredNameDeleted, 2},
        {sheet("", '3'), SheetMatch::New, 0},
        {sheet("B7", '1'), SheetMatch::New, 0},
    };
    for (const auto& c : cases) {
        const SheetMatch match = MatchSheet(state, c.sheet);
        EXPECT_EQ(match.kind, c.kind) << c.sheet.ToBytes();
        EXPECT_EQ(match.client, c.client) << c.sheet.ToBytes();
    }
}

}  // namespace
}  // namespace mw
