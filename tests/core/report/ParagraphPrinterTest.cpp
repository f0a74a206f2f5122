#include "core/report/ParagraphPrinter.h"

#include <gtest/gtest.h>

#include "core/report/ParagraphFile.h"
#include "core/report/ReportPage.h"

namespace mw {
namespace {

using Lines = std::vector<std::string_view>;

std::string Justify(std::string_view line) {
    std::string out;
    AppendJustified(out, line);
    return out;
}

// How a paragraph line is widened and where it breaks is pinned by every
// reviewed report; these are the edges none of them reaches.
TEST(Justify, LeavesShortFullAndOneWordLines) {
    // A blank at position 1 is not a gap.
    for (const std::string& same :
         {std::string(55, 'x'), std::string(35, 'a') + " " + std::string(35, 'b'),
          std::string(60, 'w'), " " + std::string(59, 'w')}) {
        EXPECT_EQ(Justify(same), same);
    }
}

TEST(BreakParagraph, AFullLineAnEmptyParagraphAndAWordLongerThanTheLine) {
    const std::string exact = std::string(30, 'a') + " " + std::string(40, 'b');
    EXPECT_EQ(BreakParagraph(exact), Lines{exact});
    EXPECT_EQ(BreakParagraph(""), Lines{""});
    const std::string longWord(80, 'z');
    EXPECT_EQ(BreakParagraph(longWord + " end"), (Lines{longWord, "end"}));
}

TEST(ReportPage, PositionsNumbersAndPageHeaders) {
    ReportPage page("Lee");
    page.Skip(7).Text("AB").Column(12).Text("C").Number(45).Number(-3).End();
    page.Skip(3).Text("longer text").Column(5).Text("next").End();
    for (int i = 0; i < 9; ++i) page.NewPage();
    EXPECT_EQ(page.page, 10);
    EXPECT_EQ(page.counter, 2);
    const std::string& out = page.Bytes();
    EXPECT_EQ(out.substr(0, 24), "       AB  C 45 -3 \r\n   ");
    EXPECT_NE(out.find("longer text\r\n    next\r\n"), std::string::npos);
    const std::string header10 = "\f\r\n       NAME: Lee" + std::string(24, ' ') + "-0-" +
                                 std::string(18, ' ') + "MIRRORWISE REPORT\r\n\r\n";
    EXPECT_EQ(out.substr(out.size() - header10.size()), header10);
}

TEST(ParagraphFile, FindsThePercentileFromTheTopWhateverTheLineEndsOnAWholeLine) {
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(eol == "\n" ? "LF" : eol == "\r" ? "CR" : "CR LF");
        std::string file;
        for (const char* line : {"1", "one", "END", "10", "ten a", "", "ten b", "END", "11", "9"})
            file += line + eol;
        file.resize(file.size() - eol.size());  // a marker on the last line, without a line end
        const Paragraph ten = FindParagraph(file, "10");
        EXPECT_TRUE(ten.found && ten.ended);
        EXPECT_EQ(ten.lines, (Lines{"ten a", "", "ten b"}));
        EXPECT_EQ(FindParagraph(file, "1").lines, Lines{"one"});
        const Paragraph eleven = FindParagraph(file, "11");
        EXPECT_TRUE(eleven.found && !eleven.ended);
        EXPECT_EQ(eleven.lines, Lines{"9"});
        const Paragraph nine = FindParagraph(file, "9");
        EXPECT_TRUE(nine.found && !nine.ended && nine.lines.empty());
        EXPECT_FALSE(FindParagraph(file, "12").found);
    }
    EXPECT_EQ(FindParagraph("a\nEND\n", "").lines, Lines{"a"});

    // A search that jumps from one occurrence of the marker to the next must
    // still take only whole lines: the marker's digits within a line, a line
    // that starts or ends with them, and "END" within a paragraph's line.
    const std::string file =
        "2\r\nscored 12 of 20\r\n12 items\r\nEND\r\n112\r\nx\r\nEND\r\n 12\r\n120\r\nEND\r\n"
        "12\r\nTHE END\r\nENDS\r\n END\r\n\r\nlast\r\nEND\r\n12\r\nsecond\r\nEND\r\n";
    const Paragraph p = FindParagraph(file, "12");
    EXPECT_TRUE(p.found && p.ended);
    EXPECT_EQ(p.lines, (Lines{"THE END", "ENDS", " END", "", "last"}));
}

TEST(ParagraphFile, FindsAParagraphAfterMegabytesOfOthers) {
    std::string file;
    std::string filler;
    while (filler.size() < 60) filler += " 99";
    for (int p = 0; p <= 99; ++p) {
        file += std::to_string(p) + "\r\n";
        for (int i = 0; i < 600; ++i) file += std::to_string(p) + filler + "\r\n";
        file += "END\r\n";
    }
    ASSERT_GT(file.size(), 3'000'000u);
    const Paragraph last = FindParagraph(file, "99");
    EXPECT_TRUE(last.found && last.ended);
    EXPECT_EQ(last.lines.size(), 600u);
    EXPECT_EQ(last.lines.back(), "99" + filler);
    EXPECT_FALSE(FindParagraph(file, "100").found);
}

}  // namespace
}  // namespace mw
