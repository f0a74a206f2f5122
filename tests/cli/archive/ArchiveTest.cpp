// The archive of returned disks on both engines: what a disk must pass to be
// added, what of it is stored, what is never stored, and what norms and
// statistics come out of it.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "cli/ExportTable.h"
#include "cli/archive/ArchiveSupport.h"
#include "core/data/ClientStore.h"
#include "core/data/Cp1252.h"
#include "core/data/Paradata.h"
#include "core/data/SiteKey.h"
#include "core/report/ScoreAndPrint.h"
#include "core/scoring/ScoreSheet.h"

namespace mwtest {
namespace {

using mw::ClientRecord;

class ArchiveTest : public ArchiveFixture {};

TEST_P(ArchiveTest, AddsEachDiskOnceAndAChangedDiskAsItsNewVersion) {
    const std::string first = Disk(1), second = Disk(2, 0.25);
    const int taken = Deleted(first) + Deleted(second);
    CliRun run = Add({first, second});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("2 disks: 2 added (0 of them new versions), 0 already in the archive, "
                           "0 refused; " +
                           std::to_string(taken) + " clients added, " + std::to_string(24 - taken) +
                           " skipped"),
              std::string::npos)
        << run.out;

    run = Add({second});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("already in the archive, nothing added"), std::string::npos) << run.out;
    EXPECT_EQ(Count("SELECT COUNT(*) FROM client"), taken);

    // A client's answer keyed again after the disk was added.
    std::string bytes = ReadAll(mw::JoinPath(first, mw::kRecordFileName));
    bytes[64] = bytes[64] == '1' ? '2' : '1';
    std::ofstream(mw::JoinPath(first, mw::kRecordFileName), std::ios::binary) << bytes;
    run = Add({first});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("changed since it was added: version 2 added"), std::string::npos)
        << run.out;
    EXPECT_NE(Run("list", {}).out.find("version 1 (replaced)"), std::string::npos);

    // The export, the norms and the statistics see each disk's latest version only.
    run = Run("export", {});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), taken + 1);
    EXPECT_EQ(run.out.rfind("disk,route,test_number,", 0), 0u);
    // The timings travel with the clients: each test on the screen has its effort index.
    long timed = 0;
    std::istringstream rows(run.out.substr(run.out.find('\n') + 1));
    for (std::string row; std::getline(rows, row);) timed += row.back() != ',';
    EXPECT_GT(timed, 0);
    EXPECT_EQ(timed, Count("SELECT COUNT(*) FROM client JOIN disk ON disk.disk_id = client.disk_id "
                           "WHERE is_current = 1 AND effort_index IS NOT NULL"));
}

