#include "core/data/ClientStore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/data/TestJournal.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace mw {
namespace {

// A record file written byte by byte, as another installation would write it.
std::string RawRecord(const std::string& name, char fill) {
    std::string r = name + std::string(25 - name.size(), ' ');
    r += std::string(226 - 25, fill);
    return r;
}

std::string RawFile(int count) {
    std::string bytes;
    for (int n = 1; n <= count; ++n)
        bytes += RawRecord("Client " + std::to_string(n), '0' + n % 10);
    return bytes;
}

std::vector<ClientRecord> NewClients(int count) {
    std::vector<ClientRecord> clients;
    for (int n = 1; n <= count; ++n)
        clients.push_back(ClientRecord::FromBytes(RawRecord("New", 'a' + n % 26)));
    return clients;
}

class ClientStoreTest : public ::testing::Test {
protected:
    ClientStoreTest() {
        state.DataPath = disk.Path();
        disk.Write("TID", "M-W\r\n");
    }

    ClientStore Store() {
        return ClientStore(state, fs, [this](const std::string& note) { notes.push_back(note); });
    }
    Status Load() { return Store().LoadRecords(); }

    mwtest::TempDir disk;
    mwtest::FaultyFileSystem fs;
    StationState state;
    std::vector<std::string> notes;
};

TEST(RecordCount, RoundsToNearestWithHalvesToEven) {
    // 113 is half of one record (rounds to even 0), 791 three and a half (to even 4).
    const std::pair<int, int> lengthAndCount[] = {{0, 0},   {112, 0}, {113, 0}, {114, 1},
                                                  {452, 2}, {565, 2}, {567, 3}, {791, 4}};
    for (const auto& [length, count] : lengthAndCount)
        EXPECT_EQ(RecordCountForLength(length), count) << length;
}

TEST_F(ClientStoreTest, AMissingRecordFileGivesNoClientsAndAMissingFolderAMissingDisk) {
    // The read-only load (the command-line tool's) never creates the file.
    EXPECT_EQ(Store().LoadRecordsReadOnly().error().code, errc::FileNotFound);
    EXPECT_FALSE(disk.Exists("DATA401.MW"));
    state.RecordCount = 7;
    state.CurrentRecord = 3;
    ASSERT_TRUE(Load());
    EXPECT_EQ(state.RecordCount, 0);
    EXPECT_EQ(state.CurrentRecord, 0);
    EXPECT_TRUE(disk.Exists("DATA401.MW"));  // created empty
    EXPECT_EQ(disk.Read("DATA401.MW"), "");

    // A record file that vanishes once loaded, or no folder at all, is a missing disk.
    disk.Write("DATA401.MW", RawFile(2));
    ASSERT_TRUE(Load());
    std::filesystem::remove(disk.File("DATA401.MW"));
    // Saving would otherwise leave a file with holes.
    EXPECT_EQ(Store().SaveRecord(2).error().Fault(), DiskFault::Missing);
    EXPECT_FALSE(disk.Exists("DATA401.MW"));

    state.DataPath = disk.File("no-such-drive");
    EXPECT_EQ(Load().error().Fault(), DiskFault::Missing);
    EXPECT_FALSE(disk.Exists("no-such-drive"));
    state.DataPath = "";
    EXPECT_EQ(Load().error().Fault(), DiskFault::Missing);
}

// The last record of a file written elsewhere may be short: it reads as a
// record, and a new client goes after it filled with blanks, never zero bytes.
TEST_F(ClientStoreTest, LoadsAFileWrittenElsewhereSavesOnlyOneRecordAndAppendsANewClient) {
    const std::string original = RawFile(5).substr(0, 4 * 226 + 115);
    disk.Write("DATA401.MW", original);
    disk.Write("DATA401.MW.tmp", RawFile(4));  // left by a save of an older version
    ASSERT_TRUE(Load());
    EXPECT_FALSE(disk.Exists("DATA401.MW.tmp"));
    EXPECT_EQ(state.RecordCount, 5);
    EXPECT_EQ(state.CurrentRecord, 1);
    EXPECT_EQ(state.ClientRecords[2].ToBytes(), RawRecord("Client 2", '2'));
    state.ClientRecords[3].Name = "Changed";
    ASSERT_TRUE(Store().SaveRecord(3));
    const std::string after = disk.Read("DATA401.MW");
    EXPECT_EQ(after,
              original.substr(0, 452) + state.ClientRecords[3].ToBytes() + original.substr(678));

    state.CurrentRecord = 6;
    state.Current().Name = "New";
    ASSERT_TRUE(Store().AddClient());
    EXPECT_EQ(state.RecordCount, 6);
    EXPECT_EQ(disk.Read("DATA401.MW"),
              after + std::string(111, ' ') + state.ClientRecords[6].ToBytes());
    ASSERT_TRUE(Load());
    EXPECT_EQ(state.ClientRecords[6].Name.View(), "New" + std::string(22, ' '));
}

TEST_F(ClientStoreTest, ADiskWithMoreClientsThanSupportedIsRefusedWhole) {
    disk.Write("DATA401.MW", RawFile(2));
    ASSERT_TRUE(Load());
    const std::string tooMany = RawFile(52);
    disk.Write("DATA401.MW", tooMany);

    Status st = Load();
    ASSERT_FALSE(st);
    EXPECT_EQ(st.error().code, errc::SubscriptOutOfRange);
    EXPECT_NE(st.error().message.find("at most 51"), std::string::npos);
    EXPECT_EQ(state.RecordCount, 2);  // the previous disk's records stay
    EXPECT_EQ(state.ClientRecords[1].Name.View(), "Client 1" + std::string(17, ' '));
    EXPECT_EQ(disk.Read("DATA401.MW"), tooMany);
}

TEST_F(ClientStoreTest, ASwappedDiskIsNeverWrittenAndTheSaveSucceedsOnceTheRightDiskIsBack) {
    const std::string ours = RawFile(3);
    disk.Write("DATA401.MW", ours);
    ASSERT_TRUE(Load());
    state.ClientRecords[2].Name = "Keyed on the screen";
    ClientStore store = Store();

    // Another data disk of the site, labelled alike, put in the drive.
    const std::string theirs = RawFile(4);
    disk.Write("DATA401.MW", theirs);
    EXPECT_EQ(store.SaveRecord(2).error().Fault(), DiskFault::Changed);
    EXPECT_EQ(store.AddClients(NewClients(2)).error().Fault(), DiskFault::Changed);
    EXPECT_EQ(state.RecordCount, 3);
    EXPECT_EQ(disk.Read("DATA401.MW"), theirs);
    // The same records on a stick that is no longer a data disk.
    disk.Write("DATA401.MW", ours);
    disk.Write("TID", "MW\r\n");
    EXPECT_EQ(store.SaveRecord(2).error().Fault(), DiskFault::Changed);
    EXPECT_EQ(disk.Read("DATA401.MW"), ours);

    disk.Write("TID", "M-W\r\n");
    ASSERT_TRUE(store.SaveRecord(2));
    EXPECT_EQ(disk.Read("DATA401.MW").substr(226, 226), state.ClientRecords[2].ToBytes());
    // What was written is what the next save expects to find.
    state.ClientRecords[3].Name = "Second save";
    EXPECT_TRUE(store.SaveRecord(3));
}

// New clients added together are one save: a full disk's worth on an empty
// disk fits its recovery entry, and a batch that does not fit or fails part
// way stores none of them, in the file or in memory.
TEST_F(ClientStoreTest, ABatchOfNewClientsIsStoredWholeOrNotAtAll) {
    disk.Write("DATA401.MW", RawFile(1));
    ASSERT_TRUE(Load());
    const Status tooMany = Store().AddClients(NewClients(kMaxClients));
    EXPECT_EQ(tooMany.error().code, errc::SubscriptOutOfRange);
    EXPECT_NE(tooMany.error().message.find("room for 50 more clients, not 51"), std::string::npos);

    fs.failWrites = errc::DeviceIo;
    fs.writesBeforeFailure = 1;  // the recovery entry goes, the records do not
    const Status failed = Store().AddClients(NewClients(3));
    EXPECT_EQ(failed.error().code, errc::DeviceIo);
    EXPECT_NE(failed.error().message.find(disk.File("DATA401.MW")), std::string::npos);
    fs.failWrites.reset();
    EXPECT_EQ(state.RecordCount, 1);
    EXPECT_EQ(state.ClientRecords[2].ToBytes(), ClientRecord().ToBytes());
    ASSERT_TRUE(Load());
    EXPECT_EQ(disk.Read("DATA401.MW"), RawFile(1));
    EXPECT_EQ(notes, std::vector<std::string>());

    disk.Write("DATA401.MW", "");
    ASSERT_TRUE(Load());
    const std::vector<ClientRecord> full = NewClients(kMaxClients);
    ASSERT_TRUE(Store().AddClients(full));
    EXPECT_EQ(state.RecordCount, kMaxClients);
    std::string written;
    for (const ClientRecord& client : full) written += client.ToBytes();
    EXPECT_EQ(disk.Read("DATA401.MW"), written);
    EXPECT_EQ(disk.Read("DATA401.RCV").find_first_not_of('\0'), std::string::npos);
    EXPECT_EQ(Store().AddClient().error().code, errc::SubscriptOutOfRange);
    ASSERT_TRUE(Load());
    EXPECT_EQ(state.ClientRecords[kMaxClients].ToBytes(), full.back().ToBytes());
}

// A save cut short leaves its recovery entry beside the record file; such an
// entry beside another record file (another disk's file copied in, the file
// since restored from a backup, the journal's entry) never touches it: the
// clients stay, the entry is kept aside and the user is told of both files.
TEST_F(ClientStoreTest, ARecoveryEntryNeverTouchesAnotherRecordFile) {
    const auto cutShortSave = [&](const std::string& records, bool batch = false) {
        mwtest::TempDir other;
        other.Write("TID", "M-W\r\n");
        other.Write("DATA401.MW", records);
        StationState elsewhere;
        elsewhere.DataPath = other.Path();
        mwtest::FaultyFileSystem failing;
        ClientStore store(elsewhere, failing, {});
        EXPECT_TRUE(store.LoadRecords());
        elsewhere.ClientRecords[2].Name = "Name deleted";
        failing.failWrites = errc::DeviceIo;
        failing.writesBeforeFailure = 2;  // the entry and the records; not the blanking
        EXPECT_FALSE(batch ? store.AddClients(NewClients(5)) : store.SaveRecord(2));
        return other.Read("DATA401.RCV");
    };
    const std::string journalEntry = [] {
        mwtest::TempDir program;
        mwtest::FaultyFileSystem failing;
        failing.failWrites = errc::DeviceIo;
        failing.writesBeforeFailure = 2;
        EXPECT_FALSE(WriteTestJournal(failing, program.Path(), TestJournal(), {}));
        return program.Read(kTestJournalRecoveryName);
    }();
    struct Case {
        const char* what;
        std::string entry;
    };
    const Case cases[] = {
        {"another disk's entry", cutShortSave(RawFile(3))},
        {"another disk's batch of new clients", cutShortSave(RawFile(3), true)},
        {"an entry for this file before a backup was restored", cutShortSave(RawFile(7))},
        {"the journal's entry", journalEntry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        notes.clear();
        std::filesystem::remove(disk.File("DATA401.RCV.kept"));
        disk.Write("DATA401.MW", RawFile(8));
        disk.Write("DATA401.RCV", c.entry);
        ASSERT_TRUE(Load());
        EXPECT_EQ(state.RecordCount, 8);
        EXPECT_EQ(disk.Read("DATA401.MW"), RawFile(8));
        EXPECT_EQ(disk.Read("DATA401.RCV.kept"), c.entry);
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_NE(notes[0].find(disk.File("DATA401.RCV")), std::string::npos);
        EXPECT_NE(notes[0].find(disk.File("DATA401.MW")), std::string::npos);
        // Later saves go on as usual.
        state.ClientRecords[8].Name = "Saved after";
        ASSERT_TRUE(Store().SaveRecord(8));
        EXPECT_EQ(notes.size(), 1u);
    }
}

}  // namespace
}  // namespace mw
