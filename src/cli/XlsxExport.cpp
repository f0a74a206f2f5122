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

// The first failure of a sheet's writes; the rest are not tried.
class SheetWriter {
public:
    SheetWriter(lxw_workbook* book, const char* name)
        : sheet_(workbook_add_worksheet(book, name)),
          error_(sheet_ ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED) {}

    // The header row in bold, kept in view as the rows scroll.
    void Header(const std::vector<std::string>& names, lxw_format* bold) {
        for (std::size_t col = 0; col < names.size(); ++col) Text(0, col, names[col], bold);
        if (sheet_) worksheet_freeze_panes(sheet_, 1, 0);
    }

    void Cell(std::size_t row, std::size_t col, VariableType type, const std::string& text,
              const Formats& formats) {
        if (text.empty()) return;
        switch (type) {
            case VariableType::Text:
                return Text(row, col, text, nullptr);
            case VariableType::Date:
                return Number(row, col, DaysSince1970(text) + kSheetEpochDays, formats.date);
            case VariableType::Decimal:
                return Number(row, col, std::stod(text), formats.decimal);
            case VariableType::Integer:
                return Number(row, col, std::stod(text), nullptr);
        }
    }

    lxw_error Error() const { return error_; }

private:
    void Text(std::size_t row, std::size_t col, const std::string& text, lxw_format* format) {
        if (error_ == LXW_NO_ERROR) {
            error_ = worksheet_write_string(sheet_, static_cast<lxw_row_t>(row),
                                            static_cast<lxw_col_t>(col), text.c_str(), format);
        }
    }
    void Number(std::size_t row, std::size_t col, double value, lxw_format* format) {
        if (error_ == LXW_NO_ERROR) {
            error_ = worksheet_write_number(sheet_, static_cast<lxw_row_t>(row),
                                            static_cast<lxw_col_t>(col), value, format);
        }
    }

    lxw_worksheet* sheet_;
    lxw_error error_;
};

lxw_error WriteClients(lxw_workbook* book, const ExportTable& table, const Formats& formats) {
    SheetWriter sheet(book, "clients");
    std::vector<std::string> names;
    for (const ExportVariable& v : table.variables) names.push_back(v.name);
    sheet.Header(names, formats.header);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (std::size_t c = 0; c < table.variables.size(); ++c) {
            sheet.Cell(r + 1, c, table.variables[c].type, table.rows[r][c].text, formats);
        }
    }
    return sheet.Error();
}

lxw_error WriteCodebook(lxw_workbook* book, const ExportTable& table, const Formats& formats) {
    SheetWriter sheet(book, "codebook");
    const std::vector<std::vector<std::string>> rows = CodebookRows(table);
    sheet.Header(rows[0], formats.header);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            sheet.Cell(r, c, VariableType::Text, rows[r][c], formats);
        }
    }
    return sheet.Error();
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
    lxw_error e = WriteClients(book, table, formats);
    if (e == LXW_NO_ERROR) e = WriteCodebook(book, table, formats);
    // Closing writes the file, and frees the workbook whatever went wrong before.
    const lxw_error closed = workbook_close(book);
    if (e == LXW_NO_ERROR) e = closed;
    if (e != LXW_NO_ERROR) return fail(lxw_strerror(e));
    return LocalFileSystem().ReadFile(workbook);
}

}  // namespace mw
