// Reports as PDF files, read back with the PDF tools, and the CSV export.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <tuple>

#include "cli/CliRun.h"
#include "core/data/Cp1252.h"
#include "core/report/PageLayout.h"
#include "core/report/PdfWriter.h"
#include "support/TempDir.h"

namespace mw {
namespace {

using mwtest::Cli;
using mwtest::CliRun;
using mwtest::ReadAll;
using Sheets = std::vector<std::vector<std::string>>;

const std::string kGolden = MW_SOURCE_DIR "/tests/core/report/golden/";

// Every part between separators, the empty last one included.
std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts(1);
    for (const char c : text) c == at ? void(parts.emplace_back()) : parts.back().push_back(c);
    return parts;
}

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    char chunk[4096];
    for (std::size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
    pclose(pipe);
    return out;
}

// Characters, not bytes, of UTF-8 text.
std::size_t Chars(const std::string& text) {
    std::size_t n = 0;
    for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// The report as printed, in UTF-8, without the blanks that leave no ink: a
// sheet for each page.
Sheets PrnSheets(const std::string& prn) {
    Sheets sheets;
    for (PageLines& page : SplitPages(Cp1252ToUtf8(prn))) {
        for (std::string& line : page) line.erase(line.find_last_not_of(' ') + 1);
        while (!page.empty() && page.back().empty()) page.pop_back();
        sheets.push_back(std::move(page));
    }
    return sheets;
}

// The PDF's sheets rebuilt from where each word lies: the line from its top,
// 0.4 in down and then the line pitch of a page as long as the report's, the
// column from its left edge, 0.25 in across and then the fixed-pitch font's
// advance. A wrong margin, pitch or font size moves words to other lines or
// columns.
Sheets PdfSheets(const std::string& pdf, const std::string& prn, const Paper& paper) {
    static const std::regex word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>([^<]*)<)re");
    const std::vector<PageLines> pages = SplitPages(prn);
    std::vector<std::map<std::pair<long, long>, std::string>> words;  // by line and column
    std::istringstream in(Output("pdftotext -bbox '" + pdf + "' -"));
    PageOnSheet layout{};
    for (std::string tag; std::getline(in, tag);) {
        std::smatch m;
        if (tag.find("<page ") != std::string::npos) {
            layout = LayoutPage(pages.at(words.size()).size(), paper);
            words.emplace_back();
        }
        if (!std::regex_search(tag, m, word)) continue;
        std::string text = m[3];
        for (auto [entity, c] : {std::pair{"&quot;", "\""},
                                 {"&apos;", "'"},
                                 {"&lt;", "<"},
                                 {"&gt;", ">"},
                                 {"&amp;", "&"}}) {
            for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
                text.replace(at, std::string(entity).size(), c);
        }
        words.back()[{std::lround((std::stod(m[2]) - kTopBottomMarginPoints) / layout.pitchPoints),
                      std::lround((std::stod(m[1]) - kSideMarginPoints) /
                                  (kCharWidthPerPoint * layout.fontPoints))}] = text;
    }
    Sheets sheets;
    for (const auto& sheet : words) {
        std::vector<std::string>& lines = sheets.emplace_back();
        for (const auto& [at, text] : sheet) {
            const auto [row, column] = at;
            lines.resize(std::max<std::size_t>(lines.size(), row + 1));
            lines[row] += std::string(column - Chars(lines[row]), ' ') + text;
        }
    }
    return sheets;
}

// What pdfinfo says of the paper's size.
std::string SizeText(const Paper& paper) {
    return paper.widthPoints == kLetterPaper.widthPoints ? "612 x 792 pts (letter)"
                                                         : "595.28 x 841.89 pts (A4)";
}

void ExpectSameSheets(const Sheets& pdf, const Sheets& prn, const std::string& what) {
    ASSERT_EQ(pdf.size(), prn.size()) << what;
    for (std::size_t i = 0; i < prn.size(); ++i)
        EXPECT_EQ(pdf[i], prn[i]) << what << " sheet " << i + 1;
}

class CliPdfTest : public mwtest::CliFixture {
protected:
    void SetUp() override {
        if (Output("command -v pdftotext && command -v pdfinfo && command -v qpdf").empty()) {
            GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) or qpdf are not installed";
        }
    }
};

