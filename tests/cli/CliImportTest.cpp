#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "cli/CliRun.h"
#include "core/data/ClientStore.h"
#include "core/data/FileSystem.h"
#include "core/data/StationState.h"
#include "support/ScratchMount.h"
#include "support/TempDir.h"

namespace mw {
namespace {

using mwtest::CliRun;

const std::string kFormScanner = MW_SOURCE_DIR "/tests/core/data/golden/formscanner/results.csv";

class CliImport : public mwtest::CliFixture {
protected:
    CliRun Import(std::vector<std::string> more, const std::string& file = kFormScanner) const {
        more.insert(more.begin(), {"--file", file});
        return Run("import", more);
    }
    ClientRecord Client(int n) const {
        return ClientRecord::FromBytes(disk.Read("DATA401.MW").substr((n - 1) * kRecordSize));
    }
};

// Without review an item with several marks is stored unanswered and named,
// and what the file lacks is not available. The same file twice stores
// nothing new.
TEST_F(CliImport, StoresEachSheetOnceNamingTheItemsNotRead) {
    disk.Write("DATA401.MW", "");
    CliRun first = Import({});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out,
              "Answer sheets read: 3\nStored on the data disk: 3\n"
              "Stored with marks not read, those items unanswered: 2 (40117-052 (line 2) as "
              "client 1: items 17, 101; 40119-771 (line 4) as client 3: items 150)\n"
              "Skipped, already on the data disk: 0\nNot stored yet: 0\n");
    const ClientRecord stored = Client(1);
    EXPECT_EQ(Trim(stored.Name.View()), "40117-052");
    EXPECT_EQ(
        Trim(stored.Age.View()) + Trim(stored.Gender.View()) + Trim(stored.DateOfBirth.View()),
        "N0N");
    EXPECT_EQ(stored.Answers[16], '0');
    EXPECT_EQ(Trim(Client(2).IDNumber.View()), "40118-310");
    // A line for each client and one for the batch, the last of them noted.
    CliRun audit = Run("audit", {});
    EXPECT_EQ(audit.status, 0) << audit.err;
    for (const char* line : {"1  client added: scanned\n", "3  client added: scanned\n",
                             "-  scan batch imported: sheets read 3, stored 3, skipped 0"}) {
        EXPECT_NE(audit.out.find(line), std::string::npos) << line << "\n" << audit.out;
    }

