// "Debug Image": a magnified part of the last scanned page, for finding why
// a mark was read as it was. The scanning side writes the page to debug.bmp
// in the program folder and names the point it examines; the window shows
// the 48 x 48 pixel square around it (the point 16 pixels in from the
// square's top-left corner). Typing other coordinates moves the view.
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QLineEdit;

namespace mw {

struct StationContext;

class frmDebugView : public QDialog {
    Q_OBJECT

public:
    // The side of the square shown, in image pixels, and how far the point
    // lies inside it.
    static constexpr int kSquare = 48;
    static constexpr int kPointOffset = 16;
    // Screen pixels per image pixel.
    static constexpr int kMagnification = 6;

    frmDebugView(StationContext& ctx, QWidget* parent);
    ~frmDebugView() override;

    // The point of interest in image pixels; set before the window is shown.
    int XVal() const { return xVal_; }
    void SetXVal(int x) { xVal_ = x; }
    int YVal() const { return yVal_; }
    void SetYVal(int y) { yVal_ = y; }
    // Moves the open window's view to another point, as if typed.
    void NewLocation(int x, int y);
    // How many times the square has been drawn since the window opened.
    int Repaints() const { return repaints_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Activate();
    void ShowPoint();
    void txtCoordinate_Change(int& value, const QString& text);
    void Form_Unload();

    StationContext& ctx_;
    QLabel* leadDebug_;
    QLineEdit* txtX_;
    QLineEdit* txtY_;
    QImage page_;
    int xVal_ = 0;
    int yVal_ = 0;
    // Set while the window is being filled: the coordinate fields do not redraw.
    bool loading_ = false;
    bool pointerSet_ = false;
    int repaints_ = 0;
};

}  // namespace mw
