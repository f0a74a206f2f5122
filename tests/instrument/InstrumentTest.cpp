// Checks of the bundled instrument data set, read through the station's own
// readers: the files parse, their counts and cross-references hold, the
// texts fit their columns, and the norms behave as the report expects.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sstream>

#include "core/data/CodeTables.h"
#include "core/data/QuestionDatabase.h"
#include "core/data/SampleClient.h"
#include "core/report/ParagraphFile.h"
#include "core/report/ScoreAndPrint.h"

namespace mw {
namespace {

class InstrumentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Result<ReportData> read = ScoreAndPrint(LocalFileSystem(), MW_PROGRAM_DIR).ReadData();
        ASSERT_TRUE(read.ok()) << read.error().message;
        data = new ReportData(std::move(*read));
    }
    static void TearDownTestSuite() { delete data; }

    static const ScoringTables& tables() { return data->tables; }
    static const std::vector<int>& List(int scale) { return tables().ScaleItems[scale]; }
    static bool OnScale(int scale, int item) {
        return std::count(List(scale).begin(), List(scale).end(), item) > 0;
    }
    static int Points(int item, int answer) {
        const int section = SectionOf(item);
        return tables().Keys[section][answer][item - SectionBounds[section - 1] - 1] - '0';
    }
    // The first answer earning the most points, and those points (0, 0 when none earns any).
    static std::pair<int, int> Best(int item) {
        std::pair<int, int> best{0, 0};
        for (int a = 1; a <= kSectionHighestAnswer[SectionOf(item)]; ++a)
            if (Points(item, a) > best.second) best = {a, Points(item, a)};
        return best;
    }

    static ReportData* data;
};

ReportData* InstrumentTest::data = nullptr;

TEST_F(InstrumentTest, ScaleListsSignificantAndCriticalItemsAndKeysAgree) {
    EXPECT_EQ(List(kTruthfulness).size(), 20u);
    for (int scale = kResistance; scale <= kMorale; ++scale)
        EXPECT_TRUE(InRange(static_cast<int>(List(scale).size()), 20, 50)) << scale;
    const std::pair<int, int> groups[] = {{kAlcohol, 7},   {kDrugs, 7},       {kDistress, 8},
                                          {kViolence, 10}, {kResistance, 14}, {kMorale, 7}};
    int index = 1;
    for (const auto& [scale, size] : groups) {
        for (int k = 0; k < size; ++k) {
            const int item = tables().SignificantItems[index++];
            EXPECT_TRUE(OnScale(scale, item) && Best(item).second >= 2) << "significant " << item;
        }
    }
    for (int scale = kResistance; scale <= kMorale; ++scale) {
        for (int i = CriticalSliceOf(scale).first; i <= CriticalSliceOf(scale).last; ++i) {
            const int item = tables().CriticalItems[i];
            EXPECT_TRUE(OnScale(scale, item)) << "critical item " << item << " of scale " << scale;
            EXPECT_TRUE(item == 148 || item == 149 || InRange(Best(item).second, 2, 3)) << item;
        }
    }
    const auto& critical = tables().CriticalItems;
    EXPECT_EQ(std::vector<int>({critical[112], critical[135], critical.back()}),
              std::vector<int>({123, 146, 156}));  // the Self-Esteem slice

    // Only drugs taken while drinking, and the recovery and arrest questions
    // (split by the scorer), count on both substance scales.
    for (int item : List(kAlcohol))
        EXPECT_TRUE(!OnScale(kDrugs, item) || item == 65 || item == 148 || item == 149) << item;
    // A client who answers False throughout must not earn every guarded point.
    int keyedTrue = 0;
    for (int item : List(kTruthfulness)) keyedTrue += Points(item, 1) > 0;
    EXPECT_GE(keyedTrue, 2);
}

TEST_F(InstrumentTest, NormsRiseWithTheRawScoreAndStressCopingFalls) {
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            for (int scale = 1; scale <= 8; ++scale) {
                const std::vector<int>& norm = tables().Norms[sex][group][scale];
                EXPECT_TRUE(std::is_sorted(norm.begin(), norm.end()) && norm.back() == 99)
                    << sex << group << scale;
            }
            const auto& stress = tables().StressNorms[sex][group];
            EXPECT_TRUE(std::is_sorted(stress.begin() + 1, stress.end(), std::greater<int>()));
        }
    }
    const auto& bounds = tables().StressBounds;
    EXPECT_TRUE(std::is_sorted(bounds.begin() + 1, bounds.end()));
    EXPECT_LT(bounds[1], 15);
    EXPECT_EQ(bounds[51], 240);
    // Fifteen guarded answers of twenty lie near the 90th percentile.
    EXPECT_TRUE(InRange(tables().Norms[1][1][kTruthfulness][14], 85, 94));
}

TEST_F(InstrumentTest, ReportTextsFitTheirColumns) {
    const ReportTexts& texts = data->texts;
    for (int i = 1; i <= kSignificantItemCount + kChoiceLineCount; ++i) {
        const bool significant = i <= kSignificantItemCount;
        const std::string& line =
            significant ? texts.SignificantLines[i] : texts.ChoiceLines[i - kSignificantItemCount];
        const int item =
            significant ? tables().SignificantItems[i] : 146 + (i - kSignificantItemCount + 3) / 4;
        EXPECT_LE(line.size(), 35u) << line;
        EXPECT_EQ(line.rfind(std::to_string(item) + ". ", 0), 0u) << line;
    }
}