TEST_P(ArchiveTest, KeepsNoNameUnlessIdentifiedAndLinksPeopleByPseudonym) {
    const std::string disk = Disk(3, 0.5);
    std::vector<ClientRecord> named;
    for (const ClientRecord& r : RecordsOf(disk)) {
        if (!r.NameDeleted()) named.push_back(r);
    }
    ASSERT_FALSE(named.empty());
    ASSERT_EQ(Add({disk}).status, 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM client WHERE name IS NOT NULL OR id_number IS NOT NULL "
                    "OR name_deleted = 0"),
              0);
    if (GetParam() == Engine::Sqlite) {
        const std::string file = ReadAll(target);
        for (const ClientRecord& r : named) {
            const std::string name(mw::Trim(r.Name.View()));
            EXPECT_EQ(file.find(name), std::string::npos) << name;
        }
    }
    // The archive keeps its kind: names are not let in later.
    const CliRun refused = Add({disk}, {"--identified"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("not created --identified"), std::string::npos) << refused.err;

    // A site's own archive keeps the names, and the site key's pseudonym.
    target = NewTarget(GetParam(), files, "identified");
    ASSERT_EQ(Add({disk}, {"--identified", "--pseudonyms"}).status, 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM client"), 12);
    const std::string key = mw::SiteKey(mw::LocalFileSystem(), program.Path()).value();
    const auto rows = Query("SELECT pseudonym, name FROM client WHERE pseudonym IS NOT NULL");
    ASSERT_EQ(rows.size(), named.size());
    EXPECT_EQ(rows[0][0], mw::Pseudonym(key, named[0]));
    EXPECT_EQ(rows[0][1], mw::Cp1252ToUtf8(mw::Trim(named[0].Name.View())));
}

// Each way a disk can fail its checks, next to a good disk: the good one is
// added, the bad one refused with its reason, and nothing of it stored.
TEST_P(ArchiveTest, RefusesADiskThatFailsItsChecksAndStoresNothingOfIt) {
    const struct {
        const char* what;
        std::function<void(const std::string& disk)> spoil;
        const char* reason;
    } cases[] = {
        {"no disk there", [](const std::string& d) { std::filesystem::remove_all(d); },
         "is not a data disk"},
        {"another program's folder",
         [](const std::string& d) { std::ofstream(d + "/TID") << "XYZ\r\n"; },
         "its TID does not read M-W"},
        {"a line of the audit log changed",
         [](const std::string& d) {
             std::string log = ReadAll(d + "/MWAUDIT.LOG");
             log.replace(
                 log.find("keyed") != std::string::npos ? log.find("keyed") : log.find("scanned"),
                 5, "typed");
             std::ofstream(d + "/MWAUDIT.LOG", std::ios::binary) << log;
         },
         "MWAUDIT.LOG"},
        {"the timings damaged",
         [](const std::string& d) { std::ofstream(d + "/PARA401.MW", std::ios::app) << "7 x\n"; },
         "PARA401.MW"},
    };
    const std::string good = Disk(4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string bad = Disk(5);
        c.spoil(bad);
        const CliRun run = Add({bad, good});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(
            std::regex_search(run.out, std::regex("d5: refused: .*" + std::string(c.reason))))
            << run.out;
        EXPECT_EQ(Count("SELECT COUNT(*) FROM disk WHERE source LIKE '%d5'"), 0);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM client"), 12);
        std::filesystem::remove_all(bad);
    }
}

// What the station would print for each client is what the archive holds.
TEST_P(ArchiveTest, StoresTheStationsScoresRouteAndEffortIndex) {
    const std::string disk = Disk(6);
    ASSERT_EQ(Add({disk}).status, 0);
    const auto tables = mw::ScoreAndPrint(mw::LocalFileSystem(), program.Path()).ReadData()->tables;
    const auto paradata = mw::ReadParadata(mw::LocalFileSystem(), disk).value();
    const auto rows = Query(
        "SELECT test_number, valid, raw_1, percentile_2, omitted_5, scored_7, percentile_9, route, "
        "effort_index FROM client ORDER BY test_number");
    const std::vector<ClientRecord> records = RecordsOf(disk);
    ASSERT_EQ(rows.size(), records.size());
    for (const mw::SqlRow& row : rows) {
        const int n = std::stoi(*row[0]);
        const mw::ScoreSheet s = mw::ScoreClient(records[static_cast<std::size_t>(n - 1)], tables);
        const std::vector<int> expected = {mw::IsValidProtocol(s), s.RawScore[1],
                                           s.Percentile[2],        s.OmittedCount[5],
                                           s.ScoredItemCount[7],   s.Percentile[9]};
        for (std::size_t k = 0; k < expected.size(); ++k) {
            EXPECT_EQ(row[k + 1], std::to_string(expected[k])) << "client " << n << " column " << k;
        }
        EXPECT_EQ(row[7].has_value(), true);
        EXPECT_EQ(row[8].has_value(), paradata.count(n) > 0) << "client " << n;
        if (row[8]) {
            EXPECT_EQ(*row[7], "on-screen");
            EXPECT_NEAR(std::stod(*row[8]), mw::Summarize(paradata.at(n)).effortIndex, 1e-6);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, testing::Values(Engine::Sqlite, Engine::Postgres),
                         EngineName);

}  // namespace
}  // namespace mwtest
