// The answer grid: its grids built from the question table, keying and moving
// through them, and what Save and Cancel leave on the data disk.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
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
const QColor kGrey(160, 160, 160);

class AnswerGridTest : public mwtest::StationFixture {
protected:
    // Ann and Bob on the disk, and a new client in the free slot.
    void SetUp() override {
        LoadDisk({"Ann", "Bob"});
        original = DiskBytes();
        state.ClientRecords[kNewSlot] = newClient;
        state.CurrentRecord = kNewSlot;
    }

    // A question table of these items, in this order, each with these second answer texts.
    void UseQuestions(const std::vector<std::pair<int, std::string>>& items) {
        programDir.Write("mw32.db", "");  // SQLite takes an empty file as an empty database
        auto db = Database::Open(programDir.File("mw32.db"), false);
        ASSERT_TRUE(db) << db.error().message;
        ctx.database = std::move(*db);
        std::string sql =
            "CREATE TABLE English (ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, "
            "ANSWER1 TEXT, ANSWER2 TEXT);";
        for (const auto& [id, answer2] : items) {
            sql += "INSERT INTO English VALUES (" + std::to_string(id) + ", 'Q', 'Q', 'A', '" +
                   answer2 + "');";
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
    static bool CurrentRowInView(const QTableWidget* grid) {
        return grid->viewport()->rect().contains(
            grid->visualItemRect(grid->item(grid->currentRow(), 0)));
    }
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

// One grid per section, as on the paper sheet; item 154, the only Yes/No
// item of the multiple-choice section, takes two answers in its row. The
// window opens on the screen with Save, Cancel and the help line in sight
// without scrolling as a whole; made as small as an 800x600 screen leaves
// room for, it keeps them, and the current row in view.
TEST_F(AnswerGridTest, TheRealTableGivesOneGridPerSectionEachRowWithItsOwnAnswers) {
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
        {14, 5, "0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid"},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Find<QLabel>(screen.get(), ControlName("lblSection", i))->text(),
                  QStringLiteral("Section %1").arg(i + 1));
        EXPECT_EQ(Grid(i)->rowCount(), grids[i].rows);
        EXPECT_EQ(Grid(i)->columnCount(), grids[i].columns);
        EXPECT_TRUE(Grid(i)->hasFocus());
        EXPECT_EQ(Help(), QString::fromUtf8(grids[i].help));
        if (i < 3) PressKey(Qt::Key_Tab);
    }
    EXPECT_EQ(screen->findChild<QTableWidget*>(QStringLiteral("grdResponses_4")), nullptr);
    EXPECT_TRUE(screen->screen()->availableGeometry().contains(screen->frameGeometry()));
    EXPECT_EQ(screen->findChild<QScrollArea*>(QStringLiteral("scrContents")), nullptr)
        << "the window fits only by scrolling as a whole";
    screen->resize(screen->width(), 560);
    EXPECT_EQ(screen->height(), 560);
    for (QWidget* shown : {Find(screen.get(), "cmdMenuChoice_0"),
                           Find(screen.get(), "cmdMenuChoice_1"), Find(screen.get(), "MsgPanel")}) {
        EXPECT_TRUE(screen->rect().contains(
            QRect(shown->mapTo(screen.get(), QPoint(0, 0)), shown->size())));
    }
    EXPECT_TRUE(Items(3).startsWith(QStringLiteral("147. 148. ")));
    EXPECT_EQ(Cell(3, 7, 0), QStringLiteral("154."));
    for (int i = 0; i < 7; ++i) PressKey(Qt::Key_Down);
    EXPECT_EQ(Help(), QStringLiteral("0=No answer, 1=Yes, 2=No, Tab=Next grid"));
    EXPECT_EQ(Grid(3)->item(7, 2)->background().color(), QColor(kFocusColor));
    EXPECT_EQ(Grid(3)->item(7, 3)->background().color(), kGrey);
    EXPECT_EQ(Grid(3)->item(6, 4)->background().color(), QColor(Qt::white));
    TypeKeys("3");
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(Grid(3)->currentRow(), 7);
    for (int i = 0; i < 6; ++i) {
        PressKey(Qt::Key_Down);
        EXPECT_TRUE(CurrentRowInView(Grid(3))) << "row " << Grid(3)->currentRow();
    }
    EXPECT_NE(Grid(3)->verticalScrollBar()->value(), 0);
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(mwtest::Choice(screen.get(), frmNewEntry::kSave)->hasFocus());
}

// A clerk keys the sheet from its first item to its last without looking at
// the screen: every answer lands in its own item.
TEST_F(AnswerGridTest, KeyingTheWholeSheetInItemOrderStoresEveryAnswerInItsItem) {
    Open();
    std::string sheet;
    for (int item = 1; item <= kItemCount; ++item) {
        const int answers = item == 154 ? 2 : kSectionHighestAnswer[SectionOf(item)];
        sheet += static_cast<char>('1' + item % answers);
    }
    TypeKeys(sheet);
    EXPECT_EQ(platform.beeps, 1);  // at the last item, which keeps the cursor
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(DiskBytes(), original + WithAnswers(newClient, sheet));
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

    // The current row stays in view; once it would leave it, the row above
    // it goes to the top.
    while (trueFalse->verticalScrollBar()->value() == 0) {
        ASSERT_LT(trueFalse->currentRow(), 92);
        TypeKeys("1");
        ASSERT_TRUE(CurrentRowInView(trueFalse));
    }
    const int row = trueFalse->currentRow();
    EXPECT_EQ(trueFalse->verticalScrollBar()->value(), row - 1);
    PressKey(Qt::Key_Up);
    PressKey(Qt::Key_Up);
    EXPECT_TRUE(CurrentRowInView(trueFalse));

    // From the first row of a grid Up goes to the last of the one before;
    // keying the last item of a grid goes on to the first of the next.
    PressKey(Qt::Key_Tab);
    PressKey(Qt::Key_Up);
    EXPECT_TRUE(trueFalse->hasFocus());
    EXPECT_EQ(trueFalse->currentRow(), 92);
    EXPECT_TRUE(CurrentRowInView(trueFalse));
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

    fs.failWrites = errc::PermissionDenied;
    platform.Next(MsgAnswer::Cancel);  // the operator gives up for now
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(state.ClientRecords[kNewSlot].ToBytes(), newClient.ToBytes());
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(DiskBytes(), original);

    fs.failWrites.reset();
    const std::string theirs = mwtest::RecordFile({"Zed"});
    disk.Write("DATA401.MW", theirs);
    platform.Next(MsgAnswer::Ok, [&] {
        EXPECT_EQ(DiskBytes(), theirs);
        disk.Write("DATA401.MW", original);
    });
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(platform.Texts(), (std::vector<QString>{QString::fromUtf8(kDataDiskWriteProtected),
                                                      QString::fromUtf8(kWrongDataDisk)}));
    EXPECT_EQ(platform.shown[1].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(platform.shown[1].title, QStringLiteral("Data Disk Error"));
    std::string expected = "0" + std::string(row - 1, '1') + std::string(160 - row, '0');
    for (const auto& [item, code] : {std::pair{93, '1'}, {122, '4'}, {123, '5'}}) {
        expected[item - 1] = code;
    }
    EXPECT_EQ(DiskBytes(), original + WithAnswers(newClient, expected));
    EXPECT_EQ(AuditEvents(), std::vector<std::string>{"3 client added: keyed"});
    EXPECT_EQ(state.RecordCount, 3);
    EXPECT_EQ(state.CurrentRecord, kNewSlot);
    EXPECT_TRUE(state.ListRefreshNeeded);
}

// Cancel (on Enter, not Space) and the close box ask before keyed answers
// are thrown away, No first; with nothing keyed, or all of it taken back,
// they close at once. The grid writes nothing: the caller puts back what it
// prepared.
TEST_F(AnswerGridTest, LeavingWithoutSaveAsksFirstWhenAnswersWereKeyed) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Cancel",
         [&] {
             mwtest::Choice(screen.get(), frmNewEntry::kCancel)->setFocus();
             PressKey(Qt::Key_Space);
             PressKey(Qt::Key_Return);
         }},
        {"close box", [&] { screen->close(); }},
    };
    for (const auto& [way, leave] : ways) {
        SCOPED_TRACE(way);
        Open();
        TypeKeys("1212");
        platform.Next(MsgAnswer::No);
        leave();
        ASSERT_TRUE(screen->isVisible());
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_EQ(platform.shown[0].text,
                  QStringLiteral("Discard the 4 answers keyed on this screen?"));
        EXPECT_EQ(platform.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(platform.shown[0].defaultButton, 1);
        EXPECT_EQ(Cell(0, 3, 2), kX);
        platform.Next(MsgAnswer::Yes);
        leave();
        EXPECT_FALSE(screen->isVisible());
        EXPECT_EQ(screen->result(), QDialog::Rejected);
        platform.shown.clear();

        Open();
        TypeKeys("1");
        PressKey(Qt::Key_Up);
        TypeKeys("0");
        leave();
        EXPECT_FALSE(screen->isVisible());
        EXPECT_TRUE(platform.shown.empty());
    }
    EXPECT_EQ(state.ClientRecords[kNewSlot].ToBytes(), newClient.ToBytes());
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(DiskBytes(), original);
    EXPECT_FALSE(state.ListRefreshNeeded);
}

