// Whether a window's texts can be read whole: each drawn inside its own
// control, every frame round it and the part of the screen looked at.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

namespace mwtest {

// Where a button's caption is drawn, in its own coordinates: centred in a
// push button, beside the indicator of a check box or option button.
inline QRect ButtonCaption(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool push = qobject_cast<const QPushButton*>(button);
    const auto contents = push ? QStyle::SE_PushButtonContents
                          : qobject_cast<const QRadioButton*>(button)
                              ? QStyle::SE_RadioButtonContents
                              : QStyle::SE_CheckBoxContents;
    const QRect area = button->style()->subElementRect(contents, &option, button);
    const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    return QStyle::alignedRect(button->layoutDirection(),
                               push ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter, text,
                               area);
}

// Where a control's text is drawn, in the window's coordinates: a label's
// text wrapped as it paints it, a button's caption, a text box's document as
// laid out and scrolled.
inline QRect DrawnText(const QWidget* control, const QWidget* window) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const int margin = label->margin();
        QRect area = label->contentsRect().adjusted(margin, margin, -margin, -margin);
        area.setLeft(area.left() + std::max(0, label->indent()));
        // A caption with a buddy underlines its mnemonic instead of showing the "&".
        const int flags = static_cast<int>(label->alignment()) |
                          (label->wordWrap() ? Qt::TextWordWrap : 0) |
                          (label->buddy() ? Qt::TextShowMnemonic : 0);
        return label->fontMetrics()
            .boundingRect(area, flags, label->text())
            .translated(label->mapTo(window, QPoint()));
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return ButtonCaption(button).translated(button->mapTo(window, QPoint()));
    }
    const auto* edit = static_cast<const QPlainTextEdit*>(control);
    QTextCursor cursor(edit->document());
    const QRect first = edit->cursorRect(cursor);
    qreal width = 0;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        cursor.setPosition(block.position());
        edit->cursorRect(cursor);  // lays the block out
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            width = std::max(width, block.layout()->lineAt(i).naturalTextWidth());
        }
    }
    cursor.movePosition(QTextCursor::End);
    const QRect text(first.topLeft(), QPoint(first.left() + static_cast<int>(std::ceil(width)),
                                             edit->cursorRect(cursor).bottom()));
    return text.translated(edit->viewport()->mapTo(window, QPoint()));
}

// The part of the window where `control` can be seen: inside itself and every
// frame around it.
inline QRect Seen(const QWidget* control, const QWidget* window) {
    QRect seen = window->rect();
    for (const QWidget* w = control; w != window; w = w->parentWidget()) {
        seen &= w->rect().translated(w->mapTo(window, QPoint()));
    }
    return seen;
}

// A text box may hold more than it shows where it says so: along a scroll
// bar in sight.
enum class Scrolling { Refused, ShownByItsBar };

// Every visible text of the window (labels, buttons' captions, text boxes)
// is drawn whole where it can be seen, within `area` of the window.
inline ::testing::AssertionResult TextsWhole(const QWidget* window, const QRect& area,
                                             Scrolling scrolling = Scrolling::Refused) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    std::vector<const QWidget*> controls;
    for (const QLabel* label : window->findChildren<QLabel*>()) controls.push_back(label);
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        controls.push_back(button);
    }
    for (const QPlainTextEdit* edit : window->findChildren<QPlainTextEdit*>()) {
        controls.push_back(edit->viewport());
    }
    for (const QWidget* control : controls) {
        const auto* owner = qobject_cast<const QPlainTextEdit*>(control->parentWidget());
        const QWidget* textControl = owner ? owner : control;
        QString text;
        if (owner) {
            text = owner->toPlainText();
        } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
            text = label->text();
        } else {
            text = static_cast<const QAbstractButton*>(control)->text();
        }
        if (!control->isVisible() || text.trimmed().isEmpty()) continue;
        QRect drawn = DrawnText(textControl, window);
        const QRect seen = Seen(control, window) & area;
        if (owner && scrolling == Scrolling::ShownByItsBar) {
            // What runs past the box along a bar in sight is scrolled to.
            if (owner->verticalScrollBar()->isVisible()) {
                drawn.setTop(std::max(drawn.top(), seen.top()));
                drawn.setBottom(std::min(drawn.bottom(), seen.bottom()));
            }
            if (owner->horizontalScrollBar()->isVisible()) {
                drawn.setLeft(std::max(drawn.left(), seen.left()));
                drawn.setRight(std::min(drawn.right(), seen.right()));
            }
        }
        if (!seen.contains(drawn)) {
            return ::testing::AssertionFailure()
                   << textControl->objectName().toStdString() << " draws " << drawn.width() << "x"
                   << drawn.height() << " at (" << drawn.x() << "," << drawn.y() << ") but shows "
                   << seen.width() << "x" << seen.height() << " at (" << seen.x() << "," << seen.y()
                   << "): \"" << text.left(60).toStdString() << "\"";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace mwtest
