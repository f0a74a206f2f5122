// Reads the instrument's data files the way they have always been read:
// free-format fields separated by commas or line ends (a string may be in
// double quotes, which keeps its inner blanks and commas; an unquoted field
// is trimmed), and whole lines. Line ends may be CR LF, CR or LF.
//
// Every failure names the file, the line and what was expected there.
#pragma once

#include <string>
#include <string_view>

#include "core/data/Error.h"

namespace mw {

class DataFileReader {
public:
    DataFileReader(std::string name, std::string_view text) : name_(std::move(name)), text_(text) {}

    // The next field; `what` names it for the error message.
    Result<std::string> Field(std::string_view what);
    // The next field as an integer within [low, high].
    Result<int> Int(std::string_view what, int low, int high);
    // The rest of the current line (a whole line when at a line start).
    Result<std::string> Line(std::string_view what);
    // An error unless only blanks and empty lines are left, naming the line of
    // the first text after the last section. An end-of-file mark (Ctrl+Z), as
    // old editors leave, ends the text.
    Status ExpectEnd();

    // The line on which the last field read began.
    int FieldLine() const { return fieldLine_; }
    Error Fail(std::string_view what) const { return FailAt(line_, what); }
    Error FailAt(int line, std::string_view what) const;

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    bool AtLineEnd() const { return AtEnd() || text_[pos_] == '\r' || text_[pos_] == '\n'; }
    void SkipLineEnd();
    // Moves past blanks, tabs and empty lines.
    void SkipBlankLines();
    Error Expected(std::string_view what, std::string_view found) const;

    std::string name_;
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int fieldLine_ = 1;
};

}  // namespace mw
