// How a report's text is laid out on printed sheets.
#include <gtest/gtest.h>

#include <QPageSize>
#include <QSizeF>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "station/report/ReportLayout.h"
#include "station/report/ReportPrinter.h"

namespace mw {
namespace {

double Height(QPageSize::PageSizeId paper) {
    return QPageSize(paper).size(QPageSize::Point).height();
}

int PdfPages(const QByteArray& pdf) {
    return static_cast<int>(pdf.count("/Type /Page\n"));
}

// The longest of the reviewed reports, as the station writes it.
QString LongestGoldenReport() {
    std::string longest;
    const auto golden = std::filesystem::path(MW_SOURCE_DIR) / "tests/core/report/golden";
    for (const auto& dir : std::filesystem::directory_iterator(golden)) {
        std::ifstream in(dir.path() / "expected.prn", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        if (text.str().size() > longest.size()) longest = text.str();
    }
    return QString::fromLatin1(longest);
}

TEST(ReportLayoutTest, EachFormFeedStartsAPageAndThePageEndAddsNoLine) {
    using Pages = std::vector<QStringList>;
    EXPECT_EQ(SplitPages(QStringLiteral("a\r\nb\r\n")), (Pages{{"a", "b"}}));
    // The rest of a form-feed line is the new page's first, empty line.
    EXPECT_EQ(SplitPages(QStringLiteral("a\r\n\f\r\nb")), (Pages{{"a"}, {"", "b"}}));
    EXPECT_EQ(SplitPages(QStringLiteral("a\f\fb")), (Pages{{"a"}, {""}, {"b"}}));
}

TEST(ReportLayoutTest, AFullPageIsOneSheetOnLetterAndA4AndNoLineIsEverLost) {
    QStringList fullPage(59, QStringLiteral("x"));  // the form feed's empty line and 58 lines
    for (auto paper : {QPageSize::Letter, QPageSize::A4}) {
        const int perSheet = LinesPerSheet(Height(paper));
        EXPECT_EQ(ToSheets({fullPage}, perSheet).size(), 1u) << paper;
        QStringList tooLong(perSheet + 1, QStringLiteral("y"));
        const auto sheets = ToSheets({tooLong}, perSheet);
        ASSERT_EQ(sheets.size(), 2u);
        EXPECT_EQ(sheets[1], QStringList{QStringLiteral("y")});
    }
}

TEST(ReportLayoutTest, TheLongestReportPrintsOneSheetPerPageOnLetterAndA4) {
    const QString report = LongestGoldenReport();
    const int pages = static_cast<int>(report.count(QLatin1Char('\f'))) + 1;
    for (auto paper : {QPageSize::Letter, QPageSize::A4}) {
        Result<QByteArray> pdf = ReportPdf(report, QPageSize(paper));
        ASSERT_TRUE(pdf.ok()) << pdf.error().message;
        EXPECT_EQ(PdfPages(*pdf), pages) << paper;
    }
    Result<QByteArray> twoFeeds = ReportPdf(QStringLiteral("a\r\n\f\fb"), QPageSize(QPageSize::A4));
    ASSERT_TRUE(twoFeeds.ok());
    EXPECT_EQ(PdfPages(*twoFeeds), 3);
}

}  // namespace
}  // namespace mw