// A stored code the item has no answer for shows as none, and none is
// stored; the answers that did not scan are named and keyed from the first.
TEST_F(AnswerGridTest, AScannedClientIsCorrectedInPlaceWithItsMissingAnswersAsNone) {
    state.ClientRecords[2].Answers = "2301";  // a stray mark, and the scan stopped after four
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
                                                     "Check responses carefully.\n"
                                                     "Items to key: 5-160."));
    EXPECT_EQ(Cell(0, 0, 2), kX);
    EXPECT_EQ(Cell(0, 1, 1) + Cell(0, 1, 2), QString());
    EXPECT_EQ(Cell(0, 3, 1), kX);
    EXPECT_EQ(Cell(0, 4, 1), QString());

    TypeKeys("1");
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(DiskBytes(),
              before.substr(0, kRecordSize) +
                  WithAnswers(state.ClientRecords[2], "20011" + std::string(155, '0')));
    EXPECT_EQ(AuditEvents(), std::vector<std::string>{"2 answers changed: items 2, 5"});
}

// Items come in item order whatever the table's order, each in its
// section's grid; a section the table lacks has no grid.
TEST_F(AnswerGridTest, EachSectionsItemsShareAGridInItemOrder) {
    UseQuestions({{150, "No"}, {2, "False"}, {95, "Sometimes"}, {1, "False"}});
    Open();
    const char* const labelsAndItems[][2] = {
        {"Section 1", "1. 2."}, {"Section 2", "95."}, {"Section 4", "150."}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Find<QLabel>(screen.get(), ControlName("lblSection", i))->text(),
                  QString::fromUtf8(labelsAndItems[i][0]));
        EXPECT_EQ(Items(i), QString::fromUtf8(labelsAndItems[i][1])) << "grid " << i;
    }
    EXPECT_EQ(screen->findChild<QTableWidget*>(QStringLiteral("grdResponses_3")), nullptr);
}

