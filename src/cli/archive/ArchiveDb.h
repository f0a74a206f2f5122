// The database an archive lives in: an SQLite file (the embedded default) or
// a PostgreSQL server reached through libpq, for an office where several
// people pool disks into one archive. Both take the same SQL: parameters are
// written $1, $2, ... in the order they first appear, and every value passes
// as text (or none for NULL), which each engine converts to its column's type.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/data/Error.h"

namespace mw {

using SqlValue = std::optional<std::string>;
using SqlRow = std::vector<SqlValue>;
// Called for each row of a query as it arrives; false stops the query.
using RowSink = std::function<bool(const SqlRow&)>;

class ArchiveDb {
public:
    virtual ~ArchiveDb() = default;

    // Where the archive is, as its messages name it.
    virtual const std::string& Name() const = 0;
    // The column type of a key the database numbers itself.
    virtual std::string AutoKeyType() const = 0;
    // Starts a transaction that will write: SQLite takes its write lock at
    // once, so that two adds wait for each other rather than fail.
    virtual std::string BeginWriting() const { return "BEGIN"; }

    // Statements without rows, separated by semicolons, without parameters.
    virtual Status Execute(const std::string& sql) = 0;
    // One statement; its rows are handed to `sink` one at a time, so that a
    // query over the whole archive holds one row in memory, not the result.
    virtual Status Query(const std::string& sql, const std::vector<SqlValue>& params,
                         const RowSink& sink) = 0;
    // Adds `rows` to `table`, many rows to a prepared statement.
    virtual Status Insert(const std::string& table, const std::vector<std::string>& columns,
                          const std::vector<SqlRow>& rows) = 0;
};

// Opens the archive at `target`: a "postgresql://" or "postgres://"
// connection URI, or else the path of an SQLite file, made when missing
// (readable by its owner only: it holds clients' answers).
Result<std::unique_ptr<ArchiveDb>> OpenArchiveDb(const std::string& target);

bool IsPostgresTarget(const std::string& target);

// The rows of a query gathered, for the small results of the archive's own bookkeeping.
Result<std::vector<SqlRow>> QueryAll(ArchiveDb& db, const std::string& sql,
                                     const std::vector<SqlValue>& params = {});

// Runs `work` inside one transaction: committed when it succeeds, rolled
// back whole when it fails or a commit cannot be made.
Status InTransaction(ArchiveDb& db, const std::function<Status()>& work);

// The "INSERT INTO table (columns) VALUES ($1, ...), (...)" of `rowCount`
// rows, the parameters numbered across the rows.
std::string InsertStatement(const std::string& table, const std::vector<std::string>& columns,
                            std::size_t rowCount);

// Opens an SQLite archive file, for OpenArchiveDb and the tests.
Result<std::unique_ptr<ArchiveDb>> OpenSqliteArchive(const std::string& path);
Result<std::unique_ptr<ArchiveDb>> OpenPostgresArchive(const std::string& uri);

}  // namespace mw
