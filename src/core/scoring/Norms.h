// Percentile norms drawn from a norm sample's raw scores, as the shipped
// norms were drawn and as an archive of returned disks draws candidates,
// and the norm sections of the scoring data file that hold them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/scoring/ScoringTables.h"

namespace mw {

// How many clients of a sample had each raw score.
using RawCounts = std::map<int, std::int64_t>;

// Mid-rank percentiles of raw scores 1..count: the share of the sample
// scoring below r plus half of those scoring r, so the table never falls as
// the raw score rises; at most 99.
std::vector<int> MidRankNorm(const RawCounts& counts, int count);

// Stress Coping percentiles fall as the coping ratio rises: the share coping
// worse than interval k (at or below its lower bound), plus half of those
// within it.
std::array<int, kStressIntervals + 1> StressCopingNorm(
    const RawCounts& counts, const std::array<int, kStressIntervals + 2>& bounds);

// The scale norms and Stress Coping norms of `tables`, each section after its
// heading line, as the scoring data file holds them.
std::string NormSections(const ScoringTables& tables);

// Writes numbers separated by commas, ten to a line, as the scoring data file does.
std::string NumberLines(const int* values, std::size_t count);

}  // namespace mw
