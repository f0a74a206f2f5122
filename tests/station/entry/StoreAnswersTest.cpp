// Every path that stores an answer takes for each item only the codes of
// the answers the item has in the question table.
#include <gtest/gtest.h>

#include <QTableWidget>
#include <functional>

#include "core/data/ScannedSheets.h"
#include "core/data/TestJournal.h"
#include "station/entry/frmNewEntry.h"
#include "station/entry/frmVerify.h"
#include "station/screen/ScreenHelpers.h"
#include "support/QtTestSupport.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::TypeKeys;

class StoreAnswersTest : public mwtest::StationFixture {
protected:
    void SetUp() override {
        LoadDisk({"Ann", "Bob"});
        UseShippedQuestions();
    }

    // Each path stores `key` for `item` of a client with no answers and
    // returns the code then stored for the item.
    char Grid(int item, char key) {
        state.CurrentRecord = static_cast<std::int16_t>(state.RecordCount + 1);
        state.Current() = ClientRecord::FromBytes(mwtest::RecordFile({"Cy"}));
        frmNewEntry screen(ctx, nullptr);
        mwtest::ShowActive(&screen);
        const int section = SectionOf(item);
        auto* grid = mwtest::Find<QTableWidget>(&screen, ControlName("grdResponses", section - 1));
        grid->setFocus();
        grid->setCurrentCell(item - SectionBounds[section - 1] - 1, 0);
        TypeKeys(std::string(1, key));
        mwtest::Choose(&screen, frmNewEntry::kSave);
        return state.ClientRecords[state.RecordCount].Answers[item - 1];
    }
    // The item is keyed as `key` in the blind pass, every other as 0; a
    // refused key is followed by 0. A taken one differs from the stored 0
    // and is keyed again in the correction pass.
    char Verify(int item, char key, bool taken) {
        state.CurrentRecord = 1;
        state.Current().Answers = std::string(kItemCount, '0');
        EXPECT_TRUE(ctx.Store().SaveRecord(1));
        for (int box = 0; box < (taken ? 2 : 1); ++box) platform.Next(MsgAnswer::Ok);
        frmVerify screen(ctx, nullptr);
        mwtest::ShowActive(&screen);
        TypeKeys(std::string(item - 1, '0') + key);
        TypeKeys(std::string(kItemCount - item + (taken ? 0 : 1), '0'));
        if (taken) TypeKeys(std::string(1, key));
        return state.ClientRecords[1].Answers[item - 1];
    }
    char Scan(int item, char key) {
        std::string header = "InmateNumber", sheet = "A1";
        for (int i = 1; i <= kItemCount; ++i) {
            header += "," + std::to_string(i);
            sheet += i == item ? std::string(",") + key : ",1";
        }
        Result<SheetFile> file =
            ParseSheetFile(header + "\n" + sheet, "b.csv", ReadAnswerRanges(ctx.database.get()),
                           clock.Today(), {});
        EXPECT_TRUE(file) << file.error().message;
        return file ? UnreviewedClient(file->sheets.front().client, "A1", clock.Today())
                          .Answers[item - 1]
                    : '?';
    }
    char Journal(int item, char key) {
        TestJournal journal;
        journal.Answers[item] = key - '0';
        Result<TestJournal> read =
            TestJournal::FromText(journal.ToText(), "j", ReadAnswerRanges(ctx.database.get()));
        EXPECT_TRUE(read) << read.error().message;
        return read ? static_cast<char>('0' + read->Answers[item]) : '?';
    }
};

// Item 154 is a Yes/No item among four-answer items; 147 opens the
// multiple-choice section (four answers), 146 ends the five-point one.
TEST_F(StoreAnswersTest, EachPathStoresOnlyTheCodesOfTheItemsOwnAnswers) {
    enum Path { kGrid, kVerify, kScan, kJournal };
    const struct {
        Path path;
        int item;
        char key;
        char stored;
    } cases[] = {
        {kGrid, 154, '3', '0'},    {kGrid, 154, '2', '2'},   {kGrid, 147, '5', '0'},
        {kGrid, 146, '5', '5'},    {kVerify, 154, '3', '0'}, {kVerify, 154, '2', '2'},
        {kVerify, 147, '5', '0'},  {kVerify, 146, '5', '5'}, {kScan, 154, '3', '0'},
        {kScan, 154, '2', '2'},    {kScan, 147, '5', '0'},   {kJournal, 154, '4', '0'},
        {kJournal, 153, '4', '4'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "path " << c.path << ", item " << c.item << ", key " << c.key);
        char stored = '?';
        switch (c.path) {
            case kGrid:
                stored = Grid(c.item, c.key);
                break;
            case kVerify:
                stored = Verify(c.item, c.key, c.stored != '0');
                break;
            case kScan:
                stored = Scan(c.item, c.key);
                break;
            case kJournal:
                stored = Journal(c.item, c.key);
                break;
        }
        EXPECT_EQ(stored, c.stored);
    }
}

}  // namespace
}  // namespace mw
