#include "cli/archive/ArchiveStats.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "core/data/CodeTables.h"
#include "core/data/Paradata.h"
#include "core/scoring/ScoreSheet.h"

namespace mw {
namespace {

// The languages a test is given in and the routes answers reach a disk by,
// in the order the statistics list them; a client whose disk does not say
// counts under "not recorded".
constexpr std::array<const char*, 2> kLanguages = {"English", "Spanish"};
constexpr std::array<const char*, 3> kRoutes = {kRouteOnScreen, kRouteKeyed, kRouteScanned};
constexpr const char* kNotRecordedGroup = "not recorded";

int PointsOf(const ScaleItem& i, const ScoreSheet& sheet) {
    const int answer = sheet.Answer[i.item];
    switch (i.points) {
        case ScaleItem::Points::SelfEsteem:
            return sheet.SelfEsteemPoints[i.item];
        // The ratio counts an omitted coping item as 1 and an omitted stress
        // item as 4; reversed, a stress item scores as a coping one does.
        case ScaleItem::Points::Coping:
            return answer ? answer : 1;
        case ScaleItem::Points::Stress:
            return 5 - (answer ? answer : 4);
        case ScaleItem::Points::Key:
            break;
    }
    return sheet.ItemPoints[i.item];
}

void Count(ScaleSums& sums, const std::vector<ScaleItem>& items, const ScoreSheet& sheet,
           std::array<int, kItemCount + 1>& points) {
    if (sums.items.empty()) sums.items.resize(items.size());
    double total = 0;
    for (const ScaleItem& i : items) {
        points[i.item] = PointsOf(i, sheet);
        total += points[i.item];
    }
    ++sums.n;
    sums.total += total;
    sums.totalSquares += total * total;
    for (std::size_t k = 0; k < items.size(); ++k) {
        const double x = points[items[k].item];
        ScaleSums::Item& s = sums.items[k];
        s.sum += x;
        s.squares += x * x;
        s.withTotal += x * total;
        if (sheet.Answer[items[k].item] == 0) ++s.missing;
    }
}

StatsGroup& GroupNamed(std::vector<StatsGroup>& groups, const std::string& name) {
    for (StatsGroup& g : groups) {
        if (g.name == name) return g;
    }
    return groups.emplace_back(StatsGroup{name, {}});
}

std::vector<StatsGroup> EmptyGroups() {
    std::vector<StatsGroup> groups;
    GroupNamed(groups, "all");
    for (const char* language : kLanguages) GroupNamed(groups, std::string("language ") + language);
    GroupNamed(groups, std::string("language ") + kNotRecordedGroup);
    for (const char* route : kRoutes) GroupNamed(groups, std::string("route ") + route);
    GroupNamed(groups, std::string("route ") + kNotRecordedGroup);
    return groups;
}

void CountEffort(EffortDistribution& effort, double index) {
    ++effort.n;
    effort.sum += index;
    ++effort.tenths[static_cast<std::size_t>(std::clamp(static_cast<int>(index * 10), 0, 9))];
    if (index < kLowEffortIndex) ++effort.low;
}

// Variance from sums over n, with n - 1 in the denominator.
double Variance(double sum, double squares, double n) {
    return n > 1 ? (squares - sum * sum / n) / (n - 1) : 0;
}

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Optional(const std::optional<double>& value, const char* none) {
    return value ? Fixed(*value, 3) : none;
}

void PrintStatsText(std::ostream& out, const ScaleNames& names, const ArchiveStatistics& stats,
                    const std::array<std::vector<ScaleItem>, kScaleCount + 1>& items) {
    char line[160];
    for (const StatsGroup& group : stats.groups) {
        const std::vector<ScaleStats> scales = StatsOf(group.sums, items);
        out << "Valid protocols, " << group.name << ": " << scales[0].n << " clients\n";
        if (scales[0].n == 0) continue;
        std::snprintf(line, sizeof line, "  %-16s %8s %8s %8s %7s\n", "Scale", "n", "mean", "sd",
                      "alpha");
        out << line;
        for (const ScaleStats& s : scales) {
            std::snprintf(line, sizeof line, "  %-16s %8lld %8.2f %8.2f %7s\n",
                          names[s.scale].c_str(), static_cast<long long>(s.n), s.mean, s.sd,
                          Optional(s.alpha, "-").c_str());
            out << line;
        }
        for (const ScaleStats& s : scales) {
            out << "  " << names[s.scale] << ", items: corrected item-total correlation, missing\n";
            for (const ItemStats& i : s.items) {
                std::snprintf(line, sizeof line, "    %3d %7s %6.1f%%\n", i.item,
                              Optional(i.itemTotal, "-").c_str(), 100 * i.missingRate);
                out << line;
            }
        }
    }
    const EffortDistribution& e = stats.effort;
    out << "Effort index of tests on the screen: " << e.n << " clients";
    if (e.n == 0) {
        out << "\n";
        return;
    }
    out << ", mean " << Fixed(e.sum / static_cast<double>(e.n), 3) << ", " << e.low << " below "
        << Fixed(kLowEffortIndex, 2) << "\n";
    for (std::size_t t = 0; t < e.tenths.size(); ++t) {
        out << "  " << Fixed(static_cast<double>(t) / 10, 1) << "-"
            << Fixed(static_cast<double>(t + 1) / 10, 1) << ": " << e.tenths[t] << "\n";
    }
}

std::string JsonNumber(const std::optional<double>& value) {
    return value ? Fixed(*value, 6) : "null";
}

std::string JsonText(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') json += '\\';
        json += c;
    }
    return json + "\"";
}

void PrintStatsJson(std::ostream& out, const ScaleNames& names, const ArchiveStatistics& stats,
                    const std::array<std::vector<ScaleItem>, kScaleCount + 1>& items) {
    out << "{\"groups\":[";
    for (std::size_t g = 0; g < stats.groups.size(); ++g) {
        const std::vector<ScaleStats> scales = StatsOf(stats.groups[g].sums, items);
        out << (g ? "," : "") << "{\"group\":" << JsonText(stats.groups[g].name)
            << ",\"clients\":" << scales[0].n << ",\"scales\":[";
        for (std::size_t k = 0; k < scales.size(); ++k) {
            const ScaleStats& s = scales[k];
            out << (k ? "," : "") << "{\"scale\":" << s.scale
                << ",\"name\":" << JsonText(names[s.scale]) << ",\"n\":" << s.n
                << ",\"mean\":" << JsonNumber(s.mean) << ",\"sd\":" << JsonNumber(s.sd)
                << ",\"alpha\":" << JsonNumber(s.alpha) << ",\"items\":[";
            for (std::size_t i = 0; i < s.items.size(); ++i) {
                out << (i ? "," : "") << "{\"item\":" << s.items[i].item
                    << ",\"itemTotal\":" << JsonNumber(s.items[i].itemTotal)
                    << ",\"missing\":" << JsonNumber(s.items[i].missingRate) << "}";
            }
            out << "]}";
        }
        out << "]}";
    }
    const EffortDistribution& e = stats.effort;
    out << "],\"effortIndex\":{\"n\":" << e.n << ",\"mean\":"
        << JsonNumber(e.n ? std::optional(e.sum / static_cast<double>(e.n)) : std::nullopt)
        << ",\"low\":" << e.low << ",\"tenths\":[";
    for (std::size_t t = 0; t < e.tenths.size(); ++t) out << (t ? "," : "") << e.tenths[t];
    out << "]}}\n";
}

}  // namespace

