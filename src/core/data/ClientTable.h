// The scan route's ClientTable in mwscan.db of the program folder: the
// answer sheets of a batch that are not yet on the data disk, one row per
// sheet in the client record's fields, in the order they were read.
//
// A sheet leaves the table once its client is stored, or when the operator
// gives it up, so what remains after a batch waits for the next one; the
// table is emptied only when the operator chooses not to review them.
//
// The rows hold inmate numbers, birth dates and answers, so the database
// leaves none of them behind: deleted rows are overwritten with zeros, and
// the rollback journal, which keeps the pages a change overwrites, is kept
// and overwritten in place rather than deleted (a deleted journal's blocks
// would go to the free space as they are). Delete Names clears the rows'
// identities and wipes the journal.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/data/ClientRecord.h"
#include "core/data/Error.h"
#include "core/data/FileSystem.h"
#include "core/data/QuestionDatabase.h"

namespace mw {

class ClientTable {
public:
    // The table of the scan database in `programDir`, open until Close.
    static Result<ClientTable> Open(const std::string& programDir);

    // The sheets waiting, in the order they were read.
    Result<std::vector<ClientRecord>> ReadAll() const;
    Status DeleteAll();
    // All of them or, on a failure, none.
    Status Insert(const std::vector<ClientRecord>& sheets);
    // The row of this sheet (its inmate number and answers as read).
    Status Delete(const ClientRecord& sheet);
    void Close() { db_.reset(); }

    // Every waiting sheet loses its inmate number, as the clients on the
    // disk lose theirs: it gets the deleted name and flag. Then the journal
    // is wiped. No scan database: nothing to clear.
    static Status DeleteIdentities(FileSystem& fs, const std::string& programDir);

private:
    explicit ClientTable(std::unique_ptr<Database> db) : db_(std::move(db)) {}
    Status InsertOne(const ClientRecord& sheet);

    std::unique_ptr<Database> db_;
};

}  // namespace mw
