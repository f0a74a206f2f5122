// Two programs on one data disk, as real processes: a station and the
// command-line tool, or two stations sharing a stick. Neither may undo,
// overwrite or lose what the other saved or logged, and one that finds the
// disk busy for long says so.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <set>
#include <sstream>

#include "core/data/AuditLog.h"
#include "core/data/ClientStore.h"
#include "core/data/DataDisk.h"
#include "support/TempDir.h"

namespace mw {
namespace {

// Runs `work` in a child process, which exits with its result.
pid_t Spawn(const std::function<int()>& work) {
    const pid_t child = fork();
    if (child == 0) _exit(work());
    return child;
}

int ExitCode(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

StationState OnDisk(const std::string& disk) {
    StationState state;
    state.DataPath = disk;
    return state;
}

// Adds clients named `prefix` 1..count, each on a fresh load (as a station
// does when another program may have added one since), and writes the name
// of every client stored to `reported`.
int AddClients(const std::string& disk, const std::string& prefix, int count, int reported) {
    StationState state = OnDisk(disk);
    ClientStore store(state, LocalFileSystem(), {});
    for (int n = 1; n <= count; ++n) {
        const std::string name = prefix + std::to_string(n);
        for (;;) {
            if (!store.LoadRecords()) return 2;
            state.CurrentRecord = static_cast<std::int16_t>(state.RecordCount + 1);
            state.Current() = ClientRecord();
            state.Current().Name = name;
            const Status added = store.AddClient();
            if (added) break;
            if (added.error().code != errc::DiskChanged) return 3;
        }
        const std::string line = name + "\n";
        if (write(reported, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            return 4;
    }
    return 0;
}

// Loads the disk again and again, as a second station starting or choosing
// the disk does, until told to stop.
int LoadUntilStopped(const std::string& disk) {
    StationState state = OnDisk(disk);
    ClientStore store(state, LocalFileSystem(), {});
    while (access((disk + "/stop").c_str(), F_OK) != 0) {
        if (!store.LoadRecords()) return 2;
        usleep(500);
    }
    return 0;
}

TEST(TwoProgramsTest, AddingAndLoadingAtOnceLoseNoClientAndEveryAddReportedIsOnTheDisk) {
    mwtest::TempDir disk;
    disk.Write("TID", "M-W\r\n");
    disk.Write("DATA401.MW", "");
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t loaders[] = {Spawn([&] { return LoadUntilStopped(disk.Path()); }),
                             Spawn([&] { return LoadUntilStopped(disk.Path()); })};
    const pid_t adders[] = {Spawn([&] { return AddClients(disk.Path(), "A-", 25, pipeEnds[1]); }),
                            Spawn([&] { return AddClients(disk.Path(), "B-", 25, pipeEnds[1]); })};
    close(pipeEnds[1]);
    for (pid_t adder : adders) EXPECT_EQ(ExitCode(adder), 0);
    disk.Write("stop", "");
    for (pid_t loader : loaders) EXPECT_EQ(ExitCode(loader), 0);

    std::string reported;
    char chunk[512];
    for (ssize_t n; (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) reported.append(chunk, n);
    close(pipeEnds[0]);
    std::set<std::string> stored;
    StationState state = OnDisk(disk.Path());
    ASSERT_TRUE(ClientStore(state, LocalFileSystem(), {}).LoadRecordsReadOnly());
    for (int n = 1; n <= state.RecordCount; ++n) {
        stored.insert(std::string(Trim(state.ClientRecords[n].Name.View())));
    }
    std::istringstream lines(reported);
    int count = 0;
    for (std::string name; std::getline(lines, name); ++count) {
        EXPECT_TRUE(stored.count(name)) << name << " was reported stored but is not on the disk";
    }
    EXPECT_EQ(count, 50);
    EXPECT_EQ(state.RecordCount, 50);
}

TEST(TwoProgramsTest, TwoWritersOfTheAuditLogLoseNoLineAndKeepTheChainWhole) {
    mwtest::TempDir disk;
    disk.Write("TID", "M-W\r\n");
    const auto writer = [&](int record) {
        return Spawn([&disk, record] {
            AuditLog log(LocalFileSystem(), disk.Path(), {});
            for (int n = 1; n <= 200; ++n) {
                const DateTime when{{2024, 3, 5}, 9, 30, 0};
                if (!log.Append(when, {AuditEvent::ReportViewed, record, std::to_string(n)})) {
                    return 2;
                }
            }
            return 0;
        });
    };
    const pid_t writers[] = {writer(1), writer(2)};
    for (pid_t child : writers) EXPECT_EQ(ExitCode(child), 0);

    Result<AuditReading> reading = AuditLog(LocalFileSystem(), disk.Path(), {}).Read();
    ASSERT_TRUE(reading) << reading.error().message;
    EXPECT_EQ(reading->firstBroken, 0);
    ASSERT_EQ(reading->lines.size(), 400u);
    std::set<std::string> lines;
    for (const AuditLine& line : reading->lines) lines.insert(line.record + ":" + line.details);
    EXPECT_EQ(lines.size(), 400u);
}

// A program that keeps the disk longer than another will wait is named as
// the reason, with the lock file; the disk is then a disk in use, which the
// station offers to try again.
TEST(TwoProgramsTest, ADiskHeldLongerThanTheWaitIsSaidToBeInUse) {
    mwtest::TempDir disk;
    disk.Write("TID", "M-W\r\n");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = Spawn([&] {
        auto lock = LockDisk(LocalFileSystem(), disk.Path(), LockMode::Exclusive);
        if (!lock || write(ready[1], "x", 1) != 1) return 2;
        while (access(disk.File("stop").c_str(), F_OK) != 0) usleep(10000);
        return 0;
    });
    char x;
    ASSERT_EQ(read(ready[0], &x, 1), 1);
    StationState state = OnDisk(disk.Path());
    const Status load = ClientStore(state, LocalFileSystem(), {}).LoadRecords();
    disk.Write("stop", "");
    EXPECT_EQ(ExitCode(holder), 0);
    ASSERT_FALSE(load);
    EXPECT_EQ(load.error().Fault(), DiskFault::InUse);
    EXPECT_NE(load.error().message.find("in use by another program"), std::string::npos);
    EXPECT_NE(load.error().message.find(disk.File(kDiskLockFileName)), std::string::npos);
    close(ready[0]);
    close(ready[1]);
}

}  // namespace
}  // namespace mw
