#include "station/report/ReportOutput.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <optional>
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
const char* const kNoPrinter = "No printer is set up on this computer.";

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

bool Ask(StationContext& ctx, const QString& text, MsgIcon icon) {
    return ctx.platform.MsgBox({.text = text,
                                .buttons = MsgButtons::YesNo,
                                .icon = icon,
                                .title = QString::fromUtf8(kPrintTitle)}) == MsgAnswer::Yes;
}

// The print queue a printing goes to: the default one, else the one the
// user picks among those set up. `none`: no queue is set up at all.
struct Queue {
    QString name;
    bool none = false;
};

Queue ChooseQueue(StationContext& ctx, QWidget* parent) {
    ReportPrinter& printer = PrinterOf(ctx);
    if (QString name = printer.DefaultPrinter(); !name.isEmpty()) return {name};
    const QStringList queues = printer.Printers();
    if (queues.isEmpty()) return {.name = {}, .none = true};
    return {printer.ChoosePrinter(parent, queues)};
}

// Why a refused job printed nothing, in the words of the print system.
QString Refusal(const QString& queue, const JobEnd& end) {
    return QStringLiteral("The printer %1 did not take the report:\n%2")
        .arg(queue, QString::fromStdString(end.status.error().message));
}

bool OfferPdf(StationContext& ctx, QWidget* parent, const QString& why) {
    return Ask(ctx, why + QStringLiteral("\n\nSave the report as a PDF file instead?"),
               MsgIcon::Exclamation) &&
           SaveReportAsPdf(ctx, parent);
}

// A line printer ejects its last page only at a form feed.
JobEnd PrintRaw(StationContext& ctx, const QString& queue, std::string bytes, QWidget* parent) {
    if (bytes.empty() || bytes.back() != '\f') bytes += '\f';
    return PrinterOf(ctx).PrintRaw(queue, bytes, JobName(ctx), parent);
}

// REPORT.PRN as one job on `queue`: laid out on its sheets or, with "Print
// to DOS port" on, as the raw text a line printer takes. A printed job is
// logged; every failure but a refusal is shown.
JobEnd PrintJob(StationContext& ctx, QWidget* parent, const QString& queue) {
    Result<std::string> bytes = ReadReportBytes(ctx);
    if (!bytes) return {bytes.status()};
    ctx.platform.MouseWait();
    const JobEnd end =
        ctx.state.PrintToDOS
            ? PrintRaw(ctx, queue, *bytes, parent)
            : JobEnd{PrinterOf(ctx).Print(queue, QString::fromStdString(Cp1252ToUtf8(*bytes)),
                                          JobName(ctx))};
    ctx.platform.MouseDefault();
    if (end.status) {
        Audit(ctx, {AuditEvent::ReportPrinted, ctx.state.CurrentRecord});
    } else if (!end.refused) {
        ShowFailure(ctx, "The report was not printed.", end.status.error());
    }
    return end;
}

// The report file as a PDF file on the system's paper; a failure is shown.
bool WritePdf(StationContext& ctx, const std::string& path, std::string_view report) {
    const Status saved = WriteReportPdf(ctx.fs, path, report, SystemPaper(ctx.fs), ctx.clock.Now());
    if (!saved) {
        ShowFailure(ctx, "The PDF file was not saved.", saved.error());
        return false;
    }
    Audit(ctx, {AuditEvent::Exported, ctx.state.CurrentRecord, "PDF report"});
    return true;
}

// What tells one data disk's PDF files from another's in a shared folder:
// the name of the disk's folder (a stick's label, where the desktop mounts
// sticks under their labels), in characters every file system takes.
QString DiskName(const std::string& dataPath) {
    constexpr qsizetype kLongest = 40;
    QString name = QString::fromStdString(dataPath);
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (name.endsWith(QLatin1Char('/'))) name.chop(1);
    name = name.section(QLatin1Char('/'), -1).left(kLongest);
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && !QStringLiteral(" -_.").contains(c)) c = QLatin1Char('_');
    }
    // Nor a hidden file, nor a name ending in a dot or blank.
    name.remove(QRegularExpression(QStringLiteral("^[ ._]+|[ ._]+$")));
    return name.isEmpty() ? QStringLiteral("disk") : name;
}

