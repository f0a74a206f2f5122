// Breaking a paragraph into report lines of at most 71 characters, with
// lines of 56 to 70 characters justified to 71 by widening blanks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mw {

constexpr std::size_t kParagraphWidth = 71;

// Appends a line, widened to 71 when it is 56-70 characters long: walking
// from its end towards its start, one blank is inserted at every blank met
// (position 2 or more), pass after pass, until the line is 71 long. Other
// lines are appended unchanged.
void AppendJustified(std::string& out, std::string_view line);

// The lines of a paragraph, before justifying, as views into its text. An
// empty text gives one empty line.
std::vector<std::string_view> BreakParagraph(std::string_view text);

}  // namespace mw