// Every reviewed report, a page to a sheet whatever its length, in a font
// the file carries with it.
TEST_F(CliPdfTest, EachGoldenReportReadsTheSameOnLetterOrA4Sheets) {
    for (const auto& dir : std::filesystem::directory_iterator(kGolden)) {
        const std::vector<std::string> caseLines = Split(ReadAll(dir.path() / "case.txt"), '\n');
        const std::string prn = ReadAll(dir.path() / "expected.prn");
        for (const auto& [name, paper] : {std::pair{"letter", kLetterPaper}, {"A4", kA4Paper}}) {
            const std::string pdf = output.File("report.pdf");
            std::vector<std::string> args =
                Args("report", {"--client", caseLines[0].substr(7), "--pdf", pdf, "--paper", name});
            if (caseLines.size() > 1 && !caseLines[1].empty()) args.push_back("--" + caseLines[1]);
            ASSERT_EQ(Cli(args).status, 0);
            EXPECT_NE(Output("pdfinfo " + pdf).find(SizeText(paper)), std::string::npos);
            ExpectSameSheets(PdfSheets(pdf, prn, paper), PrnSheets(prn),
                             dir.path().filename().string() + " on " + name);
        }
    }
}

// What the PDF tools find in a five-page report's PDF: a file to archive as
// PDF/A-1b. It says what it is, without naming the client, in its
// information dictionary and its metadata alike; it carries the part of the
// font it draws with, mapped to Unicode, and the sRGB profile its colours
// are meant in; its structure is sound and it has an identifier.
TEST_F(CliPdfTest, AReportPdfIsAnArchiveFile) {
    const std::string pdf = output.File("report.pdf");
    ASSERT_EQ(Run("report", {"--client", "2", "--pdf", pdf}).status, 0);
    EXPECT_LT(std::filesystem::file_size(pdf), 40u * 1024);
    std::smatch profile;
    const std::string catalog = Output("qpdf --show-object=1 " + pdf);
    ASSERT_TRUE(std::regex_search(catalog, profile, std::regex("/DestOutputProfile ([0-9]+) 0 R")));
    const std::pair<std::string, std::string> checks[] = {
        // a command, what its output holds
        {"pdfinfo", "Title: +Mirrorwise report\\n"},
        {"pdfinfo", "\\nProducer: +Mirrorwise v[0-9.]+\\n"},
        {"pdfinfo", "\\nCreationDate: +\\w+ \\w+ +[0-9]+ [0-9:]+ 20[0-9][0-9]"},
        {"pdfinfo -meta", "<dc:title>.*>Mirrorwise report</rdf:li>"},
        {"pdfinfo -meta", "<xmp:CreateDate>20[0-9-]+T[0-9:]+[-+][0-9:]+</xmp:CreateDate>"},
        {"pdfinfo -meta", "<pdfaid:part>1</pdfaid:part>\\s*<pdfaid:conformance>B</"},
        {"pdffonts", "\\n[A-Z]{6}\\+LiberationMono +TrueType +WinAnsi +yes +yes +yes "},
        {"qpdf --check", "No syntax or stream encoding errors found"},
        {"qpdf --show-object=trailer", "/ID \\[ <[0-9a-f]{32}> <[0-9a-f]{32}> \\]"},
        {"qpdf --show-object=1", "/OutputIntents \\[ << .*/S /GTS_PDFA1"},
    };
    for (const auto& [command, expected] : checks) {
        EXPECT_TRUE(std::regex_search(Output(command + " " + pdf), std::regex(expected)))
            << command << ": " << expected;
    }
    EXPECT_EQ(Output("qpdf --filtered-stream-data --show-object=" + profile[1].str() + " " + pdf),
              ReadAll("/usr/share/color/icc/sRGB.icc"));
}

