// Scoring of one client's 160 answers into the nine scale results.
#pragma once

#include <array>
#include <string_view>

#include "core/data/ClientRecord.h"
#include "core/data/CodeTables.h"
#include "core/scoring/ScoringTables.h"

namespace mw {

struct ScoreSheet {
    std::array<int, kItemCount + 1> Answer{};  // 0 = omitted
    std::array<int, kScaleCount + 1> RawScore{};
    std::array<int, kScaleCount + 1> Percentile{};
    std::array<int, kScaleCount + 1> OmittedCount{};
    std::array<int, kScaleCount + 1> ScoredItemCount{};
    std::array<int, kItemCount + 1> ItemPoints{};
    std::array<int, kItemCount + 1> SelfEsteemPoints{};
};

constexpr bool InRange(int value, int low, int high) {
    return low <= value && value <= high;
}

// A Truthfulness percentile this high means the answers cannot be trusted at
// all: the report prints the invalid-report text in place of the scales, and
// the other scales are not scored against the norms.
inline constexpr int kInvalidTruthPercentile = 95;

// Whether the report of a scored sheet shows the scales ("valid") or says
// that the test results are invalid.
constexpr bool IsValidProtocol(const ScoreSheet& sheet) {
    return sheet.Percentile[kTruthfulness] < kInvalidTruthPercentile;
}

// A scale with this many items omitted rests on too few answers: the report
// shows it as not scored, whatever its percentile.
inline constexpr int kNotScoredOmissions = 5;

constexpr bool IsScaleScored(const ScoreSheet& sheet, int scale) {
    return sheet.OmittedCount[scale] < kNotScoredOmissions;
}

// Stress Coping: X items tell of coping well, Y items of stress.
inline constexpr std::array<int, 8> kCopingItems = {94, 96, 100, 104, 110, 113, 115, 120};
inline constexpr std::array<int, 8> kStressItems = {95, 98, 107, 108, 116, 118, 121, 122};
// Self-Esteem's items beside the 24 of section 3: counted only when answered.
inline constexpr int kSelfRegardItem = 156;

// The answers of a record's Answers field: a digit above its section's
// highest answer, a blank or any other character reads as 0 (omitted).
std::array<int, kItemCount + 1> ReadAnswers(std::string_view answers);

// The norm tables a client is scored against: sex 1 or 2 (any other code
// uses sex 1) and group 1-3 (ethnicity codes 1-3; any other uses group 1).
int NormSex(int genderCode);
int NormGroup(int raceCode);

// The raw points of every scale as the norms were built from them: item
// points with the adjustments, Self-Esteem, Stress Coping and the
// excessive-True rule, but no percentile and no truth correction.
ScoreSheet ScoreRawPoints(std::string_view answers, const ScoringTables& tables);

ScoreSheet ScoreAnswers(std::string_view answers, int genderCode, int raceCode,
                        const ScoringTables& tables);

// A client's stored answers, against the norms of the client's sex and group.
ScoreSheet ScoreClient(const ClientRecord& record, const ScoringTables& tables);

}  // namespace mw
