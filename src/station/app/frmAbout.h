// The about window. At start-up it doubles as the splash window
// ("Initializing...", no OK button), which stays up for the splash hold and
// then reports that it is done; from the menu it is the modal
// "About Mirrorwise" with an OK button.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>

namespace mw {

struct StationContext;

class frmAbout : public QDialog {
    Q_OBJECT

public:
    // The about window, or with `splash` the splash window.
    frmAbout(StationContext& ctx, bool splash, QWidget* parent);

    bool FadeDone() const { return fadeDone_; }

    // Shows the splash window and returns once its hold has passed; window
    // events keep running meanwhile.
    void ShowSplash();

signals:
    void Faded();

private:
    void timSplash_Timer();

    std::chrono::milliseconds hold_;
    QTimer timSplash_;
    QElapsedTimer shown_;
    bool fadeDone_ = false;
};

}  // namespace mw
