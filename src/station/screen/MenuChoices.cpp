#include "station/screen/MenuChoices.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "station/screen/ScreenHelpers.h"

namespace mw {

namespace {

// Room for the caption in either weight; run again when the look changes the type.
void FitToCaption(QPushButton* button) {
    button->setMinimumHeight(button->sizeHint().height() + 8);
    button->setMinimumWidth(BoldCaptionWidth(button, button->text()));
}

}  // namespace

MenuChoices::MenuChoices(QWidget* frame, const std::vector<MenuChoice>& choices, QLabel* msgPanel)
    : QObject(frame), frame_(frame), msgPanel_(msgPanel) {
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(6);
    for (const MenuChoice& choice : choices) {
        const int index = static_cast<int>(buttons_.size());
        auto* panel = new QWidget(frame);
        panel->setObjectName(ControlName(kMenuChoicePanel, index));
        SetBackColor(panel, kMenuColor);
        auto* inside = new QHBoxLayout(panel);
        inside->setContentsMargins(6, 6, 6, 6);

        auto* button = new QPushButton(choice.caption, panel);
        button->setObjectName(ControlName(kMenuChoiceButton, index));
        // Enter is ours to handle: a dialog's default button must not take it.
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        FitToCaption(button);
        button->setAccessibleDescription(choice.help);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, index] { emit Chosen(index); });
        inside->addWidget(button);
        column->addWidget(panel);

        panels_.push_back(panel);
        buttons_.push_back(button);
        help_.push_back(choice.help);
    }
    if (msgPanel_) AddHelpTexts(msgPanel_, QStringList(help_.begin(), help_.end()));
}

void MenuChoices::Focus(int index) {
    buttons_.at(index)->setFocus(Qt::OtherFocusReason);
}

void MenuChoices::ClearMenuHighlight() {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        SetBackColor(panels_[i], kMenuColor);
        SetBold(buttons_[i], false);
    }
}

void MenuChoices::HighlightMenuChoice(int index) {
    ClearMenuHighlight();
    SetBackColor(panels_.at(index), kFocusColor);
    SetBold(buttons_.at(index), true);
}

void MenuChoices::ShowFocus() {
    const int focused = IndexOf(frame_->window()->focusWidget());
    if (focused >= 0 && buttons_[focused]->hasFocus()) {
        HighlightMenuChoice(focused);
    } else {
        ClearMenuHighlight();
    }
}

int MenuChoices::IndexOf(QObject* object) const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i] == object) return static_cast<int>(i);
    }
    return -1;
}

bool MenuChoices::eventFilter(QObject* watched, QEvent* event) {
    const int index = IndexOf(watched);
    if (index < 0) return false;
    switch (event->type()) {
        case QEvent::FocusIn:
            HighlightMenuChoice(index);
            if (msgPanel_) msgPanel_->setText(help_[index]);
            return false;
        case QEvent::FocusOut:
            ClearMenuHighlight();
            return false;
        case QEvent::FontChange:
            // Measured in the usual weight: the bold of the highlight has its room.
            if (!buttons_[index]->font().bold()) FitToCaption(buttons_[index]);
            return false;
        case QEvent::KeyPress:
            return KeyPress(index, static_cast<QKeyEvent*>(event)->key());
        case QEvent::KeyRelease:
            // The button clicks when Space is released; every other release is noise.
            return static_cast<QKeyEvent*>(event)->key() != Qt::Key_Space || spaceIgnored_;
        default:
            return false;
    }
}

// Returns true when the key is used up here; false lets the button have it.
bool MenuChoices::KeyPress(int index, int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            buttons_[index]->click();
            return true;
        case Qt::Key_Space:
            return spaceIgnored_;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false;  // the window's own focus chain
        case Qt::Key_Up:
            MoveFocus(index, -1);
            return true;
        case Qt::Key_Down:
            MoveFocus(index, +1);
            return true;
        default:
            return true;
    }
}

// To the next choice that can take the focus, round past either end.
void MenuChoices::MoveFocus(int from, int step) {
    const int count = static_cast<int>(buttons_.size());
    for (int i = 1; i < count; ++i) {
        QPushButton* next = buttons_[((from + step * i) % count + count) % count];
        if (next->isEnabled() && next->isVisibleTo(next->window())) {
            next->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return;
        }
    }
}

}  // namespace mw
