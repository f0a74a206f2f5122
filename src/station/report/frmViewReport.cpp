#include "station/report/frmViewReport.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cmath>

#include "station/report/ReportOutput.h"
#include "station/report/ReportPrinter.h"
#include "station/screen/AuditTrail.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/ScreenLook.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

constexpr int kShownLines = 32;
// A report line is 80 columns; the rest is room for the box's margins and
// its scroll bar.
constexpr int kShownColumns = 84;

// The size of the box for whole report lines, in its own type.
QSize WholeLines(const QPlainTextEdit* text) {
    const QFontMetrics metrics = text->fontMetrics();
    return {metrics.horizontalAdvance(QString(kShownColumns, QLatin1Char('M'))),
            metrics.lineSpacing() * kShownLines};
}

// A line that needs a sideways scroll is never read whole: on a screen too
// narrow for the station's type the report is set as large as the width
// allows, never smaller than the usual type.
void FitTypeToWidth(QPlainTextEdit* text, int width) {
    QFont font = text->font();
    int pixels = QFontInfo(font).pixelSize();
    const int usual = CurrentScreenLook().largeType
                          ? static_cast<int>(std::ceil(pixels / kLargeTypeScale))
                          : pixels;
    while (WholeLines(text).width() > width && pixels > usual) {
        font.setPixelSize(--pixels);
        text->setFont(font);
    }
}

// The keys that scroll the report: from a button they move into the text.
bool ScrollsReport(int key) {
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up ||
           key == Qt::Key_Down;
}

// Page breaks show as empty lines on the screen.
QString ScreenText(QString report) {
    report.remove(QLatin1Char('\f'));
    report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (report.endsWith(QLatin1Char('\n'))) report.chop(1);
    return report;
}

}  // namespace

ReportViewer::ReportViewer(StationContext& ctx, QWidget* parent, const char* name, bool summary,
                           bool disableWhilePrinting)
    : QDialog(parent), ctx_(ctx), summary_(summary), disableWhilePrinting_(disableWhilePrinting) {
    setObjectName(QLatin1String(name));
    setWindowTitle(QStringLiteral("Client Report"));

    auto* fraAll = Named<QWidget>(this, "fraAll");
    Text1_ = Named<QPlainTextEdit>(fraAll, "Text1");
    Text1_->setReadOnly(true);
    Text1_->setTabChangesFocus(true);
    Text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    Text1_->setFont(font);

    cmdPrintReport_ = Named<QPushButton>(fraAll, "cmdPrintReport", QStringLiteral("&Print Report"));
    cmdPreview_ = Named<QPushButton>(fraAll, "cmdPreview", QStringLiteral("Print Pre&view"));
    cmdSavePdf_ = Named<QPushButton>(fraAll, "cmdSavePdf", QStringLiteral("Save as P&DF"));
    cmdCancel_ = Named<QPushButton>(fraAll, "cmdCancel", QStringLiteral("&Close"));
    connect(cmdPrintReport_, &QPushButton::clicked, this, &ReportViewer::cmdPrintReport_Click);
    connect(cmdPreview_, &QPushButton::clicked, this, &ReportViewer::cmdPreview_Click);
    connect(cmdSavePdf_, &QPushButton::clicked, this, &ReportViewer::cmdSavePdf_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    // Whole report lines where the screen has room; on a smaller screen the
    // box, which scrolls down, is lower and the buttons stay in sight.
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    const QSize rest(6 * margin, 6 * margin + cmdPrintReport_->sizeHint().height());
    const QSize room = ScreenRoom(this) - rest;
    FitTypeToWidth(Text1_, room.width());
    Text1_->setMinimumSize(WholeLines(Text1_).boundedTo(room));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdPrintReport_, cmdPreview_, cmdSavePdf_, cmdCancel_}) {
        button->installEventFilter(this);
        buttons->addWidget(button);
    }
    auto* frame = new QVBoxLayout(fraAll);
    frame->addWidget(Text1_, 1);
    frame->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraAll);
    FitAndCenter(this, cmdPrintReport_);
}

void ReportViewer::MOUSEWAIT() {
    ctx_.platform.MouseWait();
}

void ReportViewer::MOUSEDEFAULT() {
    ctx_.platform.MouseDefault();
}

void ReportViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!isMaximized()) CenterForm(this);
    Form_Activate();
}

// Reports are never kept: each showing scores the client again.
void ReportViewer::Form_Activate() {
    MOUSEWAIT();
    Result<QString> report = Error{};
    if (MakeReport(ctx_, summary_)) {
        report = ReadReportText(ctx_);
        if (!report) ShowError(ctx_.platform, report.error());
    }
    if (report) Audit(ctx_, {AuditEvent::ReportViewed, ctx_.state.CurrentRecord});
    Text1_->setPlainText(report ? ScreenText(*report) : QString());
    for (QPushButton* button : {cmdPrintReport_, cmdPreview_, cmdSavePdf_}) {
        button->setEnabled(report.ok());
    }
    MOUSEDEFAULT();
}

void ReportViewer::done(int result) {
    RemoveReportFiles(ctx_);
    QDialog::done(result);
}

bool ReportViewer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched != Text1_ &&
        ScrollsReport(static_cast<QKeyEvent*>(event)->key())) {
        Text1_->setFocus();
        QApplication::sendEvent(Text1_, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ReportViewer::SetButtonsEnabled(bool enabled) {
    for (QPushButton* button : {cmdPrintReport_, cmdPreview_, cmdSavePdf_, cmdCancel_}) {
        button->setEnabled(enabled);
    }
}

void ReportViewer::cmdPrintReport_Click() {
    if (disableWhilePrinting_) SetButtonsEnabled(false);
    PrintReportFile(ctx_, this);
    if (disableWhilePrinting_) {
        SetButtonsEnabled(true);
        cmdPrintReport_->setFocus();
    }
}

void ReportViewer::cmdPreview_Click() {
    if (Result<QString> report = ReadReportText(ctx_)) {
        PrinterOf(ctx_).Preview(this, *report);
    } else {
        ShowError(ctx_.platform, report.error());
    }
}

void ReportViewer::cmdSavePdf_Click() {
    SaveReportAsPdf(ctx_, this);
}

frmViewReport::frmViewReport(StationContext& ctx, QWidget* parent, bool summary)
    : ReportViewer(ctx, parent, "frmViewReport", summary, true) {}

frmScanReport::frmScanReport(StationContext& ctx, QWidget* parent, bool summary)
    : ReportViewer(ctx, parent, "frmScanReport", summary, false) {}

void frmScanReport::done(int result) {
    ReportViewer::done(result);
    // The program ends with this window: every other window closes once it is gone.
    QMetaObject::invokeMethod(qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);
}

}  // namespace mw
