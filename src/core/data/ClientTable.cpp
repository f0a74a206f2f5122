#include "core/data/ClientTable.h"

#include "core/data/Cp1252.h"
#include "core/data/FileSystem.h"

namespace mw {
namespace {

// Every field as the record holds it, blanks included: a blank among the
// answers is an item that did not scan.
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

}  // namespace

Result<ClientTable> ClientTable::Open(const std::string& programDir) {
    Result<std::unique_ptr<Database>> db =
        Database::Open(JoinPath(programDir, kScanDatabaseName), false);
    if (!db) return db.error();
    return ClientTable(std::move(*db));
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
    return db_->Execute(
        "INSERT INTO ClientTable (Name, IDNumber, Age, Gender, Race, Education, MaritalStatus, "
        "DateOfBirth, TodayDate, Answers, timeseditted, DeleteFlag) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        Row(sheet));
}

Status ClientTable::Delete(const ClientRecord& sheet) {
    return db_->Execute("DELETE FROM ClientTable WHERE IDNumber = ?",
                        {Cp1252ToUtf8(sheet.IDNumber.View())});
}

}  // namespace mw
