#include "core/scoring/ScoreSheet.h"

#include <algorithm>

namespace mw {
namespace {

// Self-Esteem points by answer value 0-5. Table A items have the positive
// pole on the left, table B items the negative pole.
constexpr std::array<int, 6> kTableA = {1, 0, 0, 1, 2, 3};
constexpr std::array<int, 6> kTableB = {1, 3, 2, 1, 0, 0};
constexpr std::array<int, 10> kTableAItems = {123, 125, 128, 130, 132, 134, 137, 139, 142, 146};

// Critical-item floors by row, for scales 2-8 (column = scale - 2).
constexpr int kFloorRows = 12;
constexpr std::array<std::array<int, 7>, kFloorRows> kFloors = {{
    {11, 10, 15, 16, 27, 12, 13},  // t = 1 and b = 1
    {21, 22, 37, 36, 38, 23, 24},  // t = 2 and a = 2
    {37, 36, 42, 41, 47, 38, 39},  // t = 2 and b = 1
    {41, 42, 48, 46, 53, 43, 44},  // t = 2 and b = 2
    {47, 46, 52, 52, 58, 48, 49},  // t = 3
    {53, 52, 58, 59, 68, 54, 53},  // t = 4
    {62, 56, 70, 71, 72, 62, 64},  // t = 5
    {70, 70, 82, 83, 78, 70, 70},  // t = 6
    {75, 74, 91, 91, 82, 74, 75},  // t = 7
    {77, 76, 91, 91, 88, 78, 79},  // t = 8
    {85, 86, 91, 91, 91, 87, 88},  // t = 9
    {90, 91, 91, 91, 91, 92, 93},  // t = 10 or more
}};

// The floor row for a count of a two-point and b three-point admissions, or -1.
int FloorRow(int a, int b) {
    int t = a + b;
    if (t == 1) return b == 1 ? 0 : -1;
    if (t == 2) return a == 2 ? 1 : b == 1 ? 2 : 3;
    if (t >= 10) return kFloorRows - 1;
    return t > 0 ? t + 1 : -1;
}

// The band of a Truthfulness percentile that corrects the other scales: 1-9, 0 for none.
int TruthBand(int percentile) {
    if (percentile < 10) return 0;
    if (percentile >= 90) return 9;
    return percentile / 10;
}

class Scorer {
public:
    Scorer(const ScoringTables& tables, int sex, int group)
        : t_(tables), sex_(sex), group_(group) {}

    // Raw points of every scale, before any percentile or truth correction.
    const ScoreSheet& RawPoints(std::string_view answers) {
        s_.Answer = ReadAnswers(answers);
        for (int scale = kTruthfulness; scale <= kMorale; ++scale) ScoreListedItems(scale);
        ApplyAdjustments();
        ScoreSelfEsteem();
        ScoreStressCoping();
        ApplyExcessiveTrue();
        return s_;
    }

    ScoreSheet Run(std::string_view answers) {
        RawPoints(answers);
        if (ScorePercentiles()) StressCopingPercentile();
        return s_;
    }

private:
    int Answer(int item) const { return s_.Answer[item]; }

    void ScoreListedItems(int scale) {
        for (int item : t_.ScaleItems[scale]) {
            int section = SectionOf(item);
            int k = item - SectionBounds[section - 1];
            if (Answer(item) == 0) ++s_.OmittedCount[scale];
            int points = t_.Keys[section][Answer(item)][k - 1] - '0';
            s_.ItemPoints[item] = points;
            s_.RawScore[scale] += points;
            if (points > 0) ++s_.ScoredItemCount[scale];
        }
    }

    void Deduct(int scale) {
        s_.RawScore[scale] -= 2;
        --s_.ScoredItemCount[scale];
    }

    // Items 148 and 149 earn on both substance scales; the scale the answer
    // does not name gives its points back.
    void ApplyAdjustments() {
        if (Answer(39) == 1) --s_.RawScore[kMorale];
        if (Answer(76) == 1) ++s_.RawScore[kMorale];
        for (int item : {148, 149}) {
            if (Answer(item) == 1) Deduct(kDrugs);
            if (Answer(item) == 2) Deduct(kAlcohol);
        }
    }

    void ScoreSelfEsteem() {
        s_.ScoredItemCount[kSelfEsteem] = 9;
        for (int item = SectionBounds[2] + 1; item <= SectionBounds[3]; ++item) {
            bool tableA =
                std::find(kTableAItems.begin(), kTableAItems.end(), item) != kTableAItems.end();
            AddSelfEsteem(item, (tableA ? kTableA : kTableB)[Answer(item)]);
            if (Answer(item) == 0) ++s_.OmittedCount[kSelfEsteem];
        }
        if (Answer(kSelfRegardItem) != 0) {
            AddSelfEsteem(kSelfRegardItem, kTableB[Answer(kSelfRegardItem)]);
        }
    }

    void AddSelfEsteem(int item, int points) {
        s_.SelfEsteemPoints[item] = points;
        s_.RawScore[kSelfEsteem] += points;
    }

    void ScoreStressCoping() {
        s_.ScoredItemCount[kStressCoping] = 9;
        for (int item = SectionBounds[1] + 1; item <= SectionBounds[2]; ++item) {
            if (Answer(item) == 0) ++s_.OmittedCount[kStressCoping];
        }
        int x = 0;
        int y = 0;
        for (int item : kCopingItems) x += Answer(item) ? Answer(item) : 1;
        for (int item : kStressItems) y += Answer(item) ? Answer(item) : 4;
        s_.RawScore[kStressCoping] = y > 0 ? x * 60 / y : 0;
    }

