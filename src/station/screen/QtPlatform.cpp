#include "station/screen/QtPlatform.h"

#include "core/data/Product.h"
#include "station/screen/QtAudioPlayer.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenLook.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <array>

namespace mw {
namespace {

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Stop:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// In order; NoButton after the last.
using ButtonSet = std::array<QMessageBox::StandardButton, 3>;

ButtonSet ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OkCancel:
            return {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::NoButton};
        case MsgButtons::YesNo:
            return {QMessageBox::Yes, QMessageBox::No, QMessageBox::NoButton};
        case MsgButtons::YesNoCancel:
            return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
        case MsgButtons::Ok:
            break;
    }
    return {QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::NoButton};
}

MsgAnswer AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Ok;
    }
}

// A message box sizes itself to its text, and a short text would cut its
// title short in the title bar; a blank row as wide as the title prevents it.
void LeaveRoomForTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    const QMargins margins = grid->contentsMargins();
    const int width =
        std::min(TitleBarWidth(&box), ScreenRoom(&box).width()) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0), grid->rowCount(), 0, 1, grid->columnCount());
}

// Below the anchor when the screen has room there, else above it; across,
// centred on the anchor's window as a box would be.
void PlaceClearOf(QMessageBox& box, const QWidget& anchor) {
    constexpr int kGap = 8;
    box.adjustSize();
    const QRect screen = anchor.screen()->availableGeometry();
    const QRect around(anchor.mapToGlobal(QPoint(0, 0)), anchor.size());
    const QRect window = anchor.window()->frameGeometry();
    const QSize size = box.frameGeometry().size();
    int top = around.bottom() + kGap;
    if (top + size.height() > screen.bottom()) top = around.top() - kGap - size.height();
    const int left = window.center().x() - size.width() / 2;
    box.move(
        std::clamp(left, screen.left(), std::max(screen.left(), screen.right() - size.width())),
        std::max(top, screen.top()));
}

// The window a box belongs to and stays above: the modal window on top, else
// the active one, else one of ours on the screen that the window manager has
// yet to activate (the screen a resumed test starts over). A box of no window
// could open under a full-screen one, out of sight and out of the keyboard's reach.
QWidget* OwnerOfBox() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window->isVisible() && (type == Qt::Window || type == Qt::Dialog)) return window;
    }
    return nullptr;
}

}  // namespace

MsgAnswer QtPlatform::MsgBox(const MessageBox& request) {
    const ButtonSet buttons = ButtonsOf(request.buttons);
    QWidget* owner = OwnerOfBox();
    QMessageBox box(IconOf(request.icon),
                    request.title.isEmpty() ? QString::fromUtf8(kProductName) : request.title,
                    request.text, buttons[0] | buttons[1] | buttons[2], owner);
    if (request.largeType) box.setFont(LargeTypeFont());
    LeaveRoomForTitle(box);
    // Ctrl+C copies what the box says, so that a file's path or an error can
    // be passed on exactly as shown.
    QObject::connect(new QShortcut(QKeySequence::Copy, &box), &QShortcut::activated, &box,
                     [&box] { QApplication::clipboard()->setText(box.text()); });
    const std::size_t chosen = static_cast<std::size_t>(std::clamp(request.defaultButton, 0, 2));
    box.setDefaultButton(buttons[chosen] != QMessageBox::NoButton ? buttons[chosen] : buttons[0]);
    if (request.anchor) PlaceClearOf(box, *request.anchor);
    if (!request.checkBox.isEmpty() && request.checked) {
        box.setCheckBox(new QCheckBox(request.checkBox));
        box.checkBox()->setChecked(*request.checked);
    }
    const MsgAnswer answer = AnswerOf(box.exec());
    if (box.checkBox() && request.checked) *request.checked = box.checkBox()->isChecked();
    return answer;
}

void QtPlatform::Beep() {
    QApplication::beep();
}

void QtPlatform::MouseWait() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LetEventsRun();
}

void QtPlatform::MouseDefault() {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    LetEventsRun();
}

void QtPlatform::LetEventsRun() {
    QApplication::processEvents();
}

std::unique_ptr<AudioPlayer> QtPlatform::OpenAudioPlayer() {
    return std::make_unique<QtAudioPlayer>();
}

}  // namespace mw
