#include "core/data/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ScratchMount.h"
#include "support/TempDir.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

FileSystem& Local() {
    return LocalFileSystem();
}

// Lowers the largest file this process may write, so that a write stops part
// way as it does on a full disk (failing with EFBIG rather than a signal).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lowered{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*handler_)(int) = nullptr;
};

// The failure has `code` and names `path`, never a temporary file written beside it.
void ExpectFailure(const Status& st, int code, const std::string& path) {
    ASSERT_FALSE(st.ok()) << path;
    EXPECT_EQ(st.error().code, code) << st.error().message;
    EXPECT_NE(st.error().message.find(path), std::string::npos) << st.error().message;
    EXPECT_EQ(st.error().message.find(".tmp"), std::string::npos) << st.error().message;
}

// A folder used to abort the program with an exception; the device would be
// read without end and the FIFO would wait for a writer forever.
TEST(ReadFile, AFolderDeviceOrFifoIsRefusedAtOnceWhenReadOrCreated) {
    mwtest::TempDir dir;
    fs::create_directory(dir.File("MWB.TXT"));
    fs::create_symlink("/dev/zero", dir.File("TID"));
    ASSERT_EQ(mkfifo(dir.File("MW.ini").c_str(), 0600), 0);
    for (const char* name : {"MWB.TXT", "TID", "MW.ini"}) {
        for (const Status& st :
             {Local().ReadFile(dir.File(name)).status(), Local().CreateIfMissing(dir.File(name))}) {
            ExpectFailure(st, errc::BadFileName, dir.File(name));
            EXPECT_EQ(st.error().Fault(), DiskFault::Missing);
        }
    }
    EXPECT_TRUE(fs::is_fifo(dir.File("MW.ini")));
    EXPECT_TRUE(fs::is_symlink(dir.File("TID")));
}

TEST(ReadFile, AFileOverTheLimitIsRefusedUnread) {
    mwtest::TempDir dir;
    dir.Write("ten", "0123456789");
    EXPECT_EQ(Local().ReadFile(dir.File("ten"), 10).value(), "0123456789");
    ExpectFailure(Local().ReadFile(dir.File("ten"), 9).status(), errc::FileTooLarge,
                  dir.File("ten"));

    // Sparse, so it costs no space; reading it whole would exhaust memory.
    std::ofstream(dir.File("huge")).close();
    fs::resize_file(dir.File("huge"), kMaxDataFileBytes * 1024);
    EXPECT_EQ(Local().ReadFile(dir.File("huge")).error().code, errc::FileTooLarge);
}

TEST(WriteFile, AFullDiskIsReportedAsFullAndKeepsTheOldFile) {
    mwtest::TempDir dir;
    mwtest::ScratchMount mount(dir.Path(), 8);
    if (!mount.Mounted()) GTEST_SKIP() << "cannot mount a small disk here";
    dir.Write("DATA401.MW", "old");
    Status st = Local().ReplaceFile(dir.File("DATA401.MW"), std::string(64 * 1024, 'x'));
    ExpectFailure(st, errc::DiskFull, dir.File("DATA401.MW") + ":");
    EXPECT_EQ(st.error().Fault(), DiskFault::Full);
    EXPECT_EQ(dir.Snapshot(), (std::map<std::string, std::string>{{"DATA401.MW", "old"}}));
}

TEST(WriteFile, AWriteCutShortLeavesNoPartOfTheFileBehind) {
    mwtest::TempDir dir;
    dir.Write("REPORT.PRN", "old");
    Status written, replaced;
    {
        FileSizeLimit limit(10);
        written = Local().WriteFile(dir.File("checkWriteTest"), std::string(100, 'x'));
        replaced = Local().ReplaceFile(dir.File("REPORT.PRN"), std::string(100, 'x'));
    }
    EXPECT_FALSE(written.ok());
    ASSERT_FALSE(replaced.ok());
    EXPECT_NE(replaced.error().message.find(dir.File("REPORT.PRN") + ":"), std::string::npos);
    EXPECT_EQ(replaced.error().message.find(".tmp"), std::string::npos) << replaced.error().message;
    EXPECT_EQ(dir.Snapshot(), (std::map<std::string, std::string>{{"REPORT.PRN", "old"}}));
}

