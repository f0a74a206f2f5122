// How a report's text is laid out on printed sheets.
#include <gtest/gtest.h>

#include <QPageSize>
#include <QSizeF>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "station/report/ReportLayout.h"
#include "station/report/ReportPrinter.h"

namespace mw {
namespace {

int PdfPages(const QByteArray& pdf) {
    return static_cast<int>(pdf.count("/Type /Page\n"));
}

// The longest of the reviewed reports, as the station writes it.
QString LongestGoldenReport() {
    std::string longest;
    const auto golden = std::filesystem::path(MW_SOURCE_DIR) / "tests/core/report/golden";
    for (const auto& dir : std::filesystem::directory_iterator(golden)) {
        std::ifstream in(dir.path() / "expected.prn", std::ios::binary);
        std::string text{std::istreambuf_iterator<char>(in), {}};
        if (text.size() > longest.size()) longest = std::move(text);
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

// On Letter and A4 a full page is one sheet, a longer one spills its rest onto
// the next, and a report prints one sheet per page, empty pages included.
TEST(ReportLayoutTest, EveryPageFitsOneSheetAndNoLineIsEverLost) {
    const QString report = LongestGoldenReport();
    const int pages = static_cast<int>(report.count(QLatin1Char('\f'))) + 1;
    for (auto paper : {QPageSize::Letter, QPageSize::A4}) {
        SCOPED_TRACE(paper);
        const int perSheet = LinesPerSheet(QPageSize(paper).size(QPageSize::Point).height());
        // The form feed's empty line and 58 lines.
        EXPECT_EQ(ToSheets({QStringList(59, QStringLiteral("x"))}, perSheet).size(), 1u);
        const auto sheets = ToSheets({QStringList(perSheet + 1, QStringLiteral("y"))}, perSheet);
        ASSERT_EQ(sheets.size(), 2u);
        EXPECT_EQ(sheets[1], QStringList{QStringLiteral("y")});

        Result<QByteArray> pdf = ReportPdf(report, QPageSize(paper));
        ASSERT_TRUE(pdf.ok()) << pdf.error().message;
        EXPECT_EQ(PdfPages(*pdf), pages);
        Result<QByteArray> twoFeeds = ReportPdf(QStringLiteral("a\r\n\f\fb"), QPageSize(paper));
        ASSERT_TRUE(twoFeeds.ok());
        EXPECT_EQ(PdfPages(*twoFeeds), 3);
    }
}

}  // namespace
}  // namespace mw
