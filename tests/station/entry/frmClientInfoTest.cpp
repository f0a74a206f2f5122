// Client information: keying a new client field by field, correcting one
// with the edit limit, and confirming a scanned one.
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

ClientRecord Client(const std::string& name, const std::string& race,
                    const std::string& timesEdited = " ", const std::string& deleteFlag = "0") {
    ClientRecord r;
    r.Name = name;
    r.IDNumber = "123-45-6789";
    r.Age = "34";
    r.Gender = "2";
    r.Race = race;
    r.Education = "12";
    r.MaritalStatus = "2";
    r.DateOfBirth = "01/02/1990";
    r.TodayDate = "02/01/2024";
    r.Answers = std::string(160, '1');
    r.timeseditted = timesEdited;
    r.DeleteFlag = deleteFlag;
    return r;
}

// What "Information OK" makes of a new client keyed as `keyed`.
std::string NewClientBytes(ClientRecord keyed) {
    keyed.TodayDate = "03/05/2024";
    keyed.Answers = std::string(160, '0');
    keyed.timeseditted = "0";
    keyed.DeleteFlag = "0";
    return keyed.ToBytes();
}

const QString kRaceWanted = QStringLiteral(
    "Press down arrow to select ethnicity or N/A for not available. Press Enter to continue.");

QLineEdit* Box(QWidget* screen, const char* name) {
    return Find<QLineEdit>(screen, name);
}
QComboBox* List(QWidget* screen, const char* name) {
    return Find<QComboBox>(screen, name);
}
QPushButton* Ok(QWidget* screen) {
    return mwtest::Choice(screen, frmClientInfo::kInformationOk);
}
bool Bold(QWidget* screen, int field) {
    return Find<QLabel>(screen, QStringLiteral("lblInfo_%1").arg(field))->font().bold();
}
QString Help(QWidget* screen) {
    return Find<QLabel>(screen, "MsgPanel")->text();
}
// Each text into the field that has the focus by then, confirmed with Enter.
void EnterEach(std::initializer_list<const char*> texts) {
    for (const char* text : texts) Enter(QString::fromUtf8(text));
}
void Click(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton);
}
// Every text box, and the one inside each list.
bool AllFieldsDisabled(QWidget* screen) {
    const QList<QLineEdit*> boxes = Find(screen, "frClient")->findChildren<QLineEdit*>();
    return boxes.size() == frmClientInfo::kFieldCount &&
           std::none_of(boxes.begin(), boxes.end(), [](QLineEdit* b) { return b->isEnabled(); });
}

class ClientInfoTest : public mwtest::StationFixture {
protected:
    // A data disk holding Ann (record 1, Black) and Bob, loaded as at
    // start-up, with Ann selected in the main list.
    void SetUp() override {
        disk.Write("TID", "M-W\r\n");
        disk.Write("DATA401.MW",
                   Client("Ann Lee", "2").ToBytes() + Client("Bob Ray", "1").ToBytes());
        state.DataPath = disk.Path();
        ASSERT_TRUE(ctx.Store().LoadRecords());
        onDisk = disk.Read("DATA401.MW");
    }

    // Shows the screen in the given mode and runs `act` on it while it is up.
    void Open(bool editMode, const std::function<void(frmClientInfo*)>& act) {
        state.EditMode = editMode;
        mwtest::ModalDriver driver;
        driver.When<frmClientInfo>(act);
        frmClientInfo screen(ctx, nullptr);
        screen.exec();
        EXPECT_TRUE(driver.Done());
    }

