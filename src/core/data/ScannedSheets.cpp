#include "core/data/ScannedSheets.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <map>
#include <numeric>
#include <optional>
#include <regex>
#include <set>

#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "core/settings/Settings.h"

namespace mw {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kInmateNumberWidth = decltype(ClientRecord::IDNumber)::kWidth;
constexpr std::size_t kNameWidth = decltype(ClientRecord::Name)::kWidth;

// The station's own file names the client's fields so.
constexpr std::array<std::pair<std::string_view, SheetColumn::Use>, 6> kClientColumns = {{
    {"Age", SheetColumn::Age},
    {"Sex", SheetColumn::Sex},
    {"Race", SheetColumn::Race},
    {"Education", SheetColumn::Education},
    {"MaritalStatus", SheetColumn::MaritalStatus},
    {"DateOfBirth", SheetColumn::DateOfBirth},
}};

bool IsDigits(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return Upper(a) == Upper(b);
}

bool NotAvailable(std::string_view text) {
    return text.empty() || EqualNoCase(text, "N");
}

// A pattern of column names; an empty one names no column.
std::regex NamePattern(std::string_view pattern) {
    return std::regex{pattern.empty() ? std::string(R"([^\s\S])") : std::string(pattern),
                      std::regex::icase};
}

// Length of the UTF-8 sequence at text[i], or 0 when it is not one.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
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

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

int LineAt(std::string_view text, std::size_t pos) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + pos, '\n'));
}

Error LineError(const std::string& fileName, int line, const std::string& what) {
    return MakeError(errc::BadData, FilePlace(fileName, line) + what);
}

struct Decoded {
    std::string text;  // UTF-8
    std::string encoding;
};

// UTF-8 with or without its byte order mark, or else Windows-1252, as a
// spreadsheet saves it. UTF-16 and other binary files are refused.
Result<Decoded> Decode(std::string_view bytes, const std::string& fileName) {
    const std::size_t nul = bytes.find('\0');
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") || nul != bytes.npos) {
        return LineError(fileName, nul == bytes.npos ? 1 : LineAt(bytes, nul),
                         "the file is not text in UTF-8 or Windows-1252 (UTF-16?); save the "
                         "sheets as UTF-8 or Windows-1252 text");
    }
    if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
    if (IsUtf8(bytes)) return Decoded{std::string(bytes), "UTF-8"};
    return Decoded{Cp1252ToUtf8(bytes), "Windows-1252"};
}

// The text's lines without their line ends, numbered from 1.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

// The delimiter the header uses most, outside quotes: comma, semicolon or tab.
char DelimiterOf(std::string_view header) {
    char best = ',';
    std::size_t most = 0;
    for (char candidate : {',', ';', '\t'}) {
        std::size_t count = 0;
        bool quoted = false;
        for (char c : header) {
            if (c == '"') quoted = !quoted;
            if (!quoted && c == candidate) ++count;
        }
        if (count > most) {
            best = candidate;
            most = count;
        }
    }
    return best;
}

// A line's cells; a cell may be quoted ("a, b"), with "" standing for one
// quote. Cells are trimmed of blanks. An empty cell is a cell: a sheet whose
// last items have no mark ends in delimiters.
std::optional<std::vector<std::string>> SplitCells(std::string_view line, char delimiter,
                                                   std::vector<int>* columns = nullptr) {
    std::vector<std::string> cells(1);
    if (columns) *columns = {1};
    int characters = 0;  // before i; a UTF-8 character counts once, as editors count columns
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            cells.back() += '"';
            ++i;
            ++characters;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == delimiter) {
            cells.emplace_back();
            if (columns) columns->push_back(characters + 1);
        } else {
            cells.back() += c;
        }
    }
    if (quoted) return std::nullopt;
    for (std::string& cell : cells) cell = Trim(cell);
    return cells;
}

// Empty cells past the header's columns: the delimiter a spreadsheet may
// end every line with.
void DropTrailingDelimiters(std::vector<std::string>& cells, std::size_t columns) {
    while (cells.size() > std::max<std::size_t>(columns, 1) && cells.back().empty()) {
        cells.pop_back();
    }
}

bool BlankLine(std::string_view line) {
    return std::ranges::all_of(line, [](char c) { return c == ' ' || c == '\t'; });
}