    // Answering True to nearly every true/false item makes Truthfulness unscorable.
    void ApplyExcessiveTrue() {
        int trueCount = 0;
        for (int item = 1; item <= SectionBounds[1]; ++item) trueCount += Answer(item) == 1;
        if (trueCount > SectionBounds[1] * 95 / 100) s_.RawScore[kTruthfulness] = 99;
    }

    // Scales 1-8 in order; false when the Truthfulness result ended scoring.
    bool ScorePercentiles() {
        for (int scale = kTruthfulness; scale <= kSelfEsteem; ++scale) {
            const std::vector<int>& norm = t_.Norms[sex_][group_][scale];
            int raw = s_.RawScore[scale];
            int& percentile = s_.Percentile[scale];
            if (s_.OmittedCount[scale] >= 6 || raw > static_cast<int>(norm.size())) {
                percentile = 99;
            } else if (raw < 0) {
                percentile = 0;
            } else {
                percentile = raw == 0 ? 0 : norm[raw - 1];
                if (scale != kTruthfulness) ApplyCap(scale);
            }
            if (scale == kTruthfulness) {
                if (percentile >= kInvalidTruthPercentile) {
                    MarkInvalid();
                    return false;
                }
                CorrectForTruthfulness(TruthBand(percentile));
            } else {
                ApplyFloor(scale);
            }
        }
        return true;
    }

    // A percentile that rests on one or two scoring items is held down.
    void ApplyCap(int scale) {
        int& percentile = s_.Percentile[scale];
        if (s_.ScoredItemCount[scale] == 1) percentile = std::min(percentile, 28);
        if (s_.ScoredItemCount[scale] == 2) percentile = std::min(percentile, 38);
    }

    void CorrectForTruthfulness(int band) {
        if (band == 0) return;
        for (int scale = kResistance; scale <= kStressCoping; ++scale) {
            if (s_.ScoredItemCount[scale] >= 2)
                s_.RawScore[scale] += t_.TruthCorrections[band][scale];
        }
    }

    void MarkInvalid() {
        CorrectForTruthfulness(kTruthBands);
        for (int scale = kResistance; scale <= kStressCoping; ++scale) s_.Percentile[scale] = 99;
    }

    int CriticalPoints(int scale, int item) const {
        return scale == kSelfEsteem ? s_.SelfEsteemPoints[item] : s_.ItemPoints[item];
    }

    // Items 148 and 149 say which substance the client names, so in the
    // substance slices they count by their answer rather than their points.
    void ApplyFloor(int scale) {
        CriticalSlice slice = CriticalSliceOf(scale);
        int a = 0;
        int b = 0;
        for (int i = slice.first; i <= slice.last; ++i) {
            int item = t_.CriticalItems[i];
            bool named = item == 148 || item == 149;
            if (named && scale == kAlcohol) {
                a += Answer(item) == 1 || Answer(item) == 3;
            } else if (named && scale == kDrugs) {
                a += Answer(item) == 2 || Answer(item) == 3;
            } else {
                a += CriticalPoints(scale, item) == 2;
                b += CriticalPoints(scale, item) == 3;
            }
        }
        int row = FloorRow(a, b);
        if (row >= 0) {
            s_.Percentile[scale] =
                std::max(s_.Percentile[scale], kFloors[row][scale - kResistance]);
        }
    }

    void StressCopingPercentile() {
        int raw = s_.RawScore[kStressCoping];
        int& percentile = s_.Percentile[kStressCoping];
        if (raw <= 0) {
            percentile = 99;
            return;
        }
        for (int k = 1; k <= kStressIntervals; ++k) {
            if (t_.StressBounds[k] < raw && raw <= t_.StressBounds[k + 1]) {
                percentile = t_.StressNorms[sex_][group_][k];
                return;
            }
        }
    }

    const ScoringTables& t_;
    int sex_;
    int group_;
    ScoreSheet s_;
};

}  // namespace

std::array<int, kItemCount + 1> ReadAnswers(std::string_view answers) {
    std::array<int, kItemCount + 1> values{};
    for (int item = 1; item <= kItemCount; ++item) {
        int value = item <= static_cast<int>(answers.size()) ? AnswerValue(answers[item - 1]) : 0;
        values[item] = value <= kSectionHighestAnswer[SectionOf(item)] ? value : 0;
    }
    return values;
}

int NormSex(int genderCode) {
    return genderCode == 2 ? 2 : 1;
}

int NormGroup(int raceCode) {
    return InRange(raceCode, 1, 3) ? raceCode : 1;
}

ScoreSheet ScoreRawPoints(std::string_view answers, const ScoringTables& tables) {
    return Scorer(tables, 1, 1).RawPoints(answers);
}

ScoreSheet ScoreAnswers(std::string_view answers, int genderCode, int raceCode,
                        const ScoringTables& tables) {
    return Scorer(tables, NormSex(genderCode), NormGroup(raceCode)).Run(answers);
}

ScoreSheet ScoreClient(const ClientRecord& record, const ScoringTables& tables) {
    return ScoreAnswers(record.Answers.View(), CodeValue(record.Gender.View()),
                        CodeValue(record.Race.View()), tables);
}

}  // namespace mw
