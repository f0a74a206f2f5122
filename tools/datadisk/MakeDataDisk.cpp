// Builds a data disk folder from a readable client table: DATA401.MW with
// one 226-byte record per row (names converted to Windows-1252) and the
// identity file TID.
//
//   mw-makedisk CLIENTS.tsv DISK_FOLDER
#include <filesystem>
#include <iostream>

#include "common/TextTable.h"
#include "core/data/ClientRecord.h"
#include "core/data/ClientStore.h"
#include "core/data/Cp1252.h"
#include "core/data/FileSystem.h"

namespace {

mw::ClientRecord RecordOf(const mwtools::TextTable& table, const mwtools::TextRow& row) {
    auto cell = [&](const char* column) { return mw::Utf8ToCp1252(table.Cell(row, column)); };
    mw::ClientRecord r;
    r.Name = cell("Name");
    r.IDNumber = cell("IDNumber");
    r.Age = cell("Age");
    r.Gender = cell("Gender");
    r.Race = cell("Race");
    r.Education = cell("Education");
    r.MaritalStatus = cell("MaritalStatus");
    r.DateOfBirth = cell("DateOfBirth");
    r.TodayDate = cell("TodayDate");
    r.Answers = cell("Answers");
    r.timeseditted = cell("timeseditted");
    r.DeleteFlag = cell("DeleteFlag");
    if (table.Cell(row, "Answers").size() != 160) table.Fail(row, "Answers must hold 160 digits");
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mw-makedisk CLIENTS.tsv DISK_FOLDER\n";
        return 2;
    }
    try {
        mwtools::TextTable table = mwtools::ReadTextTable(argv[1]);
        std::string records;
        for (const mwtools::TextRow& row : table.rows) records += RecordOf(table, row).ToBytes();
        std::filesystem::create_directories(argv[2]);
        mwtools::WriteWholeFile(mw::JoinPath(argv[2], mw::kRecordFileName), records);
        mwtools::WriteWholeFile(mw::JoinPath(argv[2], "TID"), "M-W\r\n");
    } catch (const std::exception& e) {
        std::cerr << "mw-makedisk: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