// The layout the office named, or the one the header fits.
Result<const SheetLayout*> ChooseLayout(const std::vector<std::string>& columns,
                                        const SheetChoice& choice, const std::string& where) {
    if (!choice.layout.empty()) {
        if (const SheetLayout* named = FindSheetLayout(choice.layout)) return named;
        return MakeError(errc::BadData, "there is no sheet layout \"" + choice.layout +
                                            "\"; the station reads " + SheetLayoutNames());
    }
    std::vector<const SheetLayout*> fitting;
    for (const SheetLayout& layout : SheetLayouts()) {
        const bool fits = std::ranges::all_of(layout.signature, [&](std::string_view pattern) {
            const std::regex named = NamePattern(pattern);
            return std::ranges::any_of(columns, [&](const std::string& column) {
                return std::regex_match(column, named);
            });
        });
        if (fits) fitting.push_back(&layout);
    }
    if (fitting.size() == 1) return fitting.front();
    if (fitting.empty()) {
        return MakeError(errc::BadData,
                         where + "the header fits none of the layouts the station reads (" +
                             SheetLayoutNames() + "); is the first line the column names?");
    }
    return MakeError(errc::BadData, where + "the header fits both " +
                                        std::string(fitting[0]->name) + " and " +
                                        std::string(fitting[1]->name) + "; name the layout");
}

// Which item an item column holds, 0 when the name is no item column, -1
// when it names an item the answer sheet does not have.
int ItemOfColumn(const std::string& name, const std::regex& itemColumns) {
    std::smatch groups;
    if (!std::regex_match(name, groups, itemColumns)) return 0;
    const auto number = [&](std::size_t g) {
        return groups[g].length() > 6 ? -1 : std::stoi(groups[g].str());
    };
    int item = number(1);
    if (groups.size() > 2) {
        const int section = item;
        const int place = number(2);
        if (section < 1 || section > kSectionCount || place < 1 ||
            place > SectionBounds[section] - SectionBounds[section - 1]) {
            return -1;
        }
        item = SectionBounds[section - 1] + place;
    }
    return item >= 1 && item <= kItemCount ? item : -1;
}

class SheetReader {
public:
    SheetReader(const std::string& fileName, const AnswerRanges& ranges, const Date& today,
                SheetFile& file)
        : fileName_(fileName),
          ranges_(ranges),
          today_(today),
          file_(file),
          inmateColumn_(NamePattern(file.layout->inmateColumn)),
          itemColumns_(NamePattern(file.layout->itemColumns)),
          fileNameColumns_(NamePattern(file.layout->fileNameColumns)) {}

    std::optional<Error> MapColumns(const SheetChoice& choice, int headerLine);
    // `cellColumns`: where each cell starts on its line, for messages.
    std::optional<Error> ReadSheet(std::vector<std::string> cells, int line,
                                   std::vector<int> cellColumns);

private:
    Error Fail(int line, std::size_t column, const std::string& what) const {
        return MakeError(errc::BadData, FilePlace(fileName_, line, cellColumns_[column]) +
                                            "column " + file_.columns[column] + ": " + what);
    }
    std::vector<int> ItemsOfColumns() const;
    std::optional<std::size_t> InmateColumn() const;
    SheetColumn UseOf(std::size_t column, int item, std::size_t inmate,
                      std::optional<std::size_t> name) const;
    std::optional<Error> ReadCell(const std::string& cell, std::size_t column,
                                  ScannedSheet& sheet) const;
    Result<std::string> ReadRecordText(const std::string& cell, std::size_t column, int line,
                                       std::string_view what, std::size_t width) const;
    Result<std::string> ReadNumber(const std::string& cell, int largest, std::size_t column,
                                   int line) const;
    Result<std::string> ReadCode(const std::string& cell, std::size_t codes, std::size_t column,
                                 int line) const;
    Result<std::string> ReadDate(const std::string& cell, std::size_t column, int line) const;
    Result<char> ReadMark(const std::string& cell, int item, std::size_t column, int line) const;
    Result<char> MarkOfBoxes(const std::string& cell, int item, std::size_t column, int line) const;
    char OneMark(const std::vector<int>& marks, int item) const;

    const std::string& fileName_;
    const AnswerRanges& ranges_;
    Date today_;
    SheetFile& file_;
    const std::regex inmateColumn_;
    const std::regex itemColumns_;
    const std::regex fileNameColumns_;
    std::vector<int> cellColumns_;  // of the sheet being read
};

