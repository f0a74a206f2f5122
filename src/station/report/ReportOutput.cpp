#include "station/report/ReportOutput.h"

#include <QDir>
#include <algorithm>
#include <string>

#include "core/data/Cp1252.h"
#include "core/report/PdfWriter.h"
#include "core/report/ScoreAndPrint.h"
#include "core/settings/Settings.h"
#include "station/report/ReportPrinter.h"
#include "station/screen/AuditTrail.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

const char* const kPrintTitle = "Print Report";

ScoreAndPrint Reports(const StationContext& ctx) {
    return ScoreAndPrint(ctx.fs, ctx.programDir);
}

std::string ReportPath(const StationContext& ctx) {
    return Reports(ctx).ReportPath();
}

// The copy of the n-th report of a batch: "temp" and its number, no extension.
std::string TempCopyPath(const StationContext& ctx, std::size_t n) {
    return JoinPath(ctx.programDir, "temp" + std::to_string(n));
}

void ShowFailure(StationContext& ctx, const char* what, const Error& error) {
    ctx.platform.MsgBox({.text = QString::fromUtf8(what) + QLatin1Char('\n') + ErrorText(error),
                         .icon = MsgIcon::Exclamation,
                         .title = QString::fromUtf8(kPrintTitle)});
}

Result<std::string> ReadReportBytes(StationContext& ctx) {
    Result<std::string> bytes = ctx.fs.ReadFile(ReportPath(ctx));
    if (!bytes) ShowError(ctx.platform, bytes.error());
    return bytes;
}

// A batch's copy is a new file of its own; REPORT.PRN is overwritten in place.
bool CopyFile(StationContext& ctx, const std::string& from, const std::string& to, bool newFile) {
    Result<std::string> bytes = ctx.fs.ReadFile(from);
    Status copied = !bytes    ? bytes.status()
                    : newFile ? ctx.fs.WriteFile(to, *bytes)
                              : OverwriteFile(ctx.fs, to, *bytes);
    if (!copied) ShowError(ctx.platform, copied.error());
    return copied.ok();
}

// Printed by job name in a shared queue, so the name tells the test number only.
QString JobName(const StationContext& ctx) {
    return QStringLiteral("Client report %1").arg(ctx.state.CurrentRecord);
}

bool OfferPdf(StationContext& ctx, QWidget* parent) {
    const MsgAnswer save =
        ctx.platform.MsgBox({.text = QStringLiteral("No printer is set up on this computer.\n\n"
                                                    "Save the report as a PDF file instead?"),
                             .buttons = MsgButtons::YesNo,
                             .icon = MsgIcon::Exclamation,
                             .title = QString::fromUtf8(kPrintTitle)});
    return save == MsgAnswer::Yes && SaveReportAsPdf(ctx, parent);
}

// A line printer ejects its last page only at a form feed.
Status PrintRaw(StationContext& ctx, std::string bytes, QWidget* parent) {
    if (bytes.empty() || bytes.back() != '\f') bytes += '\f';
    return PrinterOf(ctx).PrintRaw(bytes, JobName(ctx), parent);
}

// The report file as a PDF file on the system's paper; a failure is shown.
bool WritePdf(StationContext& ctx, const std::string& path, std::string_view report) {
    const Status saved = WriteReportPdf(ctx.fs, path, report, SystemPaper(ctx.fs));
    if (!saved) {
        ShowFailure(ctx, "The PDF file was not saved.", saved.error());
        return false;
    }
    Audit(ctx, {AuditEvent::Exported, ctx.state.CurrentRecord, "PDF report"});
    return true;
}

QString PdfName(int record) {
    return QStringLiteral("Client %1 report.pdf").arg(record);
}

QString PdfName(const StationContext& ctx) {
    return PdfName(ctx.state.CurrentRecord);
}

bool SavePdfIn(StationContext& ctx, const std::string& folder) {
    Result<std::string> bytes = ReadReportBytes(ctx);
    return bytes && WritePdf(ctx, JoinPath(folder, PdfName(ctx).toStdString()), *bytes);
}

// The files of an earlier batch in the folder are replaced only when the user
// says so, once for the whole batch.
bool MayReplacePdfs(StationContext& ctx, const std::string& folder,
                    const std::vector<int>& records) {
    const auto there = std::ranges::count_if(records, [&](int record) {
        return ctx.fs.FileExists(JoinPath(folder, PdfName(record).toStdString()));
    });
    if (there == 0) return true;
    return ctx.platform.MsgBox(
               {.text = QStringLiteral("%1 of these reports already have a PDF file in the "
                                       "folder, from an earlier printing.\n\nReplace them?")
                            .arg(there),
                .buttons = MsgButtons::YesNo,
                .icon = MsgIcon::Question,
                .title = QString::fromUtf8(kPrintTitle)}) == MsgAnswer::Yes;
}

// Without a printer a batch of reports goes to PDF files in one folder, asked
// for once and remembered; empty when the user would rather not.
std::string AskPdfFolder(StationContext& ctx, QWidget* parent, const std::vector<int>& records) {
    const MsgAnswer save =
        ctx.platform.MsgBox({.text = QStringLiteral("No printer is set up on this computer.\n\n"
                                                    "Save the reports as PDF files in a folder "
                                                    "instead?"),
                             .buttons = MsgButtons::YesNo,
                             .icon = MsgIcon::Exclamation,
                             .title = QString::fromUtf8(kPrintTitle)});
    if (save != MsgAnswer::Yes) return {};
    Settings ini = ctx.Ini();
    const std::string last = ini.GetPdfFolder();
    const QString folder = PrinterOf(ctx).AskPdfFolder(
        parent, last.empty() ? QDir::homePath() : QString::fromStdString(last));
    if (folder.isEmpty()) return {};
    if (Status saved = ini.SavePdfFolder(folder.toStdString()); !saved) {
        ShowError(ctx.platform, saved.error());
    }
    return MayReplacePdfs(ctx, folder.toStdString(), records) ? folder.toStdString()
                                                              : std::string();
}

