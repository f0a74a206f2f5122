#include "core/scoring/DataFileReader.h"

#include <charconv>

namespace mw {

Error DataFileReader::FailAt(int line, std::string_view what) const {
    return MakeError(errc::BadData,
                     name_ + " line " + std::to_string(line) + ": " + std::string(what));
}

Error DataFileReader::Expected(std::string_view what, std::string_view found) const {
    if (AtEnd() && found.empty()) {
        return Fail("the file ends where " + std::string(what) + " was expected");
    }
    return Fail("expected " + std::string(what) + ", found \"" + std::string(found) + "\"");
}

void DataFileReader::SkipLineEnd() {
    if (AtEnd()) return;
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
}

void DataFileReader::SkipBlankLines() {
    for (;;) {
        while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
        if (AtEnd() || !AtLineEnd()) return;
        SkipLineEnd();
    }
}

Result<std::string> DataFileReader::Field(std::string_view what) {
    SkipBlankLines();  // blank lines between fields carry no field
    fieldLine_ = line_;
    if (AtEnd()) return Expected(what, "");

    std::string value;
    if (text_[pos_] == '"') {
        std::size_t close = text_.find('"', pos_ + 1);
        std::size_t eol = text_.find_first_of("\r\n", pos_ + 1);
        if (close == std::string_view::npos || close > eol) {
            return Fail("a quoted field is not closed on its line");
        }
        value = std::string(text_.substr(pos_ + 1, close - pos_ - 1));
        pos_ = close + 1;
        while (!AtLineEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
        if (!AtLineEnd() && text_[pos_] != ',') return Fail("unexpected text after a quoted field");
    } else {
        std::size_t start = pos_;
        while (!AtLineEnd() && text_[pos_] != ',') ++pos_;
        std::string_view raw = text_.substr(start, pos_ - start);
        std::size_t last = raw.find_last_not_of(" \t");
        value = std::string(raw.substr(0, last == std::string_view::npos ? 0 : last + 1));
    }
    if (!AtEnd() && text_[pos_] == ',') {
        ++pos_;
    } else {
        SkipLineEnd();
    }
    return value;
}

Result<int> DataFileReader::Int(std::string_view what, int low, int high) {
    Result<std::string> field = Field(what);
    if (!field) return field.error();
    const int line = fieldLine_;
    const std::string& s = *field;
    int value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || value < low ||
        value > high) {
        return FailAt(line, "expected " + std::string(what) + " (a whole number from " +
                                std::to_string(low) + " to " + std::to_string(high) +
                                "), found \"" + s + "\"");
    }
    return value;
}

Result<std::string> DataFileReader::Line(std::string_view what) {
    if (AtEnd()) return Expected(what, "");
    std::size_t start = pos_;
    while (!AtLineEnd()) ++pos_;
    std::string line(text_.substr(start, pos_ - start));
    SkipLineEnd();
    return line;
}

Status DataFileReader::ExpectEnd() {
    constexpr char kEndOfFileMark = '\x1A';
    SkipBlankLines();
    if (AtEnd() || text_[pos_] == kEndOfFileMark) return {};
    const std::string_view rest = text_.substr(pos_);
    return Fail("text after the last section: \"" +
                std::string(rest.substr(0, rest.find_first_of("\r\n"))) + "\"");
}

}  // namespace mw
