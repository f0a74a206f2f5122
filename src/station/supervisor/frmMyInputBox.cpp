#include "station/supervisor/frmMyInputBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {

frmMyInputBox::frmMyInputBox(StationContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmMyInputBox"));

    lblHelpMsg_ = Named<QLabel>(this, "lblHelpMsg");
    lblHelpMsg_->setWordWrap(true);
    txtInput_ = Named<QLineEdit>(this, "txtInput");
    // Password fields show "*" whatever the style would draw.
    txtInput_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    txtInput_->installEventFilter(this);

    menu_ = AddMenu(this, "frMenu",
                    {{QStringLiteral("Information OK"), QString()},
                     {QStringLiteral("Cancel Input"), QString()}},
                    nullptr, [this](int index) { cmdMenuChoice_Click(index); });
    menu_->SetSpaceIgnored(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHelpMsg_);
    layout->addWidget(txtInput_);
    layout->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    setMinimumWidth(420);
}

void frmMyInputBox::showEvent(QShowEvent* event) {
    Form_Activate();
    QDialog::showEvent(event);
}

// The caller's properties take effect when the box is shown; the box is sized
// only then, once the help text is known.
void frmMyInputBox::Form_Activate() {
    txtInput_->setMaxLength(inputLength_ > 0 ? inputLength_ : 32767);
    lblHelpMsg_->setText(helpMessage_);
    txtInput_->setEchoMode(passwordInput_ ? QLineEdit::Password : QLineEdit::Normal);
    FitAndCenter(this, txtInput_);
    menu_->ShowFocus();
}

void frmMyInputBox::done(int result) {
    // Closing the window by its frame or Escape counts as "Cancel Input".
    if (result == QDialog::Rejected) cancelled_ = true;
    passwordInput_ = false;
    QDialog::done(result);
}

// Enter in the field moves on to "Information OK"; it does not confirm by itself.
bool frmMyInputBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtInput_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            menu_->Focus(kInformationOk);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMyInputBox::cmdMenuChoice_Click(int index) {
    if (index == kInformationOk) {
        InformationOk();
    } else {
        reject();
    }
}

void frmMyInputBox::InformationOk() {
    if (txtInput_->text().isEmpty()) {
        ctx_.platform.MsgBox({.text = passwordInput_
                                          ? QStringLiteral("Please enter the required password.")
                                          : QStringLiteral("Please enter the required data."),
                              .icon = MsgIcon::Question,
                              .title = QStringLiteral("Input required")});
        txtInput_->setFocus();
        return;
    }
    inputValue_ = txtInput_->text();
    accept();
}

}  // namespace mw