// The items of a questionnaire's answer columns: by their names where those
// number one section of 160 questions ("1_160") or follow the answer sheet's
// sections ("2_1" is item 94), else the columns in order.
std::vector<int> ItemsOfAnswers(const std::vector<std::string>& names, const std::regex& sections) {
    static const std::regex oneSection(R"(1_(\d{1,3}))");
    std::vector<int> bySection;
    std::vector<int> inOneSection;
    std::vector<int> inOrder;
    for (const std::string& name : names) {
        std::smatch groups;
        inOneSection.push_back(std::regex_match(name, groups, oneSection) ? std::stoi(groups[1])
                                                                          : -1);
        bySection.push_back(ItemOfColumn(name, sections));
        inOrder.push_back(static_cast<int>(inOrder.size()) + 1);
    }
    const auto everyItemOnce = [](std::vector<int> items) {
        std::ranges::sort(items);
        std::vector<int> each(kItemCount);
        std::iota(each.begin(), each.end(), 1);
        return items == each;
    };
    if (everyItemOnce(inOneSection)) return inOneSection;
    if (everyItemOnce(bySection)) return bySection;
    for (int& item : inOrder) item = item <= kItemCount ? item : -1;
    return inOrder;
}

// The column that names the sheet where the office named none: the layout's
// own or, without it, the first code column.
std::optional<std::size_t> SheetReader::InmateColumn() const {
    const std::vector<std::string>& columns = file_.columns;
    const auto fits = [](const std::regex& pattern) {
        return [&pattern](const std::string& name) { return std::regex_match(name, pattern); };
    };
    const auto own = std::ranges::find_if(columns, fits(inmateColumn_));
    if (own != columns.end()) return static_cast<std::size_t>(own - columns.begin());
    const std::regex before = NamePattern(file_.layout->codeColumnsAfter);
    const auto last = std::ranges::find_if(columns.rbegin(), columns.rend(), fits(before));
    for (auto i = static_cast<std::size_t>(columns.rend() - last);
         last != columns.rend() && i < columns.size(); ++i) {
        if (columns[i].find(':') == std::string::npos) return i;
    }
    return std::nullopt;
}

// The item each column holds: 0 for none, -1 for one the answer sheet does
// not have.
std::vector<int> SheetReader::ItemsOfColumns() const {
    const SheetLayout& layout = *file_.layout;
    const std::vector<std::string>& columns = file_.columns;
    std::vector<int> items;
    if (layout.answerTwinSuffix.empty()) {
        for (const std::string& name : columns) items.push_back(ItemOfColumn(name, itemColumns_));
        return items;
    }
    std::set<std::string> names;
    for (const std::string& name : columns) names.insert(Upper(name));
    std::vector<std::string> answers;
    for (const std::string& name : columns) {
        const bool answer = names.contains(Upper(name + std::string(layout.answerTwinSuffix)));
        items.push_back(answer ? 1 : 0);
        if (answer) answers.push_back(name);
    }
    std::vector<int> answerItems = ItemsOfAnswers(answers, itemColumns_);
    auto next = answerItems.begin();
    for (int& item : items) {
        if (item != 0) item = *next++;
    }
    return items;
}

SheetColumn SheetReader::UseOf(std::size_t column, int item, std::size_t inmate,
                               std::optional<std::size_t> name) const {
    const std::string& columnName = file_.columns[column];
    if (column == inmate) {
        return {.use = SheetColumn::Inmate,
                .fromFileName = std::regex_match(columnName, fileNameColumns_)};
    }
    if (column == name) return {SheetColumn::Name};
    if (file_.layout->clientFields) {
        for (const auto& [fieldColumn, use] : kClientColumns) {
            if (EqualNoCase(columnName, fieldColumn)) return {use};
        }
    }
    return item == 0 ? SheetColumn{} : SheetColumn{.use = SheetColumn::Item, .item = item};
}

