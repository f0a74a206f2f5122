#include "core/report/ParagraphFile.h"

#include <array>

namespace mw {
namespace {

// The next line of text from pos (CR LF, CR or LF ends it); false at the end.
bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
    if (pos >= text.size()) return false;
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return true;
}

}  // namespace

const char* ParagraphFileName(int scale) {
    static constexpr std::array<const char*, 10> kNames = {
        "",         "MWVA.txt", "MWRE.txt", "MWVI.txt", "MWAL.txt",
        "MWDG.txt", "MWDI.txt", "MWMO.txt", "MWSE.txt", "MWSC.txt"};
    return kNames.at(scale);
}

Paragraph FindParagraph(std::string_view fileText, std::string_view key) {
    Paragraph p;
    std::size_t pos = 0;
    std::string_view line;
    p.found = key.empty();
    while (!p.found && NextLine(fileText, pos, line)) p.found = line == key;
    if (!p.found) return p;
    while (NextLine(fileText, pos, line)) {
        if (line == "END") {
            p.ended = true;
            break;
        }
        p.lines.emplace_back(line);
    }
    return p;
}

}  // namespace mw
