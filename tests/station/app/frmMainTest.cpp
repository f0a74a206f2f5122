// The main window: the client list, the main menu, the hidden sample-client
// key and the Options and About menus.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "station/app/frmAbout.h"
#include "station/app/frmSelectEntryMethod.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenLook.h"
#include "station/supervisor/frmSupervisorOptions.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Clients;
using mwtest::Find;
using mwtest::PressKey;

class MainWindowTest : public mwtest::StationFixture {
protected:
    void Start(const std::vector<std::string>& names) {
        StartStation(names);
        list = Find<QListWidget>(main.get(), "lbNameDisplay");
        msgPanel = Find<QLabel>(main.get(), "MsgPanel");
    }

    QPushButton* Choice(int index) const { return mwtest::Choice(main.get(), index); }
    QAction* MenuItem(const char* name) const { return Find<QAction>(main.get(), name); }
    QColor ClientFrameColor() const {
        return Find(main.get(), "fraClient")->palette().color(QPalette::Window);
    }
    std::string RecordFile() const { return disk.Read("DATA401.MW"); }
    QRect PanelOf(int choice) const {
        const QWidget* panel = Choice(choice)->parentWidget();
        return {panel->mapTo(main.get(), QPoint(0, 0)), panel->size()};
    }
    void PressSampleClientKey() { PressKey(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier); }

    QListWidget* list = nullptr;
    QLabel* msgPanel = nullptr;
};

// At start-up the first client is current, selected and editable; the list
// shows each name at full width and a click or an arrow makes a client current.
TEST_F(MainWindowTest, TheListShowsEachNameAtFullWidthAndAClickOrArrowMakesItCurrent) {
    std::vector<std::string> names = Clients(11);
    names.push_back("Lee");
    Start(names);
    EXPECT_EQ(state.CurrentRecord, 1);
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().front(), list->item(0));
    EXPECT_TRUE(Choice(frmMain::kEditCurrentClient)->isEnabled());
    ASSERT_EQ(list->count(), 12);
    EXPECT_EQ(list->item(11)->text(), QStringLiteral("12-Lee") + QString(22, QLatin1Char(' ')));
    list->scrollToItem(list->item(11));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(11)).center());
    EXPECT_EQ(state.CurrentRecord, 12);
    EXPECT_EQ(ClientFrameColor(), QColor(kFocusColor));
    EXPECT_EQ(msgPanel->text(),
              QStringLiteral("Use up or down arrow keys or mouse to select client."));

    PressKey(Qt::Key_Up);
    EXPECT_EQ(state.CurrentRecord, 11);
    EXPECT_EQ(list->selectedItems().front(), list->item(10));
    // A click under the names keeps that client.
    const QPoint blank(4, list->viewport()->height() - 2);
    ASSERT_EQ(list->itemAt(blank), nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, blank);
    EXPECT_EQ(list->selectedItems(), QList{list->item(10)});
    EXPECT_TRUE(Choice(frmMain::kEditCurrentClient)->isEnabled());

    Choice(frmMain::kAddNewClient)->setFocus();
    EXPECT_EQ(ClientFrameColor(), QColor(kMenuColor));
}

// Keys on a choice are the menu's own (tested with the menu); here only what
// the choices and Help, About run.
TEST_F(MainWindowTest, SupervisorOptionsAndAboutLeaveTheMenuAsItWasAndExitCloses) {
    Start(Clients(2));
    mwtest::ModalDriver driver;
    driver.When<frmAbout>([&](frmAbout*) { PressKey(Qt::Key_Return); });
    MenuItem("mnuHelpAbout")->trigger();
    EXPECT_TRUE(driver.Done());

    mwtest::ShowActive(main.get());  // as the window manager does once a window is gone
    driver.When<frmSupervisorOptions>([](frmSupervisorOptions* screen) {
        mwtest::Choose(screen, frmSupervisorOptions::kGoToMainMenu);
    });
    mwtest::Choose(main.get(), frmMain::kSupervisorOptions);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(main->focusWidget(), Choice(frmMain::kSupervisorOptions));
    EXPECT_TRUE(state.ListRefreshNeeded);
    mwtest::ShowActive(main.get());
    mwtest::Choose(main.get(), frmMain::kExitApplication);
    EXPECT_FALSE(main->isVisible());
}

