#include "cli/archive/ArchiveDb.h"

namespace mw {

bool IsPostgresTarget(const std::string& target) {
    return target.rfind("postgresql://", 0) == 0 || target.rfind("postgres://", 0) == 0;
}

Result<std::unique_ptr<ArchiveDb>> OpenArchiveDb(const std::string& target) {
    if (IsPostgresTarget(target)) return OpenPostgresArchive(target);
    return OpenSqliteArchive(target);
}

Result<std::vector<SqlRow>> QueryAll(ArchiveDb& db, const std::string& sql,
                                     const std::vector<SqlValue>& params) {
    std::vector<SqlRow> rows;
    Status st = db.Query(sql, params, [&rows](const SqlRow& row) {
        rows.push_back(row);
        return true;
    });
    if (!st) return st.error();
    return rows;
}

Status InTransaction(ArchiveDb& db, const std::function<Status()>& work) {
    if (Status st = db.Execute(db.BeginWriting()); !st) return st;
    Status st = work();
    if (st) st = db.Execute("COMMIT");
    // A failed commit leaves the transaction open on some engines: end it.
    if (!st) (void)db.Execute("ROLLBACK");
    return st;
}

std::string InsertStatement(const std::string& table, const std::vector<std::string>& columns,
                            std::size_t rowCount) {
    std::string sql = "INSERT INTO " + table + " (";
    for (std::size_t c = 0; c < columns.size(); ++c) sql += (c ? ", " : "") + columns[c];
    sql += ") VALUES ";
    std::size_t param = 1;
    for (std::size_t r = 0; r < rowCount; ++r) {
        sql += r ? ", (" : "(";
        for (std::size_t c = 0; c < columns.size(); ++c) {
            sql += (c ? ", $" : "$") + std::to_string(param++);
        }
        sql += ")";
    }
    return sql;
}

}  // namespace mw
