// Checks of the bundled instrument data set, read through the station's own
// readers: the files parse, their counts and cross-references hold, the
// texts fit their columns, and the norms behave as the report expects.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

const std::string kInstrument = std::string(MW_SOURCE_DIR) + "/instrument";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

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
    // The most points any answer of the item earns.
    static int MaxPoints(int item) {
        int section = SectionOf(item);
        int best = 0;
        for (int a = 0; a <= kSectionHighestAnswer[section]; ++a) {
            best = std::max(best,
                            tables().Keys[section][a][item - SectionBounds[section - 1] - 1] - '0');
        }
        return best;
    }

    static ReportData* data;
};

ReportData* InstrumentTest::data = nullptr;

TEST_F(InstrumentTest, ScaleListsSignificantAndCriticalItemsAgree) {
    EXPECT_EQ(List(kTruthfulness).size(), 20u);
    for (int scale = kResistance; scale <= kMorale; ++scale) {
        EXPECT_GE(List(scale).size(), 20u) << scale;
        EXPECT_LE(List(scale).size(), 50u) << scale;
    }
    const int groupScales[] = {kAlcohol, kDrugs, kDistress, kViolence, kResistance, kMorale};
    const int groupSizes[] = {7, 7, 8, 10, 14, 7};
    for (int g = 0, index = 1; g < 6; ++g) {
        for (int k = 0; k < groupSizes[g]; ++k, ++index) {
            int item = tables().SignificantItems[index];
            EXPECT_TRUE(OnScale(groupScales[g], item)) << "significant item " << item;
            EXPECT_GE(MaxPoints(item), 2) << "significant item " << item;
        }
    }
    for (int scale = kResistance; scale <= kMorale; ++scale) {
        CriticalSlice slice = CriticalSliceOf(scale);
        for (int i = slice.first; i <= slice.last; ++i) {
            int item = tables().CriticalItems[i];
            EXPECT_TRUE(OnScale(scale, item)) << "critical item " << item << " of scale " << scale;
            if (item != 148 && item != 149) {
                EXPECT_TRUE(InRange(MaxPoints(item), 2, 3)) << item;
            }
        }
    }
    std::vector<int> selfEsteem(tables().CriticalItems.begin() + 112, tables().CriticalItems.end());
    EXPECT_EQ(selfEsteem.back(), 156);
    EXPECT_EQ(selfEsteem.front(), 123);
    EXPECT_EQ(selfEsteem[23], 146);
}

TEST_F(InstrumentTest, KeysFollowWhatTheItemsAsk) {
    // Only drugs taken while drinking, and the recovery and arrest questions
    // (split by the scorer), count on both substance scales.
    for (int item : List(kAlcohol)) {
        if (OnScale(kDrugs, item)) {
            EXPECT_TRUE(item == 65 || item == 148 || item == 149) << item;
        }
    }
    // A client who answers False throughout must not earn every guarded point.
    int keyedTrue = 0;
    for (int item : List(kTruthfulness)) keyedTrue += tables().Keys[1][1][item - 1] > '0';
    EXPECT_GE(keyedTrue, 2);
}

TEST_F(InstrumentTest, NormsRiseWithTheRawScoreAndStressCopingFalls) {
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            for (int scale = 1; scale <= 8; ++scale) {
                const std::vector<int>& norm = tables().Norms[sex][group][scale];
                EXPECT_TRUE(std::is_sorted(norm.begin(), norm.end())) << sex << group << scale;
                EXPECT_EQ(norm.back(), 99) << sex << group << scale;
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
    for (int i = 1; i <= kSignificantItemCount; ++i) {
        const std::string& line = data->texts.SignificantLines[i];
        EXPECT_LE(line.size(), 35u) << line;
        EXPECT_EQ(line.rfind(std::to_string(tables().SignificantItems[i]) + ". ", 0), 0u) << line;
    }
    for (int i = 1; i <= kChoiceLineCount; ++i) {
        const std::string& line = data->texts.ChoiceLines[i];
        EXPECT_LE(line.size(), 35u) << line;
        EXPECT_EQ(line.rfind(std::to_string(146 + (i + 3) / 4) + ". ", 0), 0u) << line;
    }
    EXPECT_EQ(data->texts.ScaleNames[9], "Stress Coping");
    EXPECT_EQ(data->texts.RangeLabels[3], "PROBLEM");
}

TEST_F(InstrumentTest, ParagraphFilesHoldEveryPercentileAndFit) {
    for (int scale = 1; scale <= kScaleCount; ++scale) {
        const std::string text =
            ReadAll(std::string(MW_PROGRAM_DIR) + "/" + ParagraphFileName(scale));
        std::set<std::string> paragraphs;
        for (int p = 0; p <= 99; ++p) {
            Paragraph paragraph = FindParagraph(text, std::to_string(p));
            EXPECT_TRUE(paragraph.found && paragraph.ended) << ParagraphFileName(scale) << " " << p;
            EXPECT_FALSE(paragraph.lines.empty());
            std::string joined;
            for (std::string_view line : paragraph.lines) (joined += line) += "\n";
            paragraphs.insert(joined);
        }
        EXPECT_GE(paragraphs.size(), 8u) << "paragraphs differ by range";
        for (const std::string& line : LinesOf(text)) EXPECT_LE(line.size(), 71u) << line;
    }
    const std::string invalid = ReadAll(std::string(MW_PROGRAM_DIR) + "/INVAL.TXT");
    Paragraph text = FindParagraph(invalid, "");
    EXPECT_TRUE(text.ended);
    EXPECT_GT(text.lines.size(), 5u);
    for (std::string_view line : text.lines) EXPECT_LE(line.size(), 71u);
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
        for (const auto* rows : {&*english, &*spanish}) {
            const QuestionRow& q = (*rows)[i];
            EXPECT_EQ(q.ID, i + 1);
            EXPECT_FALSE(q.TestQuestion.empty());
            EXPECT_FALSE(q.QuestionAudio.empty());
            for (int a = 0; a < 5; ++a) {
                EXPECT_EQ(q.Answer[a].empty(), (*english)[i].Answer[a].empty()) << q.ID;
                EXPECT_EQ(q.ChoiceAudio[a].empty(), q.Answer[a].empty()) << q.ID;
            }
        }
    }
    // The keyed-entry screen sorts items into grids by the start of ANSWER2.
    std::vector<int> grids;
    for (const QuestionRow& q : *english) {
        const std::string start = q.Answer[1].substr(0, 5);
        int type = start == "False"      ? 0
                   : start == "Somet"    ? 3
                   : start == "Mostl"    ? 4
                   : start == "Often"    ? 5
                   : q.Answer[1] == "No" ? 1
                                         : 2;
        if (std::find(grids.begin(), grids.end(), type) == grids.end()) grids.push_back(type);
    }
    EXPECT_EQ(grids, (std::vector<int>{0, 3, 5, 2, 1}));
}

