#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "support/TempDir.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

using mwtest::Cli;
using mwtest::CliRun;
using mwtest::Golden;

// A program folder of its own (a copy of the built one) and the demo disk.
class CliReportTest : public ::testing::Test {
protected:
    CliReportTest() {
        for (const auto& file : fs::directory_iterator(MW_PROGRAM_DIR)) {
            if (file.path().extension() != ".db" && file.is_regular_file()) {
                fs::copy_file(file.path(), fs::path(program.Path()) / file.path().filename());
            }
        }
    }

    CliRun Run(const std::string& command, const std::vector<std::string>& more) {
        return Cli(mwtest::DemoCommand(command, more, program.Path()));
    }

    mwtest::TempDir program;
    mwtest::TempDir output;
};

TEST_F(CliReportTest, WritesReportPrnTheOutputFileOrOneFilePerClient) {
    CliRun r = Run("report", {"--client", "2", "--summary"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(program.Read("REPORT.PRN"), Golden("client-2-alcohol-summary"));
    EXPECT_FALSE(program.Exists("REPORT.PRN.tmp"));

    r = Run("report", {"--client", "6", "--output", output.File("six.prn")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(output.Read("six.prn"), Golden("client-6-truthfulness-90s"));

    const std::string dir = output.File("all");
    r = Run("reports", {"--output-dir", dir});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(output.Read("all/2"), Golden("client-2-alcohol"));
    EXPECT_EQ(output.Read("all/5"), Golden("client-5-invalid"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 8);
}

TEST_F(CliReportTest, ABrokenOrMissingDataFileFailsNamingIt) {
    // Without a paragraph file the report is still written.
    fs::remove(program.File("MWRE.txt"));
    CliRun r = Run("report", {"--client", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("MWRE.txt"), std::string::npos);
    EXPECT_NE(program.Read("REPORT.PRN").find("Resistance SCALE: LOW RISK RANGE"),
              std::string::npos);

    // Without scoring tables or report texts no report is written.
    program.Write("REPORT.PRN", "the previous report");
    std::string mwb = program.Read("MWB.TXT");
    mwb.replace(mwb.find("\n13,") + 1, 2, "xx");
    program.Write("MWB.TXT", mwb);
    r = Run("report", {"--client", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("MWB.TXT line 2: expected significant item 1"), std::string::npos)
        << r.err;
    EXPECT_EQ(program.Read("REPORT.PRN"), "the previous report");
    fs::remove(program.File("MW_rpt.TXT"));
    r = Run("report", {"--client", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("MW_rpt.TXT"), std::string::npos);
}

TEST_F(CliReportTest, ClientNumbersAreCheckedAgainstTheDisk) {
    EXPECT_EQ(Run("report", {"--client", "9"}).status, 1);
    EXPECT_NE(Run("report", {"--client", "0"}).err.find("no client 0"), std::string::npos);
    EXPECT_EQ(Run("report", {"--client", "two"}).status, 2);
    EXPECT_EQ(Run("report", {"--summary"}).status, 2);
}

TEST_F(CliReportTest, ScoreAsJsonAndAsATable) {
    CliRun json = Run("score", {"--client", "1", "--json"});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              "{\"raw\":[2,0,0,0,0,0,0,1,236],\"percentile\":[21,0,0,0,0,0,0,11,2],"
              "\"omitted\":[0,0,0,0,0,0,0,0,0],\"scored\":[2,0,0,0,0,0,0,9,9]}\n");
    CliRun table = Run("score", {"--client", "1"});
    EXPECT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("Stress Coping      236          2        0       9"),
              std::string::npos)
        << table.out;
}

}  // namespace
}  // namespace mw
