#include "core/report/ParagraphPrinter.h"

#include <algorithm>
#include <cstdint>

namespace mw {

void AppendJustified(std::string& out, std::string_view line) {
    if (line.size() <= 55 || line.size() >= kParagraphWidth) {
        out += line;
        return;
    }
    // Index 0 is position 1: a blank there is never widened. Counted in a
    // byte, which a line of at most 70 characters cannot overflow and which
    // the compiler counts many characters at a time.
    std::uint8_t blanks = 0;
    for (std::size_t i = 1; i < line.size(); ++i) blanks += line[i] == ' ';
    // A line without a blank to widen is written as it is.
    if (blanks == 0) {
        out += line;
        return;
    }
    // A pass gives every blank it meets one more beside it, so each full
    // pass doubles every blank, and the last pass runs out part of the way
    // from the right: the passes are counted rather than made.
    std::size_t missing = kParagraphWidth - line.size();
    std::size_t copies = 1;  // of each widened blank after the full passes
    while (blanks * copies <= missing) {
        missing -= blanks * copies;
        copies *= 2;
    }
    out.resize(out.size() + kParagraphWidth);
    char* to = out.data() + out.size();
    for (std::size_t i = line.size() - 1; i >= 1; --i) {
        *--to = line[i];
        if (line[i] != ' ') continue;
        const std::size_t lastPass = std::min(copies, missing);
        missing -= lastPass;
        for (std::size_t added = copies - 1 + lastPass; added > 0; --added) *--to = ' ';
    }
    *--to = line[0];
}

std::vector<std::string_view> BreakParagraph(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(text.size() / kParagraphWidth + 1);
    std::string_view rest = text;
    do {
        std::string_view line = rest;
        rest = {};
        if (line.size() > kParagraphWidth) {
            std::size_t blank = line.rfind(' ', kParagraphWidth - 1);
            // A word longer than the line has no blank to break at: it stands alone.
            if (blank == std::string_view::npos) blank = line.find(' ');
            if (blank != std::string_view::npos) {
                rest = line.substr(blank + 1);
                line = line.substr(0, blank);
            }
        }
        std::size_t end = line.find_last_not_of(' ');
        lines.push_back(line.substr(0, end == std::string_view::npos ? 0 : end + 1));
    } while (!rest.empty());
    return lines;
}

}  // namespace mw
