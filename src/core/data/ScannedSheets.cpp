#include "core/data/ScannedSheets.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "core/data/Cp1252.h"

namespace mw {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kInmateNumberWidth = decltype(ClientRecord::IDNumber)::kWidth;

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

bool NotAvailable(std::string_view text) {
    return text.empty() || EqualNoCase(text, "N");
}

// Length of the UTF-8 sequence at text[i], or 0 when it is not one.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead == 0) return 0;
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// A line of comma-separated cells; a cell may be quoted ("a, b"), with ""
// standing for one quote. Cells are trimmed of blanks.
std::optional<std::vector<std::string>> SplitCells(std::string_view line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') {
                cells.back() += c;
            } else if (i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    if (quoted) return std::nullopt;
    for (std::string& cell : cells) cell = Trim(cell);
    return cells;
}

Error LineError(const std::string& fileName, int line, const std::string& what) {
    return MakeError(errc::BadData, fileName + ", line " + std::to_string(line) + ": " + what);
}

class SheetReader {
public:
    SheetReader(const std::string& fileName, int line, const AnswerRanges& ranges)
        : fileName_(fileName), line_(line), ranges_(ranges) {}

    Error Fail(const std::string& what) const { return LineError(fileName_, line_, what); }

    Result<ScannedSheet> Read(const std::vector<std::string>& cells) const;

private:
    std::optional<Error> ReadClient(const std::vector<std::string>& cells,
                                    ScannedSheet& sheet) const;
    std::optional<Error> ReadCode(const std::string& cell, const char* what, std::size_t codes,
                                  int& code) const;
    Result<char> ReadMark(const std::string& cell, int item) const;

    const std::string& fileName_;
    int line_;
    const AnswerRanges& ranges_;
};

Result<ScannedSheet> SheetReader::Read(const std::vector<std::string>& cells) const {
    if (cells.size() != static_cast<std::size_t>(kSheetColumns)) {
        return Fail(std::to_string(cells.size()) + " columns where a sheet has " +
                    std::to_string(kSheetColumns) +
                    " (inmate number, 6 client fields and 160 items)");
    }
    ScannedSheet sheet;
    sheet.line = line_;
    if (auto error = ReadClient(cells, sheet)) return *error;
    for (int item = 1; item <= kItemCount; ++item) {
        Result<char> mark = ReadMark(cells[kSheetClientColumns + item - 1], item);
        if (!mark) return mark.error();
        sheet.Answers += *mark;
    }
    return sheet;
}

std::optional<Error> SheetReader::ReadClient(const std::vector<std::string>& cells,
                                             ScannedSheet& sheet) const {
    sheet.InmateNumber = Utf8ToCp1252(cells[0]);
    if (sheet.InmateNumber.empty()) return Fail("the sheet has no inmate number");
    if (sheet.InmateNumber.size() > kInmateNumberWidth) {
        return Fail("inmate number \"" + cells[0] + "\" is longer than " +
                    std::to_string(kInmateNumberWidth) + " characters");
    }
    const std::string& age = cells[1];
    if (!NotAvailable(age) && !(IsDigits(age) && age.size() <= 3)) {
        return Fail("age \"" + age + "\" is not a number of years");
    }
    if (!NotAvailable(age)) sheet.Age = age;
    if (auto error = ReadCode(cells[2], "sex", kGenderTexts.size(), sheet.Gender)) return error;
    if (auto error = ReadCode(cells[3], "ethnicity", kRaceTexts.size(), sheet.Race)) return error;
    const std::string& education = cells[4];
    if (!NotAvailable(education)) {
        if (!IsDigits(education) || education.size() > 2 || std::stoi(education) == 0) {
            return Fail("education \"" + education + "\" is not 1 to 99 years");
        }
        sheet.Education = std::to_string(std::stoi(education));
    }
    if (auto error =
            ReadCode(cells[5], "marital status", kMaritalStatusTexts.size(), sheet.MaritalStatus)) {
        return error;
    }
    const std::string& born = cells[6];
    if (NotAvailable(born)) return std::nullopt;
    const bool shaped = born.size() == 10 && born[2] == '/' && born[5] == '/' &&
                        IsDigits(born.substr(0, 2)) && IsDigits(born.substr(3, 2)) &&
                        IsDigits(born.substr(6));
    if (!shaped || std::stoi(born.substr(0, 2)) < 1 || std::stoi(born.substr(0, 2)) > 12 ||
        std::stoi(born.substr(3, 2)) < 1 || std::stoi(born.substr(3, 2)) > 31) {
        return Fail("date of birth \"" + born + "\" is not MM/DD/YYYY");
    }
    sheet.DateOfBirth = born;
    return std::nullopt;
}

std::optional<Error> SheetReader::ReadCode(const std::string& cell, const char* what,
                                           std::size_t codes, int& code) const {
    if (cell.empty()) return std::nullopt;
    if (cell.size() != 1 || !IsDigits(cell) || static_cast<std::size_t>(cell[0] - '0') >= codes) {
        return Fail(std::string(what) + " \"" + cell + "\" is not a code from 0 to " +
                    std::to_string(codes - 1));
    }
    code = cell[0] - '0';
    return std::nullopt;
}

// The item's answer, or a blank where the sheet gives none the item has.
Result<char> SheetReader::ReadMark(const std::string& cell, int item) const {
    if (cell.empty() || cell == std::string(1, kSeveralMarks)) return ' ';
    if (!IsDigits(cell)) {
        return Fail("item " + std::to_string(item) + ": \"" + cell + "\" is not a mark");
    }
    const int code = cell[0] - '0';
    return cell.size() == 1 && code > 0 && ranges_.Accepts(item, code) ? cell[0] : ' ';
}

// Another encoding shows as a byte order mark of UTF-16, NUL bytes, or bytes
// that are no UTF-8 (Windows-1252 accents, for example).
std::optional<Error> CheckEncoding(std::string_view text, const std::string& fileName) {
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, i);
        if (length == 0) {
            return LineError(fileName, line,
                             "the file is not UTF-8 text; export the sheets from the reader as "
                             "UTF-8 or ASCII");
        }
        if (text[i] == '\n') ++line;
        i += length;
    }
    return std::nullopt;
}

}  // namespace

