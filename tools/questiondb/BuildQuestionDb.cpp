// Builds the station's question database from the instrument's question
// sources (one tab-separated file per language; the table is named after
// the file) and the empty scan database with its ClientTable.
//
//   mw-questiondb QUESTION_DB SCAN_DB LANGUAGE.tsv...
#include <sqlite3.h>

#include <filesystem>
#include <iostream>

#include "common/TextTable.h"

namespace {

const std::vector<std::string> kColumns = {
    "ID",           "TestQuestion", "QuestionAudio", "ANSWER1",      "ANSWER2",
    "ANSWER3",      "ANSWER4",      "ANSWER5",       "ChoiceAudio1", "ChoiceAudio2",
    "ChoiceAudio3", "ChoiceAudio4", "ChoiceAudio5"};

const std::vector<std::string> kClientColumns = {
    "Name",          "IDNumber",    "Age",       "Gender",  "Race",         "Education",
    "MaritalStatus", "DateOfBirth", "TodayDate", "Answers", "timeseditted", "DeleteFlag"};

class Db {
public:
    explicit Db(const std::string& path) : path_(path) {
        std::filesystem::remove(path);
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) Fail("cannot create");
    }
    ~Db() { sqlite3_close(db_); }

    void Exec(const std::string& sql) {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
    }

    void Insert(const std::string& table, const std::vector<std::string>& cells) {
        std::string sql = "INSERT INTO \"" + table + "\" VALUES (?";
        for (std::size_t i = 1; i < cells.size(); ++i) sql += ",?";
        sql += ")";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) Fail(sql);
        sqlite3_bind_int(st, 1, std::stoi(cells[0]));
        for (std::size_t i = 1; i < cells.size(); ++i) {
            // An answer the item does not have is stored as NULL, as the
            // presentation screen expects of a missing answer.
            if (cells[i].empty()) {
                sqlite3_bind_null(st, static_cast<int>(i + 1));
            } else {
                sqlite3_bind_text(st, static_cast<int>(i + 1), cells[i].c_str(), -1,
                                  SQLITE_TRANSIENT);
            }
        }
        int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) Fail(sql);
    }

private:
    [[noreturn]] void Fail(const std::string& what) {
        throw std::runtime_error(path_ + ": " + what + ": " + sqlite3_errmsg(db_));
    }

    std::string path_;
    sqlite3* db_ = nullptr;
};

void AddLanguage(Db& db, const std::string& tsv) {
    mwtools::TextTable table = mwtools::ReadTextTable(tsv);
    if (table.columns != kColumns) throw std::runtime_error(tsv + ": unexpected header line");
    std::string name = std::filesystem::path(tsv).stem().string();
    std::string create = "CREATE TABLE \"" + name + "\" (ID INTEGER";
    for (std::size_t i = 1; i < kColumns.size(); ++i) create += ", " + kColumns[i] + " TEXT";
    db.Exec(create + ")");
    int expected = 1;
    for (const mwtools::TextRow& row : table.rows) {
        if (row.cells[0] != std::to_string(expected)) {
            table.Fail(row, "expected item " + std::to_string(expected));
        }
        ++expected;
        db.Insert(name, row.cells);
    }
}

void CreateScanDatabase(const std::string& path) {
    Db db(path);
    std::string create = "CREATE TABLE ClientTable (";
    for (std::size_t i = 0; i < kClientColumns.size(); ++i) {
        create += (i ? ", " : "") + kClientColumns[i] + " TEXT";
    }
    db.Exec(create + ")");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: mw-questiondb QUESTION_DB SCAN_DB LANGUAGE.tsv...\n";
        return 2;
    }
    try {
        {
            Db db(argv[1]);
            db.Exec("BEGIN");
            for (int i = 3; i < argc; ++i) AddLanguage(db, argv[i]);
            db.Exec("COMMIT");
        }
        CreateScanDatabase(argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "mw-questiondb: " << e.what() << "\n";
        std::filesystem::remove(argv[1]);
        return 1;
    }
    return 0;
}