// Every column's use; a column named twice, holding an item the answer
// sheet does not have or that another column holds, or unknown where the
// layout knows every column, is refused, and so is a header without the
// inmate number, the name column the office chose or an item.
std::optional<Error> SheetReader::MapColumns(const SheetChoice& choice, int headerLine) {
    const auto fail = [&](const std::string& what) {
        return LineError(fileName_, headerLine, what);
    };
    const std::vector<std::string>& columns = file_.columns;
    std::map<std::string, std::size_t> named;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].empty()) return fail("column " + std::to_string(i + 1) + " has no name");
        if (!named.emplace(Upper(columns[i]), i).second)
            return fail("the header names " + columns[i] + " twice");
    }
    const auto columnNamed = [&](const std::string& name) -> std::optional<std::size_t> {
        const auto found = named.find(Upper(name));
        return found == named.end() ? std::nullopt : std::optional(found->second);
    };
    const std::vector<int> items = ItemsOfColumns();
    const std::optional<std::size_t> inmate =
        choice.inmateColumn.empty() ? InmateColumn() : columnNamed(choice.inmateColumn);
    if (!inmate) {
        const std::string column = choice.inmateColumn.empty()
                                       ? std::string(file_.layout->inmateTitle)
                                       : choice.inmateColumn;
        return fail("the header has no column " + column + " for the inmate number");
    }
    const std::optional<std::size_t> name = columnNamed(choice.nameColumn);
    if (!choice.nameColumn.empty() && !name) {
        return fail("the header has no column " + choice.nameColumn + " for the client's name");
    }
    std::map<int, std::size_t> columnOfItem;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const SheetColumn use = UseOf(i, items[i], *inmate, name);
        if (use.item < 0) return fail("column " + columns[i] + " is no item of the answer sheet");
        if (use.use == SheetColumn::Item && !columnOfItem.emplace(use.item, i).second) {
            return fail("columns " + columns[columnOfItem[use.item]] + " and " + columns[i] +
                        " both hold item " + std::to_string(use.item));
        }
        // The layout's own inmate number column stays known when the office names another.
        if (use.use == SheetColumn::Unused && file_.layout->otherColumnsRefused &&
            !std::regex_match(columns[i], inmateColumn_)) {
            return fail("column " + columns[i] + " is not one of the " +
                        std::string(file_.layout->title) + " columns");
        }
        file_.uses.push_back(use);
    }
    for (int item = 1; item <= kItemCount; ++item) {
        if (!columnOfItem.contains(item)) {
            return fail("the header has no column for item " + std::to_string(item));
        }
    }
    return std::nullopt;
}

std::optional<Error> SheetReader::ReadSheet(std::vector<std::string> cells, int line,
                                            std::vector<int> cellColumns) {
    cellColumns_ = std::move(cellColumns);
    DropTrailingDelimiters(cells, file_.columns.size());
    if (cells.size() != file_.columns.size()) {
        return LineError(fileName_, line,
                         std::to_string(cells.size()) + " cells where the header names " +
                             std::to_string(file_.columns.size()) + " columns");
    }
    ScannedSheet sheet;
    sheet.line = line;
    sheet.client.Answers = std::string(kItemCount, '0');
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (auto error = ReadCell(cells[i], i, sheet)) return error;
    }
    file_.sheets.push_back(std::move(sheet));
    return std::nullopt;
}

std::optional<Error> SheetReader::ReadCell(const std::string& cell, std::size_t column,
                                           ScannedSheet& sheet) const {
    const SheetColumn& use = file_.uses[column];
    const int line = sheet.line;
    ClientRecord& client = sheet.client;
    const auto put = [](auto& field, Result<std::string> value) -> std::optional<Error> {
        if (!value) return value.error();
        field = *value;
        return std::nullopt;
    };
    switch (use.use) {
        case SheetColumn::Inmate:
            return put(client.IDNumber,
                       ReadRecordText(cell, column, line, "inmate number", kInmateNumberWidth));
        case SheetColumn::Name:
            return put(client.Name, ReadRecordText(cell, column, line, "name", kNameWidth));
        case SheetColumn::Age:
            return put(client.Age, ReadNumber(cell, 999, column, line));
        case SheetColumn::Sex:
            return put(client.Gender, ReadCode(cell, kGenderTexts.size(), column, line));
        case SheetColumn::Race:
            return put(client.Race, ReadCode(cell, kRaceTexts.size(), column, line));
        case SheetColumn::Education:
            return put(client.Education, ReadNumber(cell, 99, column, line));
        case SheetColumn::MaritalStatus:
            return put(client.MaritalStatus,
                       ReadCode(cell, kMaritalStatusTexts.size(), column, line));
        case SheetColumn::DateOfBirth:
            return put(client.DateOfBirth, ReadDate(cell, column, line));
        case SheetColumn::Item: {
            Result<char> mark = ReadMark(cell, use.item, column, line);
            if (!mark) return mark.error();
            client.Answers[static_cast<std::size_t>(use.item - 1)] = *mark;
            return std::nullopt;
        }
        case SheetColumn::Unused:
            break;
    }
    return std::nullopt;
}

