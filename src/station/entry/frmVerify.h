// "Test Data Input Verification": double entry of the current client's answer
// sheet. A second operator keys the 160 answers again, one item at a time,
// without seeing the stored ones. Items where the two entries differ are then
// asked once more, and that third answer is final. The result is stored as
// the client's answers; Cancel stores nothing.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/data/AnswerRanges.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mw {

struct StationContext;

class frmVerify : public QDialog {
    Q_OBJECT

public:
    frmVerify(StationContext& ctx, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowQuestion();
    void txtCurQuestion_KeyPress(QChar typed);
    void StepBack();
    void EndOfPass();
    std::vector<int> Differences() const;
    void StartCorrections(std::vector<int> items);
    void Finish(const QString& title, const QString& text);

    StationContext& ctx_;
    const AnswerRanges ranges_;
    QGroupBox* frAll_;
    QLabel* lblCurQuestion_;
    QLineEdit* txtCurQuestion_;
    QGroupBox* Frame1_;
    QLabel* lblPrevQuestion_;
    QLineEdit* txtPrevQuestion_;
    QPushButton* cmdCancel_;
    QLabel* pnlMessage_;

    // The client's answers as stored, without surrounding blanks.
    std::string stored_;
    // The answers keyed here, item n at n - 1.
    std::string keyed_;
    // The items asked in this pass, and the one asked now.
    std::vector<int> questions_;
    std::size_t position_ = 0;
    bool correcting_ = false;
};

}  // namespace mw
