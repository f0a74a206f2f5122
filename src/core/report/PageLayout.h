// How a report's text lies on paper. The report is fixed-width text whose
// pages end at form feeds; every line keeps a fixed pitch of six lines to
// the inch, so that a full 58-line page is one sheet on Letter and on A4
// paper (a font's own line spacing would push the last lines of a page onto
// another sheet). The station's printer and the PDF files of the command
// line both lay their sheets out from here.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

inline constexpr double kReportFontPoints = 11.5;
inline constexpr double kLinePitchPoints = 12.0;
// Above and below the lines, and either side of them: 80 columns of the font
// fit across A4 with room to spare.
inline constexpr double kTopBottomMarginPoints = 0.4 * 72;
inline constexpr double kSideMarginPoints = 0.25 * 72;

struct Paper {
    double widthPoints;
    double heightPoints;
};
inline constexpr Paper kLetterPaper{612.0, 792.0};
inline constexpr Paper kA4Paper{210 / 25.4 * 72, 297 / 25.4 * 72};

using PageLines = std::vector<std::string>;

// The report's pages: a new page at each form feed. Lines end at CR LF (or
// LF); the line end that closes a page belongs to it, so it adds no line.
// Any text in which CR, LF and form feed are single bytes will do (the
// report's Windows-1252, UTF-8).
std::vector<PageLines> SplitPages(std::string_view text);

// How many lines fit between the margins of paper `heightPoints` high.
int LinesPerSheet(double heightPoints);

// The pages as printed sheets: each page starts a sheet, and a page longer
// than a sheet goes on over the next one rather than lose its last lines.
// `Lines` is any list of lines that can be built from a range of another's.
template <class Lines>
std::vector<Lines> PagesToSheets(const std::vector<Lines>& pages, int linesPerSheet) {
    const auto perSheet = static_cast<std::size_t>(linesPerSheet);
    std::vector<Lines> sheets;
    for (const Lines& page : pages) {
        const auto size = static_cast<std::size_t>(page.size());
        std::size_t start = 0;
        do {
            const std::size_t end = std::min(size, start + perSheet);
            sheets.emplace_back(page.begin() + static_cast<std::ptrdiff_t>(start),
                                page.begin() + static_cast<std::ptrdiff_t>(end));
            start = end;
        } while (start < size);
    }
    return sheets;
}

}  // namespace mw
