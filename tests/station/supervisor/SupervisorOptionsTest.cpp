// The supervisor's screen: printing after the secret code, the empty disk,
// and deleting every client's name on the disk.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>

#include "core/data/SampleClient.h"
#include "station/report/ReportFixture.h"
#include "station/report/frmViewReport.h"
#include "station/supervisor/DelNames.h"
#include "station/supervisor/frmMyInputBox.h"
#include "station/supervisor/frmSupervisorOptions.h"

namespace mw {
namespace {

using mwtest::Find;
using mwtest::PressKey;
using mwtest::TypeText;

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
    void Print(int option, bool summary, const QString& typed) {
        driver.When<frmSupervisorOptions>([=](frmSupervisorOptions* screen) {
            Find<QRadioButton>(screen, QStringLiteral("optPrintOption_%1").arg(option))
                ->setChecked(true);
            Find<QCheckBox>(screen, "chkPrintSummaryPage")->setChecked(summary);
            mwtest::ChooseLater(screen, frmSupervisorOptions::kExecuteSelection);
        });
        driver.When<frmMyInputBox>([typed](frmMyInputBox* box) {
            if (typed.isEmpty()) return mwtest::Choose(box, frmMyInputBox::kCancelInput);
            TypeText(typed);
            PressKey(Qt::Key_Return);
            PressKey(Qt::Key_Return);
        });
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
    EXPECT_EQ(state.CurrentRecord, 1);
    EXPECT_FALSE(programDir.Exists("temp1") || programDir.Exists("temp3"));

    printer.jobs.clear();
    Print(frmSupervisorOptions::kAllClients, false, QStringLiteral("j"));
    OpenSupervisor();
    EXPECT_EQ(printer.jobs.size(), 3u);
    EXPECT_FALSE(AllHaveSummary());
}

TEST_F(SupervisorOptionsTest, CancellingTheCodePrintsNothingAndTheRightCodeOpensTheViewer) {
    Start(mwtest::Clients(2));
    Print(frmSupervisorOptions::kAllClients, false, QString());
    OpenSupervisor();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(printer.jobs.empty());

    Print(frmSupervisorOptions::kCurrentClient, false, QStringLiteral("J"));
    QString shown;
    driver.When<frmViewReport>([&](frmViewReport* viewer) {
        shown = Find<QPlainTextEdit>(viewer, "Text1")->toPlainText();
        Find<QPushButton>(viewer, "cmdCancel")->click();
    });
    OpenSupervisor();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(shown.contains(QStringLiteral("NAME: Client 1")));
    EXPECT_TRUE(printer.jobs.empty());
}

// A current client that is not on the disk (a new one never stored) is
// neither reported on nor verified.
TEST_F(SupervisorOptionsTest, AClientNotOnTheDiskIsNeitherPrintedNorVerified) {
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
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Print Report"));
    EXPECT_EQ(platform.shown[1].title, QStringLiteral("Verify Data"));
    EXPECT_TRUE(platform.shown[1].text.startsWith(QStringLiteral("No client of this data disk")));
    EXPECT_TRUE(printer.jobs.empty());
}

// Each control's help line says what its keys do; Enter on a print option or
// on the check box goes on to "Execute Selection" and runs nothing.
TEST_F(SupervisorOptionsTest, EachControlHasItsHelpLineAndEnterOnAnOptionGoesToExecute) {
    LoadDisk(mwtest::Clients(2));
    frmSupervisorOptions screen(ctx, nullptr);
    mwtest::ShowActive(&screen);
    const auto help = [&] { return Find<QLabel>(&screen, "MsgPanel")->text(); };
    EXPECT_TRUE(help().contains(QStringLiteral("arrow keys to switch"))) << help().toStdString();
    for (const char* name : {"optPrintOption_2", "chkPrintSummaryPage"}) {
        Find<QWidget>(&screen, name)->setFocus();
        EXPECT_TRUE(help().endsWith(QStringLiteral("then press Enter."))) << name;
        PressKey(Qt::Key_Return);
        EXPECT_TRUE(mwtest::Choice(&screen, frmSupervisorOptions::kExecuteSelection)->hasFocus());
        EXPECT_EQ(help(), QStringLiteral("Perform the selected operation."));
    }
    EXPECT_TRUE(screen.isVisible() && printer.jobs.empty());
}

TEST_F(SupervisorOptionsTest, AnEmptyDiskClosesTheScreenWithItsMessage) {
    Start({});
    platform.Next(MsgAnswer::Ok);
    OpenSupervisor();
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Empty Data Disk"));
    EXPECT_EQ(platform.shown[0].text,
              QStringLiteral("There are no clients on this data disk.\nReturning to main menu."));
}

TEST_F(SupervisorOptionsTest, DeletedNamesLeaveNothingOfTheOldOnTheDisk) {
    LoadDisk({"Ann Smith", "Bob Jones", "Cy Young"});
    state.ClientRecords[1].IDNumber = "123-45-6789";
    state.ClientRecords[1].Answers = std::string(160, '1');
    state.ClientRecords[3].DeleteFlag = "1";  // deleted earlier: left as it is
    for (int n : {1, 3}) ASSERT_TRUE(ctx.Store().SaveRecord(n));
    const std::string before = disk.Read("DATA401.MW");

    platform.Next(MsgAnswer::No);
    DeleteNames(ctx);
    EXPECT_EQ(disk.Read("DATA401.MW"), before);

    platform.Next(MsgAnswer::Yes);
    platform.Next(MsgAnswer::Ok);
    DeleteNames(ctx);
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Process complete. Press Enter to continue."));
    const std::string after = disk.Read("DATA401.MW");
    for (const char* old :
         {"Ann", "Smith", "Bob", "Jones", "123", "Duu", "Vpl{o", "Iri", "Qruhv", "4960"}) {
        EXPECT_EQ(after.find(old), std::string::npos) << old;
    }
    const ClientRecord first = ClientRecord::FromBytes(after.substr(0, kRecordSize));
    EXPECT_EQ(first.Name, "Name deleted" + std::string(13, ' '));
    EXPECT_EQ(first.IDNumber, std::string(11, ' '));
    EXPECT_EQ(first.DeleteFlag, "1");
    EXPECT_EQ(first.Answers, std::string(160, '1'));
    EXPECT_NE(after.find("Cy Young"), std::string::npos);
    EXPECT_TRUE(state.ListRefreshNeeded);

    platform.Next(MsgAnswer::Yes);
    platform.Next(MsgAnswer::Ok);
    DeleteNames(ctx);
    EXPECT_EQ(disk.Read("DATA401.MW"), after);
}

}  // namespace
}  // namespace mw
