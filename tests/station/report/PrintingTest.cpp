// Reports on the screen and on paper: the viewer, the print flow with and
// without a printer, and printing a selection of clients.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDialog>
#include <QListWidget>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>
#include <filesystem>

#include "core/data/Cp1252.h"
#include "station/report/ReportFixture.h"
#include "station/report/ReportOutput.h"
#include "station/report/ReportPrinter.h"
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

// A print queue that never takes the job: the station waits for it in a
// window that cancels, and gives up after its time, saying which happened.
TEST_F(PrintingTest, ARawJobTheQueueNeverTakesIsCancelledOrTimesOut) {
    LoadDisk({"Ann"});
    ASSERT_TRUE(MakeReport(ctx, false));
    programDir.Write("lp", "#!/bin/sh\nexec sleep 60\n");
    std::filesystem::permissions(programDir.File("lp"), std::filesystem::perms::owner_all);
    state.PrintToDOS = true;
    const struct {
        std::chrono::milliseconds wait;
        bool cancel;
        const char* said;
    } cases[] = {{std::chrono::milliseconds(200), false, "did not answer"},
                 {std::chrono::seconds(60), true, "cancelled"}};
    for (const auto& [wait, cancel, said] : cases) {
        SystemPrinter queue(QString::fromStdString(programDir.File("lp")), wait);
        ctx.printer = &queue;
        mwtest::ModalDriver driver;
        if (cancel) driver.When<QDialog>([](QDialog*) { PressKey(Qt::Key_Return); });
        platform.Next(MsgAnswer::Ok);
        EXPECT_EQ(PrintReportFile(ctx, nullptr), PrintOutcome::NotPrinted);
        EXPECT_TRUE(platform.shown.back().text.contains(QString::fromUtf8(said)));
    }
    ctx.printer = &printer;
}

// Without a printer a batch asks once, for one folder, and says what it saved there.
TEST_F(PrintingTest, WithoutAPrinterABatchGoesToPdfFilesInOneFolderAskedForOnce) {
    LoadDisk(mwtest::Clients(3));
    printer.hasPrinter = false;
    platform.Next(MsgAnswer::No);
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 0);
    platform.Next(MsgAnswer::Yes);  // and then the folder dialog is cancelled
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 0);
    EXPECT_FALSE(programDir.Exists("REPORT.PRN"));

    mwtest::TempDir folder;
    printer.pdfFolder = QString::fromStdString(folder.Path());
    platform.Next(MsgAnswer::Yes);
    platform.Next(MsgAnswer::Ok);
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 2);
    EXPECT_EQ(
        platform.shown.back().text,
        QStringLiteral("Reports saved as PDF files: 2 of 2.\n\nFolder: ") + printer.pdfFolder);
    EXPECT_NE(folder.Read("Client 3 report.pdf").find("NAME: Client 3"), std::string::npos);
    EXPECT_TRUE(folder.Exists("Client 1 report.pdf") && !folder.Exists("Client 2 report.pdf"));
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_EQ(printer.foldersSuggested.size(), 2u);
    EXPECT_NE(programDir.Read("MW.ini").find("PdfFolder=" + folder.Path()), std::string::npos);

    // The files of an earlier batch are replaced only when the user says so, once.
    folder.Write("Client 1 report.pdf", "an older report");
    for (MsgAnswer replace : {MsgAnswer::No, MsgAnswer::Yes}) {
        platform.Next(MsgAnswer::Yes);
        platform.Next(replace);
        if (replace == MsgAnswer::Yes) platform.Next(MsgAnswer::Ok);
        EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), replace == MsgAnswer::Yes ? 2 : 0);
        EXPECT_EQ(folder.Read("Client 1 report.pdf") == "an older report",
                  replace == MsgAnswer::No);
    }
}

// However long a page, the station prints it on one sheet; an empty page is a sheet too.
TEST(RenderReportTest, EachPageOfTheReportIsOneSheet) {
    const QString longPage = QString::fromStdString(Cp1252ToUtf8(
        LocalFileSystem()
            .ReadFile(MW_SOURCE_DIR "/tests/core/report/golden/client-4-omissions/expected.prn")
            .value()));
    for (const auto& [report, pages] :
         {std::pair{longPage, 4}, {QStringLiteral("a\r\n\f\fb"), 3}}) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageSize(PageSizeOf(kLetterPaper));
            ASSERT_TRUE(RenderReport(writer, report).ok());
        }
        EXPECT_EQ(pdf.count("/Type /Page\n"), pages);
    }
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
