// How every screen looks to a clerk or client who sees poorly: large type
// makes the station's type half as large again, high contrast draws white
// text on black. The colours that mean something keep it in either look: the
// cyan panel of the current choice, the blue of the others, the grey answer
// boxes and the grid's green answers.
#pragma once

class QFont;
class QWidget;

namespace mw {

class Settings;

struct ScreenLook {
    bool largeType = false;
    bool highContrast = false;
};

// Half as large again: a clear step for a poor reader, and every screen
// still fits a screen of 1024x768.
inline constexpr double kLargeTypeScale = 1.5;

ScreenLook ReadScreenLook(const Settings& settings);

// Gives every window, those open included, the look's type and colours.
void ApplyScreenLook(const ScreenLook& look);
const ScreenLook& CurrentScreenLook();

// The type of the large-type look, also while the station is in the usual one.
QFont LargeTypeFont();

// Fixed-pitch type at the size of the rest: only the family is the
// control's own, so that its size follows the look.
void UseFixedPitch(QWidget* control);

}  // namespace mw
