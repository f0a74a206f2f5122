#include "core/report/Interpretation.h"

#include <gtest/gtest.h>

#include "core/report/ReportFixture.h"

namespace mw {
namespace {

using mwtest::SheetAt;

void ExpectHas(const std::string& text, std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts)
        EXPECT_NE(text.find(part), std::string::npos) << part << "\nis not in\n" << text;
}

// The reviewed reports already pin the sentences of the commonest answers;
// these are the branches none of them reaches.
class InterpretationTest : public ::testing::Test {
protected:
    std::string Pattern(const ScoreSheet& s, int block) {
        return ResponsePatterns(s, PronounsFor("1"))[block].text;
    }

    ReportTexts texts = mwtest::FixtureTexts();
};

TEST_F(InterpretationTest, ProfileStatementByCategory) {
    ScoreSheet s = SheetAt(20);
    s.Percentile[kStressCoping] = 95;  // Stress Coping never counts
    ExpectHas(ProfileStatement(s, texts),
              {"This individual's self-report is accurate. None of the "});

    s.Percentile[kAlcohol] = 75;
    ExpectHas(ProfileStatement(s, texts), {"More specifically, the Alcohol Scale is elevated."});

    s.Percentile[kDrugs] = 80;
    ExpectHas(ProfileStatement(s, texts),
              {"More specifically, the Alcohol, Drugs scales are elevated. These problematic"});

    s.Percentile[kMorale] = 89;
    ExpectHas(ProfileStatement(s, texts),
              {"Review the following scales carefully: Alcohol, Drugs, Morale scales. Each"});
}

TEST_F(InterpretationTest, SummarySentencesByBand) {
    ScoreSheet s = SheetAt(0);
    s.Percentile[kResistance] = 56;
    s.Percentile[kSelfEsteem] = 92;
    ExpectHas(FirstSummaryParagraph(s, PronounsFor("2")),
              {"valid. She has average compliance and should be cooperative. "});
    ExpectHas(SecondSummaryParagraph(s, PronounsFor("2")),
              {"This person disapproves of herself and has a self-esteem problem. "});
    s.Percentile[kSelfEsteem] = 25;
    ExpectHas(SecondSummaryParagraph(s, PronounsFor(" ")), {"either conceited"});
    s.Percentile[kSelfEsteem] = 26;
    ExpectHas(SecondSummaryParagraph(s, PronounsFor(" ")), {"very positive or good"});
    ExpectHas(InvalidityParagraph(PronounsFor("1")),
              {"This man's Truthfulness Scale score is at or above the 90th "});
}

TEST_F(InterpretationTest, AlcoholPatterns) {
    ScoreSheet s = SheetAt(0);
    s.Answer[75] = 2, s.Answer[81] = 2, s.Answer[150] = 3;
    s.Answer[54] = 2, s.Answer[148] = 2;  // no sentence for this pair
    s.Answer[87] = 1, s.Answer[151] = 4;
    ExpectHas(Pattern(s, 0), {"151. The respondent acknowledged item 87 but denies item 151."});

    s.Answer[81] = 1, s.Answer[150] = 2, s.Answer[148] = 4;
    ExpectHas(Pattern(s, 0), {"This client admitted to items #81 and 150. "});
}

TEST_F(InterpretationTest, DrugPatternsSayNothingWhenAnItemIsOmitted) {
    ScoreSheet s = SheetAt(0);
    s.Answer[49] = 1, s.Answer[90] = 0, s.Answer[152] = 2;
    ExpectHas(Pattern(s, 1), {"denials.  Two items (#57 and 148) apply to \"recovering\""});
    s.Answer[77] = 2, s.Answer[153] = 0;
    ExpectHas(Pattern(s, 1), {"This individual admits to #153 but denies #77."});
}

TEST_F(InterpretationTest, DistressPatternsListTheDeviantAnswers) {
    ScoreSheet s = SheetAt(0);
    s.Answer.fill(2);
    s.Answer[157] = 4, s.Answer[159] = 4;
    s.Answer[69] = 1, s.Answer[107] = 4, s.Answer[112] = 1;
    ExpectHas(Pattern(s, 2), {" of these suicide and related items, the individual answered the "
                              "following items in a problematic (deviant) manner: #69, 107, 112,"});
    s.Answer[157] = 1;
    ExpectHas(Pattern(s, 2),
              {"#69, 107, 112. These answers magnify this client's growing desperation."});
}

TEST_F(InterpretationTest, ResistanceAndViolenceListItemsThatEarnedPoints) {
    ScoreSheet s = SheetAt(0);
    s.Answer[157] = 2;
    s.ItemPoints[25] = 2, s.ItemPoints[124] = 3, s.ItemPoints[106] = 1, s.ItemPoints[50] = 1;
    ExpectHas(Pattern(s, 3), {"This individual answered items 25, 106 in a negativistic"});
    ExpectHas(Pattern(s, 4), {"how he answered similar or compatible items, i.e., #29, 50, 70, and "
                              "105. This client answered items 50 in a negativistic"});
}

}  // namespace
}  // namespace mw
