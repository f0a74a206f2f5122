// The scoring data of the instrument, read from MWB.TXT at every scoring run:
// which items belong to which scale, the points of each answer, the
// percentile norms, the critical items and the truthfulness corrections.
//
// Tables are indexed as they are numbered (sections 1-4, scales 1-9, sexes
// 1-2, norm groups 1-3, bands 1-9); index 0 is unused.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/Error.h"

namespace mw {

inline constexpr const char* kScoringFileName = "MWB.TXT";

constexpr int kScaleCount = 9;
constexpr int kSignificantItemCount = 53;
constexpr int kCriticalItemCount = 136;
constexpr int kMaxNormCount = 113;
constexpr int kMaxScaleItems = 50;
constexpr int kStressIntervals = 50;
constexpr int kTruthBands = 9;

// Scale numbers, fixed everywhere.
enum Scale {
    kTruthfulness = 1,
    kResistance,
    kViolence,
    kAlcohol,
    kDrugs,
    kDistress,
    kMorale,
    kSelfEsteem,
    kStressCoping
};

// The slice [first, last] of the 136 critical items that belongs to a scale.
struct CriticalSlice {
    int first = 0;
    int last = -1;
};
CriticalSlice CriticalSliceOf(int scale);

struct ScoringTables {
    std::array<int, kSignificantItemCount + 1> SignificantItems{};
    // Keys[section][answer]: character k is the points answer earns on the k-th item of the
    // section.
    std::array<std::array<std::string, 6>, 5> Keys{};
    // Norms[sex][group][scale]: percentiles of raw scores 1..N (N = size).
    std::array<std::array<std::array<std::vector<int>, kScaleCount>, 4>, 3> Norms{};
    std::array<std::array<std::array<int, kStressIntervals + 1>, 4>, 3> StressNorms{};
    std::array<int, kStressIntervals + 2> StressBounds{};
    // ScaleItems[scale] for scales 1-8 (the eighth list is read, not used).
    std::array<std::vector<int>, kScaleCount> ScaleItems{};
    std::array<int, 17> FurtherItems{};
    std::array<int, kCriticalItemCount + 1> CriticalItems{};
    // TruthCorrections[band][scale] for bands 1-9 and scales 2-9.
    std::array<std::array<int, kScaleCount + 1>, kTruthBands + 1> TruthCorrections{};
};

// Parses the text of MWB.TXT; `name` names the file in error messages.
Result<ScoringTables> ParseScoringTables(const std::string& name, std::string_view text);

}  // namespace mw
