// The supervisor's screen: printing and verifying after the secret code, the empty disk,
// and deleting every client's name on the disk.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>
#include <filesystem>

#include "core/data/ClientTable.h"
#include "core/data/Paradata.h"
#include "core/data/SampleClient.h"
#include "station/entry/frmVerify.h"
#include "station/report/ReportFixture.h"
#include "station/report/frmViewReport.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenLook.h"
#include "station/supervisor/DelNames.h"
#include "station/supervisor/frmSupervisorOptions.h"
#include "support/TextOnScreen.h"

namespace mw {
namespace {

using mwtest::Find;
using mwtest::PressKey;

class SupervisorOptionsTest : public mwtest::ReportFixture {
protected:
    // The station on a disk of these clients, printing through the page renderer.
    // Their answers make full reports, which end with a summary when it is asked for.
    void Start(const std::vector<std::string>& names) {
        StartStation(names);
        state.PrintToDOS = false;
        for (int n = 1; n <= state.RecordCount; ++n) {
            state.ClientRecords[n].Answers = NonDeviantClient("03/05/2024").Answers;
        }
    }
    void OpenSupervisor() {
        mwtest::ShowActive(main.get());  // as the window manager does after a screen closes
        mwtest::Choose(main.get(), frmMain::kSupervisorOptions);
    }
    // On the next supervisor screen: print with this option after the code `typed`
    // (empty: the prompt is cancelled).
    void Print(int option, bool summary, const QString& typed, bool paradata = false) {
        driver.When<frmSupervisorOptions>([=](frmSupervisorOptions* screen) {
            Find<QRadioButton>(screen, QStringLiteral("optPrintOption_%1").arg(option))
                ->setChecked(true);
            Find<QCheckBox>(screen, "chkPrintSummaryPage")->setChecked(summary);
            Find<QCheckBox>(screen, "chkPrintParadata")->setChecked(paradata);
            mwtest::ChooseLater(screen, frmSupervisorOptions::kExecuteSelection);
        });
        mwtest::AnswerInputBox(driver, typed);
    }
    bool AllHaveSummary() const {
        return std::all_of(printer.jobs.begin(), printer.jobs.end(), [](const QString& job) {
            return job.contains(QStringLiteral("ONE PAGE SUMMARY"));
        });
    }

