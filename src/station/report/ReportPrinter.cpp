#include "station/report/ReportPrinter.h"

#include <QDialog>
#include <QFileDialog>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/report/PageLayout.h"
#include "station/screen/ScreenHelpers.h"

namespace mw {
namespace {

constexpr int kRawPrintWaitMs = 60000;

Error PrintError(const std::string& what) {
    return MakeError(errc::DeviceIo, what);
}

QFont ReportFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// The default printer, with the paper's corner as the origin: the report's
// own margins place the lines.
void UseDefaultPrinter(QPrinter& printer) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        printer.setPrinterName(info.printerName());
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

bool SystemPrinter::HasDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

Status SystemPrinter::Print(const QString& report, const QString& jobName) {
    if (!HasDefaultPrinter()) return PrintError("no printer is set up");
    QPrinter printer(QPrinter::HighResolution);
    UseDefaultPrinter(printer);
    printer.setDocName(jobName);
    // A printer that cannot be used turns the job into a nameless PDF: refuse that.
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
        return PrintError("the default printer cannot be used");
    }
    if (Status st = RenderReport(printer, report); !st) return st;
    if (printer.printerState() == QPrinter::Error) return PrintError("the printer failed the job");
    return {};
}

Status SystemPrinter::PrintRaw(const std::string& bytes, const QString& jobName) {
    QProcess lp;
    lp.start(QStringLiteral("lp"), {QStringLiteral("-s"), QStringLiteral("-o"),
                                    QStringLiteral("raw"), QStringLiteral("-t"), jobName});
    if (!lp.waitForStarted()) {
        return PrintError("the print command lp could not be started");
    }
    lp.write(bytes.data(), static_cast<qint64>(bytes.size()));
    lp.closeWriteChannel();
    if (!lp.waitForFinished(kRawPrintWaitMs) || lp.exitStatus() != QProcess::NormalExit ||
        lp.exitCode() != 0) {
        const QString why = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
        return PrintError("the print queue refused the report" +
                          (why.isEmpty() ? std::string() : ": " + why.toStdString()));
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
    UseDefaultPrinter(printer);
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