// The inmate number or name as the record holds it: Windows-1252, at most
// `width` characters. From a file name column, the file's name without its
// folder and extension. A sheet needs an inmate number; an empty name is
// left to the batch settings.
Result<std::string> SheetReader::ReadRecordText(const std::string& cell, std::size_t column,
                                                int line, std::string_view what,
                                                std::size_t width) const {
    std::string text = cell;
    if (file_.uses[column].fromFileName) {
        text = text.substr(text.find_last_of("/\\") + 1);
        text = Trim(text.substr(0, text.rfind('.')));
    }
    const bool inmate = file_.uses[column].use == SheetColumn::Inmate;
    if (text.empty() && inmate) return Fail(line, column, "the sheet has no inmate number");
    const std::string held = Utf8ToCp1252(text);
    const bool control = std::ranges::any_of(
        held, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    const std::string quoted = std::string(what) + " \"" + text + "\"";
    if (control || Cp1252ToUtf8(held) != text) {
        return Fail(line, column, quoted + " has a character the record cannot hold");
    }
    if (held.size() > width) {
        return Fail(line, column,
                    quoted + " is longer than " + std::to_string(width) + " characters");
    }
    return held;
}

// A whole number from 1 to `largest`, or "N" (also for an empty cell): not available.
Result<std::string> SheetReader::ReadNumber(const std::string& cell, int largest,
                                            std::size_t column, int line) const {
    if (NotAvailable(cell)) return std::string("N");
    const int digits = static_cast<int>(std::to_string(largest).size());
    if (!IsDigits(cell) || static_cast<int>(cell.size()) > digits || std::stoi(cell) == 0) {
        return Fail(line, column,
                    "\"" + cell + "\" is not a number from 1 to " + std::to_string(largest));
    }
    return std::to_string(std::stoi(cell));
}

// A code of the client screen's list, or 0 (also "N" or empty): not available.
Result<std::string> SheetReader::ReadCode(const std::string& cell, std::size_t codes,
                                          std::size_t column, int line) const {
    if (NotAvailable(cell)) return std::string("0");
    if (cell.size() != 1 || !IsDigits(cell) || static_cast<std::size_t>(cell[0] - '0') >= codes) {
        return Fail(line, column,
                    "\"" + cell + "\" is not a code from 0 to " + std::to_string(codes - 1));
    }
    return cell;
}

// MM/DD/YYYY, or M/D/YYYY as a spreadsheet writes it: a day that exists,
// from 1890 up to today. Stored as MM/DD/YYYY.
Result<std::string> SheetReader::ReadDate(const std::string& cell, std::size_t column,
                                          int line) const {
    if (NotAvailable(cell)) return std::string("N");
    const std::size_t first = cell.find('/');
    const std::size_t second = cell.find('/', first + 1);
    const auto part = [&](std::size_t from, std::size_t to, std::size_t widest) {
        const std::string text = cell.substr(from, to - from);
        return IsDigits(text) && text.size() <= widest ? std::stoi(text) : -1;
    };
    const bool shaped = second != std::string::npos && cell.size() - second - 1 == 4;
    const int month = shaped ? part(0, first, 2) : -1;
    const int day = shaped ? part(first + 1, second, 2) : -1;
    const int year = shaped ? part(second + 1, cell.size(), 4) : -1;
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(year), std::chrono::month(month > 0 ? month : 0),
                              std::chrono::day(day > 0 ? day : 0)};
    const year_month_day latest{std::chrono::year(today_.year),
                                std::chrono::month(static_cast<unsigned>(today_.month)),
                                std::chrono::day(static_cast<unsigned>(today_.day))};
    if (month < 0 || day < 0 || !date.ok() || year < kEarliestBirthYear || date > latest) {
        return Fail(line, column,
                    "\"" + cell + "\" is not a date of birth (MM/DD/YYYY, from " +
                        std::to_string(kEarliestBirthYear) + " to today)");
    }
    return FormatDate(Date{year, month, day});
}

