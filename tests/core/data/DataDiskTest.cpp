// The file checks of a data disk, without a display.
#include "core/data/DataDisk.h"

#include <gtest/gtest.h>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace mw {
namespace {

class DataDiskTest : public ::testing::Test {
protected:
    mwtest::TempDir disk;
    mwtest::FaultyFileSystem fs;
};

TEST_F(DataDiskTest, TheIdentityIsTheFirstLineWithoutSurroundingBlanks) {
    for (const char* text : {"M-W", "M-W\r\n", "  M-W   \r\nanything", "M-W   \n"}) {
        disk.Write("TID", text);
        Result<bool> identity = HasDataDiskIdentity(fs, disk.Path());
        EXPECT_TRUE(identity && *identity) << text;
    }
    for (const char* text : {"MW\r\n", "", "\r\nM-W\r\n", "M-W2", "m-w"}) {
        disk.Write("TID", text);
        Result<bool> identity = HasDataDiskIdentity(fs, disk.Path());
        EXPECT_TRUE(identity && !*identity) << text;
    }
    std::remove(disk.File("TID").c_str());
    Result<bool> missing = HasDataDiskIdentity(fs, disk.Path());
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().Fault(), DiskFault::Missing);
}

TEST_F(DataDiskTest, TheWriteTestRemovesALeftoverAndReportsWriteProtection) {
    disk.Write("checkWriteTest", "left by an interrupted run, and longer than a test line");
    ASSERT_TRUE(RunWriteTest(fs, disk.Path()));
    EXPECT_FALSE(disk.Exists("checkWriteTest"));

    fs.failWrites = errc::PermissionDenied;
    Status status = RunWriteTest(fs, disk.Path());
    ASSERT_FALSE(status);
    EXPECT_EQ(status.error().Fault(), DiskFault::WriteProtected);
}

}  // namespace
}  // namespace mw