std::array<std::vector<ScaleItem>, kScaleCount + 1> ScaleItemsOf(const ScoringTables& tables) {
    std::array<std::vector<ScaleItem>, kScaleCount + 1> items;
    for (int scale = 1; scale <= kMorale; ++scale) {
        for (int item : tables.ScaleItems[scale]) items[scale].push_back({item});
    }
    for (int item = SectionBounds[2] + 1; item <= SectionBounds[3]; ++item) {
        items[kSelfEsteem].push_back({item, ScaleItem::Points::SelfEsteem});
    }
    items[kSelfEsteem].push_back({kSelfRegardItem, ScaleItem::Points::SelfEsteem});
    for (int item : kCopingItems) items[kStressCoping].push_back({item, ScaleItem::Points::Coping});
    for (int item : kStressItems) items[kStressCoping].push_back({item, ScaleItem::Points::Stress});
    return items;
}

std::vector<ScaleStats> StatsOf(const std::array<ScaleSums, kScaleCount + 1>& sums,
                                const std::array<std::vector<ScaleItem>, kScaleCount + 1>& items) {
    std::vector<ScaleStats> scales;
    for (int scale = 1; scale <= kScaleCount; ++scale) {
        const ScaleSums& s = sums[scale];
        ScaleStats& out = scales.emplace_back();
        out.scale = scale;
        out.n = s.n;
        if (s.n == 0) continue;
        const auto n = static_cast<double>(s.n);
        out.mean = s.total / n;
        const double totalVariance = Variance(s.total, s.totalSquares, n);
        out.sd = std::sqrt(totalVariance);
        double itemVariances = 0;
        for (std::size_t k = 0; k < s.items.size(); ++k) {
            const ScaleSums::Item& i = s.items[k];
            const double variance = Variance(i.sum, i.squares, n);
            itemVariances += variance;
            // The item against the scale without it: cov(x, t - x) over the
            // spread of x and of t - x.
            const double withTotal = n > 1 ? (i.withTotal - i.sum * s.total / n) / (n - 1) : 0;
            const double rest = totalVariance + variance - 2 * withTotal;
            ItemStats& item = out.items.emplace_back();
            item.item = items[scale][k].item;
            item.missingRate = static_cast<double>(i.missing) / n;
            if (variance > 0 && rest > 0) {
                item.itemTotal = (withTotal - variance) / std::sqrt(variance * rest);
            }
        }
        const auto k = static_cast<double>(s.items.size());
        if (k > 1 && totalVariance > 0)
            out.alpha = k / (k - 1) * (1 - itemVariances / totalVariance);
    }
    return scales;
}

