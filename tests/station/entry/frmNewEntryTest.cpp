// The answer grid: its grids built from the question table, keying and moving
// through them, and what Save and Cancel leave on the data disk.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include "station/app/DiskRetry.h"
#include "station/entry/frmNewEntry.h"
#include "station/screen/ScreenHelpers.h"
#include "support/QtTestSupport.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Choose;
using mwtest::Find;
using mwtest::PressKey;

constexpr int kNewSlot = 3;

const char* const kHelp[] = {
    "0=No answer, 1=True, 2=False, Tab=Next grid",
    "0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, 4=Very Often, Tab=Next grid",
    "0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very Often, Tab=Next grid",
    "0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid",
    "0=No answer, 1=Yes, 2=No, Tab=Next grid",
};

class AnswerGridTest : public mwtest::StationFixture {
protected:
    void SetUp() override {
        LoadDisk({"Ann", "Bob"});
        original = DiskBytes();
    }

    // A question table of the given items (ID, second answer text).
    void UseQuestions(const std::vector<std::pair<int, std::string>>& items) {
        programDir.Write("mw32.db", "");  // SQLite takes an empty file as an empty database
        auto db = Database::Open(programDir.File("mw32.db"), false);
        ASSERT_TRUE(db) << db.error().message;
        ctx.database = std::move(*db);
        ASSERT_TRUE(ctx.database->Execute(
            "CREATE TABLE English (ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, "
            "ANSWER1 TEXT, ANSWER2 TEXT)"));
        for (const auto& [id, answer2] : items) {
            ASSERT_TRUE(ctx.database->Execute("INSERT INTO English VALUES (" + std::to_string(id) +
                                              ", 'Q', 'Q', 'A', '" + answer2 + "')"));
        }
    }
    // The free slot, filled as client information leaves a new client.
    void NewClient() {
        newClient.Name = "Cy";
        newClient.Answers = std::string(160, '0');
        newClient.DeleteFlag = "0";
        newClient.TodayDate = "03/05/2024";
        state.ClientRecords[kNewSlot] = newClient;
        state.CurrentRecord = kNewSlot;
    }
    void Open() {
        screen = std::make_unique<frmNewEntry>(ctx, nullptr);
        mwtest::ShowActive(screen.get());
    }
    void OpenForNewClient() {
        UseShippedQuestions();
        NewClient();
        Open();
    }

    QTableWidget* Grid(int index) const {
        return Find<QTableWidget>(screen.get(), ControlName("grdResponses", index));
    }
    // The item numbers of a grid, top to bottom.
    QString Items(int grid) const {
        QStringList items;
        for (int row = 0; row < Grid(grid)->rowCount(); ++row)
            items << Grid(grid)->item(row, 0)->text();
        return items.join(QLatin1Char(' '));
    }
    QString Help() const { return Find<QLabel>(screen.get(), "MsgPanel")->text(); }
    static void Type(const std::string& keys) { mwtest::TypeKeys(keys); }
    std::string DiskBytes() const { return disk.Read("DATA401.MW"); }
    std::string WithAnswers(ClientRecord record, const std::string& answers) const {
        record.Answers = answers;
        return record.ToBytes();
    }

    std::string original;
    ClientRecord newClient;
    std::unique_ptr<frmNewEntry> screen;
};

TEST_F(AnswerGridTest, TheRealTableGivesOneGridPerTypeInTableOrderAndTabGoesGridToGrid) {
    OpenForNewClient();
    EXPECT_EQ(Find<QLabel>(screen.get(), "lblClientName")->text(), QStringLiteral("Cy"));
    const std::vector<std::pair<int, int>> rowsAndColumns = {
        {93, 3}, {29, 5}, {24, 6}, {13, 5}, {1, 3}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Grid(i)->rowCount(), rowsAndColumns[i].first) << "grid " << i;
        EXPECT_EQ(Grid(i)->columnCount(), rowsAndColumns[i].second) << "grid " << i;
    }
    EXPECT_EQ(screen->findChild<QTableWidget*>(QStringLiteral("grdResponses_5")), nullptr);
    // Item 154 is the table's only Yes/No item: it has the last grid to itself.
    EXPECT_EQ(Items(3), QStringLiteral("147. 148. 149. 150. 151. 152. 153. 155. 156. 157. 158. "
                                       "159. 160."));
    EXPECT_EQ(Items(4), QStringLiteral("154."));

    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(Grid(i)->hasFocus()) << "grid " << i;
        EXPECT_EQ(Help(), QString::fromUtf8(kHelp[i]));
        PressKey(Qt::Key_Tab);
    }
    EXPECT_EQ(Grid(0)->currentRow(), 0);
    EXPECT_TRUE(mwtest::Choice(screen.get(), frmNewEntry::kSave)->hasFocus());
}

