// Reports on the screen and on paper: the viewer, the print flow with and
// without a printer, and printing a selection of clients.
#include <gtest/gtest.h>

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <regex>

#include "core/data/Cp1252.h"
#include "station/app/frmDriveSelect.h"
#include "station/app/frmMain.h"
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
using Texts = std::vector<QString>;

const char* const kNotAccepting = "lp: Error - The printer or class is not accepting jobs.";

class PrintingTest : public mwtest::ReportFixture {
protected:
    // The printers of a case: those set up, the default one and the one the user picks.
    struct Printers {
        QStringList names;
        QString byDefault, picked;
    };

    // `fake`, with these printers, as the station's printer.
    void Use(mwtest::FakePrinter& fake, const Printers& printers) {
        fake.printers = printers.names;
        fake.defaultPrinter = printers.byDefault;
        fake.chosenPrinter = printers.picked;
        ctx.printer = &fake;
    }
    static bool Picks(const Printers& printers) {
        return printers.byDefault.isEmpty() && !printers.names.isEmpty();
    }

    // The compressed streams of a PDF file (the pages' text among them), uncompressed.
    static std::string Uncompressed(const std::string& pdf) {
        static const std::regex stream("/Length ([0-9]+) /Filter /FlateDecode[^>]*>>\nstream\n");
        std::string streams;
        for (std::sregex_iterator s(pdf.begin(), pdf.end(), stream), end; s != end; ++s) {
            // Qt's inflater takes the size to expect before the zlib stream.
            QByteArray zlib("\x00\x10\x00\x00", 4);
            zlib += QByteArray::fromStdString(
                pdf.substr(s->position() + s->length(), std::stoul((*s)[1])));
            streams += qUncompress(zlib).toStdString();
        }
        return streams;
    }

    // The boxes that offer PDF files instead (`offer`): without a printer, and
    // when Office refuses the raw text.
    static std::pair<QString, QString> PdfOffers(const char* offer) {
        const QString then = QStringLiteral("\n\n") + QString::fromUtf8(offer);
        return {QStringLiteral("No printer is set up on this computer.") + then,
                QStringLiteral("The printer Office did not take the report:\n") +
                    QString::fromUtf8(kNotAccepting) + then};
    }

    const QString hall = QStringLiteral("Hall"), office = QStringLiteral("Office");
    const Printers none{}, byDefault{{office}, office, {}}, hallPicked{{hall, office}, {}, hall},
        nonePicked{{hall, office}, {}, {}};
};

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

// What a first start meets: no settings file and no printer. The settings the
// station makes lay reports out on the page, and the report is offered as a
// PDF file.
TEST_F(PrintingTest, AFirstStartWithoutSettingsOrPrinterOffersTheReportAsAPdf) {
    mwtest::MakeDisk(disk, {"Ann"});
    printer.Unplug();
    platform.Next(MsgAnswer::Ok);  // no data disk has been chosen yet
    mwtest::ModalDriver driver;
    driver.When<frmDriveSelect>([&](frmDriveSelect* window) {
        Find<QComboBox>(window, "drDrive")->lineEdit()->selectAll();
        mwtest::Enter(QString::fromStdString(disk.Path()));
    });
    main = std::make_unique<frmMain>(ctx);
    ASSERT_TRUE(main->Load());
    EXPECT_NE(programDir.Read("MW.ini").find("PrintDOS=False"), std::string::npos);
    EXPECT_FALSE(state.PrintToDOS);
    EXPECT_FALSE(Find<QAction>(main.get(), "mnuOptionsPrintDOS")->isChecked());

    ASSERT_TRUE(MakeReport(ctx, false));
    platform.Next(MsgAnswer::No);
    EXPECT_EQ(PrintReportFile(ctx, main.get()), PrintOutcome::NotPrinted);
    EXPECT_TRUE(platform.shown.back().text.startsWith(
        QStringLiteral("No printer is set up on this computer.")));
}

