#include <gtest/gtest.h>

#include <algorithm>

#include "core/data/CodeTables.h"
#include "core/scoring/DataFileReader.h"
#include "core/scoring/ReportTexts.h"
#include "core/scoring/ScoringTables.h"

namespace mw {
namespace {

std::string Repeat(const std::string& field, int count, const char* separator = ",") {
    std::string out;
    for (int i = 0; i < count; ++i) out += (i ? separator : "") + field;
    return out + "\n";
}

// A small but complete scoring file; every block on lines of its own.
std::string ScoringFile() {
    std::string f = "significant items\n" + Repeat("5", 53);
    f += "keys\n";
    for (int s = 1; s <= 4; ++s) {
        for (int a = 0; a <= kSectionHighestAnswer[s]; ++a) {
            f += "\"" + std::string(SectionBounds[s] - SectionBounds[s - 1], '1') + "\"\n";
        }
    }
    f += "norms\n";
    for (int i = 0; i < 48; ++i) f += "3,10,20,30\n";
    f += "stress coping norms\n" + Repeat("50", 300);
    f += "bounds\n" + Repeat("14", 51);
    f += "scale items\n";
    for (int scale = 1; scale <= 8; ++scale) f += "2\n7,160\n";
    f += Repeat("94", 16);
    f += "critical items\n" + Repeat("12", 136);
    f += "truth corrections\n" + Repeat("-1", 72);
    return f;
}

std::string ReportTextsFile() {
    std::string f =
        "\"Truthfulness\",\"Resistance\",Violence,Alcohol,Drugs,Distress,Morale,"
        "\"Self-Esteem\",\"Stress Coping\"\r\n\"LOW\",\"MEDIUM\",\"PROBLEM\",\"MAXIMUM\"\r\n";
    for (int i = 1; i <= 53; ++i) f += "significant, line " + std::to_string(i) + "\r\n";
    for (int i = 1; i <= 56; ++i) f += "choice line " + std::to_string(i) + "\r\n";
    return f;
}

TEST(DataFileReader, FieldsQuotesLineEndsAndTheLineOfABadValue) {
    DataFileReader in("T.TXT",
                      "  \"a, b \" ,  plain  ,7\r\n\nx\ry\n-3,\"\"\nheading, with, commas\nlast");
    EXPECT_EQ(*in.Field("f"), "a, b ");
    EXPECT_EQ(*in.Field("f"), "plain");
    EXPECT_EQ(*in.Int("n", 0, 9), 7);
    EXPECT_EQ(*in.Field("f"), "x");  // past an empty line
    EXPECT_EQ(*in.Field("f"), "y");  // a lone CR ends a line too
    EXPECT_EQ(*in.Int("n", -5, 5), -3);
    EXPECT_EQ(*in.Field("f"), "");
    EXPECT_EQ(*in.Line("heading"), "heading, with, commas");
    EXPECT_EQ(*in.Line("last line"), "last");
    Result<std::string> end = in.Line("more");
    ASSERT_FALSE(end.ok());
    EXPECT_EQ(end.error().message, "T.TXT:7: the file ends where more was expected");

    // Numbers and quotes are checked at the line and column they start on.
    DataFileReader bad("T.TXT", "1\n\n7,  12x\n  \"open");
    EXPECT_TRUE(bad.Int("a count", 0, 99).ok());
    EXPECT_TRUE(bad.Int("a count", 0, 99).ok());
    EXPECT_EQ(bad.Int("a count", 0, 99).error().message,
              "T.TXT:3:5: expected a count (a whole number from 0 to 99), found \"12x\"");
    EXPECT_EQ(bad.Field("f").error().message,
              "T.TXT:4:3: a quoted field is not closed on its line");
}

TEST(ScoringTables, ReadsEveryBlockInOrder) {
    Result<ScoringTables> t = ParseScoringTables("MWB.TXT", ScoringFile());
    ASSERT_TRUE(t.ok()) << t.error().message;
    EXPECT_EQ(t->Keys[3][5], std::string(24, '1'));
    EXPECT_EQ(t->Norms[2][3][8], (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(t->ScaleItems[8], (std::vector<int>{7, 160}));
    // The last value of each block of single numbers.
    EXPECT_EQ(
        (std::vector<int>{t->SignificantItems[53], t->StressNorms[2][3][50], t->StressBounds[51],
                          t->FurtherItems[16], t->CriticalItems[136], t->TruthCorrections[9][9]}),
        (std::vector<int>{5, 50, 14, 94, 12, -1}));
}

TEST(ScoringTables, MalformedFilesNameTheLineAndWhatWasExpected) {
    struct Case {
        std::string from, to, message;
    };
    const std::string file = ScoringFile();
    const Case cases[] = {
        {"5,5,5\n", "5,x,5\n",
         "MWB.TXT:2:103: expected significant item 52 (a whole number from 1 to 160)"},
        {"7,160\n", "7,161\n",
         "MWB.TXT:78:3: expected an item of scale 1 (a whole number from 1 to 160)"},
        {"3,10,20,30\n", "114,10\n",
         "MWB.TXT:24:1: expected the count of the norms of sex 1, group 1, scale 1"},
        {"\"" + std::string(93, '1') + "\"\n", "\"" + std::string(92, '1') + "\"\n",
         "MWB.TXT:4:1: expected the answer key of section 1, answer 0 (93 digits), found"},
        {"\n3,10,20,30\n", "\n3,10,20,300\n", "MWB.TXT:24:9: expected a percentile of the norms"},
    };
    for (const Case& c : cases) {
        std::string broken = file;
        broken.replace(broken.find(c.from), c.from.size(), c.to);
        Result<ScoringTables> t = ParseScoringTables("MWB.TXT", broken);
        ASSERT_FALSE(t.ok()) << c.to;
        EXPECT_EQ(t.error().message.substr(0, c.message.size()), c.message);
        EXPECT_EQ(t.error().code, errc::BadData);
    }
    Result<ScoringTables> cut = ParseScoringTables("MWB.TXT", file.substr(0, file.size() / 2));
    ASSERT_FALSE(cut.ok());
    EXPECT_NE(cut.error().message.find("the file ends where"), std::string::npos);
}

TEST(DataFiles, TextAfterTheLastSectionIsAnError) {
    const auto parse = [](const std::string& name, const std::string& text) {
        return name == "MWB.TXT" ? ParseScoringTables(name, text).status()
                                 : ParseReportTexts(name, text).status();
    };
    for (const std::string name : {"MWB.TXT", "MW_rpt.TXT"}) {
        const std::string text = name == "MWB.TXT" ? ScoringFile() : ReportTextsFile();
        const auto lines = std::count(text.begin(), text.end(), '\n');
        // Blank lines, blanks and an end-of-file mark with anything after it end the file.
        EXPECT_TRUE(parse(name, text + "\r\n  \t\n\n").ok()) << name;
        EXPECT_TRUE(parse(name, text + '\x1A' + "7,7\n").ok()) << name;
        Status extra = parse(name, text + "\n  \n 5,5\n");
        ASSERT_FALSE(extra.ok()) << name;
        EXPECT_EQ(extra.error().code, errc::BadData);
        EXPECT_EQ(extra.error().message, name + ":" + std::to_string(lines + 3) +
                                             ":2: text after the last section: \"5,5\"");
    }
    // An extra value on the last line of numbers.
    std::string scoring = ScoringFile();
    const auto lastLine = std::count(scoring.begin(), scoring.end(), '\n');
    scoring.insert(scoring.size() - 1, ",-1");
    const auto column = scoring.size() - 3 - scoring.rfind('\n', scoring.size() - 2);
    EXPECT_EQ(ParseScoringTables("MWB.TXT", scoring).error().message,
              "MWB.TXT:" + std::to_string(lastLine) + ":" + std::to_string(column) +
                  ": text after the last section: \"-1\"");
}

TEST(ReportTexts, NamesLabelsAndWholeLines) {
    Result<ReportTexts> t = ParseReportTexts("MW_rpt.TXT", ReportTextsFile());
    ASSERT_TRUE(t.ok()) << t.error().message;
    EXPECT_EQ(std::vector<std::string>({t->ScaleNames[1], t->ScaleNames[3], t->ScaleNames[9],
                                        t->RangeLabels[4], t->ChoiceLines[56]}),
              std::vector<std::string>(
                  {"Truthfulness", "Violence", "Stress Coping", "MAXIMUM", "choice line 56"}));
    EXPECT_EQ(t->SignificantLines[1], "significant, line 1");  // a whole line keeps its commas

    std::string shortFile = ReportTextsFile();
    shortFile.resize(shortFile.find("choice line 56"));
    EXPECT_EQ(ParseReportTexts("MW_rpt.TXT", shortFile).error().message,
              "MW_rpt.TXT:111: the file ends where multiple-choice line 56 was expected");
}

}  // namespace
}  // namespace mw
