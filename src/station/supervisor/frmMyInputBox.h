// The station's general input box: a help text, one entry field and the
// choices "Information OK" and "Cancel Input". The caller sets the caption and
// the properties before the modal showing and reads the result afterwards.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace mw {

class MenuChoices;
struct StationContext;

class frmMyInputBox : public QDialog {
    Q_OBJECT

public:
    enum Choice { kInformationOk = 0, kCancelInput };

    frmMyInputBox(StationContext& ctx, QWidget* parent);

    // Typed characters show as "*". Back to false when the box closes.
    bool PasswordInput() const { return passwordInput_; }
    void SetPasswordInput(bool on) { passwordInput_ = on; }
    // Maximum number of characters accepted.
    int InputLength() const { return inputLength_; }
    void SetInputLength(int length) { inputLength_ = length; }
    // Text shown above the entry field.
    QString HelpMessage() const { return helpMessage_; }
    void SetHelpMessage(const QString& text) { helpMessage_ = text; }
    // The text entered, once the operator confirmed it.
    QString InputValue() const { return inputValue_; }
    // True when the operator left with "Cancel Input" (or closed the box).
    bool Cancelled() const { return cancelled_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Activate();
    void cmdMenuChoice_Click(int index);
    void InformationOk();

    StationContext& ctx_;
    QLabel* lblHelpMsg_;
    QLineEdit* txtInput_;
    MenuChoices* menu_;
    bool passwordInput_ = false;
    int inputLength_ = 0;
    QString helpMessage_;
    QString inputValue_;
    bool cancelled_ = false;
};

}  // namespace mw