// Where a report goes: the default printer; without one, the printer the
// user picks among those set up; without any, or when the queue does not
// take the raw text, a PDF file is offered (and saved here, unless the user
// says No or cancels the file dialog) instead. The DOS port takes the file as
// it is and a form feed. A job that printed nothing never counts as printed.
TEST_F(PrintingTest, AReportGoesToTheDefaultPrinterAPickedOneOrAPdfFile) {
    LoadDisk({"Ann"});
    ASSERT_TRUE(MakeReport(ctx, false));
    const std::string raw = programDir.Read("REPORT.PRN") + "\f";
    const auto [noPrinter, refused] = PdfOffers("Save the report as a PDF file instead?");
    const QString outOfPaper = QStringLiteral("The report was not printed.\nError 57:out of paper");
    using enum PrintOutcome;
    using enum MsgAnswer;
    const struct {
        const char* what;
        Printers printers;
        bool dos;
        const char* failure;  // of every job; nullptr: none
        QString asked;        // the box shown; none when empty
        MsgAnswer answer;     // to it
        bool pdfChosen;       // or the file dialog is cancelled
        PrintOutcome outcome;
        QString printedOn;
    } cases[] = {
        {"the default", byDefault, false, nullptr, {}, Ok, true, Printed, office},
        {"a picked one", hallPicked, false, nullptr, {}, Ok, true, Printed, hall},
        {"raw text on a picked one", hallPicked, true, nullptr, {}, Ok, true, Printed, hall},
        {"none picked", nonePicked, false, nullptr, {}, Ok, true, NotPrinted, {}},
        {"no printer", none, false, nullptr, noPrinter, Yes, true, SavedAsPdf, {}},
        {"no printer, no PDF", none, false, nullptr, noPrinter, No, true, NotPrinted, {}},
        {"no printer, no file", none, false, nullptr, noPrinter, Yes, false, NotPrinted, {}},
        {"no printer for raw text", none, true, nullptr, noPrinter, Yes, true, SavedAsPdf, {}},
        {"raw text refused", byDefault, true, kNotAccepting, refused, Yes, true, SavedAsPdf, {}},
        {"out of paper", byDefault, false, "out of paper", outOfPaper, Ok, true, NotPrinted, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mwtest::FakePrinter fake;
        Use(fake, c.printers);
        if (c.failure) fake.failure = MakeError(errc::DeviceIo, c.failure);
        fake.refuses = c.failure == kNotAccepting;
        if (c.pdfChosen) fake.pdfPath = QString::fromStdString(disk.File("report.pdf"));
        std::filesystem::remove(disk.File("report.pdf"));
        state.PrintToDOS = c.dos;
        platform.shown.clear();
        if (!c.asked.isEmpty()) platform.Next(c.answer);
        EXPECT_EQ(PrintReportFile(ctx, nullptr), c.outcome);
        EXPECT_EQ(platform.Texts(), c.asked.isEmpty() ? Texts{} : Texts{c.asked});
        EXPECT_EQ(fake.jobPrinters,
                  c.printedOn.isEmpty() ? std::vector<QString>{} : std::vector{c.printedOn});
        EXPECT_EQ(fake.choicesOffered,
                  Picks(c.printers) ? std::vector{c.printers.names} : std::vector<QStringList>{});
        EXPECT_EQ(fake.rawJobs.size() + fake.jobs.size(), c.printedOn.isEmpty() ? 0u : 1u);
        EXPECT_EQ(fake.rawJobs,
                  c.dos && !c.printedOn.isEmpty() ? std::vector{raw} : std::vector<std::string>{});
        EXPECT_EQ(Uncompressed(disk.Read("report.pdf")).find("NAME: Ann") != std::string::npos,
                  c.outcome == SavedAsPdf);
    }
    ctx.printer = &printer;
}

// A report's PDF file is named by its data disk, so that two disks' reports
// can share a folder, and by the client's number, never by the name.
TEST_F(PrintingTest, PdfFilesAreNamedByTheDataDiskAndTheClientsNumber) {
    LoadDisk({"Ann", "Bob"});
    state.CurrentRecord = 2;
    ASSERT_TRUE(MakeReport(ctx, false));
    const std::pair<const char*, const char*> cases[] = {
        {"/media/staff/OFFICE 2", "OFFICE 2 - Client 2 report.pdf"},
        {"/media/staff/North: 2/", "North_ 2 - Client 2 report.pdf"},
        {"f:\\disks\\.west", "west - Client 2 report.pdf"},
        {"a:", "a - Client 2 report.pdf"},
        {"/", "disk - Client 2 report.pdf"},
    };
    for (const auto& [dataPath, name] : cases) {
        state.DataPath = dataPath;
        EXPECT_FALSE(SaveReportAsPdf(ctx, nullptr));  // the dialog is cancelled
        EXPECT_EQ(QFileInfo(printer.pdfPathsSuggested.back()).fileName(), QString::fromUtf8(name))
            << dataPath;
    }
}

// What the print command makes of a raw job: the bytes on its input, for the
// queue named. A queue that refuses the job, or no print command, is a
// refusal, for which a PDF may serve instead; a queue that never takes it is
// waited for in a window that cancels, and given up after its time.
TEST_F(PrintingTest, TheRawPrintCommandTakesRefusesOrIsGivenUpOn) {
    using std::chrono::milliseconds;
    const std::string lp = programDir.File("lp");
    const struct {
        const char* script;  // nullptr: there is no print command
        milliseconds wait;
        bool cancel, taken, refused;
        const char* said;
    } cases[] = {
        {R"(cat > "$0.job"; echo "$@" > "$0.args")", milliseconds(60000), false, true, false, ""},
        {"echo 'lp: Error - The printer or class is not accepting jobs.' >&2; exit 1",
         milliseconds(60000), false, false, true, kNotAccepting},
        {nullptr, milliseconds(60000), false, false, true, "could not be started"},
        {"exec sleep 60", milliseconds(200), false, false, false, "did not answer"},
        {"exec sleep 60", milliseconds(60000), true, false, false, "cancelled"},
    };
    for (const auto& [script, wait, cancel, taken, refused, said] : cases) {
        SCOPED_TRACE(script ? script : "no print command");
        std::filesystem::remove(lp);
        if (script) {
            programDir.Write("lp", std::string("#!/bin/sh\n") + script + "\n");
            std::filesystem::permissions(lp, std::filesystem::perms::owner_all);
        }
        SystemPrinter system(QString::fromStdString(lp), wait);
        mwtest::ModalDriver driver;
        if (cancel) driver.When<QDialog>([](QDialog*) { PressKey(Qt::Key_Return); });
        const JobEnd end = system.PrintRaw(QStringLiteral("Office"), "page 1\f",
                                           QStringLiteral("Client report 1"), nullptr);
        EXPECT_EQ(end.status.ok(), taken);
        EXPECT_EQ(end.refused, refused);
        if (!taken) {
            EXPECT_NE(end.status.error().message.find(said), std::string::npos);
        }
    }
    EXPECT_EQ(programDir.Read("lp.job"), "page 1\f");
    EXPECT_EQ(programDir.Read("lp.args"), "-d Office -s -o raw -t Client report 1\n");
}

TEST(SystemPrinterTest, APrinterIsPickedFromTheKeyboard) {
    SystemPrinter system;
    const QStringList printers{QStringLiteral("Hall"), QStringLiteral("Office")};
    for (const auto& [key, picked] :
         {std::pair{Qt::Key_Down, QStringLiteral("Office")}, {Qt::Key_Escape, QString()}}) {
        mwtest::ModalDriver driver;
        driver.When<QInputDialog>([key](QInputDialog*) {
            PressKey(key);
            if (key != Qt::Key_Escape) PressKey(Qt::Key_Return);
        });
        EXPECT_EQ(system.ChoosePrinter(nullptr, printers), picked);
        EXPECT_TRUE(driver.Done());
    }
}

// Without a printer a batch asks once, for one folder, and says what it saved there.
TEST_F(PrintingTest, WithoutAPrinterABatchGoesToPdfFilesInOneFolderAskedForOnce) {
    LoadDisk(mwtest::Clients(3));
    printer.Unplug();
    platform.Next(MsgAnswer::No);
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 0);
    platform.Next(MsgAnswer::Yes);  // and then the folder dialog is cancelled
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 0);
    EXPECT_FALSE(programDir.Exists("REPORT.PRN"));

    // Named by the data disk's folder and the client's number.
    const std::string diskName = std::filesystem::path(disk.Path()).filename().string();
    const auto pdf = [&](int client, const std::string& copy = "") {
        return diskName + " - Client " + std::to_string(client) + " report" + copy + ".pdf";
    };
    mwtest::TempDir folder;
    printer.pdfFolder = QString::fromStdString(folder.Path());
    const QString saved =
        QStringLiteral("Reports saved as PDF files: 2 of 2.\n\nFolder: ") + printer.pdfFolder;
    platform.Next({MsgAnswer::Yes, MsgAnswer::Ok});
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 2);
    EXPECT_EQ(platform.shown.back().text, saved);
    EXPECT_NE(Uncompressed(folder.Read(pdf(3))).find("NAME: Client 3"), std::string::npos);
    EXPECT_TRUE(folder.Exists(pdf(1)) && !folder.Exists(pdf(2)));
    EXPECT_TRUE(printer.jobs.empty());
    EXPECT_EQ(printer.foldersSuggested.size(), 2u);
    EXPECT_NE(programDir.Read("MW.ini").find("PdfFolder=" + folder.Path()), std::string::npos);

    // The files of an earlier batch are replaced only when the user says so,
    // once; else the new ones may go beside them, numbered, or nowhere.
    folder.Write(pdf(1), "an older report");
    const QString beside = QStringLiteral(
        "No file was replaced, and no report has been saved yet.\n\nSave the reports under new, "
        "numbered file names beside the earlier ones?");
    platform.Next({MsgAnswer::Yes, MsgAnswer::No});
    platform.Next(MsgAnswer::No);
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 0);
    EXPECT_EQ(platform.shown.back().text, beside);
    EXPECT_FALSE(folder.Exists(pdf(1, " (2)")));

    platform.Next({MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::Ok});
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 2);
    EXPECT_EQ(platform.shown.back().text, saved);
    EXPECT_EQ(folder.Read(pdf(1)), "an older report");
    EXPECT_NE(Uncompressed(folder.Read(pdf(1, " (2)"))).find("NAME: Client 1"), std::string::npos);
    EXPECT_TRUE(folder.Exists(pdf(3, " (2)")));

    platform.Next({MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Ok});
    EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false), 2);
    EXPECT_NE(Uncompressed(folder.Read(pdf(1))).find("NAME: Client 1"), std::string::npos);
    EXPECT_FALSE(folder.Exists(pdf(1, " (3)")));
}

