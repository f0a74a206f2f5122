// The colour profile a PDF report's colours are meant in: sRGB, built into
// the program from Debian's icc-profiles-free (/usr/share/color/icc/sRGB.icc)
// when it is compiled, so that an installed program needs no colour data of
// its own to write an archivable PDF. That profile is of ICC version 2:
// PDF/A-1 rests on PDF 1.4, which takes no later profile (the sRGB profile
// of colord-data is of version 4).
#pragma once

#include <string_view>

namespace mw {

extern const std::string_view kSrgbProfile;

}  // namespace mw
