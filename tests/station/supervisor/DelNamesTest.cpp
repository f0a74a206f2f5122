// Deleted names leave no trace on the medium itself. On a real file system,
// in an image file mounted through a loop device, clients are stored and
// edited, a test on the screen keeps its journal, reports are printed and one
// stays on the screen, answer sheets wait in the scan table; after Delete
// Names every byte of the image is searched for each old name and ID, inmate
// number and the data of a sheet since taken out of the scan table.
// Mounting needs root; elsewhere the test is skipped.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/data/ClientTable.h"
#include "core/data/SampleClient.h"
#include "core/data/TestJournal.h"
#include "station/report/ReportFixture.h"
#include "station/report/ReportOutput.h"
#include "station/supervisor/DelNames.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A fresh file system of `type` in an image file, mounted by the kernel
// through a loop device. A user-space driver cannot stand in: mtools writes
// no file in place, so a search would measure mtools, not the station.
class MountedImage {
public:
    explicit MountedImage(const std::string& type) {
        dir_.Write("disk.img", "");
        fs::resize_file(dir_.File("disk.img"), 16 << 20);
        fs::create_directory(Path());
        if (!Run("mkfs." + type + " " + dir_.File("disk.img"))) {
            whyNot_ = "mkfs." + type + " is not installed";
        } else if (!Run("mount -o loop " + dir_.File("disk.img") + " " + Path())) {
            whyNot_ = "the image cannot be mounted here: that needs root and the kernel's " + type +
                      " driver";
        }
    }
    ~MountedImage() { Unmount(); }

    // Empty while mounted.
    const std::string& WhyNot() const { return whyNot_; }
    std::string Path() const { return dir_.File("mnt"); }
    bool Unmount() {
        if (whyNot_.empty() && ::umount(Path().c_str()) == 0) whyNot_ = "unmounted";
        return !whyNot_.empty();
    }
    std::string Bytes() const { return dir_.Read("disk.img"); }

private:
    mwtest::TempDir dir_;
    std::string whyNot_;
};

class DelNamesTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DelNamesTest, NoOldNameOrIdIsLeftAnywhereOnTheMedium) {
    MountedImage image(GetParam());
    if (!image.WhyNot().empty()) GTEST_SKIP() << image.WhyNot();
    const std::string program = image.Path() + "/program";
    const std::string disk = image.Path() + "/disk";
    for (const std::string& folder : {program, disk}) fs::create_directory(folder);
    mwtest::CopyDataSet(program, true);
    std::ofstream(disk + "/TID") << "M-W\r\n";

    StationState state;
    mwtest::FixedClock clock;
    mwtest::ScriptedPlatform platform;
    mwtest::FakePrinter printer;
    StationContext ctx{state,    LocalFileSystem(), clock,
                       platform, program,           std::chrono::milliseconds(0)};
    ctx.printer = &printer;
    state.DataPath = disk;
    {
        Status st = ctx.Store().LoadRecords();
        ASSERT_TRUE(st) << st.error().message;
    }
    const std::vector<std::pair<std::string, std::string>> clients = {
        {"Maria Lopez", "412-77-0981"}, {"Kim Tran", "998-12-3456"}, {"Sam Carter", "123-45-6789"}};
    for (const auto& [name, id] : clients) {
        state.CurrentRecord = static_cast<std::int16_t>(state.RecordCount + 1);
        state.Current() = NonDeviantClient("03/05/2024");
        state.Current().Name = name;
        state.Current().IDNumber = id;
        ASSERT_TRUE(ctx.Store().AddClient());
    }
    state.ClientRecords[1].Name = "Maria Lopez-Diaz";  // the old spelling must go too
    ASSERT_TRUE(ctx.Store().SaveRecord(1));
    TestJournal journal;
    journal.DataPath = disk;
    journal.Client = NonDeviantClient("03/05/2024");
    journal.Client.Name = "Ruth Ortega";
    journal.Client.IDNumber = "777-66-5555";
    for (journal.Item = 1; journal.Item <= 3; ++journal.Item) {
        ASSERT_TRUE(WriteTestJournal(ctx.fs, program, journal, {}));
    }
    ASSERT_TRUE(RemoveTestJournal(ctx.fs, program));  // as once her test is stored
    ASSERT_EQ(PrintReports(ctx, nullptr, {1, 2, 3}, false), 3);
    state.CurrentRecord = 2;
    ASSERT_TRUE(MakeReport(ctx, false));  // as if still on the screen
    // A save's entry kept aside, from another copy of the record file.
    std::ofstream(disk + "/DATA401.RCV.kept2") << "MWUNDO02 Olga Petrova";
    // What a report tool killed while writing REPORT.PRN left beside it.
    std::ofstream(program + "/REPORT.PRN.tmp") << "NAME: Tilda Quayle\r\n";
    // Answer sheets in the scan table: one stored meanwhile, its row deleted,
    // one still waiting.
    fs::copy_file(MW_PROGRAM_DIR "/mwscan.db", program + "/mwscan.db");
    ClientRecord storedSheet;
    storedSheet.IDNumber = "QX-40117";
    storedSheet.DateOfBirth = "11/23/1961";
    for (int i = 0; i < 160; ++i) storedSheet.Answers[i] = static_cast<char>('1' + i * 7 % 5);
    ClientRecord waitingSheet = storedSheet;
    waitingSheet.IDNumber = "QX-40118";
    waitingSheet.DateOfBirth = "N";
    waitingSheet.Answers = std::string(160, '2');
    {
        Result<ClientTable> table = ClientTable::Open(program);
        ASSERT_TRUE(table);
        ASSERT_TRUE(table->Insert({storedSheet, waitingSheet}));
        ASSERT_TRUE(table->Delete(storedSheet));
    }
    ::sync();
    for (const char* there : {"Maria Lopez-Diaz", "Tilda Quayle", "QX-40118", "Olga Petrova"}) {
        EXPECT_NE(image.Bytes().find(there), std::string::npos) << "the search is blind: " << there;
    }

    mwtest::ModalDriver driver;
    mwtest::AnswerInputBox(driver, QStringLiteral("J"));
    platform.Next({MsgAnswer::Yes, MsgAnswer::Ok});
    DeleteNames(ctx, nullptr);
    ASSERT_TRUE(image.Unmount());
    const std::string bytes = image.Bytes();
    const std::string storedAnswers(storedSheet.Answers.View());
    for (const std::string& old : std::vector<std::string>{
             "Maria Lopez", "412-77-0981", "Kim Tran", "998-12-3456", "Sam Carter", "123-45-6789",
             "Ruth Ortega", "777-66-5555", "Tilda Quayle", "Olga Petrova", "QX-40117", "QX-40118",
             "11/23/1961", storedAnswers}) {
        EXPECT_EQ(bytes.find(old), std::string::npos) << old;
    }
    EXPECT_NE(bytes.find("Name deleted"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(FileSystems, DelNamesTest, ::testing::Values("ext4", "vfat"));

}  // namespace
}  // namespace mw
