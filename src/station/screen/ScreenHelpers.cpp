#include "station/screen/ScreenHelpers.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QWindow>
#include <algorithm>

namespace mw {

QString ControlName(const char* array, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

namespace {

// What the window manager adds around a window at the least, also where it is
// not known yet: generous, so that a window sized to the room never runs off
// the screen.
QSize FrameAllowance(const QWidget* window) {
    const int line = window->fontMetrics().height();
    return {line, 3 * line};
}

}  // namespace

void CenterForm(QWidget* window) {
    const QRect screen = window->screen()->availableGeometry();
    const QSize frame =
        window->frameGeometry().size().expandedTo(window->size() + FrameAllowance(window));
    const QPoint topLeft(
        std::max(screen.left(), screen.left() + screen.width() / 2 - frame.width() / 2),
        std::max(screen.top(), screen.top() + screen.height() / 2 - frame.height() / 2));
    window->move(topLeft);
    // A window not shown yet may have its native window already, as the
    // parent of a box shown before it (a test resumed at start-up): moved,
    // it would be placed by its inside, its title bar above the screen. It is
    // placed by its frame, as a window shown for the first time is.
    if (window->testAttribute(Qt::WA_WState_Created) && !window->isVisible()) {
        window->windowHandle()->setFramePosition(topLeft);
    }
}

QSize ScreenRoom(const QWidget* window) {
    return window->screen()->availableGeometry().size() - FrameAllowance(window);
}

int TitleBarWidth(const QWidget* window) {
    QFont bold = window->font();
    bold.setBold(true);
    // The window's icon, its minimize, maximize and close buttons and the
    // space between them.
    const int buttons = 9 * QFontMetrics(bold).height();
    return QFontMetrics(bold).horizontalAdvance(window->windowTitle()) + buttons;
}

void SelectAllText() {
    QWidget* focused = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focused); combo && combo->lineEdit()) {
        focused = combo->lineEdit();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(focused)) {
        edit->selectAll();
    } else if (auto* text = qobject_cast<QTextEdit*>(focused)) {
        text->selectAll();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focused)) {
        plain->selectAll();
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(focused)) {
        spin->selectAll();
    }
}

void HighlightFrame(QWidget* frame, QLabel* caption, bool focused) {
    SetBackColor(frame, focused ? kFocusColor : kMenuColor);
    QPalette palette = caption->palette();
    palette.setColor(QPalette::WindowText, focused ? Qt::black : Qt::white);
    caption->setPalette(palette);
    SetBold(caption, focused);
}

void SetBackColor(QWidget* widget, QRgb color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(color));
    widget->setPalette(palette);
    // Filled with this colour also where it lies on a button, whose role it
    // would take otherwise.
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
}

void SetBold(QWidget* widget, bool bold) {
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

// The caption is measured as the button measures it, its mnemonic's '&'
// left out: a pixel either way would still move a centred button.
int BoldCaptionWidth(const QWidget* control, const QString& caption) {
    const auto captionWidth = [&caption](const QFont& font) {
        return QFontMetrics(font).size(Qt::TextShowMnemonic, caption).width();
    };
    QFont bold = control->font();
    bold.setBold(true);
    const int extra = control->sizeHint().width() - captionWidth(control->font());
    return captionWidth(bold) + extra;
}

QLabel* MakeMsgPanel(QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QStringLiteral("MsgPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setMinimumHeight(panel->fontMetrics().height() + 8);
    panel->setIndent(6);
    // A help line longer than the window is wide, as in large type, takes a
    // second line rather than widening the window past the screen.
    panel->setWordWrap(true);
    return panel;
}

namespace {
constexpr char kHelpTextsProperty[] = "helpTexts";
}  // namespace

void AddHelpTexts(QLabel* msgPanel, const QStringList& texts) {
    msgPanel->setProperty(kHelpTextsProperty, HelpTexts(msgPanel) + texts);
}

QStringList HelpTexts(const QLabel* msgPanel) {
    return msgPanel->property(kHelpTextsProperty).toStringList();
}

}  // namespace mw
