#include "station/screen/ScreenHelpers.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>

namespace mw {

QString ControlName(const char* array, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

void CenterForm(QWidget* window) {
    const QRect screen = window->screen()->geometry();
    const QRect frame = window->frameGeometry();
    window->move(screen.left() + screen.width() / 2 - frame.width() / 2,
                 screen.top() + screen.height() / 2 - frame.height() / 2);
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
    widget->setAutoFillBackground(true);
}

void SetBold(QWidget* widget, bool bold) {
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

QLabel* MakeMsgPanel(QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QStringLiteral("MsgPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setMinimumHeight(panel->fontMetrics().height() + 8);
    panel->setIndent(6);
    return panel;
}

}  // namespace mw
