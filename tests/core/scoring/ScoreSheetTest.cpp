#include "core/scoring/ScoreSheet.h"

#include <gtest/gtest.h>

#include "core/scoring/TablesFixture.h"

namespace mw {
namespace {

using mwtest::QuietAnswers;
using mwtest::Set;
using mwtest::SetRange;

class ScoreSheetTest : public ::testing::Test {
protected:
    ScoreSheet Score(const std::string& answers, int gender = 1, int race = 1) {
        return ScoreAnswers(answers, gender, race, tables);
    }

    ScoringTables tables = mwtest::FixtureTables();
};

TEST_F(ScoreSheetTest, QuietAnswersScoreNothing) {
    ScoreSheet s = Score(QuietAnswers());
    for (int scale = 1; scale <= 8; ++scale) {
        EXPECT_EQ(s.RawScore[scale], 0) << scale;
        EXPECT_EQ(s.Percentile[scale], 0) << scale;
    }
    EXPECT_EQ(s.RawScore[kStressCoping], 60);
    EXPECT_EQ(s.ScoredItemCount[kSelfEsteem], 9);
    EXPECT_EQ(s.ScoredItemCount[kStressCoping], 9);
}

TEST_F(ScoreSheetTest, EverythingOmitted) {
    const std::string none(160, '0');
    ScoreSheet raw = ScoreRawPoints(none, tables);
    EXPECT_EQ(raw.OmittedCount[kTruthfulness], 20);
    EXPECT_EQ(raw.RawScore[kSelfEsteem], 24);  // each omitted 123-146 earns 1, item 156 nothing
    EXPECT_EQ(raw.OmittedCount[kSelfEsteem], 24);
    EXPECT_EQ(raw.OmittedCount[kStressCoping], 29);
    EXPECT_EQ(raw.RawScore[kStressCoping], 15);  // X = 8, Y = 32

    ScoreSheet s = Score(none);
    EXPECT_EQ(s.RawScore[kStressCoping], 15 + 9);  // the band-9 correction of the fixture
    for (int scale = 1; scale <= 9; ++scale) EXPECT_EQ(s.Percentile[scale], 99) << scale;
}

TEST_F(ScoreSheetTest, NearlyAllTrueMakesTruthfulnessUnscorable) {
    std::string a = QuietAnswers();
    SetRange(a, 1, 88, 1);
    EXPECT_NE(Score(a).RawScore[kTruthfulness], 99);  // 88 True answers
    Set(a, 89, 1);
    EXPECT_EQ(Score(a).RawScore[kTruthfulness], 99);  // 89
}

TEST_F(ScoreSheetTest, TruthfulnessBandsCorrectTheOtherScales) {
    std::string a = QuietAnswers();
    SetRange(a, 21, 22, 1);  // Resistance: two scoring items, raw 4
    auto& truth = tables.Norms[1][1][kTruthfulness];
    auto resistanceRaw = [&](int truthPercentile) {
        truth.assign(20, truthPercentile);
        std::string b = a;
        Set(b, 1, 2);  // one denial: Truthfulness raw 1
        return Score(b).RawScore[kResistance];
    };
    EXPECT_EQ(resistanceRaw(9), 4);       // below 10: no correction
    EXPECT_EQ(resistanceRaw(10), 4 + 1);  // band 1
    EXPECT_EQ(resistanceRaw(94), 4 + 9);  // band 9
    EXPECT_EQ(resistanceRaw(95), 4 + 9);  // band 9 again, then scoring ends
}

TEST_F(ScoreSheetTest, TruthfulnessAt95EndsScoringWithEveryScale99) {
    std::string a = QuietAnswers();
    Set(a, 1, 2);
    tables.Norms[1][1][kTruthfulness].assign(20, 94);
    ScoreSheet at94 = Score(a);
    EXPECT_EQ(at94.Percentile[kResistance], 0);
    EXPECT_EQ(at94.Percentile[kStressCoping], 100 - 2 * 13);  // 60 + 9 lies in interval 13
    tables.Norms[1][1][kTruthfulness].assign(20, 95);
    ScoreSheet at95 = Score(a);
    for (int scale = 2; scale <= 9; ++scale) EXPECT_EQ(at95.Percentile[scale], 99) << scale;
    EXPECT_EQ(at95.RawScore[kResistance], 0);  // no scoring items: no correction
    EXPECT_EQ(at95.RawScore[kStressCoping], 60 + 9);
}

TEST_F(ScoreSheetTest, SixOmissionsMakeAScaleUnscorable) {
    std::string a = QuietAnswers();
    SetRange(a, 31, 35, 0);
    ScoreSheet five = Score(a);
    EXPECT_EQ(five.OmittedCount[kViolence], 5);
    EXPECT_EQ(five.Percentile[kViolence], 0);
    Set(a, 36, 0);
    EXPECT_EQ(Score(a).Percentile[kViolence], 99);
}

TEST_F(ScoreSheetTest, OneOrTwoScoringItemsCapThePercentile) {
    tables.Norms[1][1][kDistress].assign(80, 50);
    std::string a = QuietAnswers();
    Set(a, 51, 1);
    ScoreSheet one = Score(a);
    EXPECT_EQ(one.ScoredItemCount[kDistress], 1);
    EXPECT_EQ(one.Percentile[kDistress], 28);
    Set(a, 52, 1);
    EXPECT_EQ(Score(a).Percentile[kDistress], 38);
    Set(a, 53, 1);
    EXPECT_EQ(Score(a).Percentile[kDistress], 50);
}

TEST_F(ScoreSheetTest, RawAboveTheNormsIs99AndNegativeIs0) {
    tables.Norms[1][1][kDistress].resize(3);
    std::string a = QuietAnswers();
    SetRange(a, 51, 52, 1);  // raw 4 > N 3
    EXPECT_EQ(Score(a).Percentile[kDistress], 99);
    std::string b = QuietAnswers();
    Set(b, 39, 1);  // Morale raw -1
    ScoreSheet s = Score(b);
    EXPECT_EQ(s.RawScore[kMorale], -1);
    EXPECT_EQ(s.Percentile[kMorale], 0);
    Set(b, 76, 1);
    EXPECT_EQ(Score(b).RawScore[kMorale], 0);
}

TEST_F(ScoreSheetTest, Items148And149NameTheSubstance) {
    struct Case {
        int answer, alcohol, drugs, alcoholCount, drugsCount;
    };
    for (Case c :
         {Case{1, 2, 0, 1, 0}, Case{2, 0, 2, 0, 1}, Case{3, 2, 2, 1, 1}, Case{4, 0, 0, 0, 0}}) {
        std::string a = QuietAnswers();
        Set(a, 148, c.answer);
        ScoreSheet s = Score(a);
        EXPECT_EQ(s.RawScore[kAlcohol], c.alcohol) << c.answer;
        EXPECT_EQ(s.RawScore[kDrugs], c.drugs) << c.answer;
        EXPECT_EQ(s.ScoredItemCount[kAlcohol], c.alcoholCount) << c.answer;
        EXPECT_EQ(s.ScoredItemCount[kDrugs], c.drugsCount) << c.answer;
    }
}

// Floors of the critical items, one case per row, on the slices the tests set up.
class CriticalFloorTest : public ScoreSheetTest {
protected:
    CriticalFloorTest() {
        // Resistance slice: items 21-30 (2 points) and 31 (3 points, also Violence).
        int i = CriticalSliceOf(kResistance).first;
        for (int item = 21; item <= 31; ++item) tables.CriticalItems[i++] = item;
        tables.ScaleItems[kResistance].push_back(31);
        // Alcohol and Drugs slices hold 148 and 149, counted by their answer.
        tables.CriticalItems[CriticalSliceOf(kAlcohol).first] = 148;
        tables.CriticalItems[CriticalSliceOf(kAlcohol).first + 1] = 149;
        tables.CriticalItems[CriticalSliceOf(kDrugs).first] = 148;
        tables.CriticalItems[CriticalSliceOf(kDrugs).first + 1] = 149;
        for (auto& set : tables.Norms) {
            for (auto& group : set) group[kResistance].assign(80, 0);
        }
        tables.Norms[1][1][kAlcohol].assign(80, 0);
        tables.Norms[1][1][kDrugs].assign(80, 0);
    }

