#include "core/scoring/DataFileReader.h"

#include <charconv>

namespace mw {

Error DataFileReader::FailAt(int line, int column, std::string_view what) const {
    return MakeError(errc::BadData, FilePlace(name_, line, column) + std::string(what));
}

std::string FieldName::Text() const {
    std::string text(text_);
    if (number_) text += " " + std::to_string(*number_);
    return text;
}

Error DataFileReader::Expected(const FieldName& what, std::string_view found) const {
    if (AtEnd() && found.empty()) {
        return Fail("the file ends where " + what.Text() + " was expected");
    }
    return Fail("expected " + what.Text() + ", found \"" + std::string(found) + "\"");
}

void DataFileReader::SkipLineEnd() {
    if (AtEnd()) return;
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
    lineStart_ = pos_;
}

void DataFileReader::SkipBlankLines() {
    for (;;) {
        while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
        if (AtEnd() || !AtLineEnd()) return;
        SkipLineEnd();
    }
}

Result<std::string_view> DataFileReader::FieldText(const FieldName& what) {
    SkipBlankLines();  // blank lines between fields carry no field
    fieldLine_ = line_;
    fieldColumn_ = Column();
    if (AtEnd()) return Expected(what, "");

    std::string_view value;
    if (text_[pos_] == '"') {
        std::size_t close = pos_ + 1;
        while (close < text_.size() && text_[close] != '"' && !IsLineEnd(text_[close])) ++close;
        if (close == text_.size() || text_[close] != '"') {
            return FailAtField("a quoted field is not closed on its line");
        }
        value = text_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        while (!AtLineEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
        if (!AtLineEnd() && text_[pos_] != ',') {
            return FailAt(line_, Column(), "unexpected text after a quoted field");
        }
    } else {
        const std::size_t start = pos_;
        while (!AtLineEnd() && text_[pos_] != ',') ++pos_;
        std::size_t end = pos_;
        while (end > start && (text_[end - 1] == ' ' || text_[end - 1] == '\t')) --end;
        value = text_.substr(start, end - start);
    }
    if (!AtEnd() && text_[pos_] == ',') {
        ++pos_;
    } else {
        SkipLineEnd();
    }
    return value;
}

Result<std::string> DataFileReader::Field(const FieldName& what) {
    Result<std::string_view> field = FieldText(what);
    if (!field) return field.error();
    return std::string(*field);
}

Result<int> DataFileReader::Int(const FieldName& what, int low, int high) {
    Result<std::string_view> field = FieldText(what);
    if (!field) return field.error();
    const std::string_view s = *field;
    int value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || value < low ||
        value > high) {
        return FailAtField("expected " + what.Text() + " (a whole number from " +
                           std::to_string(low) + " to " + std::to_string(high) + "), found \"" +
                           std::string(s) + "\"");
    }
    return value;
}

Result<std::string> DataFileReader::Line(const FieldName& what) {
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
    return FailAt(line_, Column(),
                  "text after the last section: \"" +
                      std::string(rest.substr(0, rest.find_first_of("\r\n"))) + "\"");
}

}  // namespace mw
