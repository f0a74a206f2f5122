// How the report's pages lie on paper, and which paper that is.
#include "core/report/PageLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/report/ReportComposer.h"
#include "core/report/ReportFixture.h"
#include "core/report/ReportPage.h"
#include "support/TempDir.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

// The longest page the report can make. Every section checks the line
// counter before it starts, but the comment block after the multiple-choice
// answers goes on the page whatever the counter says, and so do the empty
// lines around it: answers that end on counted line 57 run the page 9 lines
// past the 58 it should hold. A scale paragraph longer by one line moves the
// answers' end one line down, so one of these lengths ends them there.
PageLines LongestPageTheReportCanMake() {
    const ScoringTables tables = mwtest::FixtureSignificantItems();
    const ReportTexts texts = mwtest::FixtureTexts();
    const ScoreSheet sheet = mwtest::SheetAt(50);
    std::map<std::string, std::string> files = mwtest::FixtureParagraphFiles();
    PageLines longest;
    for (int length = 1; length <= kPageLines; ++length) {
        files["MWSC.txt"] = "50\r\n";
        for (int i = 0; i < length; ++i) files["MWSC.txt"] += "line\r\n";
        files["MWSC.txt"] += "END\r\n";
        const ReportRequest request{sheet, tables, texts, {}, PronounsFor("1"), 1};
        const ComposedReport report = ComposeReport(
            request, [&](const std::string& name) -> Result<std::string> { return files[name]; });
        for (PageLines& page : SplitPages(report.bytes)) {
            if (page.size() > longest.size()) longest = std::move(page);
        }
    }
    return longest;
}

// Every page of every reviewed report, and the longest page there can be,
// lies whole between the margins of one Letter or A4 sheet, 80 columns wide,
// in the report's own type, at six lines to the inch whenever that fits.
TEST(PageLayoutTest, EveryPageTheReportCanMakeLiesWholeOnOneSheetInItsType) {
    std::vector<std::pair<std::string, PageLines>> pages;
    for (const auto& dir : fs::directory_iterator(MW_SOURCE_DIR "/tests/core/report/golden")) {
        Result<std::string> report = LocalFileSystem().ReadFile(dir.path() / "expected.prn");
        ASSERT_TRUE(report.ok());
        for (PageLines& page : SplitPages(*report)) {
            pages.emplace_back(dir.path().filename().string(), std::move(page));
        }
    }
    pages.emplace_back("the longest page", LongestPageTheReportCanMake());
    ASSERT_EQ(pages.back().second.size(), 67u);

    for (const auto& [name, paper] : {std::pair{"Letter", kLetterPaper}, {"A4", kA4Paper}}) {
        const double room = paper.heightPoints - 2 * kTopBottomMarginPoints;
        for (const auto& [report, page] : pages) {
            SCOPED_TRACE(report + " on " + name + ", a page of " + std::to_string(page.size()));
            const PageOnSheet layout = LayoutPage(page.size(), paper);
            EXPECT_LE(layout.pitchPoints * static_cast<double>(page.size()), room + 1e-6);
            if (kLinePitchPoints * static_cast<double>(page.size()) <= room) {
                EXPECT_EQ(layout.pitchPoints, kLinePitchPoints);
            }
            EXPECT_EQ(layout.fontPoints, kReportFontPoints);
            for (const std::string& line : page) EXPECT_LE(line.size(), 80u) << line;
            EXPECT_LE(80 * kCharWidthPerPoint * layout.fontPoints,
                      paper.widthPoints - 2 * kSideMarginPoints);
        }
    }
    // Only a page far beyond anything the report makes gives up some of its type.
    const PageOnSheet crowded = LayoutPage(200, kLetterPaper);
    EXPECT_LT(crowded.fontPoints, kReportFontPoints);

    // Each form feed starts a page, and the page end adds no line.
    using Pages = std::vector<PageLines>;
    EXPECT_EQ(SplitPages("a\r\nb\r\n"), (Pages{{"a", "b"}}));
    // The rest of a form-feed line is the new page's first, empty line.
    EXPECT_EQ(SplitPages("a\r\n\f\r\nb"), (Pages{{"a"}, {"", "b"}}));
    EXPECT_EQ(SplitPages("a\f\fb"), (Pages{{"a"}, {""}, {"b"}}));
}