Result<ArchiveStatistics> GatherStatistics(Archive& archive, const ScoringTables& tables) {
    const auto items = ScaleItemsOf(tables);
    ArchiveStatistics stats{EmptyGroups(), {}};
    std::array<int, kItemCount + 1> points{};
    const std::string sql = std::string("SELECT answers, language, route, effort_index FROM ") +
                            kCurrentClients + " WHERE valid = 1";
    Status st = archive.Db().Query(sql, {}, [&](const SqlRow& row) {
        const ScoreSheet sheet = ScoreRawPoints(row[0].value_or(""), tables);
        const std::string language = row[1].value_or(kNotRecordedGroup);
        const std::string route = row[2].value_or(kNotRecordedGroup);
        for (StatsGroup* group :
             {&stats.groups[0], &GroupNamed(stats.groups, "language " + language),
              &GroupNamed(stats.groups, "route " + route)}) {
            for (int scale = 1; scale <= kScaleCount; ++scale) {
                Count(group->sums[scale], items[scale], sheet, points);
            }
        }
        if (row[3]) CountEffort(stats.effort, std::atof(row[3]->c_str()));
        return true;
    });
    if (!st) return st.error();
    return stats;
}

void PrintStatistics(std::ostream& out, const ArchiveStatistics& stats,
                     const std::array<std::vector<ScaleItem>, kScaleCount + 1>& items,
                     const ScaleNames& names, bool json) {
    if (json) {
        PrintStatsJson(out, names, stats, items);
    } else {
        PrintStatsText(out, names, stats, items);
    }
}

}  // namespace mw