    int ResistanceFloor(int twoPointItems, bool threePointItem) {
        std::string a = QuietAnswers();
        SetRange(a, 21, 20 + twoPointItems, 1);
        if (threePointItem) Set(a, 31, 1);
        return Score(a).Percentile[kResistance];
    }
};

TEST_F(CriticalFloorTest, EachRowRaisesResistanceToItsFloor) {
    // Two-point items, whether the three-point item is keyed, and the floor;
    // one two-point item alone has no row.
    const std::tuple<int, bool, int> rows[] = {
        {1, false, 0},  {0, true, 11},   {2, false, 21}, {1, true, 37},  {3, false, 47},
        {4, false, 53}, {5, false, 62},  {6, false, 70}, {7, false, 75}, {8, false, 77},
        {9, false, 85}, {10, false, 90}, {10, true, 90}};
    for (const auto& [twoPoint, threePoint, floor] : rows)
        EXPECT_EQ(ResistanceFloor(twoPoint, threePoint), floor) << twoPoint << threePoint;
}

TEST_F(CriticalFloorTest, TwoThreePointItemsUseTheirOwnRow) {
    tables.CriticalItems[CriticalSliceOf(kResistance).first + 1] = 124;  // 3 points for answer 1
    std::string a = QuietAnswers();
    Set(a, 31, 1);
    Set(a, 124, 1);
    EXPECT_EQ(Score(a).Percentile[kResistance], 41);
}

TEST_F(CriticalFloorTest, AFloorNeverLowersAndMayRaiseACappedPercentile) {
    tables.Norms[1][1][kResistance].assign(80, 50);
    EXPECT_EQ(ResistanceFloor(1, false), 28);  // capped, no floor row
    EXPECT_EQ(ResistanceFloor(1, true), 38);   // capped at 38, floor 37 lower
    tables.Norms[1][1][kResistance].assign(80, 20);
    EXPECT_EQ(ResistanceFloor(0, true), 20);  // capped 20 above the floor 11
    tables.Norms[1][1][kResistance].assign(80, 10);
    EXPECT_EQ(ResistanceFloor(2, false), 21);
}

TEST_F(CriticalFloorTest, SubstanceItemsCountByAnswerInTheirSlices) {
    auto floors = [&](int answer148, int answer149) {
        std::string a = QuietAnswers();
        Set(a, 148, answer148);
        Set(a, 149, answer149);
        ScoreSheet s = Score(a);
        return std::make_pair(s.Percentile[kAlcohol], s.Percentile[kDrugs]);
    };
    // Points are 2 on both scales, but the drug-only answer is no alcohol admission.
    EXPECT_EQ(floors(2, 4), std::make_pair(0, 0));    // t = 1, a = 1: no row on either
    EXPECT_EQ(floors(3, 3), std::make_pair(37, 36));  // both slices count both items
    EXPECT_EQ(floors(1, 2), std::make_pair(0, 0));
    EXPECT_EQ(floors(1, 1), std::make_pair(37, 0));
}

TEST_F(ScoreSheetTest, SelfEsteemTablesAndItem156) {
    std::string a = QuietAnswers();
    Set(a, 123, 5);  // table A, right pole: 3
    Set(a, 124, 1);  // table B, left pole: 3
    Set(a, 125, 0);  // omitted: 1
    ScoreSheet s = Score(a);
    EXPECT_EQ(s.SelfEsteemPoints[123], 3);
    EXPECT_EQ(s.SelfEsteemPoints[124], 3);
    EXPECT_EQ(s.RawScore[kSelfEsteem], 7);
    EXPECT_EQ(s.OmittedCount[kSelfEsteem], 1);
    Set(a, 156, 1);
    EXPECT_EQ(Score(a).RawScore[kSelfEsteem], 10);
    Set(a, 156, 0);
    EXPECT_EQ(Score(a).RawScore[kSelfEsteem], 7);  // an omitted 156 earns nothing
}

TEST_F(ScoreSheetTest, StressCopingRatioAndPercentile) {
    std::string a = QuietAnswers();
    SetRange(a, 94, 122, 1);
    EXPECT_EQ(Score(a).RawScore[kStressCoping], 60);
    for (int item : {94, 96, 100, 104, 110, 113, 115, 120}) Set(a, item, 4);
    tables.StressNorms[1][1][50] = 7;
    ScoreSheet s = Score(a);
    EXPECT_EQ(s.RawScore[kStressCoping], 240);
    EXPECT_EQ(s.Percentile[kStressCoping], 7);  // the last interval
    tables.StressBounds[51] = 200;
    EXPECT_EQ(Score(a).Percentile[kStressCoping], 0);  // no interval holds it
}

TEST_F(ScoreSheetTest, AnswersOutsideTheirSectionReadAsOmitted) {
    std::string a = QuietAnswers();
    Set(a, 21, 3);   // true/false item: only 1 and 2 exist
    Set(a, 148, 5);  // multiple choice: 1-4
    a[50] = 'x';     // item 51
    ScoreSheet s = Score(a);
    for (int item : {21, 148, 51}) EXPECT_EQ(s.Answer[item], 0) << item;
    EXPECT_EQ(s.OmittedCount[kResistance], 1);
    EXPECT_EQ(s.OmittedCount[kDistress], 1);
    EXPECT_EQ(ReadAnswers("12")[3], 0);  // a short answer string
}

TEST_F(ScoreSheetTest, NormSetsBySexAndGroup) {
    EXPECT_EQ((std::vector<int>{NormSex(0), NormSex(2), NormSex(7)}), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ((std::vector<int>{NormGroup(3), NormGroup(4), NormGroup(9)}),
              (std::vector<int>{3, 1, 1}));
    tables.Norms[2][3][kDistress].assign(80, 66);
    std::string a = QuietAnswers();
    SetRange(a, 51, 53, 1);
    EXPECT_EQ(Score(a, 2, 3).Percentile[kDistress], 66);
    EXPECT_EQ(Score(a, 9, 9).Percentile[kDistress], 60);
}

}  // namespace
}  // namespace mw