// "<disk> - Client <n> report.pdf"; a second or later `copy` beside the
// first is numbered.
QString PdfName(const StationContext& ctx, int record, int copy = 1) {
    QString name = DiskName(ctx.state.DataPath) + QStringLiteral(" - Client %1 report").arg(record);
    if (copy > 1) name += QStringLiteral(" (%1)").arg(copy);
    return name + QStringLiteral(".pdf");
}

// Where a batch's PDF files go. `besideEarlier`: the files of an earlier
// batch there stay, and a new file whose name is taken is numbered.
struct PdfFolder {
    std::string path;
    bool besideEarlier = false;
};

std::string PdfPathIn(const StationContext& ctx, const PdfFolder& folder, int record) {
    int copy = 1;
    std::string path = JoinPath(folder.path, PdfName(ctx, record).toStdString());
    while (folder.besideEarlier && ctx.fs.FileExists(path)) {
        path = JoinPath(folder.path, PdfName(ctx, record, ++copy).toStdString());
    }
    return path;
}

bool SavePdfIn(StationContext& ctx, const PdfFolder& folder) {
    Result<std::string> bytes = ReadReportBytes(ctx);
    return bytes && WritePdf(ctx, PdfPathIn(ctx, folder, ctx.state.CurrentRecord), *bytes);
}

// The files of an earlier batch in the folder are replaced only when the user
// says so, once for the whole batch; else the new ones may go beside them.
// False when the user would rather save nothing.
bool SettleEarlierPdfs(StationContext& ctx, PdfFolder& folder, const std::vector<int>& records) {
    const auto there = std::ranges::count_if(records, [&](int record) {
        return ctx.fs.FileExists(JoinPath(folder.path, PdfName(ctx, record).toStdString()));
    });
    if (there == 0 ||
        Ask(ctx,
            QStringLiteral("%1 of these reports already have a PDF file in the folder, from an "
                           "earlier printing.\n\nReplace them?")
                .arg(there),
            MsgIcon::Question)) {
        return true;
    }
    folder.besideEarlier = Ask(ctx,
                               QStringLiteral("No file was replaced, and no report has been saved "
                                              "yet.\n\nSave the reports under new, numbered file "
                                              "names beside the earlier ones?"),
                               MsgIcon::Question);
    return folder.besideEarlier;
}

// Without a printer a batch of reports goes to PDF files in one folder, asked
// for once and remembered; none when the user would rather not.
std::optional<PdfFolder> AskPdfFolder(StationContext& ctx, QWidget* parent,
                                      const std::vector<int>& records, const QString& why) {
    if (!Ask(ctx, why + QStringLiteral("\n\nSave the reports as PDF files in a folder instead?"),
             MsgIcon::Exclamation)) {
        return std::nullopt;
    }
    Settings ini = ctx.Ini();
    const std::string last = ini.GetPdfFolder();
    const QString chosen = PrinterOf(ctx).AskPdfFolder(
        parent, last.empty() ? QDir::homePath() : QString::fromStdString(last));
    if (chosen.isEmpty()) return std::nullopt;
    PdfFolder folder{chosen.toStdString()};
    if (Status saved = ini.SavePdfFolder(folder.path); !saved)
        ShowError(ctx.platform, saved.error());
    if (!SettleEarlierPdfs(ctx, folder, records)) return std::nullopt;
    return folder;
}

void TellPdfsSaved(StationContext& ctx, std::size_t saved, std::size_t total,
                   const std::string& folder) {
    ctx.platform.MsgBox(
        {.text = QStringLiteral("Reports saved as PDF files: %1 of %2.\n\nFolder: %3")
                     .arg(saved)
                     .arg(total)
                     .arg(QString::fromStdString(folder)),
         .icon = MsgIcon::Information,
         .title = QString::fromUtf8(kPrintTitle)});
}

