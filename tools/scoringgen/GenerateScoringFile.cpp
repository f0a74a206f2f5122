// Writes the scoring data file MWB.TXT from the item design, the question
// table, the simulated norm population and the truthfulness corrections:
// answer keys, scale item lists, significant and critical items come from
// the design; the percentile norms from scoring the simulated population
// with the station's own scoring.
//
//   mw-scoringgen items.tsv English.tsv population.tsv corrections.tsv OUTPUT
#include <algorithm>
#include <iostream>
#include <map>
#include <sstream>

#include "ItemDesign.h"
#include "Simulation.h"
#include "common/TextTable.h"
#include "core/data/CodeTables.h"
#include "core/scoring/Norms.h"
#include "core/scoring/ScoreSheet.h"
#include "core/scoring/ScoringTables.h"

namespace mwtools {
namespace {

const std::vector<std::pair<std::string, int>> kSignificantGroups = {
    {"ALCOHOL", 7},   {"DRUGS", 7},       {"DISTRESS", 8},
    {"VIOLENCE", 10}, {"RESISTANCE", 14}, {"MORALE", 7}};
// Critical-item slices in file order, with their sizes.
const std::vector<std::pair<int, int>> kCriticalSlices = {
    {mw::kAlcohol, 11},    {mw::kDrugs, 11},    {mw::kDistress, 18},
    {mw::kResistance, 27}, {mw::kViolence, 20}, {mw::kMorale, 24}};
const std::vector<int> kStressCopingItems = {94, 96, 100, 104, 110, 113, 115, 120,
                                             95, 98, 107, 108, 116, 118, 121, 122};

std::vector<int> SelfEsteemItems() {
    std::vector<int> items;
    for (int item = 123; item <= 146; ++item) items.push_back(item);
    items.push_back(156);
    return items;
}

std::vector<int> Require(std::vector<int> items, std::size_t size, const std::string& what) {
    if (items.size() != size) {
        throw std::runtime_error(what + ": expected " + std::to_string(size) +
                                 " items, the design has " + std::to_string(items.size()));
    }
    return items;
}

mw::ScoringTables TablesFromDesign(const Design& design) {
    mw::ScoringTables t;
    for (int s = 1; s <= mw::kSectionCount; ++s) {
        for (int a = 0; a <= mw::kSectionHighestAnswer[s]; ++a) {
            for (int item = mw::SectionBounds[s - 1] + 1; item <= mw::SectionBounds[s]; ++item) {
                t.Keys[s][a] += static_cast<char>('0' + design[item].points[a]);
            }
        }
    }
    for (int scale = 1; scale <= 7; ++scale) {
        for (int item = 1; item <= 160; ++item) {
            if (design[item].scales.count(scale)) t.ScaleItems[scale].push_back(item);
        }
        if (t.ScaleItems[scale].size() > mw::kMaxScaleItems) {
            throw std::runtime_error("scale " + std::to_string(scale) + " has more than 50 items");
        }
    }
    t.ScaleItems[mw::kSelfEsteem] = SelfEsteemItems();
    std::copy(kStressCopingItems.begin(), kStressCopingItems.end(), t.FurtherItems.begin() + 1);

    int index = 1;
    for (const auto& [group, size] : kSignificantGroups) {
        std::vector<int> items;
        for (int item = 1; item <= 160; ++item) {
            if (design[item].significant == group) items.push_back(item);
        }
        for (int item :
             Require(items, static_cast<std::size_t>(size), "significant group " + group)) {
            t.SignificantItems[index++] = item;
        }
    }
    index = 1;
    for (const auto& [scale, size] : kCriticalSlices) {
        std::vector<int> items;
        for (int item = 1; item <= 160; ++item) {
            if (design[item].critical.count(scale)) items.push_back(item);
        }
        for (int item : Require(items, static_cast<std::size_t>(size),
                                "critical items of scale " + std::to_string(scale))) {
            t.CriticalItems[index++] = item;
        }
    }
    for (int item : SelfEsteemItems()) t.CriticalItems[index++] = item;

    // Stress Coping intervals of equal width over the raw range 15 to 240; the
    // first reaches down to 1 so that a ratio lowered by the truth correction
    // still falls in an interval rather than in none.
    for (int k = 1; k <= mw::kStressIntervals + 1; ++k) t.StressBounds[k] = 14 + (k - 1) * 226 / 50;
    t.StressBounds[1] = 0;
    return t;
}

// The highest raw score a scale can reach.
int HighestRaw(const Design& design, int scale) {
    if (scale == mw::kSelfEsteem) return 24 * 3 + 3;
    int highest = 0;
    for (int item = 1; item <= 160; ++item) {
        if (design[item].scales.count(scale)) {
            highest += *std::max_element(design[item].points.begin(), design[item].points.end());
        }
    }
    return highest + (scale == mw::kMorale ? 1 : 0);
}

void BuildNorms(const Design& design, const std::vector<NormSet>& sets, mw::ScoringTables& t) {
    Random random(0x4D57'0401);
    for (const NormSet& set : sets) {
        std::array<mw::RawCounts, mw::kScaleCount + 1> raws;
        for (const std::string& answers : SimulateAnswers(design, set, random)) {
            mw::ScoreSheet sheet = mw::ScoreRawPoints(answers, t);
            for (int scale = 1; scale <= mw::kScaleCount; ++scale)
                ++raws[scale][sheet.RawScore[scale]];
        }
        for (int scale = 1; scale <= mw::kSelfEsteem; ++scale) {
            int count = std::min(mw::kMaxNormCount, HighestRaw(design, scale));
            t.Norms[set.sex][set.group][scale] = mw::MidRankNorm(raws[scale], count);
        }
        t.StressNorms[set.sex][set.group] =
            mw::StressCopingNorm(raws[mw::kStressCoping], t.StressBounds);
    }
}

void ReadCorrections(const std::string& path, mw::ScoringTables& t) {
    TextTable table = ReadTextTable(path);
    if (table.rows.size() != mw::kTruthBands || table.columns.size() != 9) {
        throw std::runtime_error(path + ": expected 9 bands of 8 corrections");
    }
    for (int band = 1; band <= mw::kTruthBands; ++band) {
        for (int scale = 2; scale <= mw::kScaleCount; ++scale) {
            t.TruthCorrections[band][scale] = std::stoi(table.rows[band - 1].cells[scale - 1]);
        }
    }
}

std::string Format(const mw::ScoringTables& t) {
    std::ostringstream out;
    out << "SIGNIFICANT ITEMS: ALCOHOL 7, DRUGS 7, DISTRESS 8, VIOLENCE 10, RESISTANCE 14, MORALE "
           "7\n";
    out << mw::NumberLines(&t.SignificantItems[1], mw::kSignificantItemCount);
    out << "ANSWER KEYS: points of answers 0-2 (section 1), 0-4 (2), 0-5 (3), 0-4 (4)\n";
    for (int s = 1; s <= mw::kSectionCount; ++s) {
        for (int a = 0; a <= mw::kSectionHighestAnswer[s]; ++a)
            out << '"' << t.Keys[s][a] << "\"\n";
    }
    out << mw::NormSections(t);
    out << "STRESS COPING BOUNDS: interval k holds raw scores above bound k up to bound k+1\n";
    out << mw::NumberLines(&t.StressBounds[1], 51);
    out << "SCALE ITEMS: scales 1-8: count, then the items; then the 16 Stress Coping items\n";
    for (int scale = 1; scale <= 8; ++scale) {
        out << t.ScaleItems[scale].size() << "\n";
        out << mw::NumberLines(t.ScaleItems[scale].data(), t.ScaleItems[scale].size());
    }
    out << mw::NumberLines(&t.FurtherItems[1], 16);
    out << "CRITICAL ITEMS: Alcohol 11, Drugs 11, Distress 18, Resistance 27, Violence 20, Morale "
           "24, "
           "Self-Esteem 25\n";
    out << mw::NumberLines(&t.CriticalItems[1], mw::kCriticalItemCount);
    out << "TRUTH CORRECTIONS: bands 1-9, scales 2-9\n";
    for (int band = 1; band <= mw::kTruthBands; ++band)
        out << mw::NumberLines(&t.TruthCorrections[band][2], 8);
    return out.str();
}

}  // namespace
}  // namespace mwtools

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr
            << "usage: mw-scoringgen items.tsv English.tsv population.tsv corrections.tsv OUTPUT\n";
        return 2;
    }
    try {
        using namespace mwtools;
        Design design = ReadDesign(argv[1], argv[2]);
        mw::ScoringTables tables = TablesFromDesign(design);
        ReadCorrections(argv[4], tables);
        BuildNorms(design, ReadPopulation(argv[3]), tables);
        WriteWholeFile(argv[5], Format(tables));
    } catch (const std::exception& e) {
        std::cerr << "mw-scoringgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
