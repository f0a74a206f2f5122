// "Client Report": the current client's report on the screen, read-only in
// a fixed-pitch font, scored and written afresh each time the window is
// shown, with printing, a print preview and saving as a PDF. frmViewReport
// is opened from the supervisor's screen; frmScanReport after a scanned
// answer sheet, and closing it ends the program.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace mw {

struct StationContext;

class ReportViewer : public QDialog {
    Q_OBJECT

public:
    // The hourglass pointer while the report is made, and back.
    void MOUSEWAIT();
    void MOUSEDEFAULT();
    // REPORT.PRN is the report on the screen only: it goes with the window.
    void done(int result) override;

protected:
    // `summary`: the report ends with the one-page summary.
    ReportViewer(StationContext& ctx, QWidget* parent, const char* name, bool summary,
                 bool disableWhilePrinting);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Activate();
    void SetButtonsEnabled(bool enabled);
    void cmdPrintReport_Click();
    void cmdPreview_Click();
    void cmdSavePdf_Click();

    StationContext& ctx_;
    bool summary_;
    bool disableWhilePrinting_;
    QPlainTextEdit* Text1_;
    QPushButton* cmdPrintReport_;
    QPushButton* cmdPreview_;
    QPushButton* cmdSavePdf_;
    QPushButton* cmdCancel_;
};

class frmViewReport final : public ReportViewer {
    Q_OBJECT

public:
    frmViewReport(StationContext& ctx, QWidget* parent, bool summary = false);
};

class frmScanReport final : public ReportViewer {
    Q_OBJECT

public:
    frmScanReport(StationContext& ctx, QWidget* parent, bool summary = false);

    void done(int result) override;
};

}  // namespace mw