TEST_F(InstrumentTest, ParagraphFilesHoldEveryPercentileAndFit) {
    const auto read = [](const std::string& name) {
        return LocalFileSystem().ReadFile(std::string(MW_PROGRAM_DIR) + "/" + name).value();
    };
    const auto expectFits = [](const std::string& text) {
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            EXPECT_LE(line.size() - (line.ends_with('\r') ? 1 : 0), 71u) << line;
    };
    for (int scale = 1; scale <= kScaleCount; ++scale) {
        const std::string text = read(ParagraphFileName(scale));
        std::set<std::vector<std::string_view>> paragraphs;
        for (int p = 0; p <= 99; ++p) {
            Paragraph paragraph = FindParagraph(text, std::to_string(p));
            EXPECT_TRUE(paragraph.found && paragraph.ended && !paragraph.lines.empty())
                << ParagraphFileName(scale) << " " << p;
            paragraphs.insert(paragraph.lines);
        }
        EXPECT_GE(paragraphs.size(), 8u) << "paragraphs differ by range";
        expectFits(text);
    }
    const std::string invalid = read("INVAL.TXT");
    Paragraph text = FindParagraph(invalid, "");
    EXPECT_TRUE(text.ended);
    EXPECT_GT(text.lines.size(), 5u);
    expectFits(invalid);
}

TEST(QuestionTables, BothLanguagesOffer160ItemsInTheSameFormatsMakingFiveGrids) {
    auto db = Database::Open(std::string(MW_PROGRAM_DIR) + "/" + kQuestionDatabaseName, true);
    ASSERT_TRUE(db.ok()) << db.error().message;
    EXPECT_EQ(*(*db)->TableNames(), (std::vector<std::string>{"English", "Spanish"}));
    auto english = (*db)->ReadQuestionTable("English");
    auto spanish = (*db)->ReadQuestionTable("Spanish");
    ASSERT_TRUE(english.ok() && spanish.ok());
    ASSERT_EQ(english->size(), 160u);
    ASSERT_EQ(spanish->size(), 160u);
    for (int i = 0; i < 160; ++i) {
        for (const QuestionRow& q : {(*english)[i], (*spanish)[i]}) {
            EXPECT_EQ(q.ID, i + 1);
            EXPECT_FALSE(q.TestQuestion.empty() || q.QuestionAudio.empty()) << q.ID;
            for (int a = 0; a < 5; ++a) {
                EXPECT_EQ(q.Answer[a].empty(), (*english)[i].Answer[a].empty()) << q.ID;
                EXPECT_EQ(q.ChoiceAudio[a].empty(), q.Answer[a].empty()) << q.ID;
            }
        }
    }
    // The keyed-entry screen sorts items into grids by the start of ANSWER2.
    const std::map<std::string, int> grid = {
        {"False", 0}, {"Somet", 3}, {"Mostl", 4}, {"Often", 5}};
    std::vector<int> grids;
    for (const QuestionRow& q : *english) {
        const auto known = grid.find(q.Answer[1].substr(0, 5));
        const int type = known != grid.end() ? known->second : q.Answer[1] == "No" ? 1 : 2;
        if (std::find(grids.begin(), grids.end(), type) == grids.end()) grids.push_back(type);
    }
    EXPECT_EQ(grids, (std::vector<int>{0, 3, 5, 2, 1}));
}

TEST_F(InstrumentTest, TheNonDeviantClientReadsAsAGoodProfileInEveryNormSet) {
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            ScoreSheet s = ScoreAnswers(kNonDeviantAnswers, sex, group, tables());
            for (int scale = 1; scale <= kScaleCount; ++scale)
                EXPECT_LT(s.Percentile[scale], 70) << sex << group << " scale " << scale;
        }
    }
}

TEST_F(InstrumentTest, AStronglyDeviantButTruthfulClientIsHighOnEveryProblemScale) {
    std::string answers = kNonDeviantAnswers;
    for (int item = 1; item <= kItemCount; ++item) {
        const int best = Best(item).first;
        if (!OnScale(kTruthfulness, item) && item != 39 && best > 0)
            answers[item - 1] = static_cast<char>('0' + best);
    }
    const auto set = [&](std::initializer_list<int> items, char answer) {
        for (int item : items) answers[item - 1] = answer;
    };
    set({123, 125, 128, 130, 132, 134, 137, 139, 142, 146}, '5');
    set({124, 126, 127, 129, 131, 133, 135, 136, 138, 140, 141, 143, 144, 145, 156}, '1');
    set({94, 96, 100, 104, 110, 113, 115, 120}, '1');
    set({95, 98, 107, 108, 116, 118, 121, 122}, '4');
    ScoreSheet s = ScoreAnswers(answers, 1, 1, tables());
    EXPECT_LT(s.Percentile[kTruthfulness], 90);
    for (int scale = kResistance; scale <= kStressCoping; ++scale)
        EXPECT_GT(s.Percentile[scale], 90) << scale;
}

TEST_F(InstrumentTest, RandomAnswerSetsSpreadOverThePercentiles) {
    std::mt19937 random(20261206);
    std::set<int> seen;
    int extremes = 0;
    // Enough clients that the low deciles do not hang on one or two of them.
    const int clients = 1000;
    for (int client = 0; client < clients; ++client) {
        std::string answers;
        for (int item = 1; item <= kItemCount; ++item) {
            int highest = item == 154 ? 2 : kSectionHighestAnswer[SectionOf(item)];
            answers += static_cast<char>('1' + random() % highest);
        }
        ScoreSheet s = ScoreAnswers(answers, 1 + client % 2, 1 + client % 3, tables());
        for (int scale = 1; scale <= kScaleCount; ++scale) {
            seen.insert(s.Percentile[scale] / 10);
            extremes += s.Percentile[scale] == 0 || s.Percentile[scale] == 99;
        }
    }
    EXPECT_GE(seen.size(), 7u) << "percentiles of random answers fall in at least 7 of 10 deciles";
    EXPECT_LT(extremes, clients * kScaleCount / 2);
}

}  // namespace
}  // namespace mw
