// The answer grid: its grids built from the question table, keying and moving
// through them, and what Save and Cancel leave on the data disk.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include "station/entry/frmNewEntry.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenHelpers.h"
#include "support/QtTestSupport.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Choose;
using mwtest::Find;
using mwtest::PressKey;
using mwtest::TypeKeys;

constexpr int kNewSlot = 3;

class AnswerGridTest : public mwtest::StationFixture {
protected:
    // Ann and Bob on the disk, and a new client in the free slot.
    void SetUp() override {
        LoadDisk({"Ann", "Bob"});
        original = DiskBytes();
        state.ClientRecords[kNewSlot] = newClient;
        state.CurrentRecord = kNewSlot;
    }

    // A question table whose item n has the nth of these second answer texts.
    void UseQuestions(const std::vector<std::string>& answer2) {
        programDir.Write("mw32.db", "");  // SQLite takes an empty file as an empty database
        auto db = Database::Open(programDir.File("mw32.db"), false);
        ASSERT_TRUE(db) << db.error().message;
        ctx.database = std::move(*db);
        std::string sql =
            "CREATE TABLE English (ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, "
            "ANSWER1 TEXT, ANSWER2 TEXT);";
        for (std::size_t i = 0; i < answer2.size(); ++i) {
            sql += "INSERT INTO English VALUES (" + std::to_string(i + 1) + ", 'Q', 'Q', 'A', '" +
                   answer2[i] + "');";
        }
        ASSERT_TRUE(ctx.database->Execute(sql));
    }
    // Shows the screen on the shipped question table, unless the test made its own.
    void Open() {
        if (!ctx.database) UseShippedQuestions();
        screen = std::make_unique<frmNewEntry>(ctx, nullptr);
        mwtest::ShowActive(screen.get());
    }

    QTableWidget* Grid(int index) const {
        return Find<QTableWidget>(screen.get(), ControlName("grdResponses", index));
    }
    QString Cell(int grid, int row, int column) const {
        return Grid(grid)->item(row, column)->text();
    }
    // The item numbers of a grid, top to bottom.
    QString Items(int grid) const {
        QStringList items;
        for (int row = 0; row < Grid(grid)->rowCount(); ++row) items << Cell(grid, row, 0);
        return items.join(QLatin1Char(' '));
    }
    QString Help() const { return Find<QLabel>(screen.get(), "MsgPanel")->text(); }
    std::string DiskBytes() const { return disk.Read("DATA401.MW"); }
    std::string WithAnswers(ClientRecord record, const std::string& answers) const {
        record.Answers = answers;
        return record.ToBytes();
    }

    const QString kX = QStringLiteral("X");
    std::string original;
    // As client information leaves it: no answers yet.
    const ClientRecord newClient = ClientRecord::FromBytes(mwtest::RecordFile({"Cy"}));
    std::unique_ptr<frmNewEntry> screen;
};

// Item 154 is the table's only Yes/No item: it has the last grid to itself.
TEST_F(AnswerGridTest, TheRealTableGivesOneGridPerTypeInTableOrderAndTabGoesGridToGrid) {
    Open();
    EXPECT_EQ(Find<QLabel>(screen.get(), "lblClientName")->text(), QStringLiteral("Cy"));
    const struct {
        int rows, columns;
        const char* help;
    } grids[] = {
        {93, 3, "0=No answer, 1=True, 2=False, Tab=Next grid"},
        {29, 5, "0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, 4=Very Often, Tab=Next grid"},
        {24, 6,
         "0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very Often, Tab=Next "
         "grid"},
        {13, 5, "0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid"},
        {1, 3, "0=No answer, 1=Yes, 2=No, Tab=Next grid"},
    };
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Grid(i)->rowCount(), grids[i].rows);
        EXPECT_EQ(Grid(i)->columnCount(), grids[i].columns);
        EXPECT_TRUE(Grid(i)->hasFocus());
        EXPECT_EQ(Help(), QString::fromUtf8(grids[i].help));
        PressKey(Qt::Key_Tab);
    }
    EXPECT_EQ(screen->findChild<QTableWidget*>(QStringLiteral("grdResponses_5")), nullptr);
    EXPECT_EQ(Items(4), QStringLiteral("154."));
    EXPECT_EQ(Grid(0)->currentRow(), 0);
    EXPECT_TRUE(mwtest::Choice(screen.get(), frmNewEntry::kSave)->hasFocus());
}