// A locked client's answers are shown, and no key changes them. Save stores
// only what the client information screen confirmed just before: the edit
// that reached the limit.
TEST_F(AnswerGridTest, ALockedClientsAnswersAreOnlyShownAndSaveStoresOnlyTheLastEdit) {
    state.ClientRecords[2].Answers = "21";
    state.ClientRecords[2].timeseditted = "3";
    ASSERT_TRUE(ctx.Store().SaveRecord(2));
    const std::string stored = DiskBytes();
    state.CurrentRecord = 2;
    state.EditMode = true;
    Open();
    EXPECT_TRUE(Help().startsWith(QStringLiteral("This client's data may no longer be changed")));
    TypeKeys("12");
    EXPECT_EQ(platform.beeps, 2);
    EXPECT_EQ(Cell(0, 0, 2), kX);
    fs.failWrites = errc::PermissionDenied;  // a write would be refused
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);

    fs.failWrites.reset();
    state.ClientRecords[2].Age = "35";
    Open();
    Choose(screen.get(), frmNewEntry::kSave);
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(DiskBytes(), stored.substr(0, kRecordSize) + state.ClientRecords[2].ToBytes());
    EXPECT_EQ(state.ClientRecords[2].Age.View(), "35 ");
    EXPECT_EQ(AuditEvents(), std::vector<std::string>{"2 information edited: fields Age"});
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
