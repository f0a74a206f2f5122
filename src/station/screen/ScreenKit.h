// Building a screen: named controls, the menu of choices, and the final
// sizing. Every screen is put together with these, so that each one is
// named, laid out and sized the same way:
//
//     auto* lblHelp = Named<QLabel>(this, "lblHelp", QStringLiteral("..."));
//     menu_ = AddMenu(this, "frMenu", {{"OK", "Help line."}}, msgPanel, onChosen);
//     ... layout ...
//     FitAndCenter(this, firstControl);   // after every text is set
#pragma once

#include <QLatin1String>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "station/screen/MenuChoices.h"

class QLabel;
class QListWidget;

namespace mw {

// A control of type T, child of `parent`, with its object name: tests and
// readers find every control by the name the screen gives it.
template <class T, class... Args>
T* Named(QWidget* parent, const char* name, Args&&... args) {
    auto* control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(QLatin1String(name));
    return control;
}

// A frame named `frameName` holding the menu of choices; `onChosen` runs with
// the index of the choice clicked or run by Enter.
MenuChoices* AddMenu(QWidget* parent, const char* frameName, const std::vector<MenuChoice>& choices,
                     QLabel* msgPanel, std::function<void(int)> onChosen);

// The list of clients' names, "lbNameDisplay": fixed pitch, so that the
// full-width names line up, and wide enough for `columns` of them. Its keys go
// to `keyFilter` first.
QListWidget* AddNameList(QWidget* parent, QObject* keyFilter, int columns);

// Sizes a window to its contents, centres it and gives the focus to
// `firstFocus` (when given). Call it after the window's texts are set: a text
// that wraps to a second line needs the room. A window larger than its screen
// scrolls (its help line stays in sight), and a window is never narrower
// than its title.
void FitAndCenter(QWidget* window, QWidget* firstFocus = nullptr);

// A screen reader says what each control is and what it is for: a control
// that shows no text of its own is named by the caption made before it
// beside it, and the help line the window shows while a control has the
// focus becomes that control's description. FitAndCenter runs it; a window
// that does not (the full-screen test) runs it once its controls are made.
void ForScreenReaders(QWidget* window);

}  // namespace mw
