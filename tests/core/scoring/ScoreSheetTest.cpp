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
    // The quiet answers with `items` answered `value`.
    ScoreSheet ScoreWith(std::initializer_list<int> items, int value = 1) {
        std::string a = QuietAnswers();
        for (int item : items) Set(a, item, value);
        return Score(a);
    }

    ScoringTables tables = mwtest::FixtureTables();
};

TEST_F(ScoreSheetTest, QuietAnswersScoreNothingAndOmittedOrImpossibleAnswersScoreAs99) {
    ScoreSheet quiet = Score(QuietAnswers());
    for (int scale = 1; scale <= 8; ++scale)
        EXPECT_TRUE(quiet.RawScore[scale] == 0 && quiet.Percentile[scale] == 0) << scale;
    EXPECT_EQ(quiet.RawScore[kStressCoping], 60);
    EXPECT_EQ(quiet.ScoredItemCount[kSelfEsteem], 9);
    EXPECT_EQ(quiet.ScoredItemCount[kStressCoping], 9);

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

    // An answer the item does not have reads as omitted.
    std::string a = QuietAnswers();
    Set(a, 21, 3);   // true/false item: only 1 and 2 exist
    Set(a, 148, 5);  // multiple choice: 1-4
    a[50] = 'x';     // item 51
    ScoreSheet odd = Score(a);
    for (int item : {21, 148, 51}) EXPECT_EQ(odd.Answer[item], 0) << item;
    EXPECT_EQ(odd.OmittedCount[kResistance], 1);
    EXPECT_EQ(odd.OmittedCount[kDistress], 1);
    EXPECT_EQ(ReadAnswers("12")[3], 0);  // a short answer string
}

TEST_F(ScoreSheetTest, TruthfulnessCorrectsTheOtherScalesAndEndsScoringAt95) {
    std::string a = QuietAnswers();
    SetRange(a, 1, 88, 1);
    EXPECT_NE(Score(a).RawScore[kTruthfulness], 99);  // 88 True answers
    Set(a, 89, 1);
    EXPECT_EQ(Score(a).RawScore[kTruthfulness], 99);  // 89 make it unscorable

    const auto at = [&](int truthPercentile, std::initializer_list<int> items) {
        tables.Norms[1][1][kTruthfulness].assign(20, truthPercentile);
        std::string b = QuietAnswers();
        Set(b, 1, 2);  // one denial: Truthfulness raw 1
        for (int item : items) Set(b, item, 1);
        return Score(b);
    };
    // Resistance raw 4 from two scoring items, plus the band.
    const std::pair<int, int> bands[] = {{9, 4}, {10, 4 + 1}, {94, 4 + 9}, {95, 4 + 9}};
    for (const auto& [percentile, raw] : bands)
        EXPECT_EQ(at(percentile, {21, 22}).RawScore[kResistance], raw) << percentile;

    ScoreSheet at94 = at(94, {});
    EXPECT_EQ(at94.Percentile[kResistance], 0);
    EXPECT_EQ(at94.Percentile[kStressCoping], 100 - 2 * 13);  // 60 + 9 lies in interval 13
    ScoreSheet at95 = at(95, {});
    for (int scale = 2; scale <= 9; ++scale) EXPECT_EQ(at95.Percentile[scale], 99) << scale;
    EXPECT_EQ(at95.RawScore[kResistance], 0);  // no scoring items: no correction
    EXPECT_EQ(at95.RawScore[kStressCoping], 60 + 9);
}

TEST_F(ScoreSheetTest, OmissionsFewScoringItemsAndRawsOutsideTheNormsBoundThePercentile) {
    ScoreSheet five = ScoreWith({31, 32, 33, 34, 35}, 0);
    EXPECT_EQ(five.OmittedCount[kViolence], 5);
    EXPECT_EQ(five.Percentile[kViolence], 0);
    EXPECT_EQ(ScoreWith({31, 32, 33, 34, 35, 36}, 0).Percentile[kViolence], 99);

    tables.Norms[1][1][kDistress].assign(80, 50);
    ScoreSheet one = ScoreWith({51});
    EXPECT_EQ(one.ScoredItemCount[kDistress], 1);
    EXPECT_EQ(one.Percentile[kDistress], 28);
    EXPECT_EQ(ScoreWith({51, 52}).Percentile[kDistress], 38);
    EXPECT_EQ(ScoreWith({51, 52, 53}).Percentile[kDistress], 50);

    tables.Norms[1][1][kDistress].resize(3);
    EXPECT_EQ(ScoreWith({51, 52}).Percentile[kDistress], 99);  // raw 4 > N 3
    ScoreSheet negative = ScoreWith({39});
    EXPECT_EQ(negative.RawScore[kMorale], -1);
    EXPECT_EQ(negative.Percentile[kMorale], 0);
    EXPECT_EQ(ScoreWith({39, 76}).RawScore[kMorale], 0);
}

