// The journal of a test in progress: what is written reads back the same,
// whatever bytes the client's fields hold, and a damaged, cut short or
// foreign file is refused with its name rather than read as a journal.
#include "core/data/TestJournal.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/TempDir.h"

namespace mw {
namespace {

// The journal's checksum as it writes it, for journals of older versions made here.
std::string Hex16(std::uint64_t value) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(value));
    return hex;
}

TEST(TestJournalTest, AJournalReadsBackAsWrittenAndNoFileIsNoJournal) {
    mwtest::TempDir programDir;
    auto none = ReadTestJournal(LocalFileSystem(), programDir.Path(), {}, {});
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->has_value());

    TestJournal journal;
    journal.DataPath = "/media/DATA DISK";
    journal.DiskCheck = DiskFingerprint("records");
    journal.Client.Name = "Ana\n\xE9\x7F";  // a line end and a Windows-1252 letter
    journal.Client.DateOfBirth = "01/02/1990";
    journal.Language = "Spanish";
    journal.Item = 57;
    for (int item = 1; item < 57; ++item) journal.Answers[item] = item % 2 + 1;
    journal.Timing.items[3] = {.ms = 1250, .early = true, .repeats = 2, .revisited = true};
    journal.LargeType = true;
    ASSERT_TRUE(WriteTestJournal(LocalFileSystem(), programDir.Path(), journal, {}));

    auto read = ReadTestJournal(LocalFileSystem(), programDir.Path(), {}, {});
    ASSERT_TRUE(read) << read.error().message;
    ASSERT_TRUE(read->has_value());
    // Every field is in the text (the timings and the type too), the record byte for byte.
    EXPECT_EQ((*read)->ToText(), journal.ToText());
    // A journal from before the type was kept resumes in the usual type.
    std::string text = journal.ToText();
    text.replace(text.find(" 3\n"), 3, " 2\n");
    text.erase(text.find("LargeType="));
    auto usualType = TestJournal::FromText(text + "End=" + Hex16(Fnv1a(text)) + "\n", "j", {});
    ASSERT_TRUE(usualType) << usualType.error().message;
    EXPECT_FALSE(usualType->LargeType);
    EXPECT_EQ(usualType->Timing, journal.Timing);
    // A journal from before tests were timed (and journals had an end line)
    // resumes without times.
    text.replace(text.find(" 2\n"), 3, " 1\n");
    auto untimed = TestJournal::FromText(text.substr(0, text.find("Paradata=")), "j", {});
    ASSERT_TRUE(untimed) << untimed.error().message;
    EXPECT_EQ(untimed->Timing, Paradata());
    EXPECT_EQ(untimed->Answers, journal.Answers);

    ASSERT_TRUE(RemoveTestJournal(LocalFileSystem(), programDir.Path()));
    EXPECT_FALSE(programDir.Exists(kTestJournalName) ||
                 programDir.Exists(kTestJournalRecoveryName));
    EXPECT_TRUE(RemoveTestJournal(LocalFileSystem(), programDir.Path()));
}

TEST(TestJournalTest, ADamagedOrForeignFileIsRefusedByName) {
    mwtest::TempDir programDir;
    TestJournal journal;
    journal.DataPath = "a:";
    journal.Language = "English";
    const std::string good = journal.ToText();
    const std::string path = TestJournalPath(programDir.Path());
    ASSERT_TRUE(TestJournal::FromText(good, path, {}));
    auto replace = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    for (const std::string& text :
         {std::string("[Path]\r\nFilePath=a:\r\n"), std::string(), good.substr(0, good.size() / 2),
          replace("Item=1", "Item=161"), replace("Item=1", "Item=x"),
          replace("Answers=0", "Answers=9"), replace("Language=", "Tongue="),
          replace("Record=20", "Record=2"), replace("Paradata=-,0", "Paradata=-,2"),
          replace("LargeType=0\n", ""),
          // Cut short after its record, or changed where it still parses.
          good.substr(0, good.find("Paradata=")),
          replace("Language=English", "Language=Spanish")}) {
        programDir.Write(kTestJournalName, text);
        auto read = ReadTestJournal(LocalFileSystem(), programDir.Path(), {}, {});
        ASSERT_FALSE(read) << text;
        EXPECT_EQ(read.error().code, errc::BadData);
        EXPECT_NE(read.error().message.find(path), std::string::npos) << read.error().message;
    }
}

}  // namespace
}  // namespace mw
