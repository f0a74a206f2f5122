#include "station/entry/frmVerify.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "station/entry/StoreAnswers.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

const char* const kEntryMessage =
    "Enter response data from answer sheet. Press Backspace for previous question.";
const char* const kCancelMessage =
    "Press Enter to Cancel Data Verification and return to Main Menu";

QString QuestionLabel(int item) {
    return QStringLiteral("Question #%1").arg(item);
}

// A question's label beside its one-character entry box.
void LayOutQuestion(QGroupBox* frame, QLabel* label, QLineEdit* entry) {
    entry->setMaxLength(1);
    entry->setFixedWidth(entry->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 12);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QuestionLabel(kItemCount)));
    auto* row = new QHBoxLayout(frame);
    row->addWidget(label);
    row->addWidget(entry);
}

}  // namespace

frmVerify::frmVerify(StationContext& ctx, QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      ranges_(ReadAnswerRanges(ctx.database.get())),
      stored_(Trim(ctx.state.Current().Answers.View())),
      keyed_(kItemCount, '0') {
    setObjectName(QStringLiteral("frmVerify"));
    setWindowTitle(QStringLiteral("Test Data Input Verification"));
    for (int item = 1; item <= kItemCount; ++item) questions_.push_back(item);

    // Whose sheet is keyed, so that the operator checks it is the sheet in hand.
    auto* lblClient = Named<QLabel>(
        this, "lblClient",
        QStringLiteral("Client %1: %2")
            .arg(ctx.state.CurrentRecord)
            .arg(QString::fromStdString(Cp1252ToUtf8(Trim(ctx.state.Current().Name.View())))));
    frAll_ = Named<QGroupBox>(this, "frAll", QStringLiteral("Data Verification"));
    auto* Frame2 = Named<QGroupBox>(frAll_, "Frame2", QStringLiteral("Current Question"));
    lblCurQuestion_ = Named<QLabel>(Frame2, "lblCurQuestion");
    txtCurQuestion_ = Named<QLineEdit>(Frame2, "txtCurQuestion");
    txtCurQuestion_->installEventFilter(this);
    LayOutQuestion(Frame2, lblCurQuestion_, txtCurQuestion_);

    Frame1_ = Named<QGroupBox>(frAll_, "Frame1", QStringLiteral("Previous Question"));
    lblPrevQuestion_ = Named<QLabel>(Frame1_, "lblPrevQuestion");
    txtPrevQuestion_ = Named<QLineEdit>(Frame1_, "txtPrevQuestion");
    txtPrevQuestion_->setReadOnly(true);
    txtPrevQuestion_->setFocusPolicy(Qt::NoFocus);
    LayOutQuestion(Frame1_, lblPrevQuestion_, txtPrevQuestion_);
    // The window keeps its size while the frame is hidden at the first question.
    QSizePolicy keepRoom = Frame1_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    Frame1_->setSizePolicy(keepRoom);

    cmdCancel_ = Named<QPushButton>(frAll_, "cmdCancel", QStringLiteral("Cancel"));
    cmdCancel_->installEventFilter(this);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmVerify::reject);

    auto* inside = new QVBoxLayout(frAll_);
    inside->addWidget(Frame2);
    inside->addWidget(Frame1_);
    inside->addWidget(cmdCancel_, 0, Qt::AlignHCenter);
    pnlMessage_ = MakeMsgPanel(this);
    pnlMessage_->setObjectName(QStringLiteral("pnlMessage"));
    pnlMessage_->setText(QString::fromUtf8(kEntryMessage));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblClient, 0, Qt::AlignHCenter);
    layout->addWidget(frAll_);
    layout->addWidget(pnlMessage_);

    ShowQuestion();
    FitAndCenter(this, txtCurQuestion_);
}

// Every key is the screen's: the entry box itself never takes a character,
// so it is empty for each new answer.
bool frmVerify::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtCurQuestion_) pnlMessage_->setText(QString::fromUtf8(kEntryMessage));
        if (watched == cmdCancel_) pnlMessage_->setText(QString::fromUtf8(kCancelMessage));
    }
    if (watched != txtCurQuestion_ || event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) return false;
    if (key.key() == Qt::Key_Backspace) {
        StepBack();
    } else if (!key.text().isEmpty()) {
        txtCurQuestion_KeyPress(key.text().front());
    }
    return true;
}

void frmVerify::ShowQuestion() {
    lblCurQuestion_->setText(QuestionLabel(questions_[position_]));
    const bool hasPrevious = position_ > 0;
    Frame1_->setVisible(hasPrevious);
    if (!hasPrevious) {
        lblPrevQuestion_->clear();
        txtPrevQuestion_->clear();
        return;
    }
    const int previous = questions_[position_ - 1];
    lblPrevQuestion_->setText(QuestionLabel(previous));
    txtPrevQuestion_->setText(QString(QLatin1Char(keyed_[previous - 1])));
}

// Each item takes the codes of its own answers (0 for none), and no others.
void frmVerify::txtCurQuestion_KeyPress(QChar typed) {
    const int item = questions_[position_];
    const int code = typed.unicode() - u'0';
    if (!ranges_.Accepts(item, code)) {
        ctx_.platform.Beep();
        return;
    }
    keyed_[item - 1] = static_cast<char>('0' + code);
    ++position_;
    if (position_ < questions_.size()) {
        ShowQuestion();
    } else {
        EndOfPass();
    }
}

void frmVerify::StepBack() {
    if (position_ == 0) {
        ctx_.platform.Beep();
        return;
    }
    --position_;
    ShowQuestion();
}

void frmVerify::EndOfPass() {
    if (correcting_) {
        Finish(QStringLiteral("Data Verification"), QStringLiteral("Data Verification complete."));
        return;
    }
    std::vector<int> differing = Differences();
    if (differing.empty()) {
        Finish(QStringLiteral("Data Verification."),
               QStringLiteral("Data Verification complete. No corrections needed."));
    } else {
        StartCorrections(std::move(differing));
    }
}

// The items, in ascending order, where the keyed answer is not the stored
// one; a stored answer string that ends early differs from there on.
std::vector<int> frmVerify::Differences() const {
    std::vector<int> items;
    for (int item = 1; item <= kItemCount; ++item) {
        const std::size_t at = static_cast<std::size_t>(item - 1);
        if (at >= stored_.size() || stored_[at] != keyed_[at]) items.push_back(item);
    }
    return items;
}

void frmVerify::StartCorrections(std::vector<int> items) {
    QStringList numbers;
    for (int item : items) numbers.append(QString::number(item));
    ctx_.platform.MsgBox(
        {.text = QStringLiteral("Data Correction needed. Please correct the following questions.") +
                 QStringLiteral("\n\n") + numbers.join(QStringLiteral(", ")),
         .title = QStringLiteral("Data Corrections")});
    correcting_ = true;
    frAll_->setTitle(QStringLiteral("Data Correction"));
    questions_ = std::move(items);
    position_ = 0;
    ShowQuestion();
    txtCurQuestion_->setFocus();
}

// The keyed answers (with the corrections) become the client's. When they
// could not be written, the last answer of the pass is asked again: keying
// it, once the disk is mended, ends the pass and tries the write once more.
void frmVerify::Finish(const QString& title, const QString& text) {
    ctx_.platform.MsgBox({.text = text, .title = title});
    if (StoreAnswers(ctx_, keyed_, AnswerRoute::Verification)) {
        accept();
        return;
    }
    position_ = questions_.size() - 1;
    ShowQuestion();
    txtCurQuestion_->setFocus();
}

}  // namespace mw
