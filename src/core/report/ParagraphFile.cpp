#include "core/report/ParagraphFile.h"

#include <algorithm>
#include <array>

namespace mw {
namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Moves past the line end at pos, if there is one (CR LF, CR or LF).
std::size_t PastLineEnd(std::string_view text, std::size_t pos) {
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return pos;
}

// Cuts a text into its lines (CR LF, CR or LF ends one), searching for line
// ends rather than testing every character. The next LF is remembered, so
// that a text of CR-ended lines is not searched to its end for each line.
class LineCutter {
public:
    explicit LineCutter(std::string_view text)
        : text_(text), nextLf_(std::min(text.find('\n'), text.size())) {}

    // The next line; false at the end of the text.
    bool Next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        if (nextLf_ < pos_) nextLf_ = std::min(text_.find('\n', pos_), text_.size());
        const std::size_t cr = text_.substr(pos_, nextLf_ - pos_).find('\r');
        const std::size_t end = cr == std::string_view::npos ? nextLf_ : pos_ + cr;
        line = text_.substr(pos_, end - pos_);
        pos_ = PastLineEnd(text_, end);
        return true;
    }

private:
    std::string_view text_;
    std::size_t nextLf_;  // the first LF at or after pos_, or the text's end
    std::size_t pos_ = 0;
};

// Where the first line reading exactly `word` begins. A paragraph file is
// mostly prose, so the search jumps from one occurrence of the word to the
// next instead of cutting every line.
std::size_t FindLine(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        const bool starts = at == 0 || IsLineEnd(text[at - 1]);
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
        const std::size_t at = oneLine ? FindLine(fileText, key) : std::string_view::npos;
        if (at == std::string_view::npos) return p;
        pos = PastLineEnd(fileText, at + key.size());
    }
    p.found = true;
    p.lines.reserve(16);  // most paragraphs are a few lines: room for them at once
    LineCutter lines(fileText.substr(pos));
    for (std::string_view line; lines.Next(line);) {
        p.ended = line == "END";
        if (p.ended) break;
        p.lines.push_back(line);
    }
    return p;
}

}  // namespace mw