    std::string Record(int n) const { return state.ClientRecords[n].ToBytes(); }
    const MessageBox& LastBox() const {
        static const MessageBox none;
        if (platform.shown.empty()) ADD_FAILURE() << "no message box was shown";
        return platform.shown.empty() ? none : platform.shown.back();
    }
    // The text of the one box that `act` makes the screen show.
    QString Said(const std::function<void()>& act) {
        const std::size_t before = platform.shown.size();
        platform.Next(MsgAnswer::Ok);
        act();
        EXPECT_EQ(platform.shown.size(), before + 1);
        return LastBox().text;
    }
    // Waits for the box the screen shows as it opens.
    void ExpectOpensWith(std::size_t boxes, const char* title) {
        ASSERT_TRUE(mwtest::WaitUntil([&] { return platform.shown.size() == boxes; }));
        EXPECT_EQ(LastBox().title, QString::fromUtf8(title));
    }

    std::string onDisk;
};

// The new client repeats Ann's data exactly: still a new client. Its slot
// held a client of an earlier disk, locked by three edits: it starts afresh.
TEST_F(ClientInfoTest, ANewClientIsKeyedFieldByFieldIntoTheNextSlotAfresh) {
    state.ClientRecords[3] = Client("Old Disk", "4", "3", "1");
    Open(false, [&](frmClientInfo* screen) {
        EXPECT_TRUE(Box(screen, "txtName")->hasFocus());
        EXPECT_TRUE(Bold(screen, frmClientInfo::kName));
        EXPECT_EQ(Help(screen), QStringLiteral("Type client's name (up to 25 characters) or N for "
                                               "not available, then press Enter."));
        Enter(QStringLiteral("Ann Lee"));
        EXPECT_TRUE(Box(screen, "txtIDNumber")->hasFocus());
        EXPECT_FALSE(Bold(screen, frmClientInfo::kName));
        EXPECT_TRUE(Bold(screen, frmClientInfo::kIDNumber));
        EnterEach({"123-45-6789", "34", "2", "2", "12", "2", "01/02/1990"});
        EXPECT_TRUE(Ok(screen)->hasFocus());
        PressKey(Qt::Key_Return);
    });
    EXPECT_TRUE(state.ChoiceConfirmed);
    EXPECT_EQ(state.CurrentRecord, 3);
    EXPECT_EQ(Record(3), NewClientBytes(Client("Ann Lee", "2")));
    EXPECT_EQ(Record(1), Client("Ann Lee", "2").ToBytes());
    // The caller stores and counts the client.
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

TEST_F(ClientInfoTest, EachFieldTakesOnlyWhatItAllowsAndSaysWhatItWants) {
    Open(false, [&](frmClientInfo* screen) {
        EXPECT_EQ(Said([] { PressKey(Qt::Key_Return); }),
                  QStringLiteral("Enter client's name. Press Enter to continue."));
        EXPECT_EQ(LastBox().icon, MsgIcon::Stop);
        EXPECT_EQ(platform.beeps, 1);
        EXPECT_TRUE(Box(screen, "txtName")->hasFocus());
        EnterEach({"Bo", "n"});
        EXPECT_EQ(Box(screen, "txtIDNumber")->text(), QStringLiteral("N"));

        EXPECT_EQ(
            Said([] { TypeText(QStringLiteral("x")); }),
            QStringLiteral("Enter age in years or N for Not Available. Press Enter to continue."));
        EnterEach({"N5", "1", "1"});
        EXPECT_EQ(Said([] { Enter(QStringLiteral("0")); }),
                  QStringLiteral("Enter number of years of education or N for not available. "
                                 "Press Enter to continue."));
        EXPECT_TRUE(Box(screen, "txtEducation")->text().isEmpty());
        EnterEach({"1", "1"});

        const QString dateError = QStringLiteral(
            "Enter Date of Birth month, day, year as MM/DD/YYYY or N for Not Available. Press "
            "Enter to continue.");
        QLineEdit* dateOfBirth = Box(screen, "txtDateOfBirth");
        // Too short ("1/1/1950"): said without a beep, and kept to be put right.
        for (const char* refused :
             {"02/30/1960", "04/31/1960", "12/31/1889", "03/06/2024", "1/1/1950"}) {
            const bool tooShort = std::string_view(refused).size() < 10;
            const int beeps = platform.beeps;
            EXPECT_EQ(Said([&] { Enter(QString::fromUtf8(refused)); }), dateError) << refused;
            EXPECT_EQ(platform.beeps, tooShort ? beeps : beeps + 1) << refused;
            EXPECT_EQ(dateOfBirth->text(), tooShort ? QString::fromUtf8(refused) : QString());
            EXPECT_TRUE(dateOfBirth->hasFocus()) << refused;
            dateOfBirth->clear();
        }
        for (const char* accepted : {"12/31/2000", "01/01/1890", "03/05/2024"}) {
            dateOfBirth->setFocus();
            Enter(QString::fromUtf8(accepted));
            EXPECT_TRUE(Ok(screen)->hasFocus()) << accepted;
        }
        Click(Ok(screen));
    });
    const ClientRecord& stored = state.ClientRecords[3];
    EXPECT_EQ(stored.IDNumber.View(), "N          ");
    EXPECT_EQ(stored.Age.View(), "N5 ");
    EXPECT_EQ(stored.Education.View(), "1 ");
    EXPECT_EQ(stored.DateOfBirth.View(), "03/05/2024");
}

// A list opens when its text picks no entry. Escape keeps nothing keyed.
TEST_F(ClientInfoTest, ListsPickByCodeOrLetterOrOpenAndEscapeKeepsNothing) {
    const std::string before = Record(1) + Record(2) + Record(3);
    state.ChoiceConfirmed = true;
    Open(false, [&](frmClientInfo* screen) {
        QComboBox* gender = List(screen, "cmbGender");
        gender->setFocus();
        ASSERT_TRUE(gender->hasFocus());
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

        QComboBox* race = List(screen, "cmbRace");
        race->setFocus();
        TypeText(QStringLiteral("N"));
        EXPECT_TRUE(race->view()->isVisible());
        EXPECT_EQ(race->currentText(), QStringLiteral("N"));
        race->hidePopup();
        EXPECT_EQ(Said([] { PressKey(Qt::Key_Return); }), kRaceWanted);
        EXPECT_TRUE(race->hasFocus());
        TypeText(QStringLiteral("5"));
        EXPECT_EQ(race->currentText(), QStringLiteral("Native American"));

        QComboBox* marital = List(screen, "cmbMarital");
        marital->setFocus();
        marital->setEditText(QStringLiteral("S"));
        EXPECT_TRUE(marital->view()->isVisible());
        // The mouse picks from the open list.
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

// Education and the date are keyed without Enter; race and marital status stay empty.
TEST_F(ClientInfoTest, RequiredFieldsAreCheckedInOrderAndTheDateIsWrittenInFull) {
    Open(false, [&](frmClientInfo* screen) {
        QPushButton* ok = Ok(screen);
        Said([&] { Click(ok); });
        EXPECT_TRUE(Box(screen, "txtName")->hasFocus());
        EnterEach({"Cy", "7", "40", "1"});
        Click(Box(screen, "txtEducation"));
        TypeText(QStringLiteral("12"));
        Click(Box(screen, "txtDateOfBirth"));
        TypeText(QStringLiteral("1/2/1950"));

        EXPECT_EQ(Said([&] { Click(ok); }), kRaceWanted);
        EXPECT_TRUE(List(screen, "cmbRace")->hasFocus());
        TypeText(QStringLiteral("1"));
        List(screen, "cmbMarital")->setFocus();
        TypeText(QStringLiteral("5"));
        Click(ok);
    });
    EXPECT_TRUE(state.ChoiceConfirmed);
    const ClientRecord& stored = state.ClientRecords[3];
    EXPECT_EQ(stored.Race.View(), "1");
    EXPECT_EQ(stored.MaritalStatus.View(), "5");
    EXPECT_EQ(stored.DateOfBirth.View(), "01/02/1950");
}

TEST_F(ClientInfoTest, ThreeChangedFieldsOverTwoVisitsLockTheClientForGood) {
    state.CurrentRecord = 1;
    Open(true, [&](frmClientInfo* screen) {
        EXPECT_TRUE(Ok(screen)->hasFocus());
        EXPECT_EQ(List(screen, "cmbRace")->currentText(), QStringLiteral("Black"));
        List(screen, "cmbRace")->setFocus();
        Enter(QStringLiteral("3"));
        // Back to the race and away again, unchanged: not counted.
        PressKey(Qt::Key_Backtab);
        PressKey(Qt::Key_Tab);
        Box(screen, "txtName")->setFocus();
        Enter(QStringLiteral("Ann Lea"));
        mwtest::Choose(screen, frmClientInfo::kInformationOk);
    });
    EXPECT_EQ(state.Current().Race.View(), "3");
    EXPECT_EQ(state.Current().timeseditted.View(), "2");

    platform.Next(MsgAnswer::Ok);
    Open(true, [&](frmClientInfo* screen) {
        Box(screen, "txtAge")->setFocus();
        Enter(QStringLiteral("35"));
        EXPECT_EQ(LastBox().title, QStringLiteral("Edit Limit Reached"));
        EXPECT_EQ(LastBox().text, QStringLiteral("This client's information has been edited\n"
                                                 "3 times already. Further editing of this\n"
                                                 "information is no longer permitted."));
        EXPECT_TRUE(AllFieldsDisabled(screen));
        EXPECT_TRUE(Ok(screen)->hasFocus());
        EXPECT_EQ(Help(screen),
                  QStringLiteral("Exceeded limits of editing. No further editing is permitted."));
        PressKey(Qt::Key_Return);
    });
    EXPECT_EQ(state.Current().Age.View(), "35 ");
    EXPECT_EQ(state.Current().Name.View(), "Ann Lea                  ");
    EXPECT_EQ(state.Current().timeseditted.View(), "3");

    platform.Next(MsgAnswer::Ok);
    Open(true, [&](frmClientInfo* screen) {
        ExpectOpensWith(2, "Edit Limit Reached");
        EXPECT_TRUE(AllFieldsDisabled(screen));
        mwtest::Choose(screen, frmClientInfo::kCancelInput);
    });
    EXPECT_FALSE(state.ChoiceConfirmed);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

TEST_F(ClientInfoTest, AClientWhoseNameWasDeletedOpensLocked) {
    state.ClientRecords[2] = Client("Xqzv Wkpt", "1", "1", "1");
    state.CurrentRecord = 2;
    platform.Next(MsgAnswer::Ok);
    Open(true, [&](frmClientInfo* screen) {
        ExpectOpensWith(1, "Name Deleted");
        EXPECT_EQ(LastBox().text, QStringLiteral("This client's name has been deleted.\nEditing "
                                                 "this information is no longer permitted."));
        EXPECT_TRUE(AllFieldsDisabled(screen));
        PressKey(Qt::Key_Return);
    });
    EXPECT_TRUE(state.ChoiceConfirmed);
    EXPECT_EQ(Record(2), Client("Xqzv Wkpt", "1", "1", "1").ToBytes());
}

TEST_F(ClientInfoTest, AScannedClientIsConfirmedIntoTheNextSlotAsANewClient) {
    state.ScanMode = true;
    state.CurrentRecord = 1;
    // The scan left the sheet's values, the same as Ann's, in the free slot.
    state.ClientRecords[3] = Client("Ann Lee", "2", "2");
    Open(false, [&](frmClientInfo* screen) {
        EXPECT_EQ(Box(screen, "txtName")->text(), QStringLiteral("Ann Lee"));
        EXPECT_EQ(List(screen, "cmbRace")->currentText(), QStringLiteral("Black"));
        PressKey(Qt::Key_Return);
    });
    EXPECT_TRUE(state.ChoiceConfirmed);
    EXPECT_EQ(state.CurrentRecord, 3);
    EXPECT_EQ(Record(3), NewClientBytes(Client("Ann Lee", "2")));
}

}  // namespace
}  // namespace mw