    CliRun again = Import({"--layout", "formscanner"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out,
              "Answer sheets read: 3\nStored on the data disk: 0\n"
              "Skipped, already on the data disk: 3 (40117-052 (line 2) as client 1; "
              "40118-310 (line 3) as client 2; 40119-771 (line 4) as client 3)\n"
              "Not stored yet: 0\n");
}

// An inmate number keeps its letters in the client's name. A sheet with the
// inmate number of a client whose answers differ is not stored but named:
// only a person can tell a second test from a number misread.
TEST_F(CliImport, AnInmateNumberKeepsItsLettersAndAnotherClientsIsLeftToTheStation) {
    const std::string spreadsheet =
        MW_SOURCE_DIR "/tests/core/data/golden/mirrorwise-spreadsheet/batch.csv";
    disk.Write("DATA401.MW", "");
    CliRun first = Import({}, spreadsheet);
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(Trim(Client(1).Name.View()),
              "Pe\xF1"
              "a-07");
    EXPECT_EQ(Trim(Client(1).IDNumber.View()),
              "Pe\xF1"
              "a-07");

    std::string other = LocalFileSystem().ReadFile(spreadsheet).value();
    const std::size_t firstMark = other.find(";3/5/1997;B;");
    ASSERT_NE(firstMark, std::string::npos);
    other.replace(firstMark, 12, ";3/5/1997;A;");
    program.Write("other.csv", other);
    const std::string bytes = disk.Read("DATA401.MW");
    CliRun again = Import({}, program.File("other.csv"));
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out,
              "Answer sheets read: 2\nStored on the data disk: 0\n"
              "Skipped, already on the data disk: 1 (40125-644 (line 3) as client 2)\n"
              "Not stored, inmate number already on the data disk with other answers: 1 "
              "(Pe\xC3\xB1"
              "a-07 (line 2), client 1)\nNot stored yet: 0\n"
              "Import the sheets with another client's inmate number on the station, which asks "
              "whether each is a new client.\n");
    EXPECT_EQ(disk.Read("DATA401.MW"), bytes);
}

// The office names the columns for this file alone (sctest.ini keeps its
// own choice), the file may come on standard input, and what a spreadsheet
// may have done to the inmate numbers is said before they are stored.
TEST_F(CliImport, TheColumnsNamedForOneFileAndAFileOnStandardInput) {
    const std::string amc = MW_SOURCE_DIR "/tests/core/data/golden/amc/export.csv";
    disk.Write("DATA401.MW", "");
    std::istringstream input(LocalFileSystem().ReadFile(amc).value());
    std::streambuf* const keyboard = std::cin.rdbuf(input.rdbuf());
    CliRun piped = Import({"--name-column", "Name"}, "-");
    std::cin.rdbuf(keyboard);
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(Trim(Client(1).Name.View()) + "/" + Trim(Client(1).IDNumber.View()),
              "Ana Ruiz/40126-500");
    EXPECT_FALSE(program.Exists("sctest.ini"));

    disk.Write("DATA401.MW", "");
    CliRun byExam = Import({"--inmate-column=Exam"}, amc);
    EXPECT_EQ(byExam.status, 0) << byExam.err;
    EXPECT_EQ(Trim(Client(2).Name.View()) + "/" + Trim(Client(2).IDNumber.View()), "2/2");

    std::string zeros = LocalFileSystem().ReadFile(amc).value();
    for (const auto& [from, to] :
         {std::pair{"40126-500", "4512"}, std::pair{"40126-501", "004513"}}) {
        zeros.replace(zeros.find(from), std::string(from).size(), to);
    }
    program.Write("zeros.csv", zeros);
    disk.Write("DATA401.MW", "");
    CliRun cut = Import({}, program.File("zeros.csv"));
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_TRUE(cut.out.starts_with(
        "The inmate numbers are digits of unequal lengths (4512, 004513): a spreadsheet may have "
        "cut off their leading zeros. Check them against the sheets before importing.\n"))
        << cut.out;

    std::istringstream nothing;
    std::cin.rdbuf(nothing.rdbuf());
    CliRun empty = Import({}, "-");
    std::cin.rdbuf(keyboard);
    EXPECT_EQ(empty.err, "mirrorwise-cli: standard input is empty: it holds no sheets\n");
}

// The file's new clients are one save: a disk that fills part way through
// them stores none, names the record file, and still loads as it was.
TEST_F(CliImport, ADiskThatFillsPartWayStoresNoneOfTheSheets) {
    const std::string tid = disk.Read("TID");
    mwtest::ScratchMount mount(disk.Path(), 16);
    if (!mount.Mounted()) GTEST_SKIP() << "cannot mount a small disk here";
    disk.Write("TID", tid);
    // Four blocks: the TID, the records, and room for one more client.
    const std::string records(17 * kRecordSize, ' ');
    disk.Write("DATA401.MW", records);
    CliRun full = Import({});
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find(disk.File("DATA401.MW") + ": "), std::string::npos) << full.err;
    EXPECT_EQ(disk.Read("DATA401.MW"), records);
    StationState state;
    state.DataPath = disk.Path();
    EXPECT_TRUE(ClientStore(state, LocalFileSystem(), {}).LoadRecords());
    EXPECT_EQ(state.RecordCount, 17);
}

TEST_F(CliImport, AFullDiskARefusedFileAndUsageErrorsAreNamed) {
    disk.Write("DATA401.MW", std::string((kMaxClients - 2) * kRecordSize, ' '));
    CliRun full = Import({});
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.out.find("Stored on the data disk: 2\n"), std::string::npos);
    EXPECT_EQ(full.err, "mirrorwise-cli: the data disk is full; not stored: 40119-771 (line 4)\n");

    const std::string bytes = disk.Read("DATA401.MW");
    CliRun refused = Import({"--layout", "sdaps"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "mirrorwise-cli: " + kFormScanner +
                               ":1: the header has no column questionnaire_id for the "
                               "inmate number\n");
    EXPECT_EQ(disk.Read("DATA401.MW"), bytes);
    EXPECT_EQ(Import({"--layout"}).status, 2);
    EXPECT_EQ(Run("import", {}).status, 2);
}

}  // namespace
}  // namespace mw
