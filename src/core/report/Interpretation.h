// The interpretive texts the report composes from fixed sentences: the two
// halves of the overall summary, the profile statement and the response
// patterns. Each paragraph is one long text for the paragraph printer.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/scoring/ReportTexts.h"
#include "core/scoring/ScoreSheet.h"

namespace mw {

// The words that refer to the client, chosen by the Gender code.
struct Pronouns {
    const char* person;   // man / woman
    const char* subject;  // he / she
    const char* Subject;  // He / She
    const char* reflexive;
};
Pronouns PronounsFor(std::string_view genderField);

// The paragraph printed instead of the summary when the Truthfulness
// percentile is 90-94: every scale score is then inaccurate.
std::string InvalidityParagraph(const Pronouns& p);
// One sentence for each of Truthfulness, Resistance, Violence, Alcohol and Drugs.
std::string FirstSummaryParagraph(const ScoreSheet& sheet, const Pronouns& p);
// One sentence for each of Distress, Morale, Self-Esteem and Stress Coping.
std::string SecondSummaryParagraph(const ScoreSheet& sheet, const Pronouns& p);
// The overall reading of scales 1-8: good, concern, problem, serious or severe.
std::string ProfileStatement(const ScoreSheet& sheet, const ReportTexts& texts);

struct PatternBlock {
    const char* heading;
    std::string text;
};
// The five blocks of the response patterns, in report order.
std::vector<PatternBlock> ResponsePatterns(const ScoreSheet& sheet, const Pronouns& p);

}  // namespace mw