// The item's answer; '0' where the item has no mark; a blank where it has
// several or one the item has no answer for.
Result<char> SheetReader::ReadMark(const std::string& cell, int item, std::size_t column,
                                   int line) const {
    const SheetLayout& layout = *file_.layout;
    const auto isOneOf = [&](const std::vector<std::string_view>& codes) {
        return std::ranges::any_of(codes,
                                   [&](std::string_view code) { return EqualNoCase(cell, code); });
    };
    if (cell.empty() || isOneOf(layout.blankCodes)) return '0';
    if (isOneOf(layout.severalCodes)) return ' ';
    const bool boxList =
        layout.boxListSeparator != 0 && cell.find(layout.boxListSeparator) != std::string::npos;
    if (boxList) return MarkOfBoxes(cell, item, column, line);
    std::vector<int> marks;
    for (char c : cell) {
        if (c == layout.markSeparator && layout.markSeparator != 0) continue;
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const int code = upper >= '0' && upper <= '9'   ? upper - '0'
                         : upper >= 'A' && upper <= 'I' ? upper - 'A' + 1
                                                        : -1;
        if (code < 0) {
            return Fail(line, column,
                        "\"" + cell + "\" is not a mark (item " + std::to_string(item) + ")");
        }
        if (std::ranges::find(marks, code) == marks.end()) marks.push_back(code);
    }
    return OneMark(marks, item);
}

// "0;1;0;0": the boxes in answer order, 1 where ticked.
Result<char> SheetReader::MarkOfBoxes(const std::string& cell, int item, std::size_t column,
                                      int line) const {
    std::vector<int> marks;
    int answer = 0;
    for (std::size_t i = 0; i < cell.size(); i += 2) {
        ++answer;
        const bool box = (cell[i] == '0' || cell[i] == '1') &&
                         (i + 1 == cell.size() || cell[i + 1] == file_.layout->boxListSeparator);
        if (!box) {
            return Fail(
                line, column,
                "\"" + cell + "\" is not a list of boxes (item " + std::to_string(item) + ")");
        }
        if (cell[i] == '1') marks.push_back(answer);
    }
    return marks.empty() ? '0' : OneMark(marks, item);
}

// The answer of one mark the item has; a blank (to key) for several, or for
// a mark it has no answer for.
char SheetReader::OneMark(const std::vector<int>& marks, int item) const {
    const bool one = marks.size() == 1 && marks[0] > 0 && ranges_.Accepts(item, marks[0]);
    return one ? static_cast<char>('0' + marks[0]) : ' ';
}

// Each item whose mark was read has the stored answer.
bool SameAnswers(const ClientRecord& sheet, const ClientRecord& stored) {
    const std::string_view marks = sheet.Answers.View();
    const std::string_view answers = stored.Answers.View();
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (marks[i] != ' ' && marks[i] != answers[i]) return false;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : "; ") + name;
    return text;
}

// "Heading: 2 (A1 (line 2) as client 3; ...)", or nothing for an empty list
// the summary leaves out.
std::string ListLine(const std::string& heading, const std::vector<std::string>& names,
                     bool always) {
    if (names.empty() && !always) return {};
    std::string line = "\n" + heading + ": " + std::to_string(names.size());
    if (!names.empty()) line += " (" + Joined(names) + ")";
    return line;
}

}  // namespace

