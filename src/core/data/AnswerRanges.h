// The answer codes each item takes. An item's answers are numbered in the
// order of its answer texts, so its highest code is the number of its last
// answer. Every path that stores an answer (the answer grid, verification,
// the scan import, a test taken up again from its journal) asks this one
// table, so that no path can store a code the item has no answer for.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/CodeTables.h"
#include "core/data/QuestionDatabase.h"

namespace mw {

// The answer sheet follows the English question table, whatever the language
// the client would have been tested in.
inline constexpr const char* kAnswerSheetTable = "English";

class AnswerRanges {
public:
    // The section formats alone: true/false, ratings, five-point pairs and
    // multiple choice.
    AnswerRanges();
    // Each item of the table gets the number of its last answer text, and at
    // least two answers, as every item is shown with two; an item the table
    // lacks keeps its section's format.
    static AnswerRanges FromQuestions(const std::vector<QuestionRow>& questions);

    int Highest(int item) const { return highest_[static_cast<std::size_t>(item)]; }
    // 0 (not answered) and the item's own codes.
    bool Accepts(int item, int code) const { return code >= 0 && code <= Highest(item); }
    // The answers as digits, each code the item has no answer for (a blank
    // among them) read as 0, not answered.
    std::string Within(std::string_view answers) const;

private:
    std::array<int, kItemCount + 1> highest_{};
};

// The ranges of the answer sheet's question table. Where that table cannot
// be read (no question database, no such table) the section formats stand
// in: they are what the answer sheet prints.
AnswerRanges ReadAnswerRanges(const Database* database);

}  // namespace mw
