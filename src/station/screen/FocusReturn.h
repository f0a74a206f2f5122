// Gives the keyboard back after a modal window closes. The window manager
// is meant to do it, but when a box and the screen that showed it close in
// one go (OK on a closing message, a secret code ending a chain of screens)
// it may hand the focus to a window that is already going, and then to none:
// the station no longer answers the keyboard until the mouse is used.
#pragma once

#include <QObject>

namespace mw {

class FocusReturn final : public QObject {
public:
    // Watches every window of the application while it lives.
    FocusReturn();
    ~FocusReturn() override;

    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Once the windows closing together are gone, the window that opened the
    // last of them is made active, and its focus control has the keyboard
    // again. The station's windows are the main window and the modal screens
    // and boxes opened over it, one from another: the topmost modal window
    // still open, else the main window, is that window.
    void GiveBack();
};

}  // namespace mw
