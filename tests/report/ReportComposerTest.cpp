#include "report/ReportComposer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "report/ReportFixture.h"

namespace mw {
namespace {

using mwtest::SheetAt;

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (std::size_t end; (end = bytes.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        lines.push_back(bytes.substr(pos, end - pos));
    }
    EXPECT_EQ(pos, bytes.size()) << "every line ends in CR LF";
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class ReportComposerTest : public ::testing::Test {
protected:
    ComposedReport Compose(const ScoreSheet& sheet, bool summary = false) {
        ClientRecord record;
        record.Name = "Lee";
        record.IDNumber = "n";
        record.Gender = "2";
        record.Race = "9";
        record.MaritalStatus = "4";
        ReportRequest request{sheet,
                              tables,
                              texts,
                              ReportHeader::FromRecord(record),
                              PronounsFor(record.Gender.View()),
                              7,
                              summary};
        return ComposeReport(request, [this](const std::string& name) -> Result<std::string> {
            auto file = files.find(name);
            if (file == files.end()) return MakeError(errc::FileNotFound, "cannot open " + name);
            return file->second;
        });
    }

    std::vector<std::string> ComposeLines(const ScoreSheet& sheet, bool summary = false) {
        ComposedReport report = Compose(sheet, summary);
        EXPECT_TRUE(report.problems.empty());
        return Lines(report.bytes);
    }

    ScoringTables tables = mwtest::FixtureSignificantItems();
    ReportTexts texts = mwtest::FixtureTexts();
    std::map<std::string, std::string> files = mwtest::FixtureParagraphFiles();
};

TEST_F(ReportComposerTest, HeaderShowsCodesAsTextAndNAsNotAvailable) {
    auto lines = ComposeLines(SheetAt(0));
    EXPECT_EQ(lines[4], "       ID #: N/A");
    EXPECT_EQ(lines[5], "       AGE :        SEX: Female                            CONFIDENTIAL REPORT");
    EXPECT_EQ(lines[6], "       ETHNICITY/RACE: N/A");
    EXPECT_EQ(lines[8], "       MARITAL STATUS: Separated");
}

TEST_F(ReportComposerTest, ChartRowsPlaceThePercentileAndBar) {
    ScoreSheet s = SheetAt(0);
    s.Percentile[kResistance] = 9;
    s.Percentile[kViolence] = 10;
    s.Percentile[kAlcohol] = 99;
    s.Percentile[kDrugs] = 45;
    s.OmittedCount[kDrugs] = 5;
    auto lines = ComposeLines(s);
    EXPECT_TRUE(HasLine(lines, "       Truthfulness          0       *...............-...........-.......-...-"));
    EXPECT_TRUE(HasLine(lines, "       Resistance            9       ****............-...........-.......-...-"));
    EXPECT_TRUE(HasLine(lines, "       Violence             10       *****...........-...........-.......-...-"));
    EXPECT_TRUE(HasLine(lines, "       Alcohol              99       ****************************************-"));
    EXPECT_TRUE(HasLine(lines, "       Drugs                **       Scale not scored, insufficient answers"));
    EXPECT_TRUE(HasLine(lines, "       ** Too many omitted items     0               40          70      90 100"));
    EXPECT_TRUE(HasLine(lines, "          to score this scale        ----------- PERCENTILE SCORES -----------"));
    // The second chart has no omissions: its legend line starts blank.
    EXPECT_TRUE(HasLine(lines, std::string(37, ' ') + "0               40          70      90 100"));
    // And the scale paragraphs show Drugs as not scored.
    EXPECT_TRUE(HasLine(lines, "        This scale  is inaccurate  and  not  scorable  because  the respondent"));
}

TEST_F(ReportComposerTest, TruthfulnessNinetyToNinetyFourMarksEveryScore) {
    ScoreSheet s = SheetAt(50);
    s.Percentile[kTruthfulness] = 92;
    auto lines = ComposeLines(s);
    EXPECT_TRUE(HasLine(lines, "       Truthfulness         92 *     *************************************...-"));
    EXPECT_TRUE(HasLine(lines, "       Stress Coping        50 *     *********************.......-.......-...-"));
    EXPECT_TRUE(HasLine(lines, "       * These test results          0               40          70      90 100"));
    EXPECT_TRUE(HasLine(lines, "         are inaccurate              ----------- PERCENTILE SCORES -----------"));
    // One summary paragraph, the invalidity text; the second half is one line of blanks.
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    EXPECT_NE(text.find("       This  woman's  Truthfulness  Scale  score  is  at  or  above  the  90th"), std::string::npos);
    EXPECT_EQ(text.find("This individual's self-report"), std::string::npos);
    EXPECT_NE(text.find("(invalid).\n\n       The Distress, Morale"), std::string::npos);
    EXPECT_NE(text.find("PERCENTILE SCORES -----------\n\n       \n\n        * * SUMMARY"), std::string::npos);
}

TEST_F(ReportComposerTest, InvalidReportAtTheNinetyFifthPercentile) {
    ScoreSheet s = SheetAt(99);
    s.Percentile[kTruthfulness] = 95;
    auto lines = ComposeLines(s, true);
    EXPECT_EQ(lines[12], "       Invalid line one.");
    EXPECT_EQ(lines[13], "       Invalid line two.");
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[15], "       RECOMMENDATIONS AND/OR COMMENTS: ______________________________________");
    EXPECT_EQ(lines[lines.size() - 2],
              "         STAFF MEMBER SIGNATURE       DATE                          (TEST #7)");
    EXPECT_EQ(lines.back(), "");  // the block's own empty line, and no other
    for (const auto& line : lines) {
        EXPECT_EQ(line.find("SUMMARY"), std::string::npos);
        EXPECT_EQ(line.find("CONFIDENTIAL:"), std::string::npos);
        EXPECT_EQ(line.find('\f'), std::string::npos);
    }
}

TEST_F(ReportComposerTest, EmptyGroupsAndOmittedChoices) {
    ScoreSheet s = SheetAt(0);
    s.Answer[152] = 0;
    auto lines = ComposeLines(s);
    const std::string none = "       No significant items were reported  No significant items were reported";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), none), 3);
    EXPECT_TRUE(HasLine(lines, "       152. No response given" + std::string(14, ' ') + "choice 49"));
    EXPECT_TRUE(HasLine(lines, "       choice 1" + std::string(28, ' ') + "choice 29"));
}

