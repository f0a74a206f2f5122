#include "core/data/ClientTable.h"

#include "core/data/Cp1252.h"

namespace mw {
namespace {

constexpr const char* kColumns =
    "Name, IDNumber, Age, Gender, Race, Education, MaritalStatus, DateOfBirth, TodayDate, "
    "Answers, timeseditted, DeleteFlag";

// Every field as the record holds it, blanks included: a blank among the
// answers is an item to key, a blank field one the file did not have.
std::vector<std::string> Row(const ClientRecord& r) {
    std::vector<std::string> row;
    for (std::string_view field :
         {r.Name.View(), r.IDNumber.View(), r.Age.View(), r.Gender.View(), r.Race.View(),
          r.Education.View(), r.MaritalStatus.View(), r.DateOfBirth.View(), r.TodayDate.View(),
          r.Answers.View(), r.timeseditted.View(), r.DeleteFlag.View()}) {
        row.push_back(Cp1252ToUtf8(field));
    }
    return row;
}

ClientRecord FromRow(const std::vector<std::string>& row) {
    std::string bytes;
    for (const std::string& field : row) bytes += Utf8ToCp1252(field);
    return ClientRecord::FromBytes(bytes);
}

// Deleted content overwritten with zeros, the journal overwritten in place
// and kept, temporary files (a statement's journal) in memory: no client
// data reaches a block the file system frees.
constexpr const char* kNoTraces =
    "PRAGMA secure_delete = ON; PRAGMA journal_mode = PERSIST; PRAGMA temp_store = MEMORY";

std::string DatabasePath(const std::string& programDir) {
    return JoinPath(programDir, kScanDatabaseName);
}

}  // namespace

Result<ClientTable> ClientTable::Open(const std::string& programDir) {
    Result<std::unique_ptr<Database>> db = Database::Open(DatabasePath(programDir), false);
    if (!db) return db.error();
    if (Status st = (*db)->Execute(kNoTraces); !st) return st.error();
    return ClientTable(std::move(*db));
}

Status ClientTable::DeleteIdentities(FileSystem& fs, const std::string& programDir) {
    const std::string path = DatabasePath(programDir);
    if (!fs.FileExists(path)) return {};
    {
        Result<ClientTable> table = Open(programDir);
        if (!table) return table.error();
        ClientRecord deleted;
        deleted.Name = kDeletedName;
        deleted.DeleteFlag = "1";
        Status cleared = table->db_->Execute(
            "UPDATE ClientTable SET Name = ?, IDNumber = ?, DeleteFlag = ?",
            {std::string(deleted.Name.View()), std::string(deleted.IDNumber.View()),
             std::string(deleted.DeleteFlag.View())});
        if (!cleared) return cleared;
    }
    // Closed, its header blank: no connection would roll it back.
    return fs.WipeFile(path + "-journal");
}

Result<std::vector<ClientRecord>> ClientTable::ReadAll() const {
    auto rows = db_->Query(std::string("SELECT ") + kColumns + " FROM ClientTable ORDER BY rowid");
    if (!rows) return rows.error();
    std::vector<ClientRecord> sheets;
    for (const std::vector<std::string>& row : *rows) sheets.push_back(FromRow(row));
    return sheets;
}

Status ClientTable::DeleteAll() {
    return db_->Execute("DELETE FROM ClientTable");
}

Status ClientTable::Insert(const std::vector<ClientRecord>& sheets) {
    if (Status st = db_->Execute("BEGIN"); !st) return st;
    for (const ClientRecord& sheet : sheets) {
        if (Status st = InsertOne(sheet); !st) {
            db_->Execute("ROLLBACK");
            return st;
        }
    }
    return db_->Execute("COMMIT");
}

Status ClientTable::InsertOne(const ClientRecord& sheet) {
    return db_->Execute(std::string("INSERT INTO ClientTable (") + kColumns +
                            ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                        Row(sheet));
}

Status ClientTable::Delete(const ClientRecord& sheet) {
    return db_->Execute("DELETE FROM ClientTable WHERE IDNumber = ? AND Answers = ?",
                        {Cp1252ToUtf8(sheet.IDNumber.View()), Cp1252ToUtf8(sheet.Answers.View())});
}

}  // namespace mw
