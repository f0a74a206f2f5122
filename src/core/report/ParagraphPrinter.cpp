#include "core/report/ParagraphPrinter.h"

namespace mw {

std::string Justify(std::string line) {
    if (line.size() <= 55 || line.size() >= kParagraphWidth) return line;
    for (;;) {
        bool widened = false;
        // Index 0 is position 1: a blank there is never widened.
        for (std::size_t i = line.size() - 1; i >= 1; --i) {
            if (line[i] != ' ') continue;
            line.insert(i, 1, ' ');
            widened = true;
            if (line.size() == kParagraphWidth) return line;
        }
        // A line without a blank to widen is written as it is.
        if (!widened) return line;
    }
}

std::vector<std::string> BreakParagraph(std::string_view text) {
    std::vector<std::string> lines;
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
        line = line.substr(0, end == std::string_view::npos ? 0 : end + 1);
        lines.push_back(Justify(std::string(line)));
    } while (!rest.empty());
    return lines;
}

}  // namespace mw
