#include "station/report/ReportPrinter.h"

#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFont>
#include <QFontMetricsF>
#include <QInputDialog>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>
#include <utility>

#include "core/report/PageLayout.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"

namespace mw {
namespace {

// How long a raw job may take before the station says what it waits for.
constexpr std::chrono::milliseconds kQueueWindowAfter(500);

Error PrintError(const std::string& what) {
    return MakeError(errc::DeviceIo, what);
}

QFont ReportFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// The named printer, with the paper's corner as the origin: the report's
// own margins place the lines. Without a name, a PDF on the system's paper.
void UsePrinter(QPrinter& printer, const QString& name) {
    if (!name.isEmpty()) {
        printer.setPrinterName(name);
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(PageSizeOf(SystemPaper(LocalFileSystem())));
    }
    printer.setFullPage(true);
}

// One page of the report on its sheet, laid out as the PDF files lay it out.
void DrawPage(QPainter& painter, const PageLines& lines, const Paper& paper,
              double pixelsPerPoint) {
    const PageOnSheet layout = LayoutPage(lines.size(), paper);
    QFont font = ReportFont();
    font.setPointSizeF(layout.fontPoints);
    painter.setFont(font);
    const double ascent = QFontMetricsF(font, painter.device()).ascent();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double top =
            (kTopBottomMarginPoints + layout.pitchPoints * static_cast<double>(i)) * pixelsPerPoint;
        painter.drawText(QPointF(kSideMarginPoints * pixelsPerPoint, top + ascent),
                         QString::fromStdString(lines[i]));
    }
}

enum class QueueWait { Taken, NoAnswer, Cancelled };

// Lets the station's events run until `lp` ends, `wait` has passed or the
// user cancels in the window that comes up when the queue takes its time.
QueueWait AwaitQueue(QProcess& lp, std::chrono::milliseconds wait, QWidget* parent) {
    QDialog window(parent);
    window.setObjectName(QStringLiteral("frmPrintQueue"));
    window.setWindowTitle(QStringLiteral("Print Report"));
    window.setWindowModality(Qt::ApplicationModal);
    auto* label = Named<QLabel>(&window, "lblWaiting",
                                QStringLiteral("Waiting for the print queue to take the report."));
    MenuChoices* menu = AddMenu(&window, "frMenu", {{QStringLiteral("Cancel Printing"), QString()}},
                                nullptr, [&window](int) { window.reject(); });
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(label);
    layout->addWidget(menu->Frame(), 0, Qt::AlignHCenter);
    FitAndCenter(&window, menu->Button(0));

    std::optional<QueueWait> end;
    QEventLoop loop;
    const auto endWith = [&](QueueWait how) {
        if (!end) end = how;
        loop.quit();
    };
    QObject::connect(&lp, &QProcess::finished, &loop, [&] { endWith(QueueWait::Taken); });
    QObject::connect(&window, &QDialog::rejected, &loop, [&] { endWith(QueueWait::Cancelled); });
    QTimer::singleShot(wait, &loop, [&] { endWith(QueueWait::NoAnswer); });
    if (lp.state() == QProcess::NotRunning) return QueueWait::Taken;
    // A queue that takes the job at once shows no window. Until the window
    // is up, keys and clicks wait, so that the screen under it cannot start
    // a second job.
    QTimer::singleShot(kQueueWindowAfter, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!end) {
        window.show();
        loop.exec();
    }
    if (end != QueueWait::Taken) {
        // The job is withdrawn: a queue that answers late prints nothing unasked for.
        lp.kill();
        lp.waitForFinished();
    }
    return *end;
}

}  // namespace

QPageSize PageSizeOf(const Paper& paper) {
    return QPageSize(QSizeF(paper.widthPoints, paper.heightPoints), QPageSize::Point, QString(),
                     QPageSize::FuzzyMatch);
}

Status RenderReport(QPagedPaintDevice& device, const QString& report) {
    device.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    const QRectF sheet = device.pageLayout().fullRect(QPageLayout::Point);
    const Paper paper{sheet.width(), sheet.height()};
    const std::vector<PageLines> pages = SplitPages(report.toStdString());
    QPainter painter;
    if (!painter.begin(&device)) return PrintError("the printer could not start the job");
    const double pixelsPerPoint = device.logicalDpiY() / 72.0;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0 && !device.newPage()) return PrintError("the printer refused a new page");
        DrawPage(painter, pages[page], paper, pixelsPerPoint);
    }
    if (!painter.end()) return PrintError("the printer could not finish the job");
    return {};
}

