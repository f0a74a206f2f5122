#include "core/data/QuestionDatabase.h"

#include <sqlite3.h>

namespace mw {
namespace {

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() const { return stmt_; }

    std::string Text(int column) const {
        auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return text ? text : "";
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// Column index by name (case-insensitive, as the question tables were always read), or -1.
int ColumnIndex(const Statement& st, const std::string& name) {
    for (int i = 0; i < sqlite3_column_count(st.get()); ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(st.get(), i), name.c_str()) == 0) return i;
    }
    return -1;
}

}  // namespace

Database::~Database() {
    sqlite3_close(db_);
}

Error Database::Fail(const std::string& doing) const {
    return MakeError(errc::DatabaseCannotOpen, doing + " in " + path_ + ": " + sqlite3_errmsg(db_));
}

Result<std::unique_ptr<Database>> Database::Open(const std::string& path, bool readOnly) {
    sqlite3* db = nullptr;
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string why = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        return MakeError(errc::DatabaseFileNotFound, "cannot open database " + path + ": " + why);
    }
    return std::unique_ptr<Database>(new Database(db, path));
}

Result<std::vector<std::string>> Database::TableNames() const {
    Statement st(db_, "SELECT name FROM sqlite_master WHERE type = 'table'");
    if (!st.ok()) return Fail("cannot list the tables");
    std::vector<std::string> names;
    while (sqlite3_step(st.get()) == SQLITE_ROW) names.push_back(st.Text(0));
    return names;
}

Result<std::vector<QuestionRow>> Database::ReadQuestionTable(const std::string& table) const {
    Statement st(db_, "SELECT * FROM " + QuoteIdentifier(table) + " ORDER BY rowid");
    if (!st.ok()) return Fail("cannot read table " + table);
    const int id = ColumnIndex(st, "ID");
    const int question = ColumnIndex(st, "TestQuestion");
    const int audio = ColumnIndex(st, "QuestionAudio");
    if (id < 0 || question < 0 || audio < 0)
        return Fail("table " + table + " is not a question table");
    std::array<int, 5> answer{}, choice{};
    for (int k = 0; k < 5; ++k) {
        answer[k] = ColumnIndex(st, "ANSWER" + std::to_string(k + 1));
        choice[k] = ColumnIndex(st, "ChoiceAudio" + std::to_string(k + 1));
    }
    std::vector<QuestionRow> rows;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        QuestionRow row;
        row.ID = sqlite3_column_int(st.get(), id);
        row.TestQuestion = st.Text(question);
        row.QuestionAudio = st.Text(audio);
        for (int k = 0; k < 5; ++k) {
            if (answer[k] >= 0) row.Answer[k] = st.Text(answer[k]);
            if (choice[k] >= 0) row.ChoiceAudio[k] = st.Text(choice[k]);
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) return Fail("cannot read table " + table);
    return rows;
}

Result<std::vector<std::vector<std::string>>> Database::Query(const std::string& sql) const {
    Statement st(db_, sql);
    if (!st.ok()) return Fail("cannot run \"" + sql + "\"");
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(st.get()); ++i) row.push_back(st.Text(i));
    }
    if (rc != SQLITE_DONE) return Fail("cannot run \"" + sql + "\"");
    return rows;
}

Status Database::Execute(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string why = message ? message : "unknown error";
        sqlite3_free(message);
        return MakeError(errc::DatabaseCannotOpen,
                         "cannot run \"" + sql + "\" in " + path_ + ": " + why);
    }
    return {};
}

Status Database::Execute(const std::string& sql, const std::vector<std::string>& values) {
    Statement st(db_, sql);
    if (!st.ok()) return Fail("cannot run \"" + sql + "\"");
    for (std::size_t i = 0; i < values.size(); ++i) {
        sqlite3_bind_text(st.get(), static_cast<int>(i + 1), values[i].c_str(),
                          static_cast<int>(values[i].size()), SQLITE_TRANSIENT);
    }
    if (sqlite3_step(st.get()) != SQLITE_DONE) return Fail("cannot run \"" + sql + "\"");
    return {};
}

std::string QuoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

}  // namespace mw
