// The debug image view: the square it shows around a point, and the pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "station/scan/frmDebugView.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Find;

// Every pixel tells where it lies: red the column, green the row.
QImage Page() {
    QImage page(200, 120, QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) page.setPixel(x, y, qRgb(x, y, 77));
    }
    return page;
}

class DebugViewTest : public mwtest::StationFixture {};

TEST_F(DebugViewTest, TypedCoordinatesShowTheSquareAroundThePointMagnified) {
    ASSERT_TRUE(Page().save(QString::fromStdString(programDir.File("debug.bmp")), "BMP"));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    frmDebugView view(ctx, nullptr);
    view.SetXVal(20);
    view.SetYVal(30);
    mwtest::ShowActive(&view);
    // Filled once, although both coordinate fields were written.
    EXPECT_EQ(view.Repaints(), 1);
    EXPECT_EQ(Find<QLineEdit>(&view, "txtX")->text(), QStringLiteral("20"));
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);

    for (auto [field, value] : {std::pair{"txtX", "100"}, std::pair{"txtY", "40"}}) {
        Find<QLineEdit>(&view, field)->setFocus();
        Find<QLineEdit>(&view, field)->selectAll();
        mwtest::TypeText(QString::fromUtf8(value));
    }
    EXPECT_EQ(view.XVal(), 100);
    EXPECT_EQ(view.YVal(), 40);
    const QImage shown = Find<QLabel>(&view, "leadDebug")->pixmap().toImage();
    constexpr int kScale = frmDebugView::kMagnification;
    ASSERT_EQ(shown.width(), frmDebugView::kSquare * kScale);
    for (int y = 0; y < frmDebugView::kSquare; ++y) {
        for (int x = 0; x < frmDebugView::kSquare; ++x) {
            ASSERT_EQ(shown.pixel(x * kScale + kScale / 2, y * kScale + kScale / 2),
                      qRgb(84 + x, 24 + y, 77))
                << x << "," << y;
        }
    }

    Find<QPushButton>(&view, "cmdDone")->click();
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}

}  // namespace
}  // namespace mw
