#include "core/report/ParagraphFile.h"

#include <array>

namespace mw {
namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The next line of text from pos (CR LF, CR or LF ends it); false at the end.
bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
    if (pos >= text.size()) return false;
    std::size_t end = pos;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return true;
}

// Where the first line at or after `from` (a line start) reading exactly
// `word` begins. A paragraph file is mostly prose, so the search jumps from
// one occurrence of the word to the next instead of cutting every line.
std::size_t FindLine(std::string_view text, std::string_view word, std::size_t from) {
    for (std::size_t at = text.find(word, from); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        const bool starts = at == from || IsLineEnd(text[at - 1]);
        if (starts && (end == text.size() || IsLineEnd(text[end]))) return at;
    }
    return std::string_view::npos;
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
    if (!key.empty()) {
        // A line never holds a line end, so such a key is on no line.
        const bool oneLine = key.find_first_of("\r\n") == std::string_view::npos;
        const std::size_t at = oneLine ? FindLine(fileText, key, 0) : std::string_view::npos;
        if (at == std::string_view::npos) return p;
        std::string_view keyLine;
        pos = at;
        NextLine(fileText, pos, keyLine);
    }
    p.found = true;
    const std::size_t end = FindLine(fileText, "END", pos);
    p.ended = end != std::string_view::npos;
    const std::string_view body = fileText.substr(pos, p.ended ? end - pos : fileText.npos);
    std::size_t at = 0;
    std::string_view line;
    while (NextLine(body, at, line)) p.lines.push_back(line);
    return p;
}

}  // namespace mw