TEST_F(AnswerGridTest, DigitsStoreAnswersAndTheCursorRunsThroughAndBetweenTheGrids) {
    OpenForNewClient();
    QTableWidget* trueFalse = Grid(0);
    std::string expected(160, '0');

    // "3" is no answer here and Up has no item above: each beeps. Left and Right do nothing.
    Type("3");
    for (int key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Right}) PressKey(key);
    EXPECT_EQ(platform.beeps, 2);
    EXPECT_EQ(trueFalse->currentRow(), 0);
    EXPECT_EQ(trueFalse->currentColumn(), 0);

    Type("2");
    EXPECT_EQ(trueFalse->item(0, 2)->text(), QStringLiteral("X"));
    EXPECT_EQ(trueFalse->item(0, 2)->background().color(), QColor(0, 255, 0));
    EXPECT_EQ(trueFalse->item(1, 1)->background().color(), QColor(kFocusColor));
    PressKey(Qt::Key_Up);
    Type("0");  // takes the answer back
    EXPECT_EQ(trueFalse->item(0, 2)->text(), QString());

    // 17 rows are in view; past them the row above the current one goes to the top.
    Type(std::string(15, '1'));
    expected.replace(1, 15, 15, '1');
    EXPECT_EQ(trueFalse->currentRow(), 16);
    EXPECT_EQ(trueFalse->verticalScrollBar()->value(), 0);
    Type("2");
    expected[16] = '2';
    EXPECT_EQ(trueFalse->verticalScrollBar()->value(), 16);
    PressKey(Qt::Key_Up);
    EXPECT_EQ(trueFalse->verticalScrollBar()->value(), 16);
    PressKey(Qt::Key_Up);
    EXPECT_EQ(trueFalse->currentRow(), 15);
    EXPECT_EQ(trueFalse->verticalScrollBar()->value(), 14);

    // From the first row of a grid Up goes to the last of the one before;
    // keying the last item of a grid goes on to the first of the next.
    PressKey(Qt::Key_Tab);
    PressKey(Qt::Key_Up);
    EXPECT_TRUE(trueFalse->hasFocus());
    EXPECT_EQ(trueFalse->currentRow(), 92);
    Type("1");
    expected[92] = '1';
    EXPECT_TRUE(Grid(1)->hasFocus());
    EXPECT_EQ(Grid(1)->currentRow(), 0);
    EXPECT_EQ(Help(), QString::fromUtf8(kHelp[1]));

    PressKey(Qt::Key_Tab);
    PressKey(Qt::Key_Up);
    EXPECT_TRUE(Grid(1)->hasFocus());
    EXPECT_EQ(Grid(1)->currentRow(), 28);
    Type("5");  // four answers only
    EXPECT_EQ(platform.beeps, 3);
    Type("4");
    expected[121] = '4';
    EXPECT_TRUE(Grid(2)->hasFocus());
    Type("5");
    expected[122] = '5';
    EXPECT_EQ(Grid(2)->item(0, 5)->text(), QStringLiteral("X"));

    // The last item of the last grid keeps the cursor and beeps.
    PressKey(Qt::Key_Tab);
    PressKey(Qt::Key_Tab);
    Type("2");
    expected[153] = '2';
    EXPECT_EQ(platform.beeps, 4);
    EXPECT_TRUE(Grid(4)->hasFocus());
    EXPECT_EQ(Grid(4)->item(0, 2)->text(), QStringLiteral("X"));

    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(DiskBytes(), original + WithAnswers(newClient, expected));
    EXPECT_EQ(state.RecordCount, 3);
    EXPECT_EQ(state.CurrentRecord, kNewSlot);
    EXPECT_TRUE(state.ListRefreshNeeded);
}

TEST_F(AnswerGridTest, CancelOnEnterNotSpaceDiscardsANewClientAndWritesNothing) {
    OpenForNewClient();
    Type("1212");
    mwtest::Choice(screen.get(), frmNewEntry::kCancel)->setFocus();
    PressKey(Qt::Key_Space);
    EXPECT_TRUE(screen->isVisible());
    PressKey(Qt::Key_Return);
    EXPECT_EQ(screen->result(), QDialog::Rejected);
    EXPECT_EQ(state.ClientRecords[kNewSlot].ToBytes(), std::string(kRecordSize, ' '));
    EXPECT_EQ(state.CurrentRecord, 1);
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(DiskBytes(), original);
    EXPECT_FALSE(state.ListRefreshNeeded);
}

