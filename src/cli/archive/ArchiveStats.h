// The scales' statistics over an archive's valid protocols: per scale the
// number of clients, mean and standard deviation of its raw points,
// Cronbach's alpha, and each item's corrected item-total correlation and
// missing rate; for everyone, and apart by language and by route. With the
// distribution of the effort index of tests taken on the screen.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/archive/Archive.h"
#include "core/scoring/ScoringTables.h"

namespace mw {

// An item of a scale, and the points it gives the scale for an answer.
struct ScaleItem {
    int item = 0;
    // Self-Esteem and the Stress Coping ratio score their items by fixed
    // rules; the other scales by the answer keys.
    enum class Points { Key, SelfEsteem, Coping, Stress } points = Points::Key;
};

// The items of scales 1-9 (index 0 unused) under `tables`.
std::array<std::vector<ScaleItem>, kScaleCount + 1> ScaleItemsOf(const ScoringTables& tables);

// Sums from which a scale's statistics follow, kept as clients stream past.
struct ScaleSums {
    std::int64_t n = 0;
    double total = 0;
    double totalSquares = 0;
    struct Item {
        double sum = 0, squares = 0, withTotal = 0;
        std::int64_t missing = 0;
    };
    std::vector<Item> items;
};

struct ItemStats {
    int item = 0;
    std::optional<double> itemTotal;  // none where it cannot be computed (no variance)
    double missingRate = 0;
};

struct ScaleStats {
    int scale = 0;
    std::int64_t n = 0;
    double mean = 0;
    double sd = 0;
    std::optional<double> alpha;
    std::vector<ItemStats> items;
};

std::vector<ScaleStats> StatsOf(const std::array<ScaleSums, kScaleCount + 1>& sums,
                                const std::array<std::vector<ScaleItem>, kScaleCount + 1>& items);

// Clients counted together: everyone, a language or a route.
struct StatsGroup {
    std::string name;  // "all", "language English", "route keyed", ...
    std::array<ScaleSums, kScaleCount + 1> sums;
};

// Effort index of tests on the screen, in tenths (the last holds 1.0).
struct EffortDistribution {
    std::int64_t n = 0;
    double sum = 0;
    std::array<std::int64_t, 10> tenths{};
    std::int64_t low = 0;  // below the index that tells the supervisor
};

struct ArchiveStatistics {
    std::vector<StatsGroup> groups;
    EffortDistribution effort;
};

// Streams the valid protocols of the archive's latest disks once.
Result<ArchiveStatistics> GatherStatistics(Archive& archive, const ScoringTables& tables);

// The scales' names by number, in UTF-8.
using ScaleNames = std::array<std::string, kScaleCount + 1>;

// The statistics as a table per group and an item list per scale, or as
// one JSON object for scripts.
void PrintStatistics(std::ostream& out, const ArchiveStatistics& stats,
                     const std::array<std::vector<ScaleItem>, kScaleCount + 1>& items,
                     const ScaleNames& names, bool json);

}  // namespace mw
