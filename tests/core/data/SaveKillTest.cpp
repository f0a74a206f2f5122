// A save killed at any moment (a pulled stick, a power cut) must leave every
// record whole: the old bytes or the new, never half of each. A child process
// saves records in a loop and is killed with SIGKILL at a random moment, many
// times over; after each kill the disk is loaded, as the next start does, and
// the record file is checked record by record: none torn, and the recovery
// entry the kill left taken for the record file's own.
// MW_KILL_RUNS sets the number of kills (scripts/save-kill-check runs many more).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "core/data/ClientStore.h"
#include "support/TempDir.h"

namespace mw {
namespace {

constexpr int kClients = 40;  // records cross several 4 KiB boundaries

// Every byte of a record of one generation is the same letter, so a torn
// record shows as a record of two letters.
ClientRecord Generation(char letter) {
    return ClientRecord::FromBytes(std::string(kRecordSize, letter));
}

int KillRuns() {
    const char* runs = std::getenv("MW_KILL_RUNS");
    return runs ? std::atoi(runs) : 300;
}

// The child: save every record again and again, one generation after another.
[[noreturn]] void SaveForever(const std::string& disk) {
    StationState state;
    state.DataPath = disk;
    ClientStore store(state, LocalFileSystem(), {});
    if (!store.LoadRecords()) _exit(2);
    for (char letter = 'a';; letter = letter == 'z' ? 'a' : letter + 1) {
        for (int n = 1; n <= kClients; ++n) {
            state.ClientRecords[n] = Generation(letter);
            if (!store.SaveRecord(n)) _exit(3);
        }
    }
}

// Empty when every record is whole; otherwise what is wrong.
std::string TornRecords(const std::string& file) {
    if (file.size() != kClients * kRecordSize) return "length " + std::to_string(file.size());
    for (int n = 0; n < kClients; ++n) {
        const std::string_view record = std::string_view(file).substr(n * kRecordSize, kRecordSize);
        if (record.find_first_not_of(record.front()) != std::string_view::npos) {
            return "record " + std::to_string(n + 1) + " is torn";
        }
    }
    return {};
}

TEST(SaveKillTest, ASaveKilledAtAnyMomentNeverTearsARecord) {
    mwtest::TempDir disk;
    disk.Write("TID", "M-W\r\n");
    std::string start;
    for (int n = 0; n < kClients; ++n) start += Generation('a').ToBytes();
    disk.Write("DATA401.MW", start);

    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    for (int run = 0; run < KillRuns(); ++run) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) SaveForever(disk.Path());
        usleep(static_cast<useconds_t>(delayUs(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status))
            << "the saving child stopped by itself, status " << WEXITSTATUS(status);
        StationState state;
        state.DataPath = disk.Path();
        // The entry a kill leaves is always taken for its own file's.
        std::vector<std::string> notes;
        auto note = [&](const std::string& n) { notes.push_back(n); };
        ASSERT_TRUE(ClientStore(state, LocalFileSystem(), note).LoadRecords());
        ASSERT_EQ(TornRecords(disk.Read("DATA401.MW")), "") << "after kill " << run + 1;
        ASSERT_EQ(notes, std::vector<std::string>()) << "after kill " << run + 1;
    }
}

}  // namespace
}  // namespace mw
