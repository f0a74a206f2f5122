// The product's name as the station shows it: the main window's caption, the
// title of message boxes that have none of their own, the about window.
#pragma once

namespace mw {

inline constexpr const char* kProductName = "Mirrorwise";
inline constexpr const char* kProductVersion = "v4.01";

}  // namespace mw
