#include "station/scan/frmDebugView.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/data/FileSystem.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

constexpr const char* kDebugImage = "debug.bmp";

}  // namespace

frmDebugView::frmDebugView(StationContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmDebugView"));
    setWindowTitle(QStringLiteral("Debug Image"));

    leadDebug_ = Named<QLabel>(this, "leadDebug");
    leadDebug_->setFixedSize(kSquare * kMagnification, kSquare * kMagnification);
    txtX_ = Named<QLineEdit>(this, "txtX");
    txtY_ = Named<QLineEdit>(this, "txtY");
    connect(txtX_, &QLineEdit::textChanged, this,
            [this](const QString& text) { txtCoordinate_Change(xVal_, text); });
    connect(txtY_, &QLineEdit::textChanged, this,
            [this](const QString& text) { txtCoordinate_Change(yVal_, text); });
    auto* cmdDone = Named<QPushButton>(this, "cmdDone", QStringLiteral("&Done"));
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);
    connect(this, &QDialog::finished, this, &frmDebugView::Form_Unload);

    auto* coordinates = new QGridLayout;
    coordinates->addWidget(Named<QLabel>(this, "lblX", QStringLiteral("X:")), 0, 0);
    coordinates->addWidget(txtX_, 0, 1);
    coordinates->addWidget(Named<QLabel>(this, "lblY", QStringLiteral("Y:")), 1, 0);
    coordinates->addWidget(txtY_, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(leadDebug_, 0, Qt::AlignHCenter);
    layout->addLayout(coordinates);
    layout->addWidget(cmdDone, 0, Qt::AlignHCenter);
    FitAndCenter(this, cmdDone);
}

frmDebugView::~frmDebugView() {
    Form_Unload();
}

void frmDebugView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Form_Activate();
}

// The page is read afresh at each showing: the scan may have written a new one.
void frmDebugView::Form_Activate() {
    loading_ = true;
    if (!pointerSet_) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        pointerSet_ = true;
    }
    page_ = QImage(QString::fromStdString(JoinPath(ctx_.programDir, kDebugImage)));
    repaints_ = 0;
    ShowPoint();
    txtX_->setText(QString::number(xVal_));
    txtY_->setText(QString::number(yVal_));
    loading_ = false;
}

void frmDebugView::NewLocation(int x, int y) {
    txtX_->setText(QString::number(x));
    txtY_->setText(QString::number(y));
}

// The part beyond the page's edge shows black.
void frmDebugView::ShowPoint() {
    const QImage square = page_.copy(xVal_ - kPointOffset, yVal_ - kPointOffset, kSquare, kSquare);
    leadDebug_->setPixmap(QPixmap::fromImage(square.scaled(leadDebug_->size())));
    ++repaints_;
}

void frmDebugView::txtCoordinate_Change(int& value, const QString& text) {
    value = text.trimmed().toInt();
    if (!loading_) ShowPoint();
}

// The page is let go and the pointer in force before the window came back.
void frmDebugView::Form_Unload() {
    page_ = QImage();
    if (pointerSet_) QApplication::restoreOverrideCursor();
    pointerSet_ = false;
}

}  // namespace mw
