// How a report's text lies on paper. The report is fixed-width text whose
// pages end at form feeds, and a page is a unit: each goes on one sheet of
// its own, whole, on Letter and on A4 paper. Lines keep a pitch of six to
// the inch while the page fits; a page the report had to let run past its
// 58 lines closes its lines up until it fits. The station's printer and the
// PDF files both lay their sheets out from here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/FileSystem.h"

namespace mw {

inline constexpr double kReportFontPoints = 11.5;
inline constexpr double kLinePitchPoints = 12.0;
// Above and below the lines, and either side of them: 80 columns of the font
// fit across A4 with room to spare.
inline constexpr double kTopBottomMarginPoints = 0.4 * 72;
inline constexpr double kSideMarginPoints = 0.25 * 72;
// A fixed-pitch character is this share of the type size wide.
inline constexpr double kCharWidthPerPoint = 0.6;

struct Paper {
    double widthPoints;
    double heightPoints;
};
inline constexpr Paper kLetterPaper{612.0, 792.0};
inline constexpr Paper kA4Paper{210 / 25.4 * 72, 297 / 25.4 * 72};

// "letter" or "a4", in any case; none for another name.
std::optional<Paper> PaperNamed(std::string_view name);

inline constexpr const char* kPapersizeFile = "/etc/papersize";

// The paper reports go on unless the user names one: the one the variable
// PAPERSIZE names, else the one named in the file PAPERCONF names or, without
// it, in the system's papersize file, else the one of the locale's paper
// category, else Letter. The C locale says nothing about a country's paper.
Paper SystemPaper(FileSystem& fs, const std::string& papersizeFile = kPapersizeFile);

using PageLines = std::vector<std::string>;

// The report's pages: a new page at each form feed. Lines end at CR LF (or
// LF); the line end that closes a page belongs to it, so it adds no line.
// Any text in which CR, LF and form feed are single bytes will do (the
// report's Windows-1252, UTF-8).
std::vector<PageLines> SplitPages(std::string_view text);

// How one page lies on its sheet, in points.
struct PageOnSheet {
    double fontPoints;   // the type's size
    double pitchPoints;  // from the top of one line to the top of the next
};

// The layout of a page of `lines` lines: six lines to the inch when they fit
// between the margins, else as close as makes them fit, the type shrinking
// with them only once its lines would touch.
PageOnSheet LayoutPage(std::size_t lines, const Paper& paper);

}  // namespace mw
