// The journal of a test in progress on the screen. A client's answers live
// in memory until the last item, so the station keeps them in this small
// file in the program folder after every answer: when the station is closed,
// loses power or crashes, the next start can take the client back to the
// item where the test stopped.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/data/AnswerRanges.h"
#include "core/data/ClientRecord.h"
#include "core/data/Error.h"
#include "core/data/FileSystem.h"
#include "core/data/InPlaceFile.h"
#include "core/data/Paradata.h"

namespace mw {

inline constexpr const char* kTestJournalName = "MWTEST.JNL";
inline constexpr const char* kTestJournalRecoveryName = "MWTEST.RCV";

struct TestJournal {
    // The data disk the client is to be added to, and a fingerprint of its
    // record file when the test began: the test may be finished only on that
    // disk, unchanged, so that the new client lands in the slot it was given.
    std::string DataPath;
    std::uint64_t DiskCheck = 0;
    ClientRecord Client;
    std::string Language;
    // The item to show on resuming, 1 to 160.
    int Item = 1;
    // The position (1-5) of the answer chosen per item, 0 while unanswered; index 0 unused.
    std::array<int, kItemCount + 1> Answers{};
    // How each item was answered so far. A journal written before the
    // station timed its tests has none, and its test resumes untimed so far.
    Paradata Timing{};
    // The clerk's choice of large type for this test, which a resumed test
    // keeps. Older journals do not say, and resume in the usual type.
    bool LargeType = false;

    // The client as the finished test stores it: the record with the answers.
    ClientRecord Finished() const;
    std::string ToText() const;
    // `fileName` names the file in an error. An answer the item has no
    // answer for in `ranges` (the question table changed since) reads as
    // not answered, so that the item is asked again.
    static Result<TestJournal> FromText(std::string_view text, const std::string& fileName,
                                        const AnswerRanges& ranges);
};

// The fingerprint of a record file's bytes (FNV-1a, 64 bits).
std::uint64_t DiskFingerprint(std::string_view recordFile);

// The answer digits stored for answer positions (1-5, 0 unanswered), item 1 at index 1.
std::string AnswerDigits(const std::array<int, kItemCount + 1>& positions);

// True when `recordFile` on `dataPath` already holds the journal's finished
// client, in a slot after exactly the records the test began with: the
// station stopped after storing the client and before removing the journal.
bool FinishedClientStored(const TestJournal& journal, std::string_view dataPath,
                          std::string_view recordFile);

std::string TestJournalPath(const std::string& programDir);
// Written in place (it holds the client's name), whole or not at all.
// `notify` is told of a recovery file that did not belong to the journal.
Status WriteTestJournal(FileSystem& fs, const std::string& programDir, const TestJournal& journal,
                        const Notify& notify);
// Empty when no test was left unfinished. A write cut short is undone first.
Result<std::optional<TestJournal>> ReadTestJournal(FileSystem& fs, const std::string& programDir,
                                                   const AnswerRanges& ranges,
                                                   const Notify& notify);
// Overwritten, then removed with its recovery file. No journal at all is no error.
Status RemoveTestJournal(FileSystem& fs, const std::string& programDir);

}  // namespace mw
