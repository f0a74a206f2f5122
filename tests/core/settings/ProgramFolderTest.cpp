// Where the station and the command-line tool work.
#include "core/settings/ProgramFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace mw {
namespace {

// A station beside its data set in a folder it can write works there; an
// installed one works in the user's own folder, brought up to date from the
// installed data set at each start without losing what the user's station wrote.
TEST(ProgramFolderTest, AnInstalledProgramWorksInTheUsersFolderSeededFromTheInstall) {
    namespace fs = std::filesystem;
    mwtest::TempDir root;
    const std::string bin = root.File("bin");
    const std::string share = root.File("share/mirrorwise");
    const std::string user = root.File("home/mirrorwise");
    fs::create_directories(bin);
    EXPECT_EQ(ChooseProgramFolder(bin, share, root.File("home")).path, bin);
    EXPECT_EQ(ChooseProgramFolder(bin, share, root.File("home")).seedFrom, "");

    fs::create_directories(share);
    for (const char* name : {"mw32.db", "mwscan.db", "MWB.TXT", "MW.ini", "mirrorwise"}) {
        root.Write(std::string("share/mirrorwise/") + name, name);
    }
    // Installed, the data set is the system's: the user's copies are the user's to change.
    fs::permissions(root.File("share/mirrorwise/mwscan.db"), fs::perms::owner_read);
    const ProgramFolder installed = ChooseProgramFolder(bin, share, root.File("home"));
    EXPECT_EQ(installed.path, user);
    ASSERT_TRUE(SeedProgramFolder(LocalFileSystem(), installed));
    EXPECT_EQ(fs::status(user).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_NE(
        fs::status(root.File("home/mirrorwise/mwscan.db")).permissions() & fs::perms::owner_write,
        fs::perms::none);
    EXPECT_EQ(root.Read("home/mirrorwise/MWB.TXT"), "MWB.TXT");
    EXPECT_EQ(root.Read("home/mirrorwise/MW.ini"), "MW.ini");
    EXPECT_FALSE(root.Exists("home/mirrorwise/mirrorwise"));

    // The user's station has written its settings and scanned a batch; the
    // package is upgraded with new scoring data.
    root.Write("home/mirrorwise/MW.ini", "[Path]");
    root.Write("home/mirrorwise/mwscan.db", "batch");
    root.Write("share/mirrorwise/MWB.TXT", "new norms");
    ASSERT_TRUE(SeedProgramFolder(LocalFileSystem(), installed));
    EXPECT_EQ(root.Read("home/mirrorwise/MWB.TXT"), "new norms");
    EXPECT_EQ(root.Read("home/mirrorwise/mwscan.db"), "batch");
    EXPECT_EQ(root.Read("home/mirrorwise/MW.ini"), "[Path]");
}

}  // namespace
}  // namespace mw