// A write-protected or full disk is reported as such and keeps its records.
TEST_F(MainWindowTest, TheHiddenKeyAddsTheSampleClientOnlyWhenConfirmedAndWritten) {
    Start(Clients(2));
    EXPECT_FALSE(Find(main.get(), "cmdNonDeviant")->isVisible());
    // The trainer is asked first, and No (the answer Enter gives) adds nothing.
    platform.Next(MsgAnswer::No);
    PressSampleClientKey();
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(platform.shown[0].defaultButton, 1);
    for (const auto& [fault, message] : {std::pair{errc::PermissionDenied, kDataDiskWriteProtected},
                                         std::pair{errc::DiskFull, kDataDiskFull}}) {
        fs.failWrites = fault;
        platform.Next({MsgAnswer::Yes, MsgAnswer::Cancel});
        PressSampleClientKey();
        EXPECT_EQ(platform.Texts().back(), QString::fromUtf8(message));
        EXPECT_EQ(state.RecordCount, 2);
        EXPECT_EQ(list->count(), 2);
        EXPECT_EQ(RecordFile(), mwtest::RecordFile(Clients(2)));
        EXPECT_FALSE(platform.busy);
    }

    fs.failWrites.reset();
    platform.Next(MsgAnswer::Yes);
    PressSampleClientKey();
    EXPECT_EQ(state.RecordCount, 3);
    EXPECT_EQ(state.CurrentRecord, 3);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("3-Nondeviant Test          "));
    EXPECT_EQ(RecordFile().substr(2 * kRecordSize),
              "Nondeviant Test          000-00-000031 1112201/01/197203/05/2024"
              "12222221122222121122222122222212212222212212112222112212211211112121221211222221"
              "22221222222114141144111411111444444111141115155151515155151551555144444441444443"
              "00");
    EXPECT_FALSE(platform.busy);
}

TEST_F(MainWindowTest, TheWholeMenuShowsAtTheSmallestSizeAndKeepsItsSizeAsTheFocusMoves) {
    Start(Clients(2));
    main->resize(main->minimumSize());
    QTest::qWait(0);
    std::vector<QRect> panels;
    for (int i = 0; i <= frmMain::kExitApplication; ++i) {
        panels.push_back(PanelOf(i));
        EXPECT_TRUE(main->rect().contains(panels.back())) << "panel " << i << " is cut off";
    }
    for (int i = 0; i <= frmMain::kExitApplication; ++i) {
        Choice(i)->setFocus();
        QTest::qWait(0);
        for (int j = 0; j <= frmMain::kExitApplication; ++j) {
            EXPECT_EQ(PanelOf(j), panels[j])
                << "panel " << j << " moved when choice " << i << " took the focus";
        }
    }
}

TEST_F(MainWindowTest, OptionsAreStoredWhenChangedAndReadAtTheNextStart) {
    Start(Clients(1));
    EXPECT_TRUE(MenuItem("mnuOptionsNumLock")->isChecked());
    EXPECT_TRUE(MenuItem("mnuOptionsPrintDOS")->isChecked());
    EXPECT_TRUE(state.PrintToDOS);

    MenuItem("mnuOptionsNumLock")->trigger();
    MenuItem("mnuOptionsPrintDOS")->trigger();
    MenuItem("mnuOptionsLargeType")->trigger();
    MenuItem("mnuOptionsHighContrast")->trigger();
    EXPECT_FALSE(main->NumLockOn());
    EXPECT_FALSE(state.PrintToDOS);
    ApplyScreenLook({});
    frmMain next(ctx);
    ASSERT_TRUE(next.Load());
    EXPECT_FALSE(next.NumLockOn());
    EXPECT_FALSE(Find<QAction>(&next, "mnuOptionsPrintDOS")->isChecked());
    EXPECT_TRUE(Find<QAction>(&next, "mnuOptionsLargeType")->isChecked());
    EXPECT_TRUE(CurrentScreenLook().largeType && CurrentScreenLook().highContrast);
    ApplyScreenLook({});

    fs.failWrites = errc::PermissionDenied;
    platform.Next(MsgAnswer::Ok);
    MenuItem("mnuOptionsNumLock")->trigger();
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_TRUE(platform.shown[0].text.startsWith(QStringLiteral("Error 70:")))
        << platform.shown[0].text.toStdString();
}

