// The vertical menu that every screen is built around.
//
// Each choice is a button cmdMenuChoice_<i> on a panel sspMenuChoice_<i>.
// The choice with the focus has a cyan panel and a bold caption, the others
// blue panels, and its help line stands in the screen's MsgPanel. Enter runs
// the focused choice and Space presses it; Up and Down (and Tab) move between
// the choices; every other key on a choice is ignored, so that a stray key
// can never start anything.
//
// A screen builds its menu with AddMenu (ScreenKit.h) and handles one call:
//
//     menu_ = AddMenu(this, "frMenu", {{"Add", "Add a client."}, ...}, msgPanel,
//                     [this](int index) { cmdMenuChoice_Click(index); });
//
// The menu marks only its own buttons, so two menus in one window never clash.
#pragma once

#include <QObject>
#include <QString>
#include <vector>

class QLabel;
class QPushButton;
class QWidget;

namespace mw {

struct MenuChoice {
    QString caption;
    QString help;  // shown in MsgPanel while the choice has the focus
};

class MenuChoices : public QObject {
    Q_OBJECT

public:
    // Builds the panels and buttons top to bottom into `frame`, which must
    // not have a layout yet. `msgPanel` may be null on a screen without one.
    // Each button is as wide as its caption in bold, so that the panels keep
    // their size as the focus moves.
    MenuChoices(QWidget* frame, const std::vector<MenuChoice>& choices, QLabel* msgPanel);

    QPushButton* Button(int index) const { return buttons_.at(index); }
    int LastIndex() const { return static_cast<int>(buttons_.size()) - 1; }
    // The frame that holds the panels.
    QWidget* Frame() const { return frame_; }
    // Gives the focus to a choice (its highlight follows the focus).
    void Focus(int index);
    // Every panel blue, every caption plain.
    void ClearMenuHighlight();
    // As ClearMenuHighlight, then panel `index` cyan and its caption bold.
    void HighlightMenuChoice(int index);
    // Clears every highlight, then marks the choice that has the focus, if any:
    // a window coming back to the front shows where its focus is.
    void ShowFocus();
    // A screen where Space must not press a choice (the input box) turns it off.
    void SetSpaceIgnored(bool ignored) { spaceIgnored_ = ignored; }

signals:
    // A choice was clicked, or Enter or Space ran it.
    void Chosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int IndexOf(QObject* object) const;
    bool KeyPress(int index, int key);
    void MoveFocus(int from, int step);

    QWidget* frame_;
    std::vector<QWidget*> panels_;
    std::vector<QPushButton*> buttons_;
    std::vector<QString> help_;
    QLabel* msgPanel_;
    bool spaceIgnored_ = false;
};

}  // namespace mw
