#include <gtest/gtest.h>

#include <sstream>

#include "cli/CliRun.h"
#include "support/TempDir.h"

namespace mw {
namespace {

using mwtest::Cli;
using mwtest::CliRun;

TEST(CliList, PrintsEachClientAsTheClientListShowsIt) {
    mwtest::TempDir disk;
    // Two records written byte by byte, the second with a Windows-1252 name.
    std::string file = "Lee" + std::string(223, ' ');
    file +=
        "Jos\xE9 N\xFA\xF1"
        "ez" +
        std::string(215, ' ');
    disk.Write("DATA401.MW", file);

    CliRun r = Cli({"list", "--disk", disk.Path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "1-Lee" + std::string(22, ' ') + "\n2-José Núñez" + std::string(15, ' ') + "\n");
    EXPECT_EQ(disk.Read("DATA401.MW"), file);
}

TEST(CliList, DiskErrorsNameTheFileAndExitWithOne) {
    mwtest::TempDir disk;
    CliRun missing = Cli({"list", "--disk", disk.Path()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("DATA401.MW"), std::string::npos);
    EXPECT_FALSE(disk.Exists("DATA401.MW"));  // the tool never writes to a disk

    disk.Write("DATA401.MW", std::string(226 * 60, ' '));
    CliRun tooMany = Cli({"list", "--disk", disk.Path()});
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_NE(tooMany.err.find("60 clients"), std::string::npos);
    EXPECT_EQ(tooMany.out, "");
}

TEST(CliList, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Cli({}).status, 2);
    EXPECT_EQ(Cli({"list"}).status, 2);
    EXPECT_EQ(Cli({"list", "--disk"}).status, 2);
    EXPECT_EQ(Cli({"list", "--disk", "x", "--bogus"}).status, 2);
    EXPECT_EQ(Cli({"frobnicate"}).status, 2);
}

}  // namespace
}  // namespace mw
