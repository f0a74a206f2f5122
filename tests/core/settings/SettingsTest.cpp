#include "core/settings/Settings.h"

#include <gtest/gtest.h>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace mw {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    Settings settings() { return Settings(fs, dir.Path()); }

    mwtest::TempDir dir;
    mwtest::FaultyFileSystem fs;
};

TEST_F(SettingsTest, DefaultsWithoutAnyFile) {
    Settings s = settings();
    EXPECT_TRUE(s.GetNumLockSetting());
    EXPECT_TRUE(s.GetPrintDOSSetting());
    EXPECT_EQ(s.GetINIFilePath(), "a:");
    EXPECT_EQ(s.GetINISndPath(), "c:");
    ScanSettings scan = s.GetScanSettings();
    EXPECT_EQ(scan.NumberInBatch, 10);
    EXPECT_EQ(scan.NameSetting, 0);
    EXPECT_TRUE(scan.ScanReview);
    EXPECT_FALSE(scan.ScanPrint);
    EXPECT_TRUE(scan.ScanPause);

    // Integers read their leading digits.
    dir.Write("sctest.ini", "[ScanSettings]\nNumberInBatch=12 sheets\nNameSetting=abc\n");
    scan = settings().GetScanSettings();
    EXPECT_EQ(scan.NumberInBatch, 12);
    EXPECT_EQ(scan.NameSetting, 0);
}

TEST_F(SettingsTest, FlagsAreTrueOnlyWhenTheValueBeginsWithTru) {
    dir.Write("MW.ini", "[settings]\r\nnumlock=False\r\nPRINTDOS = Truly\r\n");
    EXPECT_FALSE(settings().GetNumLockSetting());
    EXPECT_TRUE(settings().GetPrintDOSSetting());
    dir.Write("MW.ini", "[Settings]\nNumLock=yes\nPrintDOS=\"True\"\n");
    EXPECT_FALSE(settings().GetNumLockSetting());
    EXPECT_TRUE(settings().GetPrintDOSSetting());  // one pair of quotes is removed
}

// Scan switches go by their first letter; an out-of-range name setting is the first one.
TEST_F(SettingsTest, ScanSwitchesAreOnWhenTheyStartWithTAndNamesOutsideTheThreeReadAsTyped) {
    dir.Write("sctest.ini",
              "[ScanSettings]\nScanReview=yes\nScanPrint=true\nScanPause=T\nNameSetting=3\n");
    ScanSettings scan = settings().GetScanSettings();
    EXPECT_FALSE(scan.ScanReview);
    EXPECT_TRUE(scan.ScanPrint);
    EXPECT_TRUE(scan.ScanPause);
    EXPECT_EQ(scan.NameSetting, kNameTyped);
    dir.Write("sctest.ini", "[ScanSettings]\nNameSetting=-1\n");
    EXPECT_EQ(settings().GetScanSettings().NameSetting, kNameTyped);
    dir.Write("sctest.ini", "[ScanSettings]\nNameSetting=2\n");
    EXPECT_EQ(settings().GetScanSettings().NameSetting, kNameTestNumber);
}

TEST_F(SettingsTest, ScanSettingsWriteAllFiveKeysKeepingTheRestOfTheFile) {
    dir.Write("sctest.ini", "; scan\r\n[ScanSettings]\r\nNumberInBatch=4\r\n");
    ScanSettings scan{.NumberInBatch = 7, .NameSetting = 2, .ScanReview = false};
    ASSERT_TRUE(settings().SaveScanSettings(scan));
    EXPECT_EQ(dir.Read("sctest.ini"),
              "; scan\r\n[ScanSettings]\r\nNumberInBatch=7\r\nNameSetting=2\r\n"
              "ScanReview=False\r\nScanPrint=False\r\nScanPause=True\r\n");
}

TEST_F(SettingsTest, PathsAreTrimmedAndReadBackWhole) {
    dir.Write("MW.ini", "[PATH]\nFilePath =   f:   \nSndPath=\"" + std::string(60, 's') + "\"\n");
    EXPECT_EQ(settings().GetINIFilePath(), "f:");
    EXPECT_EQ(settings().GetINISndPath(), std::string(60, 's'));

    // A data disk deep in the file system is found again at the next start.
    const std::string deep = "/media/staff/USB DISK/probation office/data disks/second floor";
    ASSERT_GT(deep.size(), 60u);
    ASSERT_TRUE(settings().SaveFilePath(deep));
    EXPECT_EQ(settings().GetINIFilePath(), deep);
}

TEST_F(SettingsTest, WritingOneKeyKeepsEverythingElse) {
    const std::string original =
        "; station settings\r\n"
        "[Options]\r\n"
        "SystemDB=c:\\old\\system.mda\r\n"
        "\r\n"
        "[path]\r\n"
        "filepath=a:\r\n"
        "; the sound folder\r\n"
        "SndPath=c:\r\n"
        "\r\n"
        "[Other]\r\n"
        "x=1\r\n";
    dir.Write("MW.ini", original);
    Settings s = settings();
    ASSERT_TRUE(s.SaveFilePath("/media/usb"));
    ASSERT_TRUE(s.SaveNumLockSetting(false));

    std::string expected = original;
    expected.replace(expected.find("filepath=a:"), 11, "FilePath=/media/usb");
    expected += "[Settings]\r\nNumLock=False\r\n";
    EXPECT_EQ(dir.Read("MW.ini"), expected);
    EXPECT_EQ(s.GetINIFilePath(), "/media/usb");
    EXPECT_FALSE(s.GetNumLockSetting());
}

TEST_F(SettingsTest, AMissingKeyJoinsItsSectionAndANewFileIsCreated) {
    dir.Write("MW.ini", "[Path]\nFilePath=a:\n\n[Settings]\nNumLock=True\n");
    ASSERT_TRUE(settings().SavePrintDOSSetting(false));
    EXPECT_EQ(dir.Read("MW.ini"),
              "[Path]\nFilePath=a:\n\n[Settings]\nNumLock=True\nPrintDOS=False\n");

    ScanSettings scan;
    scan.NumberInBatch = 25;
    scan.ScanPrint = true;
    ASSERT_TRUE(settings().SaveScanSettings(scan));
    ScanSettings back = settings().GetScanSettings();
    EXPECT_EQ(back.NumberInBatch, 25);
    EXPECT_TRUE(back.ScanPrint);
    EXPECT_TRUE(dir.Read("sctest.ini").rfind("[ScanSettings]\r\nNumberInBatch=25\r\n", 0) == 0);
}

TEST_F(SettingsTest, AFailedWriteIsReportedAndLeavesTheFile) {
    dir.Write("MW.ini", "[Path]\nFilePath=a:\n");
    fs.failWrites = errc::PermissionDenied;
    EXPECT_FALSE(settings().SaveFilePath("b:"));
    EXPECT_EQ(dir.Read("MW.ini"), "[Path]\nFilePath=a:\n");
}

}  // namespace
}  // namespace mw
