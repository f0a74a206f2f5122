// A TrueType font program as a PDF file embeds it: the font file's bytes and
// the measures a PDF reader needs before it opens the program, in thousandths
// of the type size. Only a fixed-pitch font will do: every character of the
// report takes one column.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

struct TrueTypeFont {
    std::string program;  // the whole font file
    int advance = 0;      // the width of every character
    int ascent = 0;       // above the baseline, as a positive number
    int descent = 0;      // below the baseline, as a negative number
    int capHeight = 0;
    std::array<int, 4> box{};  // the box around every glyph: left, bottom, right, top
};

// An error names the file when it cannot be read, is no TrueType font or is
// not fixed-pitch.
Result<TrueTypeFont> ReadTrueTypeFont(FileSystem& fs, const std::string& path);

// A font program holding only what draws `characters` (Unicode code points):
// the missing-character glyph, the glyph of each character and the glyphs
// those are built from, numbered anew in the order of the font's own
// numbers; the character map maps just these characters, and the hinting
// programs and measures are kept. A character the font lacks is left out;
// parts of the font that cannot be read are left empty rather than read past.
std::string FontSubset(const TrueTypeFont& font, const std::vector<char32_t>& characters);

}  // namespace mw