TEST_F(ScoreSheetTest, Items148And149NameTheSubstance) {
    struct Case {
        int answer, alcohol, drugs, alcoholCount, drugsCount;
    };
    for (Case c :
         {Case{1, 2, 0, 1, 0}, Case{2, 0, 2, 0, 1}, Case{3, 2, 2, 1, 1}, Case{4, 0, 0, 0, 0}}) {
        ScoreSheet s = ScoreWith({148}, c.answer);
        EXPECT_EQ(std::vector<int>({s.RawScore[kAlcohol], s.RawScore[kDrugs],
                                    s.ScoredItemCount[kAlcohol], s.ScoredItemCount[kDrugs]}),
                  std::vector<int>({c.alcohol, c.drugs, c.alcoholCount, c.drugsCount}))
            << c.answer;
    }
}

// Floors of the critical items, on the slices set up here.
class CriticalFloorTest : public ScoreSheetTest {
protected:
    CriticalFloorTest() {
        // Resistance slice: items 21-30 (2 points) and 31 (3 points, also Violence).
        int i = CriticalSliceOf(kResistance).first;
        for (int item = 21; item <= 31; ++item) tables.CriticalItems[i++] = item;
        tables.ScaleItems[kResistance].push_back(31);
        // Alcohol and Drugs slices hold 148 and 149, counted by their answer.
        for (int scale : {kAlcohol, kDrugs}) {
            tables.CriticalItems[CriticalSliceOf(scale).first] = 148;
            tables.CriticalItems[CriticalSliceOf(scale).first + 1] = 149;
            tables.Norms[1][1][scale].assign(80, 0);
        }
        for (auto& set : tables.Norms) {
            for (auto& group : set) group[kResistance].assign(80, 0);
        }
    }

    int ResistanceFloor(int twoPointItems, bool threePointItem) {
        std::string a = QuietAnswers();
        SetRange(a, 21, 20 + twoPointItems, 1);
        if (threePointItem) Set(a, 31, 1);
        return Score(a).Percentile[kResistance];
    }
};

TEST_F(CriticalFloorTest, EachRowRaisesResistanceToItsFloorButNeverLowersIt) {
    // Two-point items, whether the three-point item is keyed, and the floor;
    // one two-point item alone has no row.
    const std::tuple<int, bool, int> rows[] = {
        {1, false, 0},  {0, true, 11},   {2, false, 21}, {1, true, 37},  {3, false, 47},
        {4, false, 53}, {5, false, 62},  {6, false, 70}, {7, false, 75}, {8, false, 77},
        {9, false, 85}, {10, false, 90}, {10, true, 90}};
    for (const auto& [twoPoint, threePoint, floor] : rows)
        EXPECT_EQ(ResistanceFloor(twoPoint, threePoint), floor) << twoPoint << threePoint;

    tables.Norms[1][1][kResistance].assign(80, 50);
    EXPECT_EQ(ResistanceFloor(1, false), 28);  // capped, no floor row
    EXPECT_EQ(ResistanceFloor(1, true), 38);   // capped at 38, floor 37 lower
    tables.Norms[1][1][kResistance].assign(80, 20);
    EXPECT_EQ(ResistanceFloor(0, true), 20);  // capped 20 above the floor 11
    tables.Norms[1][1][kResistance].assign(80, 10);
    EXPECT_EQ(ResistanceFloor(2, false), 21);

    // Two three-point items use their own row.
    tables.Norms[1][1][kResistance].assign(80, 0);
    tables.CriticalItems[CriticalSliceOf(kResistance).first + 1] = 124;  // 3 points for answer 1
    EXPECT_EQ(ScoreWith({31, 124}).Percentile[kResistance], 41);
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
    tables.StressNorms[1][1][50] = 7;
    const auto often = [&] { return ScoreWith({94, 96, 100, 104, 110, 113, 115, 120}, 4); };
    EXPECT_EQ(often().RawScore[kStressCoping], 240);
    EXPECT_EQ(often().Percentile[kStressCoping], 7);  // the last interval
    tables.StressBounds[51] = 200;
    EXPECT_EQ(often().Percentile[kStressCoping], 0);  // no interval holds it
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
