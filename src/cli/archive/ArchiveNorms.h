// Candidate norms from an archive: the percentile tables of the six norm
// sets (sex by norm group) drawn from the valid protocols pooled there, as
// the shipped norms were drawn from their sample.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/archive/Archive.h"
#include "core/scoring/Norms.h"
#include "core/scoring/ScoringTables.h"

namespace mw {

// The raw scores of one norm set's clients, counted per scale.
struct NormCell {
    std::int64_t clients = 0;
    std::array<RawCounts, kScaleCount + 1> raws;
};

// Cells[sex][group], sexes 1-2 and groups 1-3.
using NormCells = std::array<std::array<NormCell, 4>, 3>;

// Counts the raw points (before the truthfulness correction, as norms are
// drawn) of every valid protocol of the archive's latest disks, scored with
// `tables`. Streams the clients: memory does not grow with the archive.
Result<NormCells> CountNormCells(Archive& archive, const ScoringTables& tables);

// One percentile that moved: where, from what, to what.
struct NormShift {
    int sex = 0;
    int group = 0;
    int scale = 0;  // 9 for Stress Coping, whose "raw" is the interval
    int raw = 0;
    int shipped = 0;
    int candidate = 0;
};

struct CandidateNorms {
    ScoringTables tables;  // the shipped tables with the norms of every cell large enough
    std::vector<std::pair<int, int>> keptCells;  // (sex, group) below the smallest cell
    std::vector<NormShift> shifts;               // largest first
};

// The shipped norms, each cell of at least `minCell` clients replaced by the
// archive's; a smaller cell keeps the shipped one.
CandidateNorms MakeCandidateNorms(const ScoringTables& shipped, const NormCells& cells,
                                  std::int64_t minCell);

}  // namespace mw