// The same report made at the same time is the same file, byte for byte;
// its time is local time with its offset from UTC, written alike in the
// information dictionary and in the metadata.
TEST(PdfBytesTest, TheSameTimeMakesTheSameFile) {
    Result<TrueTypeFont> font = ReadTrueTypeFont(LocalFileSystem(), kPdfFontFile);
    ASSERT_TRUE(font);
    const std::string prn = mwtest::Golden("client-3-drugs");
    const std::tuple<DateTime, std::string, std::string> cases[] = {
        {{{2026, 12, 7}, 20, 23, 8, 60}, "D:20261207202308+01'00'", "2026-12-07T20:23:08+01:00"},
        {{{2024, 3, 5}, 9, 5, 0, -330}, "D:20240305090500-05'30'", "2024-03-05T09:05:00-05:30"},
    };
    for (const auto& [time, info, xmp] : cases) {
        const std::string pdf = ReportPdfBytes(prn, kA4Paper, *font, time);
        EXPECT_EQ(pdf, ReportPdfBytes(prn, kA4Paper, *font, time)) << info;
        EXPECT_NE(pdf.find("/CreationDate (" + info + ")"), std::string::npos) << info;
        EXPECT_NE(pdf.find("<xmp:CreateDate>" + xmp + "</xmp:CreateDate>"), std::string::npos)
            << xmp;
    }
}

// The part of the font a PDF carries draws its pages exactly as the whole
// font does: the same glyphs, accented letters (built of a letter and an
// accent) among them. The file is drawn once as made and once with the whole
// font program put in place of the part.
TEST_F(CliPdfTest, TheFontsPartDrawsAsTheWholeFont) {
    Result<TrueTypeFont> font = ReadTrueTypeFont(LocalFileSystem(), kPdfFontFile);
    ASSERT_TRUE(font);
    const std::string pdf =
        ReportPdfBytes(mwtest::Golden("client-3-drugs"), kLetterPaper, *font, {});
    static const std::regex program(
        "<< /Length [0-9]+ /Filter /FlateDecode /Length1 [0-9]+ >>\\nstream\\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(pdf, m, program));
    const std::size_t end = pdf.find("\nendstream", static_cast<std::size_t>(m.position()));
    const std::string size = std::to_string(font->program.size());
    output.Write("part.pdf", pdf);
    // The offsets of the objects after it no longer hold: the reader finds them anew.
    output.Write("whole.pdf", pdf.substr(0, static_cast<std::size_t>(m.position())) +
                                  "<< /Length " + size + " /Length1 " + size + " >>\nstream\n" +
                                  font->program + pdf.substr(end));
    for (const char* name : {"part", "whole"}) {
        Output("pdftoppm -r 100 -gray " + output.File(std::string(name) + ".pdf") + " " +
               output.File(name) + " 2>/dev/null");
    }
    for (const char* page : {"-1.pgm", "-2.pgm", "-5.pgm"}) {
        EXPECT_EQ(ReadAll(output.File(std::string("part") + page)),
                  ReadAll(output.File(std::string("whole") + page)))
            << page;
    }
}

// Without --paper the PDFs go on the system's paper.
TEST_F(CliPdfTest, ReportsWritesAPdfPerClient) {
    CliRun r = Run("reports", {"--output-dir", output.Path(), "--pdf"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(output.Exists("8.pdf") && !output.Exists("9.pdf") && !output.Exists("1"));
    const Paper paper = SystemPaper(LocalFileSystem());
    EXPECT_NE(Output("pdfinfo " + output.File("4.pdf")).find(SizeText(paper)), std::string::npos);
}

}  // namespace
}  // namespace mw
