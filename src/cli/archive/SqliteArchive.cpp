// The archive in an SQLite file: one connection, statements prepared once
// and kept, a transaction per disk in the file's write-ahead log, so that a
// killed add leaves the archive as it was before that disk.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>

#include "cli/archive/ArchiveDb.h"

namespace mw {
namespace {

// Rows of one INSERT: as many as SQLite's parameters allow, at most this.
constexpr std::size_t kRowsPerInsert = 256;
constexpr int kMaxParameters = 32766;
// Another add holding the file: wait for it rather than fail.
constexpr int kBusyWaitMs = 30000;

class SqliteArchive final : public ArchiveDb {
public:
    SqliteArchive(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    ~SqliteArchive() override {
        for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
        sqlite3_close(db_);
    }

    const std::string& Name() const override { return path_; }
    std::string AutoKeyType() const override { return "INTEGER PRIMARY KEY"; }
    std::string BeginWriting() const override { return "BEGIN IMMEDIATE"; }

    Status Execute(const std::string& sql) override {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return {};
        const std::string why = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        return MakeError(ErrorOf(sqlite3_errcode(db_)), path_ + ": " + why);
    }

    Status Query(const std::string& sql, const std::vector<SqlValue>& params,
                 const RowSink& sink) override {
        Result<sqlite3_stmt*> statement = Prepared(sql, [&] { return sql; });
        if (!statement) return statement.error();
        if (Status st = Bind(*statement, params, 0); !st) return st;
        SqlRow row;
        for (;;) {
            const int rc = sqlite3_step(*statement);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) return Failed(*statement);
            row.assign(static_cast<std::size_t>(sqlite3_column_count(*statement)), std::nullopt);
            for (int c = 0; c < sqlite3_column_count(*statement); ++c) {
                const auto* text = sqlite3_column_text(*statement, c);
                if (text) row[static_cast<std::size_t>(c)] = reinterpret_cast<const char*>(text);
            }
            if (!sink(row)) break;
        }
        sqlite3_reset(*statement);
        return {};
    }

    Status Insert(const std::string& table, const std::vector<std::string>& columns,
                  const std::vector<SqlRow>& rows) override {
        const std::size_t perInsert =
            std::min(kRowsPerInsert, static_cast<std::size_t>(kMaxParameters) / columns.size());
        for (std::size_t first = 0; first < rows.size(); first += perInsert) {
            const std::size_t count = std::min(perInsert, rows.size() - first);
            // Known by a short key: the statement's text is long.
            const std::string key = table + " " + std::to_string(count);
            Result<sqlite3_stmt*> statement =
                Prepared(key, [&] { return InsertStatement(table, columns, count); });
            if (!statement) return statement.error();
            for (std::size_t r = 0; r < count; ++r) {
                if (Status st = Bind(*statement, rows[first + r], r * columns.size()); !st) {
                    return st;
                }
            }
            const int rc = sqlite3_step(*statement);
            if (rc != SQLITE_DONE) return Failed(*statement);
            sqlite3_reset(*statement);
        }
        return {};
    }

private:
    static int ErrorOf(int code) {
        switch (code & 0xff) {
            case SQLITE_FULL:
                return errc::DiskFull;
            case SQLITE_READONLY:
            case SQLITE_PERM:
                return errc::PermissionDenied;
            case SQLITE_BUSY:
            case SQLITE_LOCKED:
                return errc::FileLocked;
            default:
                return errc::DeviceIo;
        }
    }

    Status Failed(sqlite3_stmt* statement) {
        const int code = sqlite3_errcode(db_);
        Error e = MakeError(ErrorOf(code), path_ + ": " + sqlite3_errmsg(db_));
        sqlite3_reset(statement);
        return e;
    }

    // The statement kept under `key`, prepared from `text` the first time.
    // Parameters are numbered "?1" here: SQLite looks a "$1" up by name.
    Result<sqlite3_stmt*> Prepared(const std::string& key,
                                   const std::function<std::string()>& text) {
        if (auto found = statements_.find(key); found != statements_.end()) return found->second;
        std::string sql = text();
        std::replace(sql.begin(), sql.end(), '$', '?');
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement,
                               nullptr) != SQLITE_OK) {
            return MakeError(ErrorOf(sqlite3_errcode(db_)), path_ + ": " + sqlite3_errmsg(db_));
        }
        statements_.emplace(key, statement);
        return statement;
    }

    // The values stay where they are until the statement has run: SQLite
    // need not copy them.
    Status Bind(sqlite3_stmt* statement, const std::vector<SqlValue>& values, std::size_t from) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            const int index = static_cast<int>(from + i + 1);
            const int rc =
                values[i] ? sqlite3_bind_text(statement, index, values[i]->data(),
                                              static_cast<int>(values[i]->size()), SQLITE_STATIC)
                          : sqlite3_bind_null(statement, index);
            if (rc != SQLITE_OK) return Failed(statement);
        }
        return {};
    }

    sqlite3* db_;
    std::string path_;
    std::map<std::string, sqlite3_stmt*> statements_;
};

// The file made for its owner alone before SQLite opens it; its journal
// takes the same mode.
Status MakeOwnerOnly(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    // A file that exists but cannot be written is still an archive to read.
    if (::access(path.c_str(), R_OK) == 0) return {};
    return MakeError(errc::PathNotFound, path + ": cannot be made");
}

}  // namespace

Result<std::unique_ptr<ArchiveDb>> OpenSqliteArchive(const std::string& path) {
    if (Status st = MakeOwnerOnly(path); !st) return st.error();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const std::string why = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return MakeError(errc::DeviceIo, path + ": " + why);
    }
    sqlite3_busy_timeout(db, kBusyWaitMs);
    auto archive = std::make_unique<SqliteArchive>(db, path);
    if (Status st = archive->Execute("PRAGMA foreign_keys = ON"); !st) return st.error();
    // A commit is a write to the log, not a sync of the file: a killed add
    // still loses nothing it committed, and a power cut at most the last
    // disks, whole, which the next add takes again. An archive on a medium
    // that cannot hold the log keeps its rollback journal.
    (void)archive->Execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
    return std::unique_ptr<ArchiveDb>(std::move(archive));
}

}  // namespace mw
