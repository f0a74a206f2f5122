// A TrueType font program as a PDF file embeds it: the font file's bytes and
// the measures a PDF reader needs before it opens the program, in thousandths
// of the type size. Only a fixed-pitch font will do: every character of the
// report takes one column.
#pragma once

#include <array>
#include <string>

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

}  // namespace mw