TEST_F(ReportComposerTest, SignificantItemsPairUpOnlyLinesThatHaveText) {
    ScoreSheet s = SheetAt(0);
    s.ItemPoints[1] = 2;   // ALCOHOL, one line
    s.ItemPoints[9] = 3;   // DRUGS, two lines
    s.ItemPoints[10] = 2;
    s.ItemPoints[15] = 1;  // one point is not significant
    auto lines = ComposeLines(s);
    EXPECT_TRUE(HasLine(lines, "       ALCOHOL                             DRUGS"));
    EXPECT_TRUE(HasLine(lines, "       -------                             -----"));
    EXPECT_TRUE(HasLine(lines, "       sig 1                               sig 9"));
    EXPECT_TRUE(HasLine(lines, std::string(43, ' ') + "sig 10"));
    EXPECT_FALSE(HasLine(lines, "       sig 15"));
}

TEST_F(ReportComposerTest, AParagraphThatCrossesThePageEndContinuesUnderANewHeader) {
    std::string longParagraph = "0\r\n";
    for (int i = 1; i <= 70; ++i) longParagraph += "line " + std::to_string(i) + "\r\n";
    files["MWVA.txt"] = longParagraph + "END\r\n";
    auto lines = ComposeLines(SheetAt(0));
    auto at = std::find(lines.begin(), lines.end(), "        line 1");
    ASSERT_NE(at, lines.end());
    auto header = std::find(at, lines.end(), "\f");
    ASSERT_NE(header, lines.end());
    EXPECT_EQ(header[1].substr(0, 17), "       NAME: Lee ");
    EXPECT_EQ(header[1].substr(40, 3), "-3-");
    EXPECT_EQ(header[2], "");
    // Page 2 holds 58 counted lines: the header, the chart, the summary, ... up to the break.
    EXPECT_NE(header[3].find("line "), std::string::npos);
    EXPECT_TRUE(HasLine(lines, "        line 70"));
}

