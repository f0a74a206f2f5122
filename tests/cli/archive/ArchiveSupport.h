// Returned disks, generated or written from records as a test makes them,
// and the archive commands run on them, on each engine.
#pragma once

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "archivegen/ReturnedDisks.h"
#include "cli/CliRun.h"
#include "cli/archive/ArchiveDb.h"
#include "core/data/ClientRecord.h"
#include "core/data/ClientStore.h"
#include "support/PostgresServer.h"
#include "support/TempDir.h"

namespace mwtest {

enum class Engine { Sqlite, Postgres };

inline std::string EngineName(const testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Sqlite ? "Sqlite" : "Postgres";
}

// An archive target of the engine: a file in `folder`, or a new database.
inline std::string NewTarget(Engine engine, const TempDir& folder, const std::string& name) {
    if (engine == Engine::Sqlite) return folder.File(name + ".db");
    return PostgresServer::Get().NewDatabase();
}

// A returned client of the given sex and ethnicity codes and answers.
inline mw::ClientRecord ReturnedClient(const std::string& gender, const std::string& race,
                                       const std::string& answers) {
    mw::ClientRecord r;
    r.Name = mw::kDeletedName;
    r.Age = "30";
    r.Gender = gender;
    r.Race = race;
    r.Education = "12";
    r.MaritalStatus = "1";
    r.DateOfBirth = "01/02/1996";
    r.TodayDate = "03/04/2026";
    r.Answers = answers;
    r.timeseditted = "0";
    r.DeleteFlag = "1";
    return r;
}

// A disk without an audit log (as one from an older station) holding `records`.
inline void WriteDisk(const std::string& dir, const std::vector<mw::ClientRecord>& records) {
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/TID", std::ios::binary) << "M-W\r\n";
    std::ofstream file(dir + "/" + mw::kRecordFileName, std::ios::binary);
    for (const mw::ClientRecord& r : records) file << r.ToBytes();
}

// Disks made once for the whole program and copied for each test: the
// generator syncs every audit line, as a station does.
inline const std::string& SharedDisk(int number, double namedShare) {
    static TempDir folder;
    static std::map<std::pair<int, double>, std::string> made;
    static const auto maker =
        mwtools::ReturnedDiskMaker::FromFiles(MW_SOURCE_DIR "/instrument/scoring/items.tsv",
                                              MW_SOURCE_DIR "/instrument/questions/English.tsv",
                                              MW_SOURCE_DIR "/instrument/scoring/population.tsv");
    auto& path = made[{number, namedShare}];
    if (path.empty()) {
        path = folder.File("disk" + std::to_string(number) + "-" + std::to_string(namedShare));
        maker.Write(
            path,
            {.clients = 12, .namedShare = namedShare, .seed = static_cast<std::uint64_t>(number)});
    }
    return path;
}

inline std::vector<mw::ClientRecord> RecordsOf(const std::string& disk) {
    const std::string bytes = ReadAll(mw::JoinPath(disk, mw::kRecordFileName));
    std::vector<mw::ClientRecord> records;
    for (std::size_t at = 0; at + mw::kRecordSize <= bytes.size(); at += mw::kRecordSize) {
        records.push_back(
            mw::ClientRecord::FromBytes(std::string_view(bytes).substr(at, mw::kRecordSize)));
    }
    return records;
}

inline int Deleted(const std::string& disk) {
    int n = 0;
    for (const mw::ClientRecord& r : RecordsOf(disk)) n += r.NameDeleted();
    return n;
}

class ArchiveFixture : public testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        if (GetParam() == Engine::Postgres && !PostgresServer::Get().Unavailable().empty()) {
            GTEST_SKIP() << PostgresServer::Get().Unavailable();
        }
        CopyDataSet(program.Path());
        target = NewTarget(GetParam(), files, "archive");
        ASSERT_FALSE(target.empty());
    }

    // A copy of a shared disk in the test's own folder.
    std::string Disk(int number, double namedShare = 0) {
        const std::string path = disks.File("d" + std::to_string(number));
        std::filesystem::copy(SharedDisk(number, namedShare), path);
        return path;
    }

    CliRun Run(const std::string& command, std::vector<std::string> more) const {
        std::vector<std::string> args = {"archive", command, "--archive", target};
        if (command != "list") args.insert(args.end(), {"--program-dir", program.Path()});
        args.insert(args.end(), more.begin(), more.end());
        return Cli(args);
    }

    CliRun Add(const std::vector<std::string>& paths, std::vector<std::string> more = {}) const {
        more.push_back("--disk");
        more.insert(more.end(), paths.begin(), paths.end());
        return Run("add", more);
    }

    std::vector<mw::SqlRow> Query(const std::string& sql) const {
        auto db = mw::OpenArchiveDb(target);
        EXPECT_TRUE(db) << db.error().message;
        auto rows = mw::QueryAll(**db, sql);
        EXPECT_TRUE(rows) << rows.error().message;
        return rows ? *rows : std::vector<mw::SqlRow>();
    }

    long Count(const std::string& sql) const {
        const auto rows = Query(sql);
        return rows.empty() ? -1 : std::stol(rows[0][0].value_or("-1"));
    }

    TempDir program;
    TempDir disks;
    TempDir files;
    std::string target;
};

}  // namespace mwtest