TEST(ReplaceFile, AReadOnlyFileStaysAsItWasAndErrorsNameTheFileAskedFor) {
    // A rename replaces a file whatever its permissions, and root may write
    // any file: a file without write permission must still be refused.
    mwtest::TempDir dir;
    dir.Write("r.prn", "old");
    fs::permissions(dir.File("r.prn"), fs::perms(0444));
    const auto before = dir.Snapshot();
    Status st = Local().ReplaceFile(dir.File("r.prn"), "new");
    ExpectFailure(st, errc::PermissionDenied, dir.File("r.prn"));
    EXPECT_EQ(st.error().Fault(), DiskFault::WriteProtected);
    EXPECT_EQ(Local().WriteFile(dir.File("r.prn"), "new").error().code, errc::PermissionDenied);
    EXPECT_EQ(dir.Snapshot(), before);

    fs::permissions(dir.File("r.prn"), fs::perms(0644));
    EXPECT_TRUE(Local().ReplaceFile(dir.File("r.prn"), "new").ok());
    EXPECT_EQ(dir.Snapshot(), (std::map<std::string, std::string>{{"r.prn", "new"}}));

    // A folder that is a file or is missing is named as asked for, never the temporary file.
    for (const std::string& path : {dir.File("r.prn/r.prn"), dir.File("missing/r.prn")}) {
        ExpectFailure(Local().ReplaceFile(path, "report"), errc::PathNotFound, path + ":");
    }
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(FileSystem, ClientFilesAreForTheirOwnerOnlyAndAReplaceKeepsAFilesModeAndOwner) {
    mwtest::TempDir dir;
    const mode_t oldMask = umask(022);
    ASSERT_TRUE(Local().CreateIfMissing(dir.File("DATA401.MW")));
    ASSERT_TRUE(Local().WriteAt(dir.File("MWTEST.JNL"), 0, "journal"));
    ASSERT_TRUE(Local().WriteFile(dir.File("temp1"), "report"));
    ASSERT_TRUE(Local().ReplaceFile(dir.File("export.csv"), "rows"));
    ASSERT_TRUE(Local().ReplaceFile(dir.File("MW.ini"), "[Path]", Readers::Everyone));
    for (const char* name : {"DATA401.MW", "MWTEST.JNL", "temp1", "export.csv"}) {
        EXPECT_EQ(ModeOf(dir.File(name)), 0600u) << name;
    }
    EXPECT_EQ(ModeOf(dir.File("MW.ini")), 0644u);

    dir.Write("shared.csv", "old");
    fs::permissions(dir.File("shared.csv"), fs::perms(0640));
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(dir.File("shared.csv").c_str(), 1234, 1234), 0);
    }
    ASSERT_TRUE(Local().ReplaceFile(dir.File("shared.csv"), "new"));
    struct stat st {};
    stat(dir.File("shared.csv").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
    }
    umask(oldMask);
}

// A link planted where a file is to be written or created is never written
// through; a crashed run's leftover at a temporary name is only wiped.
TEST(FileSystem, NoWriteGoesThroughALinkPlantedAtItsName) {
    mwtest::TempDir dir;
    dir.Write("DATA401.MW", "records kept elsewhere");
    auto plant = [&](const char* name) {
        fs::create_symlink(dir.File("DATA401.MW"), dir.File(name));
    };
    plant("REPORT.PRN");
    EXPECT_FALSE(Local().WriteAt(dir.File("REPORT.PRN"), 0, "report"));
    plant("out.pdf.tmp");
    EXPECT_FALSE(Local().ReplaceFile(dir.File("out.pdf"), "pdf"));
    plant("temp1");
    EXPECT_FALSE(Local().WriteFile(dir.File("temp1"), "report"));
    fs::create_hard_link(dir.File("DATA401.MW"), dir.File("temp2"));
    EXPECT_TRUE(Local().WipeFile(dir.File("temp2")));
    EXPECT_FALSE(dir.Exists("temp2"));
    EXPECT_EQ(dir.Read("DATA401.MW"), "records kept elsewhere");

    dir.Write("MW.ini.tmp", "left by a crash");
    EXPECT_TRUE(Local().ReplaceFile(dir.File("MW.ini"), "[Path]"));
    EXPECT_EQ(dir.Read("MW.ini"), "[Path]");
    EXPECT_FALSE(dir.Exists("MW.ini.tmp"));
}

TEST(ParseMountPoints, DecodesEscapedBlanksAndListsRemovableMediaFirst) {
    const std::string mounts =
        "sysfs /sys sysfs rw,nosuid 0 0\n"
        "/dev/sda2 / ext4 rw,relatime 0 0\n"
        "/dev/sdb1 /media/ann/USB\\040DISK vfat rw,nosuid 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sda3 /home ext4 rw 0 0\n"
        "/dev/sdc1 /mnt/tab\\011and\\012line vfat rw 0 0\n"
        "//server/share /srv/back\\134slash\\0 cifs rw 0 0\n"
        "/dev/sdd1 /run/media/bo/KEY exfat rw 0 0";
    EXPECT_EQ(ParseMountPoints(mounts),
              (std::vector<std::string>{"/media/ann/USB DISK", "/mnt/tab\tand\nline",
                                        "/run/media/bo/KEY", "/", "/home", "/srv/back\\slash\\0"}));
}

}  // namespace
}  // namespace mw
