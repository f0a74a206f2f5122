#include "station/supervisor/PASSWORD.h"

#include "station/screen/StationContext.h"
#include "station/supervisor/frmMyInputBox.h"

namespace mw {

bool AskSecretCode(StationContext& ctx, QWidget* parent) {
    for (;;) {
        frmMyInputBox box(ctx, parent);
        box.SetInputLength(8);
        box.SetHelpMessage(QStringLiteral(
            "Enter the secret code to continue.  For security, asterisks (*) will show as you "
            "type."));
        box.setWindowTitle(QStringLiteral("Enter Secret Code"));
        box.SetPasswordInput(true);
        box.exec();
        if (box.Cancelled()) return false;
        // The whole value must be the code: the letter followed by anything is wrong.
        if (box.InputValue().toUpper() == QChar::fromLatin1(kSecretCode)) return true;
        ctx.platform.MsgBox({.text = QStringLiteral("Incorrect secret code.  Please try again."),
                             .icon = MsgIcon::Stop,
                             .title = QStringLiteral("Incorrect Secret Code")});
    }
}

}  // namespace mw
