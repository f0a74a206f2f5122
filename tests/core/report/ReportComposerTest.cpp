#include "core/report/ReportComposer.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/report/ReportFixture.h"

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
    ReportComposerTest() {
        record.Name = "Lee";
        record.Gender = "2";
        record.Race = "9";
    }

    ComposedReport Compose(const ScoreSheet& sheet, bool summary = false) {
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

    ClientRecord record;
    ScoringTables tables = mwtest::FixtureSignificantItems();
    ReportTexts texts = mwtest::FixtureTexts();
    std::map<std::string, std::string> files = mwtest::FixtureParagraphFiles();
};

TEST_F(ReportComposerTest, ControlCharactersInFieldsPrintAsBlanksAndUnknownCodesAsNA) {
    // A form feed, line ends or an escape typed into a field would start false
    // pages or drive the printer; the report prints a blank for each.
    record.Name =
        "Ann\f\r\n\x1b"
        "Lee";
    record.IDNumber =
        "12\x7f"
        "4\f";
    record.DateOfBirth = "\r\n1/2/1990";
    const std::string report = Compose(SheetAt(0), true).bytes;

    record.Name = "Ann    Lee";
    record.IDNumber = "12 4";
    record.DateOfBirth = "1/2/1990";
    EXPECT_EQ(report, Compose(SheetAt(0), true).bytes);
    EXPECT_EQ(Lines(report)[3], "       NAME: Ann    Lee");
    EXPECT_EQ(Lines(report)[6], "       ETHNICITY/RACE: N/A");  // no reviewed report has code 9
    EXPECT_EQ(report.find('\x1b'), std::string::npos);
}

TEST_F(ReportComposerTest, MissingParagraphsAreReportedAndTheReportGoesOn) {
    files.erase("MWDG.txt");
    files["MWVI.txt"] = "1\r\nwrong percentile\r\nEND\r\n";
    files["MWMO.txt"] = "0\r\nno end line\r\n";
    ComposedReport report = Compose(SheetAt(0));
    EXPECT_EQ(report.problems, (std::vector<std::string>{"MWVI.txt: no paragraph for percentile 0",
                                                         "cannot open MWDG.txt",
                                                         "MWMO.txt, percentile 0: no END line"}));
    auto lines = Lines(report.bytes);
    EXPECT_TRUE(HasLine(lines, "        no end line"));
    EXPECT_TRUE(HasLine(
        lines, "       Drugs SCALE: LOW RISK RANGE" + std::string(26, ' ') + "RISK PERCENTILE:0"));
    EXPECT_TRUE(HasLine(lines, "                                   END OF REPORT"));
}

TEST_F(ReportComposerTest, ExcessiveTrueAnswersReplaceTheTruthfulnessParagraph) {
    ScoreSheet s = SheetAt(20);
    s.RawScore[kTruthfulness] = 99;
    auto lines = ComposeLines(s);
    auto at =
        std::find(lines.begin(), lines.end(),
                  "        The Truthfulness Scale  is inaccurate  because there were an excessive");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(at[-1], "");  // no scale-name line before it
    EXPECT_EQ(at[1], "        number of True responses in Section 1.");
    EXPECT_EQ(at[2], "");
    EXPECT_EQ(at[3], "");
    EXPECT_EQ(at[4].substr(0, 25), "       Resistance SCALE: ");
    EXPECT_FALSE(HasLine(lines, "        MWVA.txt 20"));
}

// The labels that split the wide ranges, and the chart's bar at its step
// from 9 to 10, which no reviewed report reaches (they pin 0, 99 and an
// unscored scale).
TEST_F(ReportComposerTest, RangeLabelsSplitTheWideRangesAndTheChartPlacesTheBar) {
    ScoreSheet s = SheetAt(0);
    const std::tuple<int, int, std::string> cases[] = {
        {kResistance, 55, "Resistance SCALE: MEDIUM-LOW RISK RANGE"},
        {kViolence, 56, "Violence SCALE: MEDIUM-HIGH RISK RANGE"},
        {kAlcohol, 94, "Alcohol SCALE: MAXIMUM-LOW RISK RANGE"},
        {kDrugs, 75, "Drugs SCALE: PROBLEM RISK RANGE"},
        {kSelfEsteem, 25, "Self-Esteem SCALE: LOW-LOW RISK RANGE"},
        {kStressCoping, 26, "Stress Coping SCALE: LOW RISK RANGE"},
        {kDistress, 9,
         "\r\n       Distress              9       ****............-...........-.......-...-\r\n"},
        {kMorale, 10,
         "\r\n       Morale               10       *****...........-...........-.......-...-\r\n"},
    };
    for (const auto& [scale, percentile, text] : cases) s.Percentile[scale] = percentile;
    const std::string report = Compose(s).bytes;
    for (const auto& [scale, percentile, text] : cases) {
        EXPECT_NE(report.find(text), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace mw
