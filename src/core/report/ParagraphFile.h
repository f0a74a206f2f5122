// The scale paragraph files (MWVA.txt ... MWSC.txt) and INVAL.TXT: for each
// percentile a line with the number, the paragraph's lines, and "END".
#pragma once

#include <string_view>
#include <vector>

namespace mw {

inline constexpr const char* kInvalidTextFileName = "INVAL.TXT";

// The paragraph file of a scale 1-9.
const char* ParagraphFileName(int scale);

// The lines are views into the file's text, which must outlive them.
struct Paragraph {
    std::vector<std::string_view> lines;
    bool found = false;  // the percentile's line was there
    bool ended = false;  // its "END" line was there
};

// The lines after the first line that reads exactly `key`, up to "END".
// An empty key takes the lines from the top of the file (INVAL.TXT).
Paragraph FindParagraph(std::string_view fileText, std::string_view key);

}  // namespace mw
