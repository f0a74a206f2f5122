#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "core/data/StationState.h"
#include "support/TempDir.h"

namespace mw {
namespace {

using mwtest::Cli;
using mwtest::CliRun;

const std::string kFormScanner = MW_SOURCE_DIR "/tests/core/data/golden/formscanner/results.csv";

class CliImport : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(MW_PROGRAM_DIR "/mw32.db", program.File("mw32.db"));
        disk.Write("TID", "M-W\r\n");
    }
    CliRun Import(const std::vector<std::string>& more) {
        std::vector<std::string> args = {"import",    "--program-dir", program.Path(), "--disk",
                                         disk.Path(), "--file",        kFormScanner};
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    }
    ClientRecord Client(int n) const {
        return ClientRecord::FromBytes(disk.Read("DATA401.MW").substr((n - 1) * kRecordSize));
    }

    mwtest::TempDir program;
    mwtest::TempDir disk;
};

// Without review an item with several marks is stored unanswered and named,
// and what the file lacks is not available. The same file twice stores
// nothing new.
TEST_F(CliImport, StoresEachSheetOnceNamingTheItemsNotRead) {
    disk.Write("DATA401.MW", "");
    CliRun first = Import({});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out,
              "line 2, inmate number 40117-052, client 1: stored unanswered, marks not read: 3\n"
              "line 3, inmate number 40118-310, client 2: stored unanswered, marks not read: 130\n"
              "Answer sheets read: 2\nStored on the data disk: 2\n"
              "Skipped, already on the data disk: 0\nNot stored yet: 0\n");
    const ClientRecord stored = Client(1);
    EXPECT_EQ(Trim(stored.Name.View()), "40117-052");
    EXPECT_EQ(
        Trim(stored.Age.View()) + Trim(stored.Gender.View()) + Trim(stored.DateOfBirth.View()),
        "N0N");
    EXPECT_EQ(stored.Answers[2], '0');
    EXPECT_EQ(Trim(Client(2).IDNumber.View()), "40118-310");

    const std::string bytes = disk.Read("DATA401.MW");
    CliRun again = Import({"--layout", "formscanner"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out,
              "Answer sheets read: 2\nStored on the data disk: 0\n"
              "Skipped, already on the data disk: 2 (40117-052 as client 1, "
              "40118-310 as client 2)\nNot stored yet: 0\n");
    EXPECT_EQ(disk.Read("DATA401.MW"), bytes);
}

TEST_F(CliImport, AFullDiskARefusedFileAndUsageErrorsAreNamed) {
    disk.Write("DATA401.MW", std::string((kMaxClients - 1) * kRecordSize, ' '));
    CliRun full = Import({});
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.out.find("Stored on the data disk: 1\n"), std::string::npos);
    EXPECT_EQ(full.err, "mirrorwise-cli: the data disk is full; not stored: 40118-310\n");

    const std::string bytes = disk.Read("DATA401.MW");
    CliRun refused = Import({"--layout", "sdaps"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "mirrorwise-cli: " + kFormScanner +
                               ", line 1: the header has no column global_id for the inmate "
                               "number\n");
    EXPECT_EQ(disk.Read("DATA401.MW"), bytes);
    EXPECT_EQ(Import({"--layout"}).status, 2);
    EXPECT_EQ(Cli({"import", "--program-dir", program.Path(), "--disk", disk.Path()}).status, 2);
}

}  // namespace
}  // namespace mw
