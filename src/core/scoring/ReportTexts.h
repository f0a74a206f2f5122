// The report's texts, read from MW_rpt.TXT at every scoring run: the scale
// names, the risk-range labels, one line per significant item and one line
// per answer of each multiple-choice item. Texts are Windows-1252 bytes.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/data/Error.h"
#include "core/scoring/ScoringTables.h"

namespace mw {

inline constexpr const char* kReportTextsFileName = "MW_rpt.TXT";
constexpr int kChoiceLineCount = 56;

struct ReportTexts {
    std::array<std::string, kScaleCount + 1> ScaleNames;  // 1-9
    std::array<std::string, 5> RangeLabels;               // 1-4
    std::array<std::string, kSignificantItemCount + 1> SignificantLines;
    // Item 146+j, answer a is line 4(j-1)+a.
    std::array<std::string, kChoiceLineCount + 1> ChoiceLines;
};

Result<ReportTexts> ParseReportTexts(const std::string& name, std::string_view text);

}  // namespace mw
