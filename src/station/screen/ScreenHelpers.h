// Behaviour that every screen shares: centring, the menu highlight, the
// focus colours of a framed list or entry box, the help line and selecting
// the whole text of an entry box.
//
// Controls of a control array are named "<array>_<index>" ("cmdMenuChoice_0",
// "sspMenuChoice_0"), so that tests and readers find them by that name.
#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

namespace mw {

// Behind the focused menu choice, and behind a framed control that has the focus.
inline constexpr QRgb kFocusColor = qRgb(0, 255, 255);
// Behind every other menu choice, and behind a framed control without the focus.
inline constexpr QRgb kMenuColor = qRgb(0, 0, 255);

inline constexpr const char* kMenuChoiceButton = "cmdMenuChoice";
inline constexpr const char* kMenuChoicePanel = "sspMenuChoice";

// The object name of element `index` of a control array.
QString ControlName(const char* array, int index);

// Places a window in the middle of its screen, its title bar on the screen.
void CenterForm(QWidget* window);

// The most a window may take of its screen: the free area less the title bar
// and borders the window manager adds, which are not known before the window
// is shown.
QSize ScreenRoom(const QWidget* window);

// The width a window needs for its whole title in the title bar, beside the
// title bar's buttons.
int TitleBarWidth(const QWidget* window);

// Selects the whole text of the control that has the focus so that typing
// replaces it. Controls without a text selection are left alone.
void SelectAllText();

// A framed list or entry box marks the focus like a menu choice: cyan with a
// black bold caption while it has the focus, blue with a white plain caption
// otherwise.
void HighlightFrame(QWidget* frame, QLabel* caption, bool focused);

void SetBackColor(QWidget* widget, QRgb color);
void SetBold(QWidget* widget, bool bold);

// The width a button or label showing `caption` in the usual weight needs
// for it in bold, with its own margins and indicator. A caption made bold by
// the focus gets it from the start, so that the focus neither cuts the
// caption nor widens the window nor moves what lies beside it.
int BoldCaptionWidth(const QWidget* control, const QString& caption);

// The one-line help panel at the bottom of a screen, named "MsgPanel".
QLabel* MakeMsgPanel(QWidget* parent);

// Texts the help line shows as the focus moves, besides the status tips of
// the window's controls; FitAndCenter keeps room for the tallest of them.
void AddHelpTexts(QLabel* msgPanel, const QStringList& texts);
QStringList HelpTexts(const QLabel* msgPanel);

}  // namespace mw
