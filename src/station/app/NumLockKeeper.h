// Sets the keyboard's Num Lock state where the display system lets a program
// do so: X11 (through XKB) and Windows. Elsewhere (Wayland, the offscreen
// platform) the "Num Lock Always On" option is only a stored setting.
#pragma once

#include <optional>

namespace mw {

class NumLockKeeper {
public:
    // Whether this display lets the station set Num Lock.
    static bool Available();
    // The current state, when it can be read.
    static std::optional<bool> State();
    // Switches Num Lock on or off unless it already is.
    static void Keep(bool on);
};

}  // namespace mw
