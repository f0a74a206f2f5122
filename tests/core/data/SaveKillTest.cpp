// A save killed at any moment (a pulled stick, a power cut) must leave every
// record whole: the old bytes or the new, never half of each, and a batch of
// new clients all there or none. A child process saves records, or adds a
// batch, in a loop and is killed with SIGKILL at a random moment, many times
// over; after each kill the disk is loaded, as the next start does, and the
// record file is checked record by record: none torn, and the recovery entry
// the kill left taken for the record file's own.
// MW_KILL_RUNS sets the number of kills (scripts/save-kill-check runs many more).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "core/data/ClientStore.h"
#include "support/TempDir.h"

namespace mw {
namespace {

constexpr int kClients = 40;  // records cross several 4 KiB boundaries
constexpr int kKept = 15;     // before a batch of new clients

// Every byte of a record of one generation is the same letter, so a torn
// record shows as a record of two letters.
ClientRecord Generation(char letter) {
    return ClientRecord::FromBytes(std::string(kRecordSize, letter));
}

std::string Records(char letter, int count) {
    std::string bytes;
    for (int n = 0; n < count; ++n) bytes += Generation(letter).ToBytes();
    return bytes;
}

char Next(char letter) {
    return letter == 'z' ? 'b' : static_cast<char>(letter + 1);
}

int KillRuns() {
    const char* runs = std::getenv("MW_KILL_RUNS");
    return runs ? std::atoi(runs) : 300;
}

ClientStore LoadedStore(StationState& state, const std::string& disk) {
    state.DataPath = disk;
    ClientStore store(state, LocalFileSystem(), {});
    if (!store.LoadRecords()) _exit(2);
    return store;
}

// A child: save every record again and again, one generation after another.
[[noreturn]] void SaveForever(const std::string& disk) {
    StationState state;
    ClientStore store = LoadedStore(state, disk);
    for (char letter = 'b';; letter = Next(letter)) {
        for (int n = 1; n <= kClients; ++n) {
            state.ClientRecords[n] = Generation(letter);
            if (!store.SaveRecord(n)) _exit(3);
        }
    }
}

// A child: add the clients after the kept ones in one batch, again and
// again; between batches the disk is set back to the kept records, as a
// copy put back would.
[[noreturn]] void AddForever(const std::string& disk) {
    for (char letter = 'b';; letter = Next(letter)) {
        if (!LocalFileSystem().ReplaceFile(disk + "/DATA401.MW", Records('a', kKept))) _exit(2);
        StationState state;
        const std::vector<ClientRecord> batch(kClients - kKept, Generation(letter));
        if (!LoadedStore(state, disk).AddClients(batch)) _exit(3);
    }
}

struct Case {
    const char* what;
    void (*child)(const std::string& disk);
    std::vector<int> counts;  // how many records the file may hold
    int kept;                 // records that stay as they were, 'a'
};

// Empty when every record is whole; otherwise what is wrong.
std::string TornRecords(const std::string& file, const Case& c) {
    const auto count = static_cast<int>(file.size() / kRecordSize);
    if (file.size() % kRecordSize != 0 || std::ranges::find(c.counts, count) == c.counts.end()) {
        return "length " + std::to_string(file.size());
    }
    for (int n = 0; n < count; ++n) {
        const std::string_view record = std::string_view(file).substr(n * kRecordSize, kRecordSize);
        if (record.find_first_not_of(n < c.kept ? 'a' : record.front()) != std::string_view::npos) {
            return "record " + std::to_string(n + 1) + " is torn or changed";
        }
    }
    return {};
}

TEST(SaveKillTest, ASaveKilledAtAnyMomentNeverTearsARecord) {
    const Case cases[] = {
        {"records saved one by one", SaveForever, {kClients}, 0},
        {"new clients added in one batch", AddForever, {kKept, kClients}, kKept},
    };
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> delayUs(0, 20000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mwtest::TempDir disk;
        disk.Write("TID", "M-W\r\n");
        disk.Write("DATA401.MW", Records('a', c.counts.front()));
        for (int run = 0; run < KillRuns(); ++run) {
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) c.child(disk.Path());
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
            ASSERT_EQ(TornRecords(disk.Read("DATA401.MW"), c), "") << "after kill " << run + 1;
            ASSERT_EQ(notes, std::vector<std::string>()) << "after kill " << run + 1;
        }
    }
}

}  // namespace
}  // namespace mw
