// A file written in place is whole or not at all: a write that fails at any
// of its steps leaves the old file once recovered, and the recovery file
// holds nothing of the old bytes afterwards.
#include "core/data/InPlaceFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace mw {
namespace {

constexpr std::size_t kCapacity = 512;

TEST(InPlaceFileTest, AWriteFailingAtAnyStepIsUndoneAndLeavesTheRecoveryFileBlank) {
    struct Case {
        const char* what;
        std::optional<std::string> old;  // none: no file yet
        std::string next;
    };
    const Case cases[] = {
        {"a changed middle", "Ann Smith 123-45-6789 answers", "Name deleted          answers"},
        {"an appended record", "first record", "first record, second record"},
        {"a shorter file", "a long journal with Kim Tran in it", "a short one"},
        {"a new file", std::nullopt, "the first journal"},
    };
    // The steps of a write: the recovery entry, the file, its length when it
    // shrinks, the blanking.
    for (const Case& c : cases) {
        const int steps = c.old && c.next.size() < c.old->size() ? 4 : 3;
        for (int failingStep = 0; failingStep <= steps; ++failingStep) {
            SCOPED_TRACE(std::string(c.what) + ", failing step " + std::to_string(failingStep));
            mwtest::TempDir dir;
            if (c.old) dir.Write("file", *c.old);
            mwtest::FaultyFileSystem fs;
            InPlaceFile file(fs, dir.File("file"), dir.File("file.rcv"), kCapacity, {});
            fs.failWrites = errc::DiskFull;
            fs.writesBeforeFailure = failingStep;
            const Status written = file.Write(c.old, c.next);
            fs.failWrites.reset();

            const bool whole = failingStep == steps;
            EXPECT_EQ(written.ok(), whole);
            if (c.old) {
                EXPECT_EQ(file.ReadRecovered(kCapacity).value(), whole ? c.next : *c.old);
            }
            ASSERT_TRUE(file.Recover());
            EXPECT_EQ(dir.Exists("file"), whole || c.old.has_value());
            if (dir.Exists("file")) {
                EXPECT_EQ(dir.Read("file"), whole ? c.next : *c.old);
            }
            if (dir.Exists("file.rcv")) {
                EXPECT_EQ(dir.Read("file.rcv"), std::string(kCapacity, '\0'));
            }
        }
    }
}

// The recovery file a save cut short leaves, as it left it: the file written
// (`next`), its entry not yet blanked.
std::string EntryOfACutShortSave(const std::string& file, std::optional<std::string> old,
                                 const std::string& next) {
    mwtest::TempDir dir;
    if (old) dir.Write(file, *old);
    mwtest::FaultyFileSystem fs;
    InPlaceFile written(fs, dir.File(file), dir.File("rcv"), kCapacity, {});
    fs.failWrites = errc::DiskFull;
    fs.writesBeforeFailure = old && next.size() < old->size() ? 3 : 2;  // the blanking fails
    EXPECT_FALSE(written.Write(old, next));
    EXPECT_EQ(dir.Read(file), next);
    return dir.Read("rcv");
}

// An entry undoes only the file it was written for, as the write found it,
// left it or left it part way; anything else at its side (a record file
// restored or copied in, another disk's, the journal's entry beside the
// record file, an entry of another version) keeps its bytes, and the entry
// is kept aside whole under a new name, the user told of both files.
TEST(InPlaceFileTest, AnEntryIsAppliedOnlyToTheFileItWasWrittenFor) {
    const std::string old = "Ann Smith 123-45-6789 answers 1122";
    const std::string next = "Name deleted          answers 1122";
    const std::string entry = EntryOfACutShortSave("file", old, next);
    std::string partWay = next;
    partWay.replace(5, 8, old.substr(5, 8));
    std::string olderVersion = entry;
    olderVersion[7] = '1';
    struct Case {
        const char* what;
        std::optional<std::string> file;  // none: no file
        std::string entry;
        std::optional<std::string> recovered;  // none: kept aside, the file untouched
    };
    const Case cases[] = {
        {"the file as the save left it", next, entry, old},
        {"the file as the save found it", old, entry, old},
        {"the file as a power cut left it part way", partWay, entry, old},
        {"another disk's file copied in", "Kim Tran  987-65-4321 answers 2211", entry, {}},
        {"the file restored at another length", old + old, entry, {}},
        {"the file emptied", "", entry, {}},
        {"the file removed", std::nullopt, entry, {}},
        {"the journal's entry, which made its file, beside this one",
         old,
         EntryOfACutShortSave("journal", std::nullopt, "Mirrorwise test journal"),
         {}},
        {"an entry of an earlier version", next, olderVersion, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mwtest::TempDir dir;
        if (c.file) dir.Write("file", *c.file);
        dir.Write("file.rcv", c.entry);
        std::vector<std::string> notes;
        InPlaceFile file(LocalFileSystem(), dir.File("file"), dir.File("file.rcv"), kCapacity,
                         [&](const std::string& note) { notes.push_back(note); });
        const std::optional<std::string> expected = c.recovered ? c.recovered : c.file;
        if (c.file) {
            EXPECT_EQ(file.ReadRecovered(kCapacity).value(), *expected);
        }
        ASSERT_TRUE(file.Recover());
        EXPECT_EQ(dir.Exists("file"), expected.has_value());
        if (expected) {
            EXPECT_EQ(dir.Read("file"), *expected);
        }
        if (c.recovered) {
            EXPECT_EQ(dir.Read("file.rcv"), std::string(kCapacity, '\0'));
            EXPECT_TRUE(notes.empty());
            continue;
        }
        EXPECT_FALSE(dir.Exists("file.rcv"));
        EXPECT_EQ(dir.Read("file.rcv.kept"), c.entry);
        ASSERT_FALSE(notes.empty());
        EXPECT_NE(notes.back().find(dir.File("file.rcv.kept")), std::string::npos) << notes.back();
        EXPECT_NE(notes.back().find(dir.File("file") + " "), std::string::npos) << notes.back();
    }
}

// What else may stand at the recovery file's name is never opened or
// followed: a link or a FIFO is removed (what a link points to stays as it
// is), a file far beyond the recovery file's size is blanked whole unread,
// a folder is named. Each is told, naming the file. A torn entry is only
// blanked, and a change too large for the recovery file is refused unwritten.
TEST(InPlaceFileTest, WhatElseStandsAtTheRecoveryFilesNameIsToldAndSetRight) {
    const std::string bigFile(3 << 20, 'x');
    const std::string torn = [] {
        std::string entry = EntryOfACutShortSave("file", "Ann Smith", "Name deleted");
        entry[entry.find("Ann") + 1] = 'x';
        return entry;
    }();
    struct Case {
        const char* what;
        std::function<void(const mwtest::TempDir&)> place;
        const char* told;  // empty: nothing
        bool removed;
    };
    const Case cases[] = {
        {"a link",
         [](const mwtest::TempDir& d) {
             d.Write("target", "someone's file");
             std::filesystem::create_symlink(d.File("target"), d.File("file.rcv"));
         },
         "was a link or a device", true},
        {"a FIFO", [](const mwtest::TempDir& d) { ::mkfifo(d.File("file.rcv").c_str(), 0600); },
         "was a link or a device", true},
        {"a file of 3 MiB", [&](const mwtest::TempDir& d) { d.Write("file.rcv", bigFile); },
         "was 3145728 bytes", false},
        {"a torn entry", [&](const mwtest::TempDir& d) { d.Write("file.rcv", torn); }, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mwtest::TempDir dir;
        dir.Write("file", "Ann Smith");
        c.place(dir);
        std::vector<std::string> notes;
        InPlaceFile file(LocalFileSystem(), dir.File("file"), dir.File("file.rcv"), kCapacity,
                         [&](const std::string& note) { notes.push_back(note); });
        EXPECT_EQ(file.ReadRecovered(kCapacity).value(), "Ann Smith");
        ASSERT_TRUE(file.Recover());
        EXPECT_EQ(dir.Read("file"), "Ann Smith");
        if (c.removed) {
            EXPECT_FALSE(
                std::filesystem::exists(std::filesystem::symlink_status(dir.File("file.rcv"))));
        } else {
            EXPECT_EQ(dir.Read("file.rcv"), std::string(kCapacity, '\0'));
        }
        if (dir.Exists("target")) {
            EXPECT_EQ(dir.Read("target"), "someone's file");
        }
        if (*c.told == '\0') {
            EXPECT_TRUE(notes.empty());
            continue;
        }
        ASSERT_EQ(notes.size(), 2u);  // once reading, once setting it right
        EXPECT_NE(notes[1].find(dir.File("file.rcv") + " " + c.told), std::string::npos)
            << notes[1];
    }

    mwtest::TempDir dir;
    dir.Write("file", "Ann Smith");
    std::filesystem::create_directory(dir.File("file.rcv"));
    InPlaceFile file(LocalFileSystem(), dir.File("file"), dir.File("file.rcv"), kCapacity, {});
    const Status refused = file.Recover();
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find(dir.File("file.rcv") + " is a folder"),
              std::string::npos);

    std::filesystem::remove(dir.File("file.rcv"));
    const std::string large(kCapacity, 'o');
    dir.Write("file", large);
    EXPECT_EQ(file.Write(large, std::string(kCapacity, 'x')).error().code, errc::FileTooLarge);
    EXPECT_EQ(dir.Read("file"), large);
}

}  // namespace
}  // namespace mw