    mwtest::ModalDriver driver;
};

TEST_F(SupervisorOptionsTest, PrintAllAsksTheCodeAndPrintsEveryClientInOrder) {
    Start(mwtest::Clients(3));
    state.CurrentRecord = 3;
    Print(frmSupervisorOptions::kAllClients, true, QStringLiteral("j"));
    OpenSupervisor();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(PrintedNames(), (std::vector{QStringLiteral("Client 1"), QStringLiteral("Client 2"),
                                           QStringLiteral("Client 3")}));
    EXPECT_TRUE(AllHaveSummary());
    EXPECT_FALSE(printer.jobs[1].contains(QStringLiteral("HOW THE TEST WAS TAKEN")));
    EXPECT_EQ(state.CurrentRecord, 1);
    for (const char* file : {"temp1", "temp3", "REPORT.PRN"}) EXPECT_FALSE(programDir.Exists(file));

    // The last page on how the test was taken, for this screen's reports only.
    Paradata careful;
    careful.items[1].ms = 2000;
    ASSERT_TRUE(WriteParadata(fs, disk.Path(), 2, careful));
    printer.jobs.clear();
    Print(frmSupervisorOptions::kAllClients, false, QStringLiteral("j"), true);
    OpenSupervisor();
    ASSERT_EQ(printer.jobs.size(), 3u);
    EXPECT_FALSE(AllHaveSummary());
    EXPECT_TRUE(printer.jobs[0].contains(QStringLiteral("How the test was taken: not recorded")));
    EXPECT_TRUE(printer.jobs[1].contains(QStringLiteral("Effort index: 1.00 (0 of 1 answers")));
    EXPECT_FALSE(state.PrintParadata);
}

TEST_F(SupervisorOptionsTest, CancellingTheCodeDoesNothingAndTheRightCodeOpensTheViewerOrVerify) {
    Start(mwtest::Clients(2));
    Print(frmSupervisorOptions::kAllClients, false, QString());
    OpenSupervisor();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(printer.jobs.empty());

    Print(frmSupervisorOptions::kCurrentClient, false, QStringLiteral("J"));
    driver.When<frmViewReport>([&](frmViewReport* viewer) {
        EXPECT_TRUE(Find<QPlainTextEdit>(viewer, "Text1")
                        ->toPlainText()
                        .contains(QStringLiteral("NAME: Client 1")));
        Find<QPushButton>(viewer, "cmdCancel")->click();
    });
    OpenSupervisor();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_FALSE(programDir.Exists("REPORT.PRN"));  // it went with the window

    // Verifying rewrites answers: it waits for the code too.
    for (const QString& typed : {QString(), QStringLiteral("j")}) {
        driver.When<frmSupervisorOptions>([](frmSupervisorOptions* screen) {
            Find<QTabWidget>(screen, "sstSupervisorOperations")
                ->setCurrentIndex(frmSupervisorOptions::kVerifyData);
            mwtest::ChooseLater(screen, frmSupervisorOptions::kExecuteSelection);
        });
        mwtest::AnswerInputBox(driver, typed);
        if (!typed.isEmpty()) {
            driver.When<frmVerify>([](frmVerify* verify) { verify->reject(); });
        }
        OpenSupervisor();
    }
    EXPECT_TRUE(driver.Done());
}

// A current client that is not on the disk (a new one never stored) is
// neither reported on nor verified; an empty disk closes the screen at once.
TEST_F(SupervisorOptionsTest, AClientNotOnTheDiskIsNeitherPrintedNorVerifiedAndNoneClosesIt) {
    Start(mwtest::Clients(2));
    state.CurrentRecord = 3;
    for (int tab : {frmSupervisorOptions::kReports, frmSupervisorOptions::kVerifyData}) {
        driver.When<frmSupervisorOptions>([tab](frmSupervisorOptions* screen) {
            Find<QTabWidget>(screen, "sstSupervisorOperations")->setCurrentIndex(tab);
            mwtest::ChooseLater(screen, frmSupervisorOptions::kExecuteSelection);
        });
        platform.Next(MsgAnswer::Ok);
        OpenSupervisor();
    }
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(printer.jobs.empty());
    LoadDisk({});
    platform.Next(MsgAnswer::Ok);
    OpenSupervisor();
    ASSERT_EQ(platform.shown.size(), 3u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Print Report"));
    EXPECT_EQ(platform.shown[1].title, QStringLiteral("Verify Data"));
    EXPECT_TRUE(platform.shown[1].text.startsWith(QStringLiteral("No client of this data disk")));
    EXPECT_EQ(platform.shown[2].title, QStringLiteral("Empty Data Disk"));
    EXPECT_EQ(platform.shown[2].text,
              QStringLiteral("There are no clients on this data disk.\nReturning to main menu."));
}

// Each control's help line says what its keys do; Enter on a print option or
// on the check box goes on to "Execute Selection" and runs nothing.
TEST_F(SupervisorOptionsTest, EachControlHasItsHelpLineAndEnterOnAnOptionGoesToExecute) {
    LoadDisk(mwtest::Clients(2));
    Paradata hurried;
    hurried.items[1].ms = 1999;
    ASSERT_TRUE(WriteParadata(fs, disk.Path(), 1, hurried));
    state.CurrentRecord = 1;
    frmSupervisorOptions screen(ctx, nullptr);
    mwtest::ShowActive(&screen);
    EXPECT_TRUE(Find<QLabel>(&screen, "lblHowTaken")
                    ->text()
                    .startsWith(QStringLiteral("Effort index: 0.00 (1 of 1 answers")));
    const auto help = [&] { return Find<QLabel>(&screen, "MsgPanel")->text(); };
    EXPECT_TRUE(help().contains(QStringLiteral("arrow keys to switch"))) << help().toStdString();
    for (const char* name : {"optPrintOption_2", "chkPrintSummaryPage", "chkPrintParadata"}) {
        Find<QWidget>(&screen, name)->setFocus();
        EXPECT_TRUE(help().endsWith(QStringLiteral("then press Enter."))) << name;
        PressKey(Qt::Key_Return);
        EXPECT_TRUE(mwtest::Choice(&screen, frmSupervisorOptions::kExecuteSelection)->hasFocus());
        EXPECT_EQ(help(), QStringLiteral("Perform the selected operation."));
    }
    EXPECT_TRUE(screen.isVisible() && printer.jobs.empty());
}

// The help line and the bold caption of the control with the focus change
// as the focus moves: the window keeps one size and every text stays whole,
// whichever control has the focus, in the usual type on the smallest screen
// and in large type on the screen it promises to fit (the test runs again
// on a screen of 1024x768).
TEST_F(SupervisorOptionsTest, KeepsOneSizeWithEveryTextWholeWhereverTheFocusGoes) {
    LoadDisk(mwtest::Clients(2));
    state.CurrentRecord = 1;
    struct UsualLook {
        ~UsualLook() { ApplyScreenLook({}); }
    } restore;
    const bool large = mwtest::ScreenIs({1024, 768});
    if (!large) {
        EXPECT_TRUE(mwtest::PassesOnScreenOf("1024x768"));
    }
    {
        ApplyScreenLook({.largeType = large});
        frmSupervisorOptions screen(ctx, nullptr);
        mwtest::ShowActive(&screen);
        const QSize size = screen.size();
        for (QWidget* control : screen.findChildren<QWidget*>()) {
            if (control->focusPolicy() == Qt::NoFocus || !control->isVisible()) continue;
            SCOPED_TRACE(::testing::Message()
                         << (large ? "large " : "usual ") << control->objectName().toStdString());
            control->setFocus();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            EXPECT_EQ(screen.size(), size);
            EXPECT_TRUE(mwtest::TextsWhole(&screen, screen.rect()));
        }
    }
}

// Every name not yet deleted this way goes: a blank flag, and a name that
// another installation only shifted letter by letter ("Vdp Fdy{hy" is "Sam
// Carter"), as well as a normal one. The work files with names go too.
TEST_F(SupervisorOptionsTest, DeletedNamesLeaveNothingOfTheOldOnTheDisk) {
    LoadDisk({"Ann Smith", "Kim Tran", "Vdp Fdy{hy", kDeletedName});
    const std::pair<const char*, const char*> idAndFlag[] = {
        {"123-45-6789", "0"}, {"412-77-0981", " "}, {"4960;80=:?<", "1"}, {"", "1"}};
    for (int n = 1; n <= 4; ++n) {
        state.ClientRecords[n].IDNumber = idAndFlag[n - 1].first;
        state.ClientRecords[n].DeleteFlag = idAndFlag[n - 1].second;
        state.ClientRecords[n].Answers = std::string(160, static_cast<char>('0' + n));
        ASSERT_TRUE(ctx.Store().SaveRecord(n));
    }
    const std::string before = disk.Read("DATA401.MW");
    programDir.Write("REPORT.PRN", "NAME: Kim Tran");
    programDir.Write("REPORT.PRN.tmp", "NAME: Sam Carter");  // a report tool killed while writing
    programDir.Write("temp2", "NAME: Ann Smith");
    std::filesystem::copy_file(MW_PROGRAM_DIR "/mwscan.db", programDir.File("mwscan.db"));
    ClientRecord waiting;
    waiting.IDNumber = "W1";
    waiting.Answers = std::string(160, '2');
    ASSERT_TRUE(ClientTable::Open(programDir.Path())->Insert({waiting}));

    for (const QString& code : {QString(), QStringLiteral("J")}) {
        mwtest::AnswerInputBox(driver, code);
        if (!code.isEmpty()) platform.Next(MsgAnswer::No);
        DeleteNames(ctx, nullptr);
        EXPECT_EQ(disk.Read("DATA401.MW"), before);
    }
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("WARNING!"));
    EXPECT_EQ(platform.shown.back().defaultButton, 1);  // No

    mwtest::AnswerInputBox(driver, QStringLiteral("j"));
    platform.Next({MsgAnswer::Yes, MsgAnswer::Ok});
    DeleteNames(ctx, nullptr);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Process complete. Press Enter to continue."));
    const std::string after = disk.Read("DATA401.MW");
    EXPECT_EQ(after.substr(3 * kRecordSize), before.substr(3 * kRecordSize));
    for (int n = 1; n <= 3; ++n) {
        const ClientRecord record = ClientRecord::FromBytes(after.substr((n - 1) * kRecordSize));
        EXPECT_EQ(record.Name, "Name deleted" + std::string(13, ' ')) << n;
        EXPECT_EQ(record.IDNumber, std::string(11, ' ')) << n;
        EXPECT_EQ(record.DeleteFlag, "1") << n;
        EXPECT_EQ(record.Answers, std::string(160, static_cast<char>('0' + n))) << n;
    }
    for (const char* file : {"REPORT.PRN", "REPORT.PRN.tmp", "temp2", "mwscan.db-journal"}) {
        EXPECT_FALSE(programDir.Exists(file)) << file;
    }
    // A sheet waiting in the scan table loses its inmate number as the clients did.
    const std::vector<ClientRecord> rows = ClientTable::Open(programDir.Path())->ReadAll().value();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Trim(rows[0].Name.View()) + "|" + Trim(rows[0].IDNumber.View()) + "|" +
                  std::string(rows[0].DeleteFlag.View()) + "|" +
                  std::string(rows[0].Answers.View()),
              "Name deleted||1|" + std::string(160, '2'));
    EXPECT_TRUE(state.ListRefreshNeeded);
    EXPECT_EQ(AuditEvents(),
              (std::vector<std::string>{"1 name deleted", "2 name deleted", "3 name deleted"}));

    // Only a run that got through says so.
    state.CurrentRecord = 5;
    state.Current() = state.ClientRecords[1];
    state.Current().Name = "Lee Park";
    state.Current().DeleteFlag = "0";
    ASSERT_TRUE(ctx.Store().AddClient());
    fs.failWrites = errc::DiskFull;
    mwtest::AnswerInputBox(driver, QStringLiteral("J"));
    platform.Next({MsgAnswer::Yes, MsgAnswer::Cancel});
    DeleteNames(ctx, nullptr);
    EXPECT_EQ(platform.shown.back().text, QString::fromUtf8(kDataDiskFull));
    EXPECT_EQ(state.ClientRecords[5].Name, "Lee Park" + std::string(17, ' '));
}

}  // namespace
}  // namespace mw
