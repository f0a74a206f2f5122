// The scan route's ClientTable in mwscan.db of the program folder: the
// answer sheets of a batch that are not yet on the data disk, one row per
// sheet in the client record's fields, in the order they were read.
//
// A sheet leaves the table once its client is stored, or when the operator
// gives it up, so what remains after a batch waits for the next one; the
// table is emptied only when the operator chooses not to review them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/data/ClientRecord.h"
#include "core/data/Error.h"
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

private:
    explicit ClientTable(std::unique_ptr<Database> db) : db_(std::move(db)) {}
    Status InsertOne(const ClientRecord& sheet);

    std::unique_ptr<Database> db_;
};

}  // namespace mw
