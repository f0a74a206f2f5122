// Small hand-made scoring tables in which each rule can be seen:
//   Truthfulness: items 1-20, False earns 1.
//   Resistance: items 21-30, True earns 2; item 124 answer 1 earns 3.
//   Violence: items 31-40, True earns 1 (3 for item 31).
//   Alcohol: items 41-45 (True 2) and 148, 149 (answers 1-3 earn 2).
//   Drugs: items 46-50 (True 2) and 148, 149.
//   Distress: items 51-60, True 2.  Morale: items 61-70, True 1; also 39 and 76 unkeyed.
// Norms: percentile of raw r is 10 r (capped at 99) unless a test sets its own.
#pragma once

#include <string>

#include "core/scoring/ScoringTables.h"

namespace mwtest {

inline void Key(mw::ScoringTables& t, int item, int answer, int points) {
    const int section = mw::SectionOf(item);
    t.Keys[section][answer][item - mw::SectionBounds[section - 1] - 1] =
        static_cast<char>('0' + points);
}

inline void List(mw::ScoringTables& t, int scale, int first, int last, int answer, int points) {
    for (int item = first; item <= last; ++item) {
        t.ScaleItems[scale].push_back(item);
        Key(t, item, answer, points);
    }
}

inline mw::ScoringTables FixtureTables() {
    mw::ScoringTables t;
    for (int s = 1; s <= mw::kSectionCount; ++s) {
        for (int a = 0; a <= mw::kSectionHighestAnswer[s]; ++a) {
            t.Keys[s][a] = std::string(mw::SectionBounds[s] - mw::SectionBounds[s - 1], '0');
        }
    }
    List(t, mw::kTruthfulness, 1, 20, 2, 1);
    List(t, mw::kResistance, 21, 30, 1, 2);
    List(t, mw::kViolence, 31, 40, 1, 1);
    Key(t, 31, 1, 3);
    List(t, mw::kAlcohol, 41, 45, 1, 2);
    List(t, mw::kDrugs, 46, 50, 1, 2);
    List(t, mw::kDistress, 51, 60, 1, 2);
    List(t, mw::kMorale, 61, 70, 1, 1);
    for (int scale : {mw::kAlcohol, mw::kDrugs}) {
        for (int item : {148, 149}) {
            t.ScaleItems[scale].push_back(item);
            for (int a = 1; a <= 3; ++a) Key(t, item, a, 2);
        }
    }
    t.ScaleItems[mw::kResistance].push_back(124);
    Key(t, 124, 1, 3);
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            for (int scale = 1; scale <= 8; ++scale) {
                auto& norm = t.Norms[sex][group][scale];
                for (int r = 1; r <= 80; ++r) norm.push_back(std::min(99, 10 * r));
            }
            for (int k = 1; k <= mw::kStressIntervals; ++k)
                t.StressNorms[sex][group][k] = 100 - 2 * k;
        }
    }
    for (int k = 1; k <= mw::kStressIntervals + 1; ++k) t.StressBounds[k] = 14 + (k - 1) * 226 / 50;
    for (int band = 1; band <= mw::kTruthBands; ++band) {
        for (int scale = 2; scale <= mw::kScaleCount; ++scale)
            t.TruthCorrections[band][scale] = band;
    }
    return t;
}

inline void Set(std::string& answers, int item, int value) {
    answers[item - 1] = static_cast<char>('0' + value);
}

inline void SetRange(std::string& answers, int first, int last, int value) {
    for (int item = first; item <= last; ++item) Set(answers, item, value);
}

// Answers that earn nothing on the fixture: True on 1-20, False on 21-93,
// Rare/Never on 94-122 (Stress Coping raw 60), the healthy pole of every
// Self-Esteem item and answer 4 on 147-160.
inline std::string QuietAnswers() {
    std::string a(160, '0');
    SetRange(a, 1, 20, 1);
    SetRange(a, 21, 93, 2);
    SetRange(a, 94, 122, 1);
    for (int item = 123; item <= 146; ++item) {
        bool tableA = item == 123 || item == 125 || item == 128 || item == 130 || item == 132 ||
                      item == 134 || item == 137 || item == 139 || item == 142 || item == 146;
        Set(a, item, tableA ? 1 : 5);
    }
    SetRange(a, 147, 160, 4);
    return a;
}

}  // namespace mwtest