TEST_F(InstrumentTest, TheNonDeviantClientReadsAsAGoodProfileInEveryNormSet) {
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            ScoreSheet s = ScoreAnswers(kNonDeviantAnswers, sex, group, tables());
            EXPECT_LT(s.Percentile[kTruthfulness], 90);
            for (int scale = 1; scale <= kScaleCount; ++scale) {
                EXPECT_LT(s.Percentile[scale], 70)
                    << "sex " << sex << " group " << group << " scale " << scale;
            }
        }
    }
}

TEST_F(InstrumentTest, AStronglyDeviantButTruthfulClientIsHighOnEveryProblemScale) {
    std::string answers = kNonDeviantAnswers;
    for (int item = 1; item <= kItemCount; ++item) {
        if (OnScale(kTruthfulness, item) || item == 39) continue;
        int section = SectionOf(item);
        int best = AnswerValue(kNonDeviantAnswers[item - 1]);
        for (int a = 1, most = 0; a <= kSectionHighestAnswer[section]; ++a) {
            int points = tables().Keys[section][a][item - SectionBounds[section - 1] - 1] - '0';
            if (points > most) most = points, best = a;
        }
        answers[item - 1] = static_cast<char>('0' + best);
    }
    for (int item : {123, 125, 128, 130, 132, 134, 137, 139, 142, 146}) answers[item - 1] = '5';
    for (int item : {124, 126, 127, 129, 131, 133, 135, 136, 138, 140, 141, 143, 144, 145, 156}) {
        answers[item - 1] = '1';
    }
    for (int item : {94, 96, 100, 104, 110, 113, 115, 120}) answers[item - 1] = '1';
    for (int item : {95, 98, 107, 108, 116, 118, 121, 122}) answers[item - 1] = '4';
    ScoreSheet s = ScoreAnswers(answers, 1, 1, tables());
    EXPECT_LT(s.Percentile[kTruthfulness], 90);
    for (int scale = kResistance; scale <= kStressCoping; ++scale) {
        EXPECT_GT(s.Percentile[scale], 90) << scale;
    }
}

TEST_F(InstrumentTest, RandomAnswerSetsSpreadOverThePercentiles) {
    std::mt19937 random(20261206);
    std::set<int> seen;
    int extremes = 0;
    int total = 0;
    // Enough clients that the low deciles do not hang on one or two of them.
    for (int client = 0; client < 1000; ++client) {
        std::string answers;
        for (int item = 1; item <= kItemCount; ++item) {
            int highest = item == 154 ? 2 : kSectionHighestAnswer[SectionOf(item)];
            answers += static_cast<char>('1' + random() % highest);
        }
        ScoreSheet s = ScoreAnswers(answers, 1 + client % 2, 1 + client % 3, tables());
        for (int scale = 1; scale <= kScaleCount; ++scale, ++total) {
            seen.insert(s.Percentile[scale] / 10);
            extremes += s.Percentile[scale] == 0 || s.Percentile[scale] == 99;
        }
    }
    EXPECT_GE(seen.size(), 7u) << "percentiles of random answers fall in at least 7 of 10 deciles";
    EXPECT_LT(extremes, total / 2);
}

}  // namespace
}  // namespace mw
