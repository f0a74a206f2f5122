// The client's coded fields, the answer coding and the questionnaire's sections.
#pragma once

#include <array>
#include <string_view>

namespace mw {

// Texts of the coded fields in code order; code 0 is "N/A" (not available).
inline constexpr std::array<std::string_view, 3> kGenderTexts = {"N/A", "Male", "Female"};
inline constexpr std::array<std::string_view, 7> kRaceTexts = {
    "N/A", "Caucasian", "Black", "Hispanic", "Asian", "Native American", "Other"};
inline constexpr std::array<std::string_view, 6> kMaritalStatusTexts = {
    "N/A", "Single", "Married", "Divorced", "Separated", "Widowed"};

// Code c of a table, or "" for a code the table does not hold.
template <std::size_t N>
constexpr std::string_view CodeText(const std::array<std::string_view, N>& table, int code) {
    return code >= 0 && code < static_cast<int>(N) ? table[code] : std::string_view();
}

constexpr int kItemCount = 160;
constexpr int kSectionCount = 4;

// Section s (1-4) covers items SectionBounds[s-1]+1 to SectionBounds[s].
inline constexpr std::array<int, 5> SectionBounds = {0, 93, 122, 146, 160};

// Highest answer value of each section (index 1-4): true/false, ratings,
// five-point pairs, multiple choice.
inline constexpr std::array<int, 5> kSectionHighestAnswer = {0, 2, 4, 5, 4};

constexpr int SectionOf(int item) {
    for (int s = 1; s <= kSectionCount; ++s) {
        if (item <= SectionBounds[s]) return s;
    }
    return 0;
}

// The answer value of one character of Answers: a digit's value; a blank or
// any other character is 0 (omitted).
constexpr int AnswerValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

}  // namespace mw
