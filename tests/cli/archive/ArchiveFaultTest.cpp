// An add cut short, a database that fills up or cannot be written, and two
// adds at once: the archive holds whole disks only, and the next add
// finishes the work.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "cli/archive/ArchiveSupport.h"
#include "support/ScratchMount.h"

namespace mwtest {
namespace {

class ArchiveFaultTest : public ArchiveFixture {
protected:
    // Disks whose entry does not hold as many clients as it says.
    long HalfDisks() const {
        return Count(
            "SELECT COUNT(*) FROM disk WHERE clients <> "
            "(SELECT COUNT(*) FROM client WHERE client.disk_id = disk.disk_id)");
    }

    std::vector<std::string> Disks(int from, int to) {
        std::vector<std::string> paths;
        for (int d = from; d <= to; ++d) paths.push_back(Disk(d));
        return paths;
    }

    // An add in a process of its own, which ends without tearing down this
    // program (and its server).
    pid_t StartAdd(const std::vector<std::string>& paths) const {
        const pid_t child = ::fork();
        if (child == 0) ::_exit(Add(paths).status);
        return child;
    }

    static int Wait(pid_t child) {
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_P(ArchiveFaultTest, AKilledAddLeavesWholeDisksAndTheNextAddFinishes) {
    const std::vector<std::string> paths = Disks(1, 16);
    ASSERT_EQ(Add({paths[0]}).status, 0);
    for (int delayMs : {2, 5, 10, 20, 40, 80}) {
        const pid_t child = StartAdd(paths);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(child, SIGKILL);
        Wait(child);
        EXPECT_EQ(HalfDisks(), 0) << "killed after " << delayMs << " ms";
    }
    const CliRun run = Add(paths);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM disk"), 16);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM client"), 16 * 12);
}

// A disk taken away while the add runs is either added whole or refused.
TEST_P(ArchiveFaultTest, ADiskThatVanishesDuringAnAddIsWholeOrRefused) {
    const std::vector<std::string> paths = Disks(1, 12);
    const pid_t child = StartAdd(paths);
    std::filesystem::remove_all(paths[8]);
    Wait(child);
    EXPECT_EQ(HalfDisks(), 0);
    EXPECT_LE(Count("SELECT COUNT(*) FROM disk"), 12);
    EXPECT_GE(Count("SELECT COUNT(*) FROM disk"), 11);
}

TEST_P(ArchiveFaultTest, TwoAddsOfDifferentDisksAtOnce) {
    // Both make the tables when the archive is new; the loser waits or finds them made.
    const pid_t one = StartAdd(Disks(1, 6));
    const pid_t two = StartAdd(Disks(7, 12));
    EXPECT_EQ(Wait(one), 0);
    EXPECT_EQ(Wait(two), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM client"), 12 * 12);
    EXPECT_EQ(HalfDisks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveFaultTest,
                         testing::Values(Engine::Sqlite, Engine::Postgres), EngineName);

// The SQLite file on a small medium that fills up, then is write-protected:
// each add that cannot be stored is refused whole, with the reason.
TEST(ArchiveFaultSqlite, AFullOrReadOnlyArchiveRefusesWholeDisks) {
    TempDir mount, program, disks;
    ScratchMount medium(mount.Path(), 160);
    if (!medium.Mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here (needs root)";
    CopyDataSet(program.Path());
    const std::string target = mount.File("archive.db");
    auto add = [&](const std::string& disk) {
        return Cli({"archive", "add", "--program-dir", program.Path(), "--archive", target,
                    "--disk", disk});
    };
    auto count = [&](const std::string& sql) {
        auto db = mw::OpenArchiveDb(target);
        return std::stol(mw::QueryAll(**db, sql).value()[0][0].value_or("-1"));
    };
    int added = 0;
    CliRun run;
    for (int d = 1; d <= 60; ++d) {
        const std::string disk = disks.File("d" + std::to_string(d));
        std::filesystem::copy(SharedDisk(d % 16 + 1, 0), disk);
        char identity[40];  // each copy a disk of its own
        std::snprintf(identity, sizeof identity, "%032x", d);
        std::ofstream(disk + "/TID", std::ios::binary) << "M-W\r\nDisk=" << identity << "\r\n";
        run = add(disk);
        if (run.status != 0) break;
        ++added;
    }
    ASSERT_EQ(run.status, 1) << "the medium never filled up";
    EXPECT_NE(run.out.find("full"), std::string::npos) << run.out;
    EXPECT_EQ(count("SELECT COUNT(*) FROM disk"), added);
    EXPECT_EQ(count("SELECT COUNT(*) FROM client"), added * 12);

    ASSERT_TRUE(medium.MakeReadOnly());
    run = add(SharedDisk(1, 0.5));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("refused"), std::string::npos) << run.out;
    EXPECT_EQ(count("SELECT COUNT(*) FROM client"), added * 12);
}

}  // namespace
}  // namespace mwtest
