// The report's page model: 80-column lines positioned by "skip n" (n
// blanks) and "column n" (an absolute column, counted from 1), pages of 58
// lines counted by a line counter, and a new page as a form-feed line
// followed by the page header and an empty line.
//
// The counter is kept by the composing code with the counts its layout
// states, which are not always the number of lines written; this class only
// writes.
#pragma once

#include <string>
#include <string_view>

namespace mw {

constexpr int kPageLines = 58;

class ReportPage {
public:
    // A report with its summary is about 20 KB: room for it is made at once.
    explicit ReportPage(std::string clientName) : clientName_(std::move(clientName)) {
        out_.reserve(32 * 1024);
    }

    int counter = 1;  // lines used on the current page
    int page = 1;

    ReportPage& Skip(int n) { return Repeat(' ', n); }
    ReportPage& Column(int n);
    ReportPage& Text(std::string_view text) {
        out_ += text;
        return *this;
    }
    // `n` times the character `c`.
    ReportPage& Repeat(char c, int n) {
        out_.append(static_cast<std::size_t>(n), c);
        return *this;
    }
    // A paragraph's line, widened to the paragraph's width (see Justify).
    ReportPage& Justified(std::string_view line);
    // A number printed on its own: a blank (or minus) for its sign, the digits, a trailing blank.
    ReportPage& Number(int value);
    // Ends the current line (an empty line when nothing was written on it).
    void End() {
        out_ += "\r\n";
        lineStart_ = out_.size();
    }

    // Ends the page: increments the page number, writes the form-feed line,
    // the page header and an empty line, and sets the counter to 2.
    void NewPage();
    // A line holding only a form-feed character.
    void FormFeed();

    const std::string& Bytes() const& { return out_; }
    std::string Bytes() && { return std::move(out_); }

private:
    std::string clientName_;
    // The report so far; its last line, from lineStart_ on, is still open.
    std::string out_;
    std::size_t lineStart_ = 0;
};

}  // namespace mw