void TellPdfsSaved(StationContext& ctx, int saved, std::size_t total, const std::string& folder) {
    ctx.platform.MsgBox(
        {.text = QStringLiteral("Reports saved as PDF files: %1 of %2.\n\nFolder: %3")
                     .arg(saved)
                     .arg(total)
                     .arg(QString::fromStdString(folder)),
         .icon = MsgIcon::Information,
         .title = QString::fromUtf8(kPrintTitle)});
}

}  // namespace

ReportPrinter& PrinterOf(StationContext& ctx) {
    static SystemPrinter system;
    return ctx.printer ? *ctx.printer : system;
}

bool MakeReport(StationContext& ctx, bool summary) {
    Result<std::vector<std::string>> problems = Reports(ctx).Run(ctx.state, summary);
    if (!problems) {
        ShowError(ctx.platform, problems.error());
        return false;
    }
    if (!problems->empty()) {
        QString text = QStringLiteral(
            "Parts of the report texts are missing; the report prints "
            "without them:");
        for (const std::string& problem : *problems) {
            text += QLatin1Char('\n') + QString::fromStdString(problem);
        }
        ctx.platform.MsgBox({.text = text, .icon = MsgIcon::Exclamation});
    }
    return true;
}

Result<QString> ReadReportText(StationContext& ctx) {
    Result<std::string> bytes = ctx.fs.ReadFile(ReportPath(ctx));
    if (!bytes) return bytes.error();
    return QString::fromStdString(Cp1252ToUtf8(*bytes));
}

PrintOutcome PrintReportFile(StationContext& ctx, QWidget* parent) {
    Result<std::string> bytes = ReadReportBytes(ctx);
    if (!bytes) return PrintOutcome::NotPrinted;
    ReportPrinter& printer = PrinterOf(ctx);
    if (!ctx.state.PrintToDOS && !printer.HasDefaultPrinter()) {
        return OfferPdf(ctx, parent) ? PrintOutcome::SavedAsPdf : PrintOutcome::NotPrinted;
    }
    ctx.platform.MouseWait();
    const Status printed =
        ctx.state.PrintToDOS
            ? PrintRaw(ctx, *bytes, parent)
            : printer.Print(QString::fromStdString(Cp1252ToUtf8(*bytes)), JobName(ctx));
    ctx.platform.MouseDefault();
    if (!printed) {
        ShowFailure(ctx, "The report was not printed.", printed.error());
        return PrintOutcome::NotPrinted;
    }
    Audit(ctx, {AuditEvent::ReportPrinted, ctx.state.CurrentRecord});
    return PrintOutcome::Printed;
}

bool SaveReportAsPdf(StationContext& ctx, QWidget* parent) {
    Result<std::string> bytes = ReadReportBytes(ctx);
    if (!bytes) return false;
    const QString path = PrinterOf(ctx).AskPdfPath(parent, QDir::home().filePath(PdfName(ctx)));
    return !path.isEmpty() && WritePdf(ctx, path.toStdString(), *bytes);
}

// All reports are made before the first is printed; a report that cannot be
// made stops the run before anything prints, and the first that does not
// print stops the rest (the printer would fail them too). Without a printer
// they are saved as PDF files instead. The copies and REPORT.PRN go whatever
// happened: they hold client names.
int PrintReports(StationContext& ctx, QWidget* parent, const std::vector<int>& records,
                 bool summary) {
    const bool toPdf = !ctx.state.PrintToDOS && !PrinterOf(ctx).HasDefaultPrinter();
    const std::string folder = toPdf ? AskPdfFolder(ctx, parent, records) : std::string();
    if (toPdf && folder.empty()) return 0;
    StationState& state = ctx.state;
    const std::string report = ReportPath(ctx);
    std::vector<std::string> copies;
    ctx.platform.MouseWait();
    for (int record : records) {
        state.CurrentRecord = static_cast<std::int16_t>(record);
        const std::string copy = TempCopyPath(ctx, copies.size() + 1);
        if (!MakeReport(ctx, summary) || !CopyFile(ctx, report, copy, true)) break;
        copies.push_back(copy);
    }
    int done = 0;
    if (copies.size() == records.size()) {
        for (std::size_t k = 0; k < copies.size(); ++k) {
            state.CurrentRecord = static_cast<std::int16_t>(records[k]);
            if (!CopyFile(ctx, copies[k], report, false)) break;
            if (toPdf ? !SavePdfIn(ctx, folder)
                      : PrintReportFile(ctx, parent) == PrintOutcome::NotPrinted) {
                break;
            }
            ++done;
        }
    }
    RemoveReportFiles(ctx);
    ctx.platform.MouseDefault();
    if (toPdf) TellPdfsSaved(ctx, done, records.size(), folder);
    return done;
}

bool RemoveReportFiles(StationContext& ctx) {
    // The temporary of a report that the command-line tool was writing when it was killed.
    std::vector<std::string> files{ReportPath(ctx), ReplacementPath(ReportPath(ctx))};
    for (std::size_t n = 1; n <= kMaxClients; ++n) files.push_back(TempCopyPath(ctx, n));
    bool removed = true;
    for (const std::string& file : files) {
        if (Status wiped = ctx.fs.WipeFile(file); !wiped) {
            ShowError(ctx.platform, wiped.error());
            removed = false;
        }
    }
    return removed;
}

}  // namespace mw