Result<SheetFile> ParseSheetFile(std::string_view bytes, const std::string& fileName,
                                 const AnswerRanges& ranges, const Date& today,
                                 const SheetChoice& choice) {
    Result<Decoded> decoded = Decode(bytes, fileName);
    if (!decoded) return decoded.error();
    const std::vector<std::string_view> lines = Lines(decoded->text);
    const auto header = std::ranges::find_if_not(lines, BlankLine);
    if (header == lines.end())
        return MakeError(errc::BadData, fileName + " is empty: it holds no sheets");
    const int headerLine = static_cast<int>(header - lines.begin()) + 1;
    SheetFile file;
    file.encoding = decoded->encoding;
    file.delimiter = DelimiterOf(*header);
    const auto unclosed = [&](int line) {
        return LineError(fileName, line, "a quoted cell is not closed");
    };
    auto columns = SplitCells(*header, file.delimiter);
    if (!columns) return unclosed(headerLine);
    DropTrailingDelimiters(*columns, 0);
    file.columns = std::move(*columns);
    Result<const SheetLayout*> layout =
        ChooseLayout(file.columns, choice, FilePlace(fileName, headerLine));
    if (!layout) return layout.error();
    file.layout = *layout;
    file.layoutFromHeader = choice.layout.empty();
    SheetReader reader(fileName, ranges, today, file);
    if (auto error = reader.MapColumns(choice, headerLine)) return *error;
    std::map<std::string, std::size_t> sheetOfInmate;
    for (auto line = header + 1; line != lines.end(); ++line) {
        if (BlankLine(*line)) continue;
        const int number = static_cast<int>(line - lines.begin()) + 1;
        std::vector<int> cellColumns;
        auto cells = SplitCells(*line, file.delimiter, &cellColumns);
        if (!cells) return unclosed(number);
        if (auto error = reader.ReadSheet(std::move(*cells), number, std::move(cellColumns))) {
            return *error;
        }
        const ClientRecord& sheet = file.sheets.back().client;
        const std::string inmate = Trim(sheet.IDNumber.View());
        const auto [seen, added] = sheetOfInmate.emplace(inmate, file.sheets.size() - 1);
        if (added) continue;
        const ScannedSheet& first = file.sheets[seen->second];
        if (first.client.ToBytes() != sheet.ToBytes()) {
            return LineError(fileName, number,
                             "inmate number " + Cp1252ToUtf8(inmate) +
                                 " was already read on line " + std::to_string(first.line) +
                                 " with other answers; each sheet is imported once");
        }
        file.repeats.push_back({number, first.line});
        file.sheets.pop_back();
    }
    return file;
}

Result<SheetFile> ReadSheetFile(FileSystem& fs, const std::string& path, const AnswerRanges& ranges,
                                const Date& today, const SheetChoice& choice) {
    Result<std::string> bytes = fs.ReadFile(path);
    if (!bytes) return bytes.error();
    return ParseSheetFile(*bytes, path, ranges, today, choice);
}

std::vector<std::string> SheetHeader(std::string_view bytes) {
    Result<Decoded> decoded = Decode(bytes, {});
    if (!decoded) return {};
    const std::vector<std::string_view> lines = Lines(decoded->text);
    const auto header = std::ranges::find_if_not(lines, BlankLine);
    if (header == lines.end()) return {};
    std::vector<std::string> columns =
        SplitCells(*header, DelimiterOf(*header)).value_or(std::vector<std::string>{});
    DropTrailingDelimiters(columns, 0);
    return columns;
}

std::vector<std::string> SheetFileWarnings(const SheetFile& file) {
    std::vector<std::string> warnings;
    for (const SheetFile::Repeat& repeat : file.repeats) {
        warnings.push_back("Line " + std::to_string(repeat.line) + " repeats the sheet of line " +
                           std::to_string(repeat.sameAs) + " and is read once.");
    }
    std::vector<std::string> numbers;
    for (const ScannedSheet& sheet : file.sheets) {
        numbers.push_back(Trim(sheet.client.IDNumber.View()));
    }
    const auto byLength = [](const std::string& a, const std::string& b) {
        return a.size() < b.size();
    };
    const auto [shortest, longest] = std::ranges::minmax_element(numbers, byLength);
    if (std::ranges::all_of(numbers, IsDigits) && !numbers.empty() &&
        shortest->size() != longest->size()) {
        warnings.push_back("The inmate numbers are digits of unequal lengths (" + *shortest + ", " +
                           *longest +
                           "): a spreadsheet may have cut off their leading zeros. Check them "
                           "against the sheets before importing.");
    }
    return warnings;
}

std::vector<int> ItemsToKey(std::string_view answers) {
    std::vector<int> items;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (answers[i] == ' ') items.push_back(static_cast<int>(i) + 1);
    }
    return items;
}

std::string ItemList(const std::vector<int>& items) {
    std::string list;
    for (std::size_t i = 0; i < items.size();) {
        std::size_t last = i;
        while (last + 1 < items.size() && items[last + 1] == items[last] + 1) ++last;
        list += (list.empty() ? "" : ", ") + std::to_string(items[i]);
        if (last > i) list += "-" + std::to_string(items[last]);
        i = last + 1;
    }
    return list;
}

