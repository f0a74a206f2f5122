#include "station/screen/FocusReturn.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace mw {
namespace {

// The station's main window: the one visible top-level window that is
// neither a dialog nor a splash or a popup.
QWidget* MainWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() == Qt::Window) return window;
    }
    return nullptr;
}

}  // namespace

FocusReturn::FocusReturn() {
    qApp->installEventFilter(this);
}

FocusReturn::~FocusReturn() {
    if (qApp) qApp->removeEventFilter(this);
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && window->isModal()) {
            // Queued: the screen that showed a box often closes right after it.
            QTimer::singleShot(0, this, &FocusReturn::GiveBack);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FocusReturn::GiveBack() {
    QWidget* target = QApplication::activeModalWidget();
    if (!target) target = MainWindow();
    if (target) target->activateWindow();
}

}  // namespace mw
