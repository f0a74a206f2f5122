#include "core/scoring/Norms.h"

#include <algorithm>
#include <numeric>
#include <sstream>

namespace mw {
namespace {

std::int64_t Total(const RawCounts& counts) {
    return std::accumulate(counts.begin(), counts.end(), std::int64_t{0},
                           [](std::int64_t sum, const auto& c) { return sum + c.second; });
}

// The clients at or below `raw`.
std::int64_t AtOrBelow(const RawCounts& counts, int raw) {
    std::int64_t n = 0;
    for (auto c = counts.begin(); c != counts.end() && c->first <= raw; ++c) n += c->second;
    return n;
}

int Percent(double share) {
    return std::min(99, static_cast<int>(100.0 * share + 0.5));
}

}  // namespace

std::vector<int> MidRankNorm(const RawCounts& counts, int count) {
    const auto total = static_cast<double>(Total(counts));
    std::vector<int> norm;
    for (int r = 1; r <= count; ++r) {
        const auto at = counts.find(r);
        const double below = static_cast<double>(AtOrBelow(counts, r - 1)) +
                             (at == counts.end() ? 0.0 : 0.5 * static_cast<double>(at->second));
        norm.push_back(Percent(below / total));
    }
    return norm;
}

std::array<int, kStressIntervals + 1> StressCopingNorm(
    const RawCounts& counts, const std::array<int, kStressIntervals + 2>& bounds) {
    const auto total = static_cast<double>(Total(counts));
    std::array<int, kStressIntervals + 1> norm{};
    for (int k = 1; k <= kStressIntervals; ++k) {
        const auto atLower = AtOrBelow(counts, bounds[k]);
        const auto within = AtOrBelow(counts, bounds[k + 1]) - atLower;
        const double worse = static_cast<double>(atLower) + 0.5 * static_cast<double>(within);
        norm[k] = Percent(1.0 - worse / total);
    }
    return norm;
}

std::string NumberLines(const int* values, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += std::to_string(values[i]) + (i + 1 == count || (i + 1) % 10 == 0 ? "\n" : ",");
    }
    return text;
}

std::string NormSections(const ScoringTables& t) {
    std::ostringstream out;
    out << "NORMS: sex 1-2, group 1-3, scales 1-8: count, then percentiles of raw 1..count\n";
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            for (int scale = 1; scale <= kSelfEsteem; ++scale) {
                const std::vector<int>& norm = t.Norms[sex][group][scale];
                out << norm.size();
                for (int p : norm) out << "," << p;
                out << "\n";
            }
        }
    }
    out << "STRESS COPING NORMS: sex 1-2, group 1-3: percentiles of intervals 1-50\n";
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            out << NumberLines(&t.StressNorms[sex][group][1], kStressIntervals);
        }
    }
    return out.str();
}

}  // namespace mw
