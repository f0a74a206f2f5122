// Reports on the screen and on paper: the viewer, the print flow with and
// without a printer, and printing a selection of clients.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "core/data/Cp1252.h"
#include "station/report/ReportFixture.h"
#include "station/report/ReportOutput.h"
#include "station/report/frmPrintSelected.h"
#include "station/report/frmViewReport.h"
#include "support/QtTestSupport.h"

namespace mw {
namespace {

using mwtest::Find;
using mwtest::PressKey;

class PrintingTest : public mwtest::ReportFixture {};

TEST_F(PrintingTest, TheViewerMakesTheReportAfreshAndPrintsItAsOneJob) {
    LoadDisk({"Ann", "Bob"});
    state.CurrentRecord = 2;
    frmViewReport viewer(ctx, nullptr);
    mwtest::ShowActive(&viewer);
    auto* text = Find<QPlainTextEdit>(&viewer, "Text1");
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("NAME: Bob")));
    EXPECT_FALSE(text->toPlainText().contains(QLatin1Char('\f')));

    auto* print = Find<QPushButton>(&viewer, "cmdPrintReport");
    bool buttonsOff = false;
    printer.whilePrinting = [&] {
        buttonsOff = !print->isEnabled() && !Find<QPushButton>(&viewer, "cmdCancel")->isEnabled();
    };
    print->setFocus();
    PressKey(Qt::Key_Return);
    EXPECT_EQ(printer.jobs,
              (std::vector{QString::fromStdString(Cp1252ToUtf8(programDir.Read("REPORT.PRN")))}));
    EXPECT_TRUE(buttonsOff);
    EXPECT_TRUE(print->isEnabled());
    PressKey(Qt::Key_PageDown);
    EXPECT_TRUE(text->hasFocus());

    viewer.hide();
    state.ClientRecords[2].Name = "Robert";
    mwtest::ShowActive(&viewer);
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("NAME: Robert")));
    EXPECT_EQ(AuditEvents(),
              (std::vector<std::string>{"2 report viewed", "2 report printed", "2 report viewed"}));
}

TEST_F(PrintingTest, ClosingTheScanReportEndsTheProgram) {
    StartStation({"Ann"});
    frmScanReport viewer(ctx, main.get());
    mwtest::ShowActive(&viewer);
    Find<QPushButton>(&viewer, "cmdCancel")->click();
    EXPECT_TRUE(mwtest::WaitUntil([&] { return !main->isVisible(); }));
}

// A job that printed nothing is never taken for a printed one.
TEST_F(PrintingTest, OnlyAJobThatReachedThePrinterCountsAsPrinted) {
    LoadDisk({"Ann"});
    ASSERT_TRUE(MakeReport(ctx, false));
    printer.hasPrinter = false;
    platform.Next(MsgAnswer::No);
    EXPECT_EQ(PrintReportFile(ctx, nullptr), PrintOutcome::NotPrinted);
    EXPECT_EQ(platform.shown.back().text, QStringLiteral("No printer is set up on this computer."
                                                         "\n\nSave the report as a PDF file "
                                                         "instead?"));
    platform.Next(MsgAnswer::Yes);
    EXPECT_EQ(PrintReportFile(ctx, nullptr), PrintOutcome::NotPrinted);  // the dialog cancelled
    printer.pdfPath = QString::fromStdString(disk.File("ann.pdf"));
    platform.Next(MsgAnswer::Yes);
    EXPECT_EQ(PrintReportFile(ctx, nullptr), PrintOutcome::SavedAsPdf);
    EXPECT_EQ(disk.Read("ann.pdf").substr(0, 5), "%PDF-");

    // The DOS port takes the file as it is and a form feed, whatever the renderer would find.
    state.PrintToDOS = true;
    EXPECT_EQ(PrintReportFile(ctx, nullptr), PrintOutcome::Printed);
    EXPECT_EQ(printer.rawJobs, (std::vector{programDir.Read("REPORT.PRN") + "\f"}));

    state.PrintToDOS = false;
    printer.hasPrinter = true;
    printer.failure = MakeError(errc::DeviceIo, "out of paper");
    platform.Next(MsgAnswer::Ok);
    EXPECT_EQ(PrintReportFile(ctx, nullptr), PrintOutcome::NotPrinted);
    EXPECT_TRUE(platform.shown.back().text.contains(QStringLiteral("out of paper")));
    EXPECT_TRUE(printer.jobs.empty());
}

TEST_F(PrintingTest, PrintSelectedPrintsInClientOrderAndLeavesNoCopies) {
    LoadDisk(mwtest::Clients(3));
    frmPrintSelected screen(ctx, nullptr);
    mwtest::ShowActive(&screen);
    auto* list = Find<QListWidget>(&screen, "lbNameDisplay");
    EXPECT_EQ(list->currentRow(), 1);
    PressKey(Qt::Key_Down);
    PressKey(Qt::Key_Space);  // entry 3
    PressKey(Qt::Key_Home);
    PressKey(Qt::Key_Space);  // entry 1
    mwtest::Choose(&screen, frmPrintSelected::kPrintSelected);
    EXPECT_EQ(PrintedNames(),
              (std::vector{QStringLiteral("Client 1"), QStringLiteral("Client 3")}));
    EXPECT_FALSE(programDir.Exists("temp1") || programDir.Exists("temp2"));
    EXPECT_FALSE(screen.isVisible());

    frmPrintSelected none(ctx, nullptr);
    mwtest::ShowActive(&none);
    mwtest::Choose(&none, frmPrintSelected::kPrintSelected);
    EXPECT_EQ(printer.jobs.size(), 2u);
    EXPECT_FALSE(none.isVisible());
}

}  // namespace
}  // namespace mw
