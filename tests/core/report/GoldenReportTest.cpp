// Complete reports of the demo disk's clients, scored with the bundled
// instrument, compared byte for byte with reviewed copies. Each folder under
// golden/ is one case: case.txt names the client ("client N") and, on a line
// of its own, "summary" when the one-page summary is appended; expected.prn
// is the report. Run with MW_UPDATE_GOLDEN=1 to rewrite the expected files
// after a deliberate change, and review the difference before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/data/ClientStore.h"
#include "core/report/ScoreAndPrint.h"
#include "support/TempDir.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(MW_SOURCE_DIR) / "tests" / "core" / "report" / "golden";

std::string ReadAll(const fs::path& path) {
    return LocalFileSystem().ReadFile(path).value();
}

StationState DemoDisk() {
    StationState state;
    state.DataPath = MW_DEMO_DISK_DIR;
    EXPECT_TRUE(ClientStore(state, LocalFileSystem(), {}).LoadRecordsReadOnly());
    return state;
}

struct GoldenCase {
    std::string name;
    int client = 0;
    bool summary = false;
};

std::vector<GoldenCase> Cases() {
    std::vector<GoldenCase> cases;
    for (const auto& dir : fs::directory_iterator(kGoldenDir)) {
        GoldenCase c{dir.path().filename().string()};
        std::istringstream in(ReadAll(dir.path() / "case.txt"));
        for (std::string word; in >> word;) {
            if (word == "client") in >> c.client;
            if (word == "summary") c.summary = true;
        }
        cases.push_back(c);
    }
    std::sort(cases.begin(), cases.end(), [](auto& a, auto& b) { return a.name < b.name; });
    return cases;
}

class GoldenReportTest : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenReportTest, MatchesTheReviewedReport) {
    const GoldenCase& c = GetParam();
    const StationState state = DemoDisk();
    ASSERT_LE(c.client, state.RecordCount);

    ScoreAndPrint reports(LocalFileSystem(), MW_PROGRAM_DIR);
    Result<ComposedReport> report =
        reports.Compose(state.ClientRecords[c.client], c.client, c.summary);
    ASSERT_TRUE(report.ok()) << report.error().message;
    EXPECT_TRUE(report->problems.empty());

    const fs::path expected = kGoldenDir / c.name / "expected.prn";
    if (std::getenv("MW_UPDATE_GOLDEN")) {
        std::ofstream(expected, std::ios::binary) << report->bytes;
    }
    EXPECT_TRUE(report->bytes == ReadAll(expected)) << "the report differs from " << expected;
}

// Reports in a row may share what they parsed, but never past a change to a
// data file: a site may replace its files between two reports.
TEST(ReportDataTest, AChangedDataFileIsReadForTheNextReport) {
    const StationState state = DemoDisk();
    mwtest::TempDir program;
    mwtest::CopyDataSet(program.Path(), true);
    const ScoreAndPrint reports(LocalFileSystem(), program.Path());
    const auto report = [&] { return reports.Compose(state.ClientRecords[2], 2, false)->bytes; };
    const std::string before = report();

    std::string texts = program.Read(kReportTextsFileName);
    texts.replace(texts.find("\"Violence\""), 10, "\"Hostility\"");
    program.Write(kReportTextsFileName, texts);
    const std::string after = report();
    EXPECT_NE(before.find("Violence SCALE"), std::string::npos);
    EXPECT_EQ(after.find("Violence SCALE"), std::string::npos);
    EXPECT_NE(after.find("Hostility SCALE"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(DemoDisk, GoldenReportTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace mw
