#include "station/supervisor/frmMyInputBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "station/app/StationContext.h"
#include "station/screen/MenuChoices.h"
#include "station/screen/ScreenHelpers.h"

namespace mw {

frmMyInputBox::frmMyInputBox(StationContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmMyInputBox"));

    lblHelpMsg_ = new QLabel(this);
    lblHelpMsg_->setObjectName(QStringLiteral("lblHelpMsg"));
    lblHelpMsg_->setWordWrap(true);
    txtInput_ = new QLineEdit(this);
    txtInput_->setObjectName(QStringLiteral("txtInput"));
    // Password fields show "*" whatever the style would draw.
    txtInput_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    txtInput_->installEventFilter(this);

    auto* menuFrame = new QWidget(this);
    menuFrame->setObjectName(QStringLiteral("frMenu"));
    menu_ = new MenuChoices(menuFrame,
                            {{QStringLiteral("Information OK"), QString()},
                             {QStringLiteral("Cancel Input"), QString()}},
                            nullptr);
    menu_->SetSpaceIgnored(true);
    connect(menu_, &MenuChoices::Chosen, this, &frmMyInputBox::cmdMenuChoice_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHelpMsg_);
    layout->addWidget(txtInput_);
    layout->addWidget(menuFrame, 0, Qt::AlignHCenter);
    setMinimumWidth(420);
    adjustSize();
    CenterForm(this);
    txtInput_->setFocus();
}

void frmMyInputBox::showEvent(QShowEvent* event) {
    Form_Activate();
    QDialog::showEvent(event);
}

// The caller's properties take effect when the box is shown.
void frmMyInputBox::Form_Activate() {
    txtInput_->setMaxLength(inputLength_ > 0 ? inputLength_ : 32767);
    lblHelpMsg_->setText(helpMessage_);
    txtInput_->setEchoMode(passwordInput_ ? QLineEdit::Password : QLineEdit::Normal);
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