QStringList SystemPrinter::Printers() {
    return QPrinterInfo::availablePrinterNames();
}

QString SystemPrinter::DefaultPrinter() {
    return QPrinterInfo::defaultPrinterName();
}

QString SystemPrinter::ChoosePrinter(QWidget* parent, const QStringList& printers) {
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmChoosePrinter"));
    dialog.setWindowTitle(QStringLiteral("Print Report"));
    dialog.setLabelText(
        QStringLiteral("No printer is set as this computer's default.\n"
                       "Print on this printer:"));
    dialog.setComboBoxItems(printers);
    dialog.setComboBoxEditable(false);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

Status SystemPrinter::Print(const QString& name, const QString& report, const QString& jobName) {
    QPrinter printer(QPrinter::HighResolution);
    UsePrinter(printer, name);
    printer.setDocName(jobName);
    // A printer that cannot be used turns the job into a nameless PDF: refuse that.
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
        return PrintError("the printer " + name.toStdString() + " cannot be used");
    }
    if (Status st = RenderReport(printer, report); !st) return st;
    if (printer.printerState() == QPrinter::Error) return PrintError("the printer failed the job");
    return {};
}

SystemPrinter::SystemPrinter(QString rawCommand, std::chrono::milliseconds rawWait)
    : rawCommand_(std::move(rawCommand)), rawWait_(rawWait) {}

JobEnd SystemPrinter::PrintRaw(const QString& printer, const std::string& bytes,
                               const QString& jobName, QWidget* parent) {
    QProcess lp;
    lp.start(rawCommand_,
             {QStringLiteral("-d"), printer, QStringLiteral("-s"), QStringLiteral("-o"),
              QStringLiteral("raw"), QStringLiteral("-t"), jobName});
    if (!lp.waitForStarted()) {
        return {
            PrintError("the print command " + rawCommand_.toStdString() + " could not be started"),
            true};
    }
    lp.write(bytes.data(), static_cast<qint64>(bytes.size()));
    lp.closeWriteChannel();
    switch (AwaitQueue(lp, rawWait_, parent)) {
        case QueueWait::NoAnswer:
            return {PrintError(
                "the print queue did not answer within " +
                std::to_string(std::chrono::ceil<std::chrono::seconds>(rawWait_).count()) +
                " seconds; is the printer on and connected?")};
        case QueueWait::Cancelled:
            return {PrintError("printing was cancelled before the print queue took the report")};
        case QueueWait::Taken:
            break;
    }
    if (lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        // What the print command said is the reason the user can act on.
        const QString why = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
        return {
            PrintError(why.isEmpty() ? "the print queue refused the report" : why.toStdString()),
            true};
    }
    return {};
}

QString SystemPrinter::AskPdfPath(QWidget* parent, const QString& suggested) {
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save Report as PDF"),
                                                suggested, QStringLiteral("PDF files (*.pdf)"));
    if (!path.isEmpty() && !path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    return path;
}

QString SystemPrinter::AskPdfFolder(QWidget* parent, const QString& suggested) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Save Reports as PDF Files"),
                                             suggested);
}

// A preview of our own rather than the toolkit's dialog: that one has a
// print button of its own, which would go around the checks made before
// every job.
void SystemPrinter::Preview(QWidget* parent, const QString& report) {
    QPrinter printer(QPrinter::HighResolution);
    UsePrinter(printer, DefaultPrinter());
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmPrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    auto* view = new QPrintPreviewWidget(&printer, &dialog);
    QObject::connect(view, &QPrintPreviewWidget::paintRequested, &dialog,
                     [&report](QPrinter* device) { RenderReport(*device, report); });
    auto* cmdClose = new QPushButton(QStringLiteral("&Close"), &dialog);
    QObject::connect(cmdClose, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view, 1);
    layout->addWidget(cmdClose, 0, Qt::AlignHCenter);
    dialog.resize(QSize(760, 900).boundedTo(ScreenRoom(&dialog)));
    CenterForm(&dialog);
    view->setFocus();
    dialog.exec();
}

}  // namespace mw
