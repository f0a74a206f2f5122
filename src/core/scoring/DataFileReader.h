// Reads the instrument's data files the way they have always been read:
// free-format fields separated by commas or line ends (a string may be in
// double quotes, which keeps its inner blanks and commas; an unquoted field
// is trimmed), and whole lines. Line ends may be CR LF, CR or LF.
//
// Every failure names the file, the line (and the column where it is known)
// and what was expected there.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/data/Error.h"

namespace mw {

// What a field is, for error messages: a text and, when given, a number
// after it ("scale name 3"). It is spelled out only when a read fails, so
// that reading a file spends nothing on naming the fields it holds.
class FieldName {
public:
    // NOLINTBEGIN: implicit by design, so that a plain text names a field
    FieldName(std::string_view text) : text_(text) {}
    FieldName(const char* text) : text_(text) {}
    FieldName(const std::string& text) : text_(text) {}
    // NOLINTEND
    FieldName(std::string_view text, int number) : text_(text), number_(number) {}

    std::string Text() const;

private:
    std::string_view text_;
    std::optional<int> number_;
};

class DataFileReader {
public:
    DataFileReader(std::string name, std::string_view text) : name_(std::move(name)), text_(text) {}

    // The next field; `what` names it for the error message.
    Result<std::string> Field(const FieldName& what);
    // The next field as an integer within [low, high].
    Result<int> Int(const FieldName& what, int low, int high);
    // The rest of the current line (a whole line when at a line start).
    Result<std::string> Line(const FieldName& what);
    // An error unless only blanks and empty lines are left, naming the line of
    // the first text after the last section. An end-of-file mark (Ctrl+Z), as
    // old editors leave, ends the text.
    Status ExpectEnd();

    // A failure on the current line, and one at the start of the last field read.
    Error Fail(std::string_view what) const { return FailAt(line_, 0, what); }
    Error FailAtField(std::string_view what) const {
        return FailAt(fieldLine_, fieldColumn_, what);
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
    bool AtLineEnd() const { return AtEnd() || IsLineEnd(text_[pos_]); }
    void SkipLineEnd();
    // Moves past blanks, tabs and empty lines.
    void SkipBlankLines();
    // The next field as it stands in the text.
    Result<std::string_view> FieldText(const FieldName& what);
    Error Expected(const FieldName& what, std::string_view found) const;
    Error FailAt(int line, int column, std::string_view what) const;
    int Column() const { return static_cast<int>(pos_ - lineStart_) + 1; }

    std::string name_;
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t lineStart_ = 0;
    int line_ = 1;
    int fieldLine_ = 1;
    int fieldColumn_ = 1;
};

}  // namespace mw
