// A file written in place is whole or not at all: a write that fails at any
// of its steps leaves the old file once recovered, and the recovery file
// holds nothing of the old bytes afterwards.
#include "core/data/InPlaceFile.h"

#include <gtest/gtest.h>

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
            InPlaceFile file(fs, dir.File("file"), dir.File("file.rcv"), kCapacity);
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

TEST(InPlaceFileTest, ATornOrImpossibleEntryIsOnlyBlankedAndAChangeTooLargeIsRefusedUnwritten) {
    mwtest::TempDir dir;
    dir.Write("file", "Ann Smith");
    mwtest::FaultyFileSystem fs;
    InPlaceFile file(fs, dir.File("file"), dir.File("file.rcv"), kCapacity);
    fs.failWrites = errc::DiskFull;
    fs.writesBeforeFailure = 1;  // the entry is written, the file is not
    ASSERT_FALSE(file.Write("Ann Smith", "Name deleted"));
    fs.failWrites.reset();
    // A power cut while the entry was written: one of its bytes never arrived.
    std::string entry = dir.Read("file.rcv");
    entry[entry.find("Ann") + 1] = 'x';
    dir.Write("file.rcv", entry);
    ASSERT_TRUE(file.Recover());
    EXPECT_EQ(dir.Read("file"), "Ann Smith");
    EXPECT_EQ(dir.Read("file.rcv"), std::string(kCapacity, '\0'));

    // Whole entries (their hash put right) that no write could have left: an
    // offset or a length far beyond any file, or bytes beyond the length.
    constexpr std::size_t kOffsetAt = 9, kLengthAt = 17, kBytesAt = 33;
    for (const auto& [at, value] :
         {std::pair{kOffsetAt, std::uint64_t{1} << 60},
          std::pair{kLengthAt, std::uint64_t{1} << 60}, std::pair{kLengthAt, std::uint64_t{2}}}) {
        std::string forged = entry;
        forged[kBytesAt + 1] = 'n';
        for (std::size_t i = 0; i < 8; ++i) forged[at + i] = static_cast<char>(value >> (8 * i));
        const std::size_t end = kBytesAt + std::string_view("Ann Smith").size();
        const std::uint64_t hash = Fnv1a(std::string_view(forged).substr(0, end));
        for (std::size_t i = 0; i < 8; ++i) forged[end + i] = static_cast<char>(hash >> (8 * i));
        dir.Write("file.rcv", forged);
        EXPECT_EQ(file.ReadRecovered(kCapacity).value(), "Ann Smith");
        ASSERT_TRUE(file.Recover());
        EXPECT_EQ(dir.Read("file"), "Ann Smith");
    }

    // The bytes it would overwrite do not fit in the recovery file.
    const std::string large(kCapacity, 'o');
    dir.Write("file", large);
    EXPECT_EQ(file.Write(large, std::string(kCapacity, 'x')).error().code, errc::FileTooLarge);
    EXPECT_EQ(dir.Read("file"), large);
}

}  // namespace
}  // namespace mw
