#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "support/TempDir.h"

namespace mw {
namespace {

using mwtest::Cli;
using mwtest::CliRun;

// A data disk: TID marks it, and each name becomes a record.
void WriteDisk(const mwtest::TempDir& disk, const std::vector<std::string>& names) {
    disk.Write("TID", "M-W\r\n");
    std::string file;
    for (const std::string& name : names) file += name + std::string(226 - name.size(), ' ');
    disk.Write("DATA401.MW", file);
}

TEST(CliList, PrintsEachClientAsTheClientListShowsIt) {
    mwtest::TempDir disk;
    // The second name in Windows-1252, a byte it leaves undefined as U+FFFD
    // (not the C1 control that starts a terminal command), and control
    // characters in the third reach the terminal as blanks.
    WriteDisk(disk, {"Lee",
                     "Jos\xE9 N\xFA\xF1"
                     "ez\x9D",
                     "Ann\f\r\n\x1b[2J\x7f"
                     "Lee"});
    const auto before = disk.Snapshot();

    CliRun r = Cli({"list", "--disk", disk.Path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1-Lee" + std::string(22, ' ') + "\n2-José Núñez\uFFFD" +
                         std::string(14, ' ') + "\n3-Ann    [2J Lee" + std::string(11, ' ') + "\n");
    EXPECT_EQ(disk.Snapshot(), before);  // the records keep their bytes
}

TEST(CliList, AFolderThatIsNoDataDiskIsRefused) {
    mwtest::TempDir folder;
    folder.Write("DATA401.MW", "Lee" + std::string(223, ' '));
    for (const char* tid : {"", "MW\r\n", "\r\nM-W\r\n"}) {
        if (*tid) folder.Write("TID", tid);
        const auto before = folder.Snapshot();
        for (const CliRun& r : {Cli({"list", "--disk", folder.Path()}),
                                Cli({"report", "--program-dir", folder.Path(), "--disk",
                                     folder.Path(), "--client", "1"})}) {
            EXPECT_EQ(r.status, 1) << tid;
            EXPECT_EQ(r.out, "");
            EXPECT_NE(r.err.find(folder.Path() + " is not a data disk"), std::string::npos)
                << r.err;
        }
        EXPECT_EQ(folder.Snapshot(), before);
    }
}

TEST(CliList, AMissingRecordFileIsNamedAndNeverCreated) {
    mwtest::TempDir disk;
    disk.Write("TID", "M-W\r\n");
    CliRun missing = Cli({"list", "--disk", disk.Path()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("DATA401.MW"), std::string::npos);
    EXPECT_FALSE(disk.Exists("DATA401.MW"));  // the tool never writes to a disk
}

}  // namespace
}  // namespace mw