SheetMatch MatchSheet(const StationState& state, const ClientRecord& sheet,
                      std::span<const ClientRecord> added) {
    const std::string inmate = Trim(sheet.IDNumber.View());
    SheetMatch otherAnswers;
    const int count = state.RecordCount + static_cast<int>(added.size());
    for (int n = 1; n <= count; ++n) {
        const ClientRecord& stored =
            n <= state.RecordCount ? state.ClientRecords[n]
                                   : added[static_cast<std::size_t>(n - state.RecordCount - 1)];
        const bool sameAnswers = SameAnswers(sheet, stored);
        if (stored.NameDeleted()) {
            if (sameAnswers) return {SheetMatch::StoredNameDeleted, n};
            continue;
        }
        if (inmate.empty() || Trim(stored.IDNumber.View()) != inmate) continue;
        if (sameAnswers) return {SheetMatch::Stored, n};
        if (otherAnswers.client == 0) otherAnswers = {SheetMatch::OtherAnswers, n};
    }
    return otherAnswers;
}

ClientRecord ScannedClient(const ClientRecord& sheet, std::string_view name, const Date& today) {
    ClientRecord client = sheet;
    client.Name = sheet.NameDeleted() ? kDeletedName : name;
    client.TodayDate = FormatDate(today);
    client.timeseditted = "0";
    client.DeleteFlag = sheet.NameDeleted() ? "1" : "0";
    return client;
}

ClientRecord UnreviewedClient(const ClientRecord& sheet, std::string_view name, const Date& today) {
    ClientRecord client = ScannedClient(sheet, name, today);
    const auto fill = [](auto& field, std::string_view notAvailable) {
        if (Trim(field.View()).empty()) field = notAvailable;
    };
    fill(client.Age, "N");
    fill(client.Gender, "0");
    fill(client.Race, "0");
    fill(client.Education, "N");
    fill(client.MaritalStatus, "0");
    fill(client.DateOfBirth, "N");
    for (int item : ItemsToKey(client.Answers.View())) {
        client.Answers[static_cast<std::size_t>(item - 1)] = '0';
    }
    return client;
}

std::string AutomaticName(int nameSetting, const ClientRecord& sheet, int recordNumber) {
    if (sheet.NameDeleted()) return kDeletedName;
    if (const std::string fromFile = Trim(sheet.Name.View()); !fromFile.empty()) return fromFile;
    if (nameSetting == kNameTestNumber) return "Test#" + std::to_string(recordNumber);
    return Trim(sheet.IDNumber.View());
}

std::string SheetName(const ClientRecord& sheet, int line) {
    std::string name = Cp1252ToUtf8(Trim(sheet.IDNumber.View()));
    if (name.empty()) name = "a sheet whose inmate number was deleted";
    if (line > 0) name += " (line " + std::to_string(line) + ")";
    return name;
}

void NoteStored(ScanBatchSummary& summary, const ScannedSheet& sheet, int client, bool reviewed) {
    ++summary.stored;
    const std::vector<int> unread = ItemsToKey(sheet.client.Answers.View());
    if (reviewed || unread.empty()) return;
    summary.unread.push_back(SheetName(sheet.client, sheet.line) + " as client " +
                             std::to_string(client) + ": items " + ItemList(unread));
}

void NoteNotStored(ScanBatchSummary& summary, const ScannedSheet& sheet, const SheetMatch& match) {
    const std::string name = SheetName(sheet.client, sheet.line);
    const std::string client = "client " + std::to_string(match.client);
    switch (match.kind) {
        case SheetMatch::Stored:
            summary.skipped.push_back(name + " as " + client);
            break;
        case SheetMatch::StoredNameDeleted:
            summary.skipped.push_back(name + " as " + client + ", whose name was deleted");
            break;
        case SheetMatch::OtherAnswers:
            summary.otherAnswers.push_back(name + ", " + client);
            break;
        case SheetMatch::New:
            break;
    }
}

std::string SummaryText(const ScanBatchSummary& summary) {
    std::string waiting = "\nNot stored yet: " + std::to_string(summary.waiting);
    if (summary.beyondBatch > 0) {
        waiting += " (" + std::to_string(summary.beyondBatch) + " beyond the batch size)";
    }
    return "Answer sheets read: " + std::to_string(summary.read) +
           "\nStored on the data disk: " + std::to_string(summary.stored) +
           ListLine("Stored with marks not read, those items unanswered", summary.unread, false) +
           ListLine("Skipped, already on the data disk", summary.skipped, true) +
           ListLine("Not stored, inmate number already on the data disk with other answers",
                    summary.otherAnswers, false) +
           waiting;
}

}  // namespace mw