// A batch goes to one printer, picked once when none is the default; without
// a printer, or once the queue refuses the raw text, to PDF files in a folder.
TEST_F(PrintingTest, ABatchGoesToOnePrinterPickedOnceOrToPdfFiles) {
    LoadDisk(mwtest::Clients(3));
    const auto [noPrinter, refused] =
        PdfOffers("Save the reports as PDF files in a folder instead?");
    const struct {
        const char* what;
        Printers printers;
        bool dos;
        int refusedFrom;  // the job the queue refuses first; 0: none
        QString asked;    // the box shown and answered Yes; none when empty
        std::vector<QString> printedOn;
        int savedAsPdf;
    } cases[] = {
        {"a picked printer", hallPicked, false, 0, {}, {hall, hall}, 0},
        {"none picked", nonePicked, false, 0, {}, {}, 0},
        {"no printer for raw text", none, true, 0, noPrinter, {}, 2},
        {"raw text refused", byDefault, true, 1, refused, {}, 2},
        {"raw text refused after a report", byDefault, true, 2, refused, {office}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mwtest::TempDir folder;
        mwtest::FakePrinter fake;
        Use(fake, c.printers);
        fake.refuses = true;
        fake.pdfFolder = QString::fromStdString(folder.Path());
        int jobs = 0;
        fake.whilePrinting = [&] {
            if (++jobs == c.refusedFrom) fake.failure = MakeError(errc::DeviceIo, kNotAccepting);
        };
        state.PrintToDOS = c.dos;
        platform.shown.clear();
        Texts said;
        if (!c.asked.isEmpty()) {
            said = {c.asked, QStringLiteral("Reports saved as PDF files: %1 of %1.\n\nFolder: %2")
                                 .arg(c.savedAsPdf)
                                 .arg(fake.pdfFolder)};
            platform.Next({MsgAnswer::Yes, MsgAnswer::Ok});
        }
        EXPECT_EQ(PrintReports(ctx, nullptr, {1, 3}, false),
                  static_cast<int>(c.printedOn.size()) + c.savedAsPdf);
        EXPECT_EQ(platform.Texts(), said);
        EXPECT_EQ(fake.jobPrinters, c.printedOn);
        EXPECT_EQ(fake.choicesOffered.size(), Picks(c.printers) ? 1u : 0u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}),
                  c.savedAsPdf);
        EXPECT_FALSE(programDir.Exists("REPORT.PRN") || programDir.Exists("temp1"));
    }
    ctx.printer = &printer;
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