// The fifty-first client fills the disk: no more, not even the sample client.
TEST_F(MainWindowTest, AddNewClientEntersANewClientAndTheFiftyFirstFillsTheDisk) {
    Start(Clients(kMaxClients - 1));
    UseShippedQuestions();
    // As an edit, or a scan, would have left them.
    state.EditMode = state.ScanMode = true;
    mwtest::ModalDriver driver;
    driver.When<frmSelectEntryMethod>([&](frmSelectEntryMethod* screen) {
        EXPECT_TRUE(!state.EditMode && !state.ScanMode) << "not for a new client";
        mwtest::ChooseLater(screen, frmSelectEntryMethod::kEnterFromAnswerSheet);
    });
    mwtest::KeyNewClient(driver);
    driver.When<frmNewEntry>([](frmNewEntry* entry) { mwtest::Choose(entry, frmNewEntry::kSave); });
    mwtest::Choose(main.get(), frmMain::kAddNewClient);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(state.RecordCount, kMaxClients);
    ASSERT_EQ(list->count(), kMaxClients);
    EXPECT_EQ(list->item(kMaxClients - 1)->text(),
              QStringLiteral("51-Cy Dee") + QString(19, QLatin1Char(' ')));
    EXPECT_EQ(RecordFile().size(), kMaxClients * kRecordSize);
    EXPECT_FALSE(Choice(frmMain::kAddNewClient)->isEnabled());
    mwtest::ShowActive(main.get());
    PressSampleClientKey();
    EXPECT_EQ(state.RecordCount, kMaxClients);
    EXPECT_EQ(RecordFile().size(), kMaxClients * kRecordSize);
}

TEST_F(MainWindowTest, EditCurrentClientCorrectsTheSelectedClientThenItsAnswers) {
    Start(Clients(3));
    UseShippedQuestions();
    ClientRecord& second = state.ClientRecords[2];
    second.IDNumber = "N";
    second.DateOfBirth = "N";
    second.Age = "30";
    second.Gender = second.Race = second.MaritalStatus = "1";
    second.Education = "12";
    list->setFocus();
    PressKey(Qt::Key_Down);
    ASSERT_EQ(state.CurrentRecord, 2);
    const std::string onDisk = RecordFile();

    // Cancelled information asks for no answers.
    mwtest::ModalDriver driver;
    driver.When<frmClientInfo>(
        [](frmClientInfo* info) { mwtest::Choose(info, frmClientInfo::kCancelInput); });
    mwtest::Choose(main.get(), frmMain::kEditCurrentClient);
    EXPECT_TRUE(driver.Done());
    // The rebuilt list keeps the client, and the choice keeps the focus.
    EXPECT_EQ(state.CurrentRecord, 2);
    EXPECT_EQ(main->focusWidget(), Choice(frmMain::kEditCurrentClient));

    mwtest::ShowActive(main.get());
    state.ScanMode = true;
    driver.When<frmClientInfo>([&](frmClientInfo* info) {
        EXPECT_TRUE(state.EditMode && !state.ScanMode);
        EXPECT_EQ(Find<QLineEdit>(info, "txtName")->text(), QStringLiteral("Client 2"));
        Find(info, "txtAge")->setFocus();
        mwtest::Enter(QStringLiteral("31"));
        mwtest::Choose(info, frmClientInfo::kInformationOk);
    });
    driver.When<frmNewEntry>([&](frmNewEntry* entry) {
        EXPECT_EQ(state.CurrentRecord, 2);
        EXPECT_FALSE(state.ChoiceConfirmed);
        mwtest::Choose(entry, frmNewEntry::kSave);
    });
    mwtest::Choose(main.get(), frmMain::kEditCurrentClient);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(state.RecordCount, 3);
    const std::string stored = RecordFile();
    EXPECT_EQ(stored.substr(kRecordSize + 36, 3), "31 ");
    EXPECT_EQ(stored.substr(2 * kRecordSize - 2, 1), "1");  // one edit
    EXPECT_EQ(stored.substr(2 * kRecordSize), onDisk.substr(2 * kRecordSize));

    // Cancel on the answers puts the client back as stored: the renaming
    // neither shows in the list nor counts as an edit.
    mwtest::ShowActive(main.get());
    driver.When<frmClientInfo>([](frmClientInfo* info) {
        Find(info, "txtName")->setFocus();
        mwtest::Enter(QStringLiteral("Zed"));
        mwtest::Choose(info, frmClientInfo::kInformationOk);
    });
    driver.When<frmNewEntry>(
        [](frmNewEntry* entry) { mwtest::Choose(entry, frmNewEntry::kCancel); });
    mwtest::Choose(main.get(), frmMain::kEditCurrentClient);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(RecordFile(), stored);
    EXPECT_EQ(state.ClientRecords[2].ToBytes(), stored.substr(kRecordSize, kRecordSize));
    EXPECT_TRUE(list->item(1)->text().startsWith(QStringLiteral("2-Client 2")));

    // A client that is not on the disk is not opened.
    mwtest::ShowActive(main.get());
    state.CurrentRecord = 4;
    mwtest::Choose(main.get(), frmMain::kEditCurrentClient);
    EXPECT_EQ(platform.beeps, 1);
}

}  // namespace
}  // namespace mw
