// The question database of the program folder: one question table per
// presentation language, plus the scan route's ClientTable in a database
// file of its own beside it.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/data/Error.h"

struct sqlite3;

namespace mw {

inline constexpr const char* kQuestionDatabaseName = "mw32.db";
inline constexpr const char* kScanDatabaseName = "mwscan.db";

// One row of a question table. Texts are UTF-8; an answer that the item does
// not have is empty.
struct QuestionRow {
    int ID = 0;
    std::string TestQuestion;
    std::string QuestionAudio;
    std::array<std::string, 5> Answer;       // ANSWER1 .. ANSWER5
    std::array<std::string, 5> ChoiceAudio;  // ChoiceAudio1 .. ChoiceAudio5
};

// SQLite needs no user, password or workgroup file to open a database.
class Database {
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static Result<std::unique_ptr<Database>> Open(const std::string& path, bool readOnly);

    // Table names in the database's own order.
    Result<std::vector<std::string>> TableNames() const;
    // The rows of a question table in stored order.
    Result<std::vector<QuestionRow>> ReadQuestionTable(const std::string& table) const;
    // The rows of a query, every value as text (NULL as empty).
    Result<std::vector<std::vector<std::string>>> Query(const std::string& sql) const;
    Status Execute(const std::string& sql);
    // One statement with its "?" parameters bound to `values`, as text.
    Status Execute(const std::string& sql, const std::vector<std::string>& values);

private:
    Database(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    Error Fail(const std::string& doing) const;

    sqlite3* db_;
    std::string path_;
};

// Quotes a table or column name for SQL.
std::string QuoteIdentifier(const std::string& name);

}  // namespace mw