TEST_F(AnswerGridTest, AScannedClientIsCorrectedInPlaceWithItsMissingAnswersAsNone) {
    UseShippedQuestions();
    state.ClientRecords[2].Answers = "2101";  // the scan stopped after four answers
    ASSERT_TRUE(ctx.Store().SaveRecord(2));
    const std::string before = DiskBytes();
    state.CurrentRecord = 2;
    state.EditMode = true;
    state.ScanMode = true;
    platform.Next(MsgAnswer::Ok);
    Open();
    ASSERT_TRUE(mwtest::WaitUntil([&] { return !platform.shown.empty(); }));
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Scanned Answers Warning"));
    EXPECT_EQ(platform.shown[0].text, QStringLiteral("Scanned answers being populated for editing "
                                                     "but\nsome answers did not scan correctly.\n"
                                                     "Check responses carefully."));
    EXPECT_EQ(Grid(0)->item(0, 2)->text(), QStringLiteral("X"));
    EXPECT_EQ(Grid(0)->item(3, 1)->text(), QStringLiteral("X"));
    EXPECT_EQ(Grid(0)->item(4, 1)->text(), QString());

    Type("1");
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(DiskBytes(), before.substr(0, kRecordSize) +
                               WithAnswers(state.ClientRecords[2], "1101" + std::string(156, '0')));
}

TEST_F(AnswerGridTest, ARefusedWriteKeepsEverythingKeyedUntilTheDiskIsMended) {
    OpenForNewClient();
    Type("21");
    const std::string expected = "21" + std::string(158, '0');

    fs.failWrites = errc::PermissionDenied;
    platform.Next(MsgAnswer::Cancel);  // the operator gives up for now
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(Grid(0)->item(0, 2)->text(), QStringLiteral("X"));
    EXPECT_EQ(Grid(0)->item(1, 1)->text(), QStringLiteral("X"));
    EXPECT_EQ(state.ClientRecords[kNewSlot].ToBytes(), newClient.ToBytes());
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(DiskBytes(), original);

    // Another data disk in the drive: the store refuses it until the right one is back.
    fs.failWrites.reset();
    disk.Write("DATA401.MW", mwtest::RecordFile({"Zed"}));
    platform.Next(MsgAnswer::Ok, [&] { disk.Write("DATA401.MW", original); });
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(DiskBytes(), original + WithAnswers(newClient, expected));
    EXPECT_EQ(state.RecordCount, 3);
    EXPECT_EQ(platform.Texts(), (std::vector<QString>{QString::fromUtf8(kDataDiskWriteProtected),
                                                      QString::fromUtf8(kWrongDataDisk)}));
}

// Alternating types still give one grid each; "No" makes a Yes/No item only
// as the whole text.
TEST_F(AnswerGridTest, ItemsOfOneTypeShareAGridWhateverTheirOrder) {
    UseQuestions({{1, "False"},
                  {2, "Often Happy"},
                  {3, "False"},
                  {4, "Often Calm"},
                  {5, "False"},
                  {6, "Not sure"},
                  {7, "No"}});
    NewClient();
    Open();
    const std::vector<std::pair<QString, int>> itemsAndColumns = {{QStringLiteral("1. 3. 5."), 3},
                                                                  {QStringLiteral("2. 4."), 6},
                                                                  {QStringLiteral("6."), 5},
                                                                  {QStringLiteral("7."), 3}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Items(i), itemsAndColumns[i].first) << "grid " << i;
        EXPECT_EQ(Grid(i)->columnCount(), itemsAndColumns[i].second) << "grid " << i;
    }
    EXPECT_EQ(screen->findChild<QTableWidget*>(QStringLiteral("grdResponses_4")), nullptr);
}

TEST_F(AnswerGridTest, WithoutTheQuestionTableTheScreenSaysWhatIsMissingAndClosesUntouched) {
    NewClient();
    platform.Next(MsgAnswer::Ok);
    EXPECT_EQ(frmNewEntry(ctx, nullptr).exec(), QDialog::Rejected);
    UseQuestions({});
    ASSERT_TRUE(ctx.database->Execute("DROP TABLE English"));
    platform.Next(MsgAnswer::Ok);
    EXPECT_EQ(frmNewEntry(ctx, nullptr).exec(), QDialog::Rejected);

    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_TRUE(platform.shown[0].text.contains(QStringLiteral("question database")));
    EXPECT_TRUE(platform.shown[0].text.contains(QStringLiteral("mw32.db")));
    EXPECT_TRUE(platform.shown[1].text.contains(QStringLiteral("English")));
    EXPECT_EQ(platform.shown[1].icon, MsgIcon::Stop);
    EXPECT_EQ(state.CurrentRecord, kNewSlot);
    EXPECT_EQ(state.ClientRecords[kNewSlot].ToBytes(), newClient.ToBytes());
    EXPECT_EQ(DiskBytes(), original);
}

}  // namespace
}  // namespace mw
