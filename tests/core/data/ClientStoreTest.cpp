#include "core/data/ClientStore.h"

#include <gtest/gtest.h>

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

class ClientStoreTest : public ::testing::Test {
protected:
    ClientStoreTest() {
        state.DataPath = disk.Path();
        disk.Write("TID", "M-W\r\n");
    }

    Status Load() { return ClientStore(state, fs).LoadRecords(); }

    mwtest::TempDir disk;
    mwtest::FaultyFileSystem fs;
    StationState state;
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
    EXPECT_EQ(ClientStore(state, fs).LoadRecordsReadOnly().error().code, errc::FileNotFound);
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
    EXPECT_EQ(ClientStore(state, fs).SaveRecord(2).error().Fault(), DiskFault::Missing);
    EXPECT_FALSE(disk.Exists("DATA401.MW"));

    state.DataPath = disk.File("no-such-drive");
    EXPECT_EQ(Load().error().Fault(), DiskFault::Missing);
    EXPECT_FALSE(disk.Exists("no-such-drive"));
    state.DataPath = "";
    EXPECT_EQ(Load().error().Fault(), DiskFault::Missing);
}

TEST_F(ClientStoreTest, LoadsAFileWrittenElsewhereSavesOnlyOneRecordAndAppendsANewClient) {
    const std::string original = RawFile(5);
    disk.Write("DATA401.MW", original);
    disk.Write("DATA401.MW.tmp", RawFile(4));  // left by a save of an older version
    ASSERT_TRUE(Load());
    EXPECT_FALSE(disk.Exists("DATA401.MW.tmp"));
    EXPECT_EQ(state.RecordCount, 5);
    EXPECT_EQ(state.CurrentRecord, 1);
    EXPECT_EQ(state.ClientRecords[2].ToBytes(), RawRecord("Client 2", '2'));
    state.ClientRecords[3].Name = "Changed";
    ASSERT_TRUE(ClientStore(state, fs).SaveRecord(3));
    const std::string after = disk.Read("DATA401.MW");
    EXPECT_EQ(after,
              original.substr(0, 452) + state.ClientRecords[3].ToBytes() + original.substr(678));

    state.CurrentRecord = 6;
    state.Current().Name = "New";
    ASSERT_TRUE(ClientStore(state, fs).AddClient());
    EXPECT_EQ(state.RecordCount, 6);
    EXPECT_EQ(disk.Read("DATA401.MW"), after + state.ClientRecords[6].ToBytes());
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
    ClientStore store(state, fs);

    // Another data disk of the site, labelled alike, put in the drive.
    const std::string theirs = RawFile(4);
    disk.Write("DATA401.MW", theirs);
    EXPECT_EQ(store.SaveRecord(2).error().Fault(), DiskFault::Changed);
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

TEST_F(ClientStoreTest, AppendingAfterAShortLastRecordLeavesNoZeroBytes) {
    disk.Write("DATA401.MW", RawFile(3).substr(0, 567));  // read as 3 records
    ASSERT_TRUE(Load());
    ASSERT_EQ(state.RecordCount, 3);
    EXPECT_EQ(state.ClientRecords[3].ToBytes().substr(115), std::string(111, ' '));
    state.CurrentRecord = 4;
    state.Current().Name = "Fourth";
    ASSERT_TRUE(ClientStore(state, fs).AddClient());

    const std::string after = disk.Read("DATA401.MW");
    ASSERT_EQ(after.size(), 4 * 226u);
    EXPECT_EQ(after.find('\0'), std::string::npos);
    EXPECT_EQ(after.substr(0, 567), RawFile(3).substr(0, 567));
    EXPECT_EQ(after.substr(678), state.ClientRecords[4].ToBytes());
}

}  // namespace
}  // namespace mw