Result<std::vector<ScannedSheet>> ParseScannedSheets(std::string_view text,
                                                     const std::string& fileName,
                                                     const AnswerRanges& ranges) {
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    if (auto error = CheckEncoding(text, fileName)) return *error;
    std::vector<ScannedSheet> sheets;
    std::map<std::string, int> lineOfInmate;
    bool anyLine = false;
    int lineNumber = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (Trim(line).empty()) continue;
        const SheetReader reader(fileName, lineNumber, ranges);
        const auto cells = SplitCells(line);
        if (!cells) return reader.Fail("a quoted cell is not closed");
        const bool header = !anyLine && EqualNoCase(cells->front(), "InmateNumber");
        anyLine = true;
        if (header) continue;
        Result<ScannedSheet> sheet = reader.Read(*cells);
        if (!sheet) return sheet.error();
        const auto [seen, added] = lineOfInmate.emplace(sheet->InmateNumber, lineNumber);
        if (!added) {
            return reader.Fail("inmate number " + cells->front() + " was already read on line " +
                               std::to_string(seen->second) + "; each sheet is imported once");
        }
        sheets.push_back(std::move(*sheet));
    }
    if (!anyLine) return MakeError(errc::BadData, fileName + " is empty: it holds no sheets");
    return sheets;
}

Result<std::vector<ScannedSheet>> ReadScannedSheets(FileSystem& fs, const std::string& path,
                                                    const AnswerRanges& ranges) {
    Result<std::string> text = fs.ReadFile(path);
    if (!text) return text.error();
    return ParseScannedSheets(*text, path, ranges);
}

ClientRecord ScannedClient(const ScannedSheet& sheet, std::string_view name, const Date& today) {
    ClientRecord client;
    client.Name = name;
    client.IDNumber = sheet.InmateNumber;
    client.Age = sheet.Age;
    client.Gender = std::to_string(sheet.Gender);
    client.Race = std::to_string(sheet.Race);
    client.Education = sheet.Education;
    client.MaritalStatus = std::to_string(sheet.MaritalStatus);
    client.DateOfBirth = sheet.DateOfBirth;
    client.TodayDate = FormatDate(today);
    std::string answers = sheet.Answers;
    std::replace(answers.begin(), answers.end(), ' ', '0');
    client.Answers = answers;
    client.timeseditted = "0";
    client.DeleteFlag = "0";
    return client;
}

}  // namespace mw