// A batch's first pass: each report made and copied to "temp" and its
// number, up to the first that cannot be made. The copies made.
std::vector<std::string> MakeCopies(StationContext& ctx, const std::vector<int>& records,
                                    bool summary) {
    std::vector<std::string> copies;
    for (int record : records) {
        ctx.state.CurrentRecord = static_cast<std::int16_t>(record);
        const std::string copy = TempCopyPath(ctx, copies.size() + 1);
        if (!MakeReport(ctx, summary) || !CopyFile(ctx, ReportPath(ctx), copy, true)) break;
        copies.push_back(copy);
    }
    return copies;
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
    const Queue queue = ChooseQueue(ctx, parent);
    if (queue.none) {
        return OfferPdf(ctx, parent, QString::fromUtf8(kNoPrinter)) ? PrintOutcome::SavedAsPdf
                                                                    : PrintOutcome::NotPrinted;
    }
    if (queue.name.isEmpty()) return PrintOutcome::NotPrinted;
    const JobEnd end = PrintJob(ctx, parent, queue.name);
    if (end.status) return PrintOutcome::Printed;
    return end.refused && OfferPdf(ctx, parent, Refusal(queue.name, end))
               ? PrintOutcome::SavedAsPdf
               : PrintOutcome::NotPrinted;
}

bool SaveReportAsPdf(StationContext& ctx, QWidget* parent) {
    Result<std::string> bytes = ReadReportBytes(ctx);
    if (!bytes) return false;
    const QString path = PrinterOf(ctx).AskPdfPath(
        parent, QDir::home().filePath(PdfName(ctx, ctx.state.CurrentRecord)));
    return !path.isEmpty() && WritePdf(ctx, path.toStdString(), *bytes);
}

// All reports are made before the first is printed; a report that cannot be
// made stops the run before anything prints, and the first that does not
// print stops the rest (the printer would fail them too). Without a printer
// they are saved as PDF files instead, and so are the rest when the queue
// refuses one. The copies and REPORT.PRN go whatever happened: they hold
// client names.
int PrintReports(StationContext& ctx, QWidget* parent, const std::vector<int>& records,
                 bool summary) {
    const Queue queue = ChooseQueue(ctx, parent);
    std::optional<PdfFolder> pdfs;
    if (queue.none) {
        pdfs = AskPdfFolder(ctx, parent, records, QString::fromUtf8(kNoPrinter));
        if (!pdfs) return 0;
    } else if (queue.name.isEmpty()) {
        return 0;
    }
    ctx.platform.MouseWait();
    const std::vector<std::string> copies = MakeCopies(ctx, records, summary);
    // Nothing prints unless every report was made.
    const std::size_t count = copies.size() == records.size() ? copies.size() : 0;
    std::size_t done = 0;
    std::size_t firstPdf = 0;
    for (std::size_t k = 0; k < count; ++k) {
        ctx.state.CurrentRecord = static_cast<std::int16_t>(records[k]);
        if (!CopyFile(ctx, copies[k], ReportPath(ctx), false)) break;
        if (!pdfs) {
            const JobEnd end = PrintJob(ctx, parent, queue.name);
            if (end.status) {
                ++done;
                continue;
            }
            if (!end.refused) break;
            const std::vector<int> rest(records.begin() + static_cast<std::ptrdiff_t>(k),
                                        records.end());
            ctx.platform.MouseDefault();
            pdfs = AskPdfFolder(ctx, parent, rest, Refusal(queue.name, end));
            ctx.platform.MouseWait();
            if (!pdfs) break;
            firstPdf = k;
        }
        if (!SavePdfIn(ctx, *pdfs)) break;
        ++done;
    }
    RemoveReportFiles(ctx);
    ctx.platform.MouseDefault();
    if (pdfs) TellPdfsSaved(ctx, done - firstPdf, records.size() - firstPdf, pdfs->path);
    return static_cast<int>(done);
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