TEST_F(ReportComposerTest, MissingParagraphsAreReportedAndTheReportGoesOn) {
    files.erase("MWDG.txt");
    files["MWVI.txt"] = "1\r\nwrong percentile\r\nEND\r\n";
    files["MWMO.txt"] = "0\r\nno end line\r\n";
    ComposedReport report = Compose(SheetAt(0));
    EXPECT_EQ(report.problems, (std::vector<std::string>{
                                   "MWVI.txt: no paragraph for percentile 0", "cannot open MWDG.txt",
                                   "MWMO.txt, percentile 0: no END line"}));
    auto lines = Lines(report.bytes);
    EXPECT_TRUE(HasLine(lines, "        no end line"));
    EXPECT_TRUE(HasLine(lines, "       Drugs SCALE: LOW RISK RANGE" + std::string(26, ' ') + "RISK PERCENTILE:0"));
    EXPECT_TRUE(HasLine(lines, "                                   END OF REPORT"));
}

TEST_F(ReportComposerTest, ExcessiveTrueAnswersReplaceTheTruthfulnessParagraph) {
    ScoreSheet s = SheetAt(20);
    s.RawScore[kTruthfulness] = 99;
    auto lines = ComposeLines(s);
    auto at = std::find(lines.begin(), lines.end(),
                        "        The Truthfulness Scale  is inaccurate  because there were an excessive");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(at[-1], "");  // no scale-name line before it
    EXPECT_EQ(at[1], "        number of True responses in Section 1.");
    EXPECT_EQ(at[2], "");
    EXPECT_EQ(at[3], "");
    EXPECT_EQ(at[4].substr(0, 25), "       Resistance SCALE: ");
    EXPECT_FALSE(HasLine(lines, "        MWVA.txt 20"));
}

TEST_F(ReportComposerTest, RangeLabelsSplitTheWideRanges) {
    ScoreSheet s = SheetAt(0);
    s.Percentile[kResistance] = 55;
    s.Percentile[kViolence] = 56;
    s.Percentile[kAlcohol] = 94;
    s.Percentile[kDrugs] = 75;
    s.Percentile[kSelfEsteem] = 25;
    s.Percentile[kStressCoping] = 26;
    std::string text;
    for (const auto& l : ComposeLines(s)) text += l + "\n";
    EXPECT_NE(text.find("Resistance SCALE: MEDIUM-LOW RISK RANGE"), std::string::npos);
    EXPECT_NE(text.find("Violence SCALE: MEDIUM-HIGH RISK RANGE"), std::string::npos);
    EXPECT_NE(text.find("Alcohol SCALE: MAXIMUM-LOW RISK RANGE"), std::string::npos);
    EXPECT_NE(text.find("Drugs SCALE: PROBLEM RISK RANGE"), std::string::npos);
    EXPECT_NE(text.find("Self-Esteem SCALE: LOW-LOW RISK RANGE"), std::string::npos);
    EXPECT_NE(text.find("Stress Coping SCALE: LOW RISK RANGE"), std::string::npos);
}

TEST_F(ReportComposerTest, OnePageSummaryFillsOneSheetOf58Lines) {
    auto lines = ComposeLines(SheetAt(30), true);
    auto sheet = std::find(lines.rbegin(), lines.rend(), "\f").base();
    EXPECT_EQ(lines.end() - sheet, 58);
    EXPECT_EQ(sheet[2], "                                 ONE PAGE SUMMARY");
    EXPECT_EQ(lines.end()[-2].substr(7, 10), "Mirrorwise");
    EXPECT_EQ(lines.end()[-1].substr(7, 13), "CONFIDENTIAL:");
    EXPECT_EQ(std::count_if(sheet, lines.end(),
                            [](const std::string& l) { return l == "       " + std::string(71, '_'); }),
              2);
}

}  // namespace
}  // namespace mw
