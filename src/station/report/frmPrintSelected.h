// "Print Selected Reports": the supervisor picks clients of the data disk
// from a list and prints their reports in one run, all of them written
// first and printed afterwards in list order. The screen closes after a run
// or when left.
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;

namespace mw {

class MenuChoices;
struct StationContext;

class frmPrintSelected : public QDialog {
    Q_OBJECT

public:
    enum Choice { kPrintSelected = 0, kSelectAll, kReturnToMainMenu };

    // `summary`: each report ends with the one-page summary.
    frmPrintSelected(StationContext& ctx, QWidget* parent, bool summary = false);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillList();
    void UpdatePrintChoice();
    void cmdMenuChoice_Click(int index);
    void PrintSelected();

    StationContext& ctx_;
    bool summary_;
    QListWidget* lbNameDisplay_;
    QLabel* msgPanel_;
    MenuChoices* menu_;
};

}  // namespace mw
