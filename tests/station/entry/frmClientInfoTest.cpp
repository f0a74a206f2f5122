// Client information: keying a new client field by field, and correcting one
// with the edit limit. (A scanned client is confirmed along the scan route.)
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "station/entry/frmClientInfo.h"
#include "support/QtTestSupport.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Enter;
using mwtest::Find;
using mwtest::PressKey;
using mwtest::TypeText;

ClientRecord Client(const std::string& name, const std::string& timesEdited = " ",
                    const std::string& deleteFlag = "0") {
    ClientRecord r;
    r.Name = name;
    r.IDNumber = "123-45-6789";
    r.Age = "34";
    r.Gender = "2";
    r.Race = "2";
    r.Education = "12";
    r.MaritalStatus = "2";
    r.DateOfBirth = "01/02/1990";
    r.TodayDate = "02/01/2024";
    r.Answers = std::string(160, '1');
    r.timeseditted = timesEdited;
    r.DeleteFlag = deleteFlag;
    return r;
}

const QString kNameWanted = QStringLiteral("Enter client's name. Press Enter to continue.");
const QString kRaceWanted = QStringLiteral(
    "Press down arrow to select ethnicity or N/A for not available. Press Enter to continue.");
const QString kEducationWanted = QStringLiteral(
    "Enter number of years of education or N for not available. Press Enter to continue.");
const QString kDateWanted = QStringLiteral(
    "Enter Date of Birth month, day, year as MM/DD/YYYY or N for Not Available. Press Enter to "
    "continue.");
const QString kLimitText = QStringLiteral(
    "This client's information has been edited\n3 times already. Further editing of this\n"
    "information is no longer permitted.");
const QString kLastEditText = QStringLiteral(
    "This is the third and last change allowed to this client's information.\nIt is kept, and "
    "no further editing of this information is permitted.");

class ClientInfoTest : public mwtest::StationFixture {
protected:
    // A data disk holding Ann (record 1, Black) and Bob, loaded as at
    // start-up, with Ann selected in the main list.
    void SetUp() override {
        disk.Write("TID", "M-W\r\n");
        disk.Write("DATA401.MW", Client("Ann Lee").ToBytes() + Client("Bob Ray").ToBytes());
        state.DataPath = disk.Path();
        ASSERT_TRUE(ctx.Store().LoadRecords());
        onDisk = disk.Read("DATA401.MW");
    }

    // Shows the screen in the given mode and runs `act` while it is up.
    void Open(bool editMode, const std::function<void()>& act) {
        state.EditMode = editMode;
        mwtest::ModalDriver driver;
        frmClientInfo shown(ctx, nullptr);
        screen = &shown;
        driver.When<frmClientInfo>([&](frmClientInfo*) { act(); });
        shown.exec();
        EXPECT_TRUE(driver.Done());
    }

    QLineEdit* Box(const char* name) const { return Find<QLineEdit>(screen, name); }
    QComboBox* List(const char* name) const { return Find<QComboBox>(screen, name); }
    QPushButton* Ok() const { return mwtest::Choice(screen, frmClientInfo::kInformationOk); }
    QString Help() const { return Find<QLabel>(screen, "MsgPanel")->text(); }
    QString EditCount() const { return Find<QLabel>(screen, "lblEditCount")->text(); }
    bool Bold(int field) const {
        return Find<QLabel>(screen, QStringLiteral("lblInfo_%1").arg(field))->font().bold();
    }
    // Every text box, and the one inside each list.
    bool AllFieldsDisabled() const {
        const QList<QLineEdit*> boxes = Find(screen, "frClient")->findChildren<QLineEdit*>();
        return boxes.size() == frmClientInfo::kFieldCount &&
               std::none_of(boxes.begin(), boxes.end(),
                            [](QLineEdit* b) { return b->isEnabled(); });
    }
    static void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }
    // Each text into the field that has the focus by then, confirmed with Enter.
    static void EnterEach(std::initializer_list<const char*> texts) {
        for (const char* text : texts) Enter(QString::fromUtf8(text));
    }

    std::string Record(int n) const { return state.ClientRecords[n].ToBytes(); }
    // The one box that `act` makes the screen show (an empty one if none).
    MessageBox Said(const std::function<void()>& act) {
        const std::size_t before = platform.shown.size();
        platform.Next(MsgAnswer::Ok);
        act();
        EXPECT_EQ(platform.shown.size(), before + 1);
        return platform.shown.size() > before ? platform.shown.back() : MessageBox{};
    }
    // Waits for the box the screen shows as it opens, the `boxes`th of the test.
    void ExpectOpensLocked(std::size_t boxes, const QString& title, const QString& text) {
        ASSERT_TRUE(mwtest::WaitUntil([&] { return platform.shown.size() == boxes; }));
        EXPECT_EQ(platform.shown.back().title, title);
        EXPECT_EQ(platform.shown.back().text, text);
        EXPECT_TRUE(AllFieldsDisabled());
    }

    frmClientInfo* screen = nullptr;
    std::string onDisk;
};

