#include "cli/archive/Archive.h"

#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <ostream>

#include "cli/ExportTable.h"
#include "core/data/AuditLog.h"
#include "core/data/ClientStore.h"
#include "core/data/Cp1252.h"
#include "core/data/DataDisk.h"
#include "core/data/Sha256.h"
#include "core/data/StationState.h"

namespace mw {
namespace {

// The scale results of a client, a column per scale for each.
constexpr std::array<const char*, 4> kScoreKinds = {"raw", "percentile", "omitted", "scored"};

std::vector<std::string> ClientColumns() {
    std::vector<std::string> columns = {
        "disk_id",      "test_number",    "name",      "id_number",    "pseudonym",
        "name_deleted", "date_of_birth",  "age",       "sex",          "ethnicity",
        "education",    "marital_status", "test_date", "times_edited", "route",
        "language",     "answers",        "valid",     "norm_sex",     "norm_group"};
    for (const char* kind : kScoreKinds) {
        for (int scale = 1; scale <= kScaleCount; ++scale) {
            columns.push_back(std::string(kind) + "_" + std::to_string(scale));
        }
    }
    columns.push_back("effort_index");
    return columns;
}

std::string Schema(const std::string& autoKey) {
    std::string scores;
    for (const char* kind : kScoreKinds) {
        for (int scale = 1; scale <= kScaleCount; ++scale) {
            scores += std::string(kind) + "_" + std::to_string(scale) + " INTEGER NOT NULL, ";
        }
    }
    return "CREATE TABLE IF NOT EXISTS archive_info (name TEXT PRIMARY KEY, value TEXT NOT NULL);"
           "CREATE TABLE IF NOT EXISTS disk (disk_id " +
           autoKey +
           ", identity TEXT NOT NULL, version INTEGER NOT NULL, is_current INTEGER NOT NULL,"
           " record_sha256 TEXT NOT NULL, source TEXT NOT NULL, audit_lines INTEGER NOT NULL,"
           " audit_last_hash TEXT, data_set TEXT NOT NULL, added_at TEXT NOT NULL,"
           " clients INTEGER NOT NULL, skipped INTEGER NOT NULL,"
           " UNIQUE (identity, record_sha256), UNIQUE (identity, version));"
           "CREATE TABLE IF NOT EXISTS client (disk_id INTEGER NOT NULL REFERENCES disk (disk_id),"
           " test_number INTEGER NOT NULL, name TEXT, id_number TEXT, pseudonym TEXT,"
           " name_deleted INTEGER NOT NULL, date_of_birth TEXT, age TEXT, sex TEXT,"
           " ethnicity TEXT, education TEXT, marital_status TEXT, test_date TEXT,"
           " times_edited INTEGER NOT NULL, route TEXT, language TEXT, answers TEXT NOT NULL,"
           " valid INTEGER NOT NULL, norm_sex INTEGER NOT NULL, norm_group INTEGER NOT NULL, " +
           scores +
           "effort_index REAL, PRIMARY KEY (disk_id, test_number));"
           // The timings of a test on the screen are long and read only by
           // the export: apart, they leave the client table small to scan.
           "CREATE TABLE IF NOT EXISTS client_timing (disk_id INTEGER NOT NULL,"
           " test_number INTEGER NOT NULL, paradata TEXT NOT NULL,"
           " PRIMARY KEY (disk_id, test_number),"
           " FOREIGN KEY (disk_id, test_number) REFERENCES client (disk_id, test_number));"
           "CREATE INDEX IF NOT EXISTS disk_current ON disk (is_current, disk_id);";
}

template <std::size_t N>
std::string Utf8Field(const FixedText<N>& field) {
    return Cp1252ToUtf8(Trim(field.View()));
}

template <std::size_t N>
SqlValue Text(const FixedText<N>& field) {
    return Utf8Field(field);
}

SqlValue Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return std::string(text);
}

SqlRow ClientRow(const std::string& diskId, const ArchivedClient& c, const ArchiveScoring& scoring,
                 bool identified) {
    const ClientRecord& r = c.record;
    const ScoreSheet sheet = ScoreClient(r, *scoring.tables);
    const bool keepName = identified && !r.NameDeleted();
    SqlRow row = {diskId,
                  std::to_string(c.testNumber),
                  keepName ? Text(r.Name) : std::nullopt,
                  keepName ? Text(r.IDNumber) : std::nullopt,
                  c.pseudonym.empty() ? std::nullopt : SqlValue(c.pseudonym),
                  r.NameDeleted() ? "1" : "0",
                  Text(r.DateOfBirth),
                  Text(r.Age),
                  Text(r.Gender),
                  Text(r.Race),
                  Text(r.Education),
                  Text(r.MaritalStatus),
                  Text(r.TodayDate),
                  std::to_string(r.TimesEdited()),
                  c.route,
                  c.language,
                  std::string(r.Answers.View()),
                  IsValidProtocol(sheet) ? "1" : "0",
                  std::to_string(NormSex(std::atoi(Utf8Field(r.Gender).c_str()))),
                  std::to_string(NormGroup(std::atoi(Utf8Field(r.Race).c_str())))};
    for (const auto* scores :
         {&sheet.RawScore, &sheet.Percentile, &sheet.OmittedCount, &sheet.ScoredItemCount}) {
        for (int scale = 1; scale <= kScaleCount; ++scale) {
            row.push_back(std::to_string((*scores)[scale]));
        }
    }
    row.push_back(c.paradata ? Number(Summarize(*c.paradata).effortIndex) : std::nullopt);
    return row;
}

// How each client reached the disk, from the log's "client added" lines.
std::map<int, std::string> RoutesOf(const AuditReading& reading) {
    std::map<int, std::string> routes;
    for (const AuditLine& line : reading.lines) {
        if (line.event == "client added") routes[std::atoi(line.record.c_str())] = line.details;
    }
    return routes;
}

Status CheckAuditLog(const AuditLog& log, AuditReading& reading) {
    const std::vector<std::string> problems = AuditProblems(log.Path(), reading);
    if (problems.empty()) return {};
    std::string why;
    for (const std::string& p : problems) why += (why.empty() ? "" : "; ") + p;
    return MakeError(errc::BadData, why);
}

std::vector<ArchivedClient> ClientsOf(const StationState& state,
                                      const std::map<int, Paradata>& paradata,
                                      const std::map<int, std::string>& routes,
                                      const std::string& siteKey) {
    std::vector<ArchivedClient> clients;
    for (int n = 1; n <= state.RecordCount; ++n) {
        ArchivedClient& c = clients.emplace_back();
        c.testNumber = n;
        c.record = state.ClientRecords[n];
        if (!siteKey.empty() && !c.record.NameDeleted()) c.pseudonym = Pseudonym(siteKey, c.record);
        if (auto route = routes.find(n); route != routes.end()) c.route = route->second;
        if (auto timed = paradata.find(n); timed != paradata.end()) c.paradata = timed->second;
    }
    return clients;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

Result<ReturnedDisk> ReadReturnedDisk(const std::string& path, const std::string& programDir,
                                      const std::string& siteKey) {
    FileSystem& fs = LocalFileSystem();
    Result<bool> marked = HasDataDiskIdentity(fs, path);
    if (!marked)
        return MakeError(marked.error().code,
                         path + " is not a data disk: " + marked.error().message);
    if (!*marked) {
        return MakeError(errc::BadData, path + " is not a data disk: its TID does not read " +
                                            std::string(kIdentityMark));
    }
    // Nothing on the disk changes while it is read: a station or tool
    // writing to it waits, and so all its files are of one moment.
    auto lock = LockDisk(fs, path, LockMode::Shared);
    if (!lock) return lock.error();
    ReturnedDisk disk;
    disk.path = path;
    StationState state;
    state.DataPath = path;
    std::vector<std::string> notes;
    ClientStore store(state, fs, [&notes](const std::string& note) { notes.push_back(note); });
    if (Status st = store.LoadRecordsReadOnly(); !st) return st.error();
    if (!notes.empty()) return MakeError(errc::BadData, notes.front());
    Result<std::string> bytes = fs.ReadFile(store.RecordFilePath());
    disk.recordSha256 = bytes ? Sha256Hex(*bytes) : Sha256Hex("");
    Result<std::string> identity = DiskIdentity(fs, path, false);
    if (!identity) return identity.error();
    disk.identity = identity->empty() ? "record " + disk.recordSha256 : *identity;
    const AuditLog log(fs, path, programDir);
    Result<AuditReading> reading = log.Read();
    if (!reading) return reading.error();
    if (Status st = CheckAuditLog(log, *reading); !st) return st.error();
    disk.auditLines = static_cast<int>(reading->lines.size());
    disk.auditLastHash = reading->lastHash;
    Result<std::map<int, Paradata>> paradata = ReadParadata(fs, path);
    if (!paradata) return paradata.error();
    disk.clients = ClientsOf(state, *paradata, RoutesOf(*reading), siteKey);
    return disk;
}

Result<Archive> Archive::Open(const std::string& target, bool identified) {
    return Opened(target, identified);
}

Result<Archive> Archive::OpenExisting(const std::string& target) {
    if (!IsPostgresTarget(target) && !FileExists(target)) {
        return MakeError(errc::FileNotFound, target + ": no archive there");
    }
    return Opened(target, std::nullopt);
}

// The archive's tables are made, and its kind and schema noted, by the
// first program to open it; every later one reads them.
Result<Archive> Archive::Opened(const std::string& target, std::optional<bool> identified) {
    Result<std::unique_ptr<ArchiveDb>> db = OpenArchiveDb(target);
    if (!db) return db.error();
    ArchiveDb& d = **db;
    std::map<std::string, std::string> info;
    auto readInfo = [&]() -> Status {
        Result<std::vector<SqlRow>> rows = QueryAll(d, "SELECT name, value FROM archive_info");
        if (!rows) return rows.error();
        for (const SqlRow& row : *rows) info[row[0].value_or("")] = row[1].value_or("");
        return {};
    };
    Status st = readInfo();
    if (!st || info.empty()) {
        if (!identified) return MakeError(errc::BadData, d.Name() + ": not an archive");
        st = InTransaction(d, [&]() -> Status {
            if (Status made = d.Execute(Schema(d.AutoKeyType())); !made) return made;
            info.clear();
            if (Status read = readInfo(); !read || !info.empty()) return read;
            info = {{"schema_version", std::to_string(kArchiveSchemaVersion)},
                    {"identified", *identified ? "1" : "0"}};
            std::vector<SqlRow> rows;
            for (const auto& [name, value] : info) rows.push_back({name, value});
            return d.Insert("archive_info", {"name", "value"}, rows);
        });
        // Another program made the archive at the same moment, and won.
        if (!st && (!readInfo() || info.empty())) return st.error();
    }
    const int version = std::atoi(info["schema_version"].c_str());
    if (version != kArchiveSchemaVersion) {
        return MakeError(errc::BadData, d.Name() + ": an archive of schema version " +
                                            info["schema_version"] + ", not " +
                                            std::to_string(kArchiveSchemaVersion));
    }
    return Archive(std::move(*db), info["identified"] == "1");
}

Result<AddResult> Archive::Add(const ReturnedDisk& disk, const ArchiveScoring& scoring,
                               const std::string& addedAt) {
    AddResult result;
    ArchiveDb& d = *db_;
    Status st = InTransaction(d, [&]() -> Status {
        auto same =
            QueryAll(d, "SELECT disk_id FROM disk WHERE identity = $1 AND record_sha256 = $2",
                     {disk.identity, disk.recordSha256});
        if (!same) return same.error();
        if (!same->empty()) {
            result.outcome = DiskOutcome::AlreadyArchived;
            return {};
        }
        auto latest =
            QueryAll(d, "SELECT MAX(version) FROM disk WHERE identity = $1", {disk.identity});
        if (!latest) return latest.error();
        result.version = std::atoi((*latest)[0][0].value_or("0").c_str()) + 1;
        if (result.version > 1) result.outcome = DiskOutcome::NewVersion;
        std::vector<SqlRow> rows;
        std::vector<SqlRow> timings;
        for (const ArchivedClient& c : disk.clients) {
            if (!identified_ && !c.record.NameDeleted()) {
                ++result.skipped;
                continue;
            }
            rows.push_back(ClientRow("", c, scoring, identified_));
            if (c.paradata)
                timings.push_back({"", std::to_string(c.testNumber), c.paradata->ToText()});
        }
        result.added = static_cast<int>(rows.size());
        if (Status st = d.Query("UPDATE disk SET is_current = 0 WHERE identity = $1",
                                {disk.identity}, [](const SqlRow&) { return true; });
            !st) {
            return st;
        }
        std::string diskId;
        Status st = d.Query(
            "INSERT INTO disk (identity, version, is_current, record_sha256, source, audit_lines,"
            " audit_last_hash, data_set, added_at, clients, skipped)"
            " VALUES ($1, $2, 1, $3, $4, $5, $6, $7, $8, $9, $10) RETURNING disk_id",
            {disk.identity, std::to_string(result.version), disk.recordSha256, disk.path,
             std::to_string(disk.auditLines),
             disk.auditLastHash.empty() ? std::nullopt : SqlValue(disk.auditLastHash),
             scoring.dataSet, addedAt, std::to_string(result.added),
             std::to_string(result.skipped)},
            [&diskId](const SqlRow& row) {
                diskId = row[0].value_or("");
                return true;
            });
        if (!st) return st;
        for (auto* table : {&rows, &timings}) {
            for (SqlRow& row : *table) row[0] = diskId;
        }
        if (Status st = d.Insert("client", ClientColumns(), rows); !st) return st;
        return d.Insert("client_timing", {"disk_id", "test_number", "paradata"}, timings);
    });
    if (!st) return st.error();
    return result;
}

Status Archive::List(std::ostream& out) {
    return db_->Query(
        "SELECT disk_id, identity, version, is_current, clients, skipped, added_at, data_set,"
        " audit_last_hash, source FROM disk ORDER BY disk_id",
        {}, [&out](const SqlRow& r) {
            out << r[0].value_or("") << "  " << r[1].value_or("") << "  version "
                << r[2].value_or("") << (r[3] == "1" ? "" : " (replaced)") << "  "
                << r[4].value_or("") << " clients";
            if (r[5] != "0") out << ", " << r[5].value_or("") << " with names not taken";
            out << "  added " << r[6].value_or("") << "  scoring data " << r[7].value_or("")
                << "  audit log " << r[8].value_or("none") << "  from " << r[9].value_or("")
                << "\n";
            return true;
        });
}

Status Archive::ForEachClient(const std::function<void(int disk, const ArchivedClient&)>& each) {
    std::string sql =
        "SELECT client.disk_id, client.test_number, name, id_number, pseudonym, name_deleted,"
        " date_of_birth, age, sex, ethnicity, education, marital_status, test_date,"
        " times_edited, route, language, answers, client_timing.paradata FROM ";
    sql += kCurrentClients;
    sql +=
        " LEFT JOIN client_timing ON client_timing.disk_id = client.disk_id"
        " AND client_timing.test_number = client.test_number";
    sql += " ORDER BY client.disk_id, client.test_number";
    ArchivedClient c;
    return db_->Query(sql, {}, [&](const SqlRow& row) {
        auto text = [&row](std::size_t i) { return Utf8ToCp1252(row[i].value_or("")); };
        c.testNumber = std::atoi(row[1].value_or("0").c_str());
        ClientRecord& r = c.record;
        r.Name = row[5] == "1" ? std::string(kDeletedName) : text(2);
        r.IDNumber = text(3);
        c.pseudonym = row[4].value_or("");
        r.DeleteFlag = row[5] == "1" ? "1" : "0";
        r.DateOfBirth = text(6);
        r.Age = text(7);
        r.Gender = text(8);
        r.Race = text(9);
        r.Education = text(10);
        r.MaritalStatus = text(11);
        r.TodayDate = text(12);
        r.timeseditted = row[13].value_or("0");
        c.route = row[14];
        c.language = row[15];
        r.Answers = row[16].value_or("");
        c.paradata = row[17] ? Paradata::FromText(*row[17]) : std::nullopt;
        each(std::atoi(row[0].value_or("0").c_str()), c);
        return true;
    });
}

}  // namespace mw
