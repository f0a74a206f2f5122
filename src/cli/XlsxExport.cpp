#include "cli/XlsxExport.h"

#include <stdlib.h>
#include <xlsxwriter.h>

#include <filesystem>

#include "cli/CsvExport.h"
#include "core/data/FileSystem.h"

namespace mw {
namespace {

// Days from 1899-12-30, where a spreadsheet counts its dates from, to 1970-01-01.
constexpr int kSheetEpochDays = 25569;

// A folder of this user's own for the workbook as it is put together: it
// holds client data until the workbook is read back and the folder removed.
class PrivateFolder {
public:
    PrivateFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "mw-export-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~PrivateFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    std::string& Path() { return path_; }

private:
    std::string path_;
};

struct Formats {
    lxw_format* header;
    lxw_format* date;
    lxw_format* decimal;
};

void WriteHeader(lxw_worksheet* sheet, const std::vector<std::string>& names, lxw_format* bold) {
    for (std::size_t col = 0; col < names.size(); ++col) {
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(col), names[col].c_str(), bold);
    }
    worksheet_freeze_panes(sheet, 1, 0);
}

void WriteCell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col, VariableType type,
               const std::string& text, const Formats& formats) {
    if (text.empty()) return;
    switch (type) {
        case VariableType::Text:
            worksheet_write_string(sheet, row, col, text.c_str(), nullptr);
            return;
        case VariableType::Date:
            worksheet_write_number(sheet, row, col, DaysSince1970(text) + kSheetEpochDays,
                                   formats.date);
            return;
        case VariableType::Decimal:
            worksheet_write_number(sheet, row, col, std::stod(text), formats.decimal);
            return;
        case VariableType::Integer:
            worksheet_write_number(sheet, row, col, std::stod(text), nullptr);
            return;
    }
}

void WriteClients(lxw_workbook* book, const ExportTable& table, const Formats& formats) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, "clients");
    std::vector<std::string> names;
    for (const ExportVariable& v : table.variables) names.push_back(v.name);
    WriteHeader(sheet, names, formats.header);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.variables.size(); ++c) {
            WriteCell(sheet, static_cast<lxw_row_t>(r + 1), static_cast<lxw_col_t>(c),
                      table.variables[c].type, table.rows[r][c].text, formats);
        }
    }
}

void WriteCodebook(lxw_workbook* book, const ExportTable& table, const Formats& formats) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, "codebook");
    const std::vector<std::vector<std::string>> rows = CodebookRows(table);
    WriteHeader(sheet, rows[0], formats.header);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            WriteCell(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                      VariableType::Text, rows[r][c], formats);
        }
    }
}

}  // namespace

Result<std::string> XlsxFile(const ExportTable& table, const std::string& path) {
    const auto fail = [&path](const std::string& why) {
        return MakeError(errc::PathFileAccess, "cannot write " + path + ": " + why);
    };
    PrivateFolder folder;
    if (folder.Path().empty()) return fail("no private temporary folder");
    const std::string workbook = JoinPath(folder.Path(), "clients.xlsx");
    lxw_workbook_options options{LXW_FALSE, folder.Path().data(), LXW_FALSE};
    lxw_workbook* book = workbook_new_opt(workbook.c_str(), &options);
    if (!book) return fail("the workbook could not be started");
    Formats formats{workbook_add_format(book), workbook_add_format(book),
                    workbook_add_format(book)};
    format_set_bold(formats.header);
    format_set_num_format(formats.date, "yyyy-mm-dd");
    format_set_num_format(formats.decimal, "0.00");
    WriteClients(book, table, formats);
    WriteCodebook(book, table, formats);
    if (const lxw_error e = workbook_close(book); e != LXW_NO_ERROR) return fail(lxw_strerror(e));
    return LocalFileSystem().ReadFile(workbook);
}

}  // namespace mw