// A refused write keeps everything keyed until the disk is mended; another
// data disk in the drive is refused until the right one is back.
TEST_F(AnswerGridTest, DigitsStoreAnswersTheCursorRunsBetweenTheGridsAndSaveWaitsForTheDisk) {
    Open();
    QTableWidget* trueFalse = Grid(0);
    // "3" is no answer here and Up has no item above: each beeps. Left and Right do nothing.
    TypeKeys("3");
    for (int key : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Right}) PressKey(key);
    EXPECT_EQ(platform.beeps, 2);
    EXPECT_EQ(trueFalse->currentRow(), 0);
    EXPECT_EQ(trueFalse->currentColumn(), 0);

    TypeKeys("2");
    EXPECT_EQ(Cell(0, 0, 2), kX);
    EXPECT_EQ(trueFalse->item(0, 2)->background().color(), QColor(0, 255, 0));
    EXPECT_EQ(trueFalse->item(1, 1)->background().color(), QColor(kFocusColor));
    PressKey(Qt::Key_Up);
    TypeKeys("0");  // takes the answer back
    EXPECT_EQ(Cell(0, 0, 2), QString());

    // 17 rows are in view; past them the row above the current one goes to the top.
    TypeKeys(std::string(15, '1'));
    EXPECT_EQ(trueFalse->currentRow(), 16);
    EXPECT_EQ(trueFalse->verticalScrollBar()->value(), 0);
    TypeKeys("2");
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
    TypeKeys("1");
    EXPECT_TRUE(Grid(1)->hasFocus());
    EXPECT_EQ(Grid(1)->currentRow(), 0);
    PressKey(Qt::Key_Tab);
    PressKey(Qt::Key_Up);
    TypeKeys("54");  // four answers only: "5" beeps
    EXPECT_EQ(platform.beeps, 3);
    EXPECT_TRUE(Grid(2)->hasFocus());
    TypeKeys("5");
    EXPECT_EQ(Cell(2, 0, 5), kX);
    // The last item of the last grid keeps the cursor and beeps.
    PressKey(Qt::Key_Tab);
    PressKey(Qt::Key_Tab);
    TypeKeys("2");
    EXPECT_EQ(platform.beeps, 4);
    EXPECT_TRUE(Grid(4)->hasFocus());
    EXPECT_EQ(Cell(4, 0, 2), kX);

    fs.failWrites = errc::PermissionDenied;
    platform.Next(MsgAnswer::Cancel);  // the operator gives up for now
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(state.ClientRecords[kNewSlot].ToBytes(), newClient.ToBytes());
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(DiskBytes(), original);

    fs.failWrites.reset();
    disk.Write("DATA401.MW", mwtest::RecordFile({"Zed"}));
    platform.Next(MsgAnswer::Ok, [&] { disk.Write("DATA401.MW", original); });
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(platform.Texts(), (std::vector<QString>{QString::fromUtf8(kDataDiskWriteProtected),
                                                      QString::fromUtf8(kWrongDataDisk)}));
    std::string expected = "0" + std::string(15, '1') + "2" + std::string(143, '0');
    for (const auto& [item, code] : {std::pair{93, '1'}, {122, '4'}, {123, '5'}, {154, '2'}}) {
        expected[item - 1] = code;
    }
    EXPECT_EQ(DiskBytes(), original + WithAnswers(newClient, expected));
    EXPECT_EQ(state.RecordCount, 3);
    EXPECT_EQ(state.CurrentRecord, kNewSlot);
    EXPECT_TRUE(state.ListRefreshNeeded);
}

TEST_F(AnswerGridTest, CancelOnEnterNotSpaceDiscardsANewClientAndWritesNothing) {
    Open();
    TypeKeys("1212");
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
    EXPECT_EQ(Cell(0, 0, 2), kX);
    EXPECT_EQ(Cell(0, 3, 1), kX);
    EXPECT_EQ(Cell(0, 4, 1), QString());

    TypeKeys("1");
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(DiskBytes(), before.substr(0, kRecordSize) +
                               WithAnswers(state.ClientRecords[2], "1101" + std::string(156, '0')));
}

// Alternating types still give one grid each, in the order they first come;
// "No" makes a Yes/No item only as the whole text.
TEST_F(AnswerGridTest, ItemsOfOneTypeShareAGridWhateverTheirOrder) {
    UseQuestions({"False", "Often Happy", "False", "Often Calm", "False", "Not sure", "No"});
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
