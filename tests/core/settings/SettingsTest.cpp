#include "core/settings/Settings.h"

#include <gtest/gtest.h>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace mw {
namespace {

// The five scan settings as one text: batch size, name setting, then T or F
// for review, print and pause.
std::string Text(const ScanSettings& s) {
    return std::to_string(s.NumberInBatch) + " " + std::to_string(s.NameSetting) + " " +
           (s.ScanReview ? "T" : "F") + (s.ScanPrint ? "T" : "F") + (s.ScanPause ? "T" : "F");
}

class SettingsTest : public ::testing::Test {
protected:
    Settings settings() { return Settings(fs, dir.Path()); }
    std::string Scan(const std::string& ini) {
        dir.Write("sctest.ini", "[ScanSettings]\n" + ini);
        return Text(settings().GetScanSettings());
    }

    mwtest::TempDir dir;
    mwtest::FaultyFileSystem fs;
};

// Without any file, the defaults.
TEST_F(SettingsTest, FlagsBeginWithTruSwitchesWithTAndNumbersReadTheirLeadingDigits) {
    EXPECT_TRUE(settings().GetNumLockSetting());
    EXPECT_FALSE(settings().GetPrintDOSSetting());  // as the file the station makes will say
    EXPECT_EQ(settings().GetINIFilePath(), "a:");
    EXPECT_EQ(settings().GetINISndPath(), "c:");
    EXPECT_EQ(Text(settings().GetScanSettings()), "10 0 TFT");
    dir.Write("MW.ini", "[settings]\r\nnumlock=False\r\nPRINTDOS = Truly\r\n");
    EXPECT_FALSE(settings().GetNumLockSetting());
    EXPECT_TRUE(settings().GetPrintDOSSetting());
    dir.Write("MW.ini", "[Settings]\nNumLock=yes\nPrintDOS=\"True\"\n");
    EXPECT_FALSE(settings().GetNumLockSetting());
    EXPECT_TRUE(settings().GetPrintDOSSetting());  // one pair of quotes is removed

    EXPECT_EQ(Scan("ScanReview=yes\nScanPrint=true\nScanPause=T\n"), "10 0 FTT");
    EXPECT_EQ(Scan("NumberInBatch=12 sheets\nNameSetting=abc\n"), "12 0 TFT");
    // A name setting outside the three reads as typed names.
    EXPECT_EQ(Scan("NameSetting=3\n"), "10 " + std::to_string(kNameTyped) + " TFT");
    EXPECT_EQ(Scan("NameSetting=-1\n"), "10 " + std::to_string(kNameTyped) + " TFT");
    EXPECT_EQ(Scan("NameSetting=2\n"), "10 " + std::to_string(kNameTestNumber) + " TFT");
}

// A settings file the station makes has reports laid out on the page.
TEST_F(SettingsTest, ANewSettingsFileTurnsTheDosPortOff) {
    ASSERT_TRUE(settings().SaveFilePath("/media/usb"));
    EXPECT_EQ(dir.Read("MW.ini"),
              "[Settings]\r\nPrintDOS=False\r\n[Path]\r\nFilePath=/media/usb\r\n");
    EXPECT_FALSE(settings().GetPrintDOSSetting());
}

TEST_F(SettingsTest, ScanSettingsWriteAllFiveKeysKeepingTheRestOfTheFile) {
    ScanSettings scan{.NumberInBatch = 25, .ScanPrint = true};
    ASSERT_TRUE(settings().SaveScanSettings(scan));  // into a new file
    EXPECT_EQ(dir.Read("sctest.ini"),
              "[ScanSettings]\r\nNumberInBatch=25\r\nNameSetting=0\r\nScanReview=True\r\n"
              "ScanPrint=True\r\nScanPause=True\r\n");
    EXPECT_EQ(Text(settings().GetScanSettings()), "25 0 TTT");

    dir.Write("sctest.ini", "; scan\r\n[ScanSettings]\r\nNumberInBatch=4\r\n");
    scan = {.NumberInBatch = 7, .NameSetting = 2, .ScanReview = false};
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

    // Blanks and quotes that reading takes off are kept by quoting the value.
    for (const std::string folder : {" usb ", "\"x\"", "\"", "a\r", "\"\"", ""}) {
        ASSERT_TRUE(settings().SaveFilePath(folder));
        EXPECT_EQ(settings().GetINIFilePath(), folder) << folder;
    }
    EXPECT_EQ(dir.Read("MW.ini"), "[PATH]\nFilePath=\nSndPath=\"" + std::string(60, 's') + "\"\n");
    // A line break would end the value and start a line of its own.
    const Status refused = settings().SaveFilePath("x\n[Settings]\nNumLock=False");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find("FilePath holds a line break"), std::string::npos);
    EXPECT_TRUE(settings().GetNumLockSetting());
}

// An older file that never mentions the DOS port keeps sending reports there.
TEST_F(SettingsTest, WritingOneKeyKeepsEverythingElseAndAFailedWriteTheWholeFile) {
    const std::string original =
        "; station settings\r\n[Options]\r\nSystemDB=c:\\old\\system.mda\r\n\r\n"
        "[path]\r\nfilepath=a:\r\n; the sound folder\r\nSndPath=c:\r\n\r\n[Other]\r\nx=1\r\n";
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
    EXPECT_TRUE(s.GetPrintDOSSetting());

    // A missing key joins its section, in the file's own line ends.
    dir.Write("MW.ini", "[Path]\nFilePath=a:\n\n[Settings]\nNumLock=True\n");
    ASSERT_TRUE(settings().SavePrintDOSSetting(false));
    EXPECT_EQ(dir.Read("MW.ini"),
              "[Path]\nFilePath=a:\n\n[Settings]\nNumLock=True\nPrintDOS=False\n");

    // A refused write is reported and leaves the file as it was.
    const std::string before = dir.Read("MW.ini");
    fs.failWrites = errc::PermissionDenied;
    EXPECT_FALSE(settings().SaveFilePath("b:"));
    EXPECT_EQ(dir.Read("MW.ini"), before);
}

}  // namespace
}  // namespace mw