// libpaper's variables first (PAPERSIZE naming the paper, PAPERCONF the file
// that names it in place of the system's papersize file), then the papersize
// file, then the locale's paper, then Letter. A name not known is passed over.
TEST(PageLayoutTest, TheSystemsPaperIsTheVariablesThenThePapersizeFilesThenTheLocalesThenLetter) {
    mwtest::TempDir dir;
    // A locale of a country on A4, made for the test when the system can.
    const std::string locales = dir.File("locales");
    fs::create_directory(locales);
    const bool haveLocale =
        std::system(("localedef -i en_GB -f UTF-8 '" + locales + "/en_GB.UTF-8' >/dev/null 2>&1")
                        .c_str()) == 0;
    setenv("LOCPATH", locales.c_str(), 1);
    unsetenv("LC_ALL");
    const struct {
        const char* papersize;  // the variable PAPERSIZE; nullptr: not set
        const char* paperconf;  // the file PAPERCONF names; nullptr: not set
        const char* file;       // the system's papersize file; nullptr: none
        const char* locale;
        double width;
    } cases[] = {
        {nullptr, nullptr, "a4\n", "C.UTF-8", kA4Paper.widthPoints},
        {nullptr, nullptr, "# the site's paper\n\n  Letter  \n", "en_GB.UTF-8",
         kLetterPaper.widthPoints},
        {nullptr, nullptr, "legal\n", "C.UTF-8", kLetterPaper.widthPoints},
        {nullptr, nullptr, nullptr, "C.UTF-8", kLetterPaper.widthPoints},
        {nullptr, nullptr, nullptr, "xx_YY.UTF-8", kLetterPaper.widthPoints},
        {nullptr, nullptr, nullptr, "en_GB.UTF-8", kA4Paper.widthPoints},
        {"A4", nullptr, "letter\n", "C.UTF-8", kA4Paper.widthPoints},
        {"letter", "a4\n", "a4\n", "en_GB.UTF-8", kLetterPaper.widthPoints},
        {"legal", nullptr, "a4\n", "C.UTF-8", kA4Paper.widthPoints},
        {"", "a4\n", "letter\n", "C.UTF-8", kA4Paper.widthPoints},
        {nullptr, "# ours\nletter\n", "a4\n", "en_GB.UTF-8", kLetterPaper.widthPoints},
    };
    const auto setOrUnset = [](const char* variable, const char* value) {
        value ? setenv(variable, value, 1) : unsetenv(variable);
    };
    for (const auto& c : cases) {
        if (!haveLocale && std::string(c.locale) == "en_GB.UTF-8") continue;
        SCOPED_TRACE(std::string(c.papersize ? c.papersize : "-") + ", " +
                     (c.paperconf ? c.paperconf : "-") + ", " + (c.file ? c.file : "no file") +
                     ", " + c.locale);
        fs::remove(dir.File("papersize"));
        if (c.file) dir.Write("papersize", c.file);
        if (c.paperconf) dir.Write("paperconf", c.paperconf);
        setOrUnset("PAPERSIZE", c.papersize);
        setOrUnset("PAPERCONF", c.paperconf ? dir.File("paperconf").c_str() : nullptr);
        setenv("LC_PAPER", c.locale, 1);
        EXPECT_EQ(SystemPaper(LocalFileSystem(), dir.File("papersize")).widthPoints, c.width);
    }
    unsetenv("PAPERSIZE");
    unsetenv("PAPERCONF");
    unsetenv("LC_PAPER");
    unsetenv("LOCPATH");
    if (!haveLocale) GTEST_SKIP() << "localedef could not make a locale to read the paper of";
}

}  // namespace
}  // namespace mw