// The new client repeats Ann's data exactly: still a new client. Its slot
// held a client of an earlier disk, locked by three edits: it starts afresh.
TEST_F(ClientInfoTest, ANewClientIsKeyedFieldByFieldIntoTheNextSlotAfresh) {
    state.ClientRecords[3] = Client("Old Disk", "3", "1");
    Open(false, [&] {
        EXPECT_TRUE(Box("txtName")->hasFocus());
        EXPECT_TRUE(Bold(frmClientInfo::kName));
        EXPECT_EQ(Help(), QStringLiteral("Type client's name (up to 25 characters) or N for not "
                                         "available, then press Enter."));
        Enter(QStringLiteral("Ann Lee"));
        EXPECT_TRUE(Box("txtIDNumber")->hasFocus());
        // What a screen reader says of it: its caption, and its help line.
        EXPECT_EQ(Box("txtIDNumber")->accessibleName(), QStringLiteral("ID #:"));
        EXPECT_EQ(Box("txtIDNumber")->accessibleDescription(), Help());
        EXPECT_FALSE(Bold(frmClientInfo::kName));
        EnterEach({"123-45-6789", "34", "2", "2", "12", "2", "01/02/1990"});
        EXPECT_TRUE(Ok()->hasFocus());
        PressKey(Qt::Key_Return);
    });
    EXPECT_TRUE(state.ChoiceConfirmed);
    EXPECT_EQ(state.CurrentRecord, 3);
    ClientRecord fresh = Client("Ann Lee", "0");
    fresh.TodayDate = "03/05/2024";  // the station's today
    fresh.Answers = std::string(160, '0');
    EXPECT_EQ(Record(3), fresh.ToBytes());
    EXPECT_EQ(Record(1), Client("Ann Lee").ToBytes());
    // The caller stores and counts the client.
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

// Race, education and the date are left by the mouse, not Enter, and
// marital status is skipped: a field left by the mouse is checked as it is
// left, and "Information OK" checks every field, in tab order.
TEST_F(ClientInfoTest, EachFieldTakesOnlyWhatItAllowsAndOkChecksThemAllInOrder) {
    Open(false, [&] {
        const MessageBox nameWanted = Said([&] { Click(Ok()); });
        EXPECT_EQ(nameWanted.text, kNameWanted);
        EXPECT_EQ(nameWanted.icon, MsgIcon::Stop);
        EXPECT_EQ(platform.beeps, 1);
        EXPECT_TRUE(Box("txtName")->hasFocus());
        EnterEach({"Bo", "n"});
        EXPECT_EQ(Box("txtIDNumber")->text(), QStringLiteral("N"));
        EXPECT_EQ(
            Said([] { TypeText(QStringLiteral("x")); }).text,
            QStringLiteral("Enter age in years or N for Not Available. Press Enter to continue."));
        EnterEach({"N5", "1"});
        EXPECT_EQ(Said([&] { Click(Box("txtEducation")); }).text, kRaceWanted);
        EXPECT_TRUE(List("cmbRace")->hasFocus());
        TypeText(QStringLiteral("1"));

        Click(Box("txtEducation"));
        EXPECT_EQ(Said([] { Enter(QStringLiteral("0")); }).text, kEducationWanted);
        EXPECT_TRUE(Box("txtEducation")->text().isEmpty());
        TypeText(QStringLiteral("1"));

        const QString futureError = QStringLiteral(
            "The date of birth 03/06/2024 is later than today's date. Enter Date of Birth as "
            "MM/DD/YYYY or N for Not Available. Press Enter to continue.");
        QLineEdit* dateOfBirth = Box("txtDateOfBirth");
        Click(dateOfBirth);
        // Too short ("1/1/1950"): said without a beep. A short date or one to
        // come is kept to be put right, and the box leaves the field in view.
        for (const auto& [refused, error] : {std::pair{"02/30/1960", kDateWanted},
                                             {"04/31/1960", kDateWanted},
                                             {"12/31/1889", kDateWanted},
                                             {"03/06/2024", futureError},
                                             {"1/1/1950", kDateWanted}}) {
            const bool tooShort = std::string_view(refused).size() < 10;
            const bool kept = tooShort || error == futureError;
            const int beeps = platform.beeps;
            const MessageBox said = Said([&] { Enter(QString::fromUtf8(refused)); });
            EXPECT_EQ(said.text, error) << refused;
            EXPECT_EQ(said.anchor, dateOfBirth);
            EXPECT_EQ(platform.beeps, tooShort ? beeps : beeps + 1) << refused;
            EXPECT_EQ(dateOfBirth->text(), kept ? QString::fromUtf8(refused) : QString());
            EXPECT_TRUE(dateOfBirth->hasFocus()) << refused;
            dateOfBirth->clear();
        }
        for (const char* accepted : {"12/31/2000", "01/01/1890", "03/05/2024"}) {
            dateOfBirth->setFocus();
            Enter(QString::fromUtf8(accepted));
            EXPECT_TRUE(Ok()->hasFocus()) << accepted;
        }
        // Left by the mouse, a good date is taken as "Information OK" takes
        // it: written out in full.
        dateOfBirth->setFocus();
        TypeText(QStringLiteral("1/2/1950"));

        EXPECT_EQ(Said([&] { Click(Ok()); }).text,
                  QStringLiteral("Press down arrow key to select marital status or N/A for not "
                                 "available. Press Enter to continue."));
        EXPECT_EQ(dateOfBirth->text(), QStringLiteral("01/02/1950"));
        EXPECT_TRUE(List("cmbMarital")->hasFocus());
        TypeText(QStringLiteral("5"));
        Click(Ok());
    });
    const ClientRecord& stored = state.ClientRecords[3];
    EXPECT_EQ(stored.Race.View(), "1");
    EXPECT_EQ(stored.MaritalStatus.View(), "5");
    EXPECT_EQ(stored.IDNumber.View(), "N          ");
    EXPECT_EQ(stored.Age.View(), "N5 ");
    EXPECT_EQ(stored.Education.View(), "1 ");
    EXPECT_EQ(stored.DateOfBirth.View(), "01/02/1950");
}

// An age that does not fit the date of birth on the test date is asked
// about, over the fields: No goes back to the age, Yes keeps both, and a
// pair that was kept is not asked about again. A year either way fits.
TEST_F(ClientInfoTest, AnAgeThatDoesNotFitTheDateOfBirthIsAskedAbout) {
    Open(false, [&] {
        EnterEach({"Cy", "n", "34", "1", "1", "12", "1"});
        platform.Next(MsgAnswer::No);
        Enter(QStringLiteral("03/15/2004"));
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_EQ(platform.shown[0].text,
                  QStringLiteral("The age 34 does not fit the date of birth 03/15/2004, by which "
                                 "the client is 19.\n\nKeep both as they are?"));
        EXPECT_EQ(platform.shown[0].anchor, Find(screen, "frClient"));
        EXPECT_TRUE(Box("txtAge")->hasFocus());

        Box("txtDateOfBirth")->setFocus();
        platform.Next(MsgAnswer::Yes);
        Enter(QStringLiteral("03/15/2004"));
        EXPECT_TRUE(Ok()->hasFocus());
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(state.ClientRecords[3].Age.View(), "34 ");

    // An edited client's age is the one it had when it was tested. The bytes
    // Windows-1252 leaves undefined show as U+FFFD and stay in the name.
    state.CurrentRecord = 1;
    state.ClientRecords[1].TodayDate = "02/01/2019";
    state.ClientRecords[1].Name =
        "Ann\x81 L\x9D"
        "e";
    Open(true, [&] {
        EXPECT_EQ(Box("txtName")->text(), QStringLiteral("Ann\uFFFD L\uFFFDe"));
        Box("txtAge")->setFocus();
        TypeText(QStringLiteral("29"));
        Click(Ok());
    });
    EXPECT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(state.ClientRecords[1].Age.View(), "29 ");
    EXPECT_EQ(Trim(state.ClientRecords[1].Name.View()),
              "Ann\x81 L\x9D"
              "e");
}

// A list opens when its text picks no entry. Escape keeps nothing keyed.
TEST_F(ClientInfoTest, ListsPickByCodeOrLetterOrOpenAndEscapeKeepsNothing) {
    const std::string before = Record(1) + Record(2) + Record(3);
    state.ChoiceConfirmed = true;
    Open(false, [&] {
        EnterEach({"Di", "n", "n"});
        QComboBox* gender = List("cmbGender");
        EXPECT_TRUE(gender->hasFocus());
        TypeText(QStringLiteral("2"));
        EXPECT_EQ(gender->currentText(), QStringLiteral("Female"));
        TypeText(QStringLiteral("n"));
        EXPECT_EQ(gender->currentText(), QStringLiteral("N/A"));
        PressKey(Qt::Key_Down);
        EXPECT_EQ(gender->currentText(), QStringLiteral("Male"));
        TypeText(QStringLiteral("3"));
        EXPECT_TRUE(gender->currentText().isEmpty());
        EXPECT_EQ(platform.beeps, 1);
        EXPECT_TRUE(platform.shown.empty());

        Enter(QStringLiteral("1"));
        QComboBox* race = List("cmbRace");
        EXPECT_TRUE(race->hasFocus());
        TypeText(QStringLiteral("N"));
        EXPECT_TRUE(race->view()->isVisible());
        race->hidePopup();
        EXPECT_EQ(Said([] { PressKey(Qt::Key_Return); }).text, kRaceWanted);
        EXPECT_TRUE(race->hasFocus());
        TypeText(QStringLiteral("5"));
        EXPECT_EQ(race->currentText(), QStringLiteral("Native American"));

        PressKey(Qt::Key_Return);
        Enter(QStringLiteral("12"));
        QComboBox* marital = List("cmbMarital");
        EXPECT_TRUE(marital->hasFocus());
        marital->setEditText(QStringLiteral("S"));
        // "S" alone opens the list too, and the mouse picks from it.
        QAbstractItemView* entries = marital->view();
        QTest::mouseClick(entries->viewport(), Qt::LeftButton, {},
                          entries->visualRect(entries->model()->index(4, 0)).center());
        EXPECT_EQ(marital->currentText(), QStringLiteral("Separated"));
        marital->setEditText(QStringLiteral("si"));
        EXPECT_EQ(marital->currentText(), QStringLiteral("Single"));
        PressKey(Qt::Key_Escape);
    });
    EXPECT_FALSE(state.ChoiceConfirmed);
    EXPECT_EQ(state.CurrentRecord, 1);
    EXPECT_EQ(Record(1) + Record(2) + Record(3), before);
}

// However a field is left, its check comes first, and a refused change
// never counts: with one edit left, none of these locks the client. The one
// that passes, left by Shift+Tab, is the last edit.
TEST_F(ClientInfoTest, AFieldIsCheckedHoweverItIsLeftAndARefusedChangeNeverCounts) {
    state.CurrentRecord = 1;
    state.ClientRecords[1].timeseditted = "2";
    Open(true, [&] {
        const auto shiftTab = [] { PressKey(Qt::Key_Backtab); };
        const struct {
            const char* field;
            const char* typed;
            std::function<void()> leave;
            QString error;
            const char* putBack;
        } refused[] = {
            // "Cancel Input" checks nothing; "Information OK" above it does.
            {"txtName", "                         ",
             [&] {
                 shiftTab();
                 PressKey(Qt::Key_Up);
             },
             kNameWanted, "Ann Lee"},
            {"txtEducation", "0", [&] { Click(Box("txtAge")); }, kEducationWanted, "12"},
            {"txtDateOfBirth", "13/45/1990", [&] { Click(Ok()); }, kDateWanted, "01/02/1990"},
            // A digit the list has no entry for empties it.
            {"cmbRace", "9", shiftTab, kRaceWanted, "2"},
        };
        for (const auto& [name, typed, leave, error, putBack] : refused) {
            QWidget* field = Find(screen, name);
            field->setFocus();
            TypeText(QString::fromUtf8(typed));
            const MessageBox said = Said(leave);
            EXPECT_EQ(said.text, error) << name;
            EXPECT_EQ(said.anchor, field) << name;
            EXPECT_TRUE(field->hasFocus()) << name;
            EXPECT_FALSE(Ok()->font().bold()) << name << ": the focus never stayed there";
            EXPECT_EQ(EditCount(), QStringLiteral("Edit 3 of 3")) << name;
            TypeText(QString::fromUtf8(putBack));
        }
        Box("txtAge")->setFocus();
        TypeText(QStringLiteral("35"));
        EXPECT_EQ(Said([] { PressKey(Qt::Key_Backtab); }).text, kLastEditText);
        EXPECT_TRUE(AllFieldsDisabled());
        PressKey(Qt::Key_Return);
    });
    EXPECT_TRUE(state.ChoiceConfirmed);
    ClientRecord edited = Client("Ann Lee", "3");
    edited.Age = "35";
    EXPECT_EQ(Record(1), edited.ToBytes());
}

// The screen shows which counted change comes next. A locked client is
// confirmed as it is, even with a field that today's checks would refuse
// (Delete Names blanks the ID number), and nothing of it is rewritten.
TEST_F(ClientInfoTest, ThreeChangedFieldsOverTwoVisitsOrADeletedNameLockTheClientForGood) {
    state.CurrentRecord = 1;
    Open(true, [&] {
        EXPECT_TRUE(Ok()->hasFocus());
        EXPECT_EQ(EditCount(), QStringLiteral("Edit 1 of 3"));
        EXPECT_EQ(List("cmbRace")->currentText(), QStringLiteral("Black"));
        List("cmbRace")->setFocus();
        Enter(QStringLiteral("3"));
        EXPECT_EQ(EditCount(), QStringLiteral("Edit 2 of 3"));
        // Back to the race and away again, unchanged: not counted.
        PressKey(Qt::Key_Backtab);
        PressKey(Qt::Key_Tab);
        Box("txtName")->setFocus();
        Enter(QStringLiteral("Ann Lea"));
        EXPECT_EQ(EditCount(), QStringLiteral("Edit 3 of 3"));
        mwtest::Choose(screen, frmClientInfo::kInformationOk);
    });
    EXPECT_EQ(state.Current().Race.View(), "3");
    EXPECT_EQ(state.Current().timeseditted.View(), "2");

    Open(true, [&] {
        Box("txtAge")->setFocus();
        const MessageBox limit = Said([] { Enter(QStringLiteral("35")); });
        EXPECT_EQ(limit.title, QStringLiteral("Edit Limit Reached"));
        EXPECT_EQ(limit.text, kLastEditText);
        EXPECT_EQ(EditCount(), QStringLiteral("No further edits are permitted."));
        EXPECT_TRUE(AllFieldsDisabled());
        EXPECT_TRUE(Ok()->hasFocus());
        EXPECT_EQ(Help(),
                  QStringLiteral("Exceeded limits of editing. No further editing is permitted."));
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(state.Current().Age.View(), "35 ");
    EXPECT_EQ(state.Current().Name.View(), "Ann Lea                  ");
    EXPECT_EQ(state.Current().timeseditted.View(), "3");

    platform.Next(MsgAnswer::Ok);
    Open(true, [&] {
        ExpectOpensLocked(2, QStringLiteral("Edit Limit Reached"), kLimitText);
        mwtest::Choose(screen, frmClientInfo::kCancelInput);
    });
    EXPECT_FALSE(state.ChoiceConfirmed);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);

    ClientRecord deleted = Client("Xqzv Wkpt", "1", "1");
    deleted.IDNumber = "";
    state.ClientRecords[2] = deleted;
    state.CurrentRecord = 2;
    platform.Next(MsgAnswer::Ok);
    Open(true, [&] {
        ExpectOpensLocked(3, QStringLiteral("Name Deleted"),
                          QStringLiteral("This client's name has been deleted.\nEditing this "
                                         "information is no longer permitted."));
        PressKey(Qt::Key_Return);
    });
    EXPECT_TRUE(state.ChoiceConfirmed);
    EXPECT_EQ(Record(2), deleted.ToBytes());
}

}  // namespace
}  // namespace mw
