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

// A folder that is no data disk, or a disk without its record file, is
// refused by name and left as it was: the tool never writes to a disk.
TEST(CliList, AFolderThatIsNoDataDiskOrADiskWithoutItsRecordFileIsRefused) {
    const struct {
        const char* tid;  // empty: none
        bool records;
        const char* named;
    } cases[] = {{"", true, " is not a data disk"},
                 {"MW\r\n", true, " is not a data disk"},
                 {"\r\nM-W\r\n", true, " is not a data disk"},
                 {"M-W\r\n", false, "/DATA401.MW"}};
    for (const auto& c : cases) {
        SCOPED_TRACE("TID " + ::testing::PrintToString(std::string(c.tid)));
        mwtest::TempDir folder;
        if (*c.tid) folder.Write("TID", c.tid);
        if (c.records) folder.Write("DATA401.MW", "Lee" + std::string(223, ' '));
        const auto before = folder.Snapshot();
        for (const CliRun& r : {Cli({"list", "--disk", folder.Path()}),
                                Cli({"report", "--program-dir", folder.Path(), "--disk",
                                     folder.Path(), "--client", "1"})}) {
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_NE(r.err.find(folder.Path() + c.named), std::string::npos) << r.err;
        }
        EXPECT_EQ(folder.Snapshot(), before);
    }
}

}  // namespace
}  // namespace mw
