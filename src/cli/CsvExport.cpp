#include "cli/CsvExport.h"

#include <cctype>
#include <cstdio>
#include <functional>

#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "core/data/Sha256.h"

namespace mw {
namespace {

// What one client's row is made from.
struct Client {
    const ClientRecord& record;
    int number;
    ScoreSheet sheet;
    const Paradata* paradata;  // none unless the test was taken on the screen
};

enum class Kind { Integer, Decimal, Text, Date };

// One column of the table, with its codebook entry. Adding a column is one
// more entry in Columns().
struct Column {
    std::string variable;
    std::string label;
    Kind kind;
    std::string values;   // allowed values with their labels, "" for any
    std::string missing;  // when the cell is empty, as the codebook says it
    std::function<std::string(const Client&)> cell;
};

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Integer:
            return "integer";
        case Kind::Decimal:
            return "decimal";
        case Kind::Date:
            return "date";
        case Kind::Text:
            break;
    }
    return "text";
}

// A typed field that a spreadsheet would read as a formula ("=", "+", "-",
// "@" first) is kept text by a leading apostrophe.
std::string Inert(std::string text) {
    if (!text.empty() && std::string_view("=+-@").find(text[0]) != std::string_view::npos) {
        text.insert(0, "'");
    }
    return text;
}

// A field as CSV writes it: quoted, its quotes doubled, when it holds a
// comma, a quote or a line end.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

void AppendRow(std::string& csv, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        csv += (i > 0 ? "," : "") + CsvField(fields[i]);
    }
    csv += "\n";
}

std::string Utf8Bom(const ExportOptions& options) {
    return options.excel ? "\xEF\xBB\xBF" : "";
}

// A stored field as the report shows it, still in Windows-1252.
template <std::size_t N>
std::string StoredText(const FixedText<N>& field) {
    return Trim(Printable(field.View()));
}

// A stored field as the report shows it, in UTF-8.
template <std::size_t N>
std::string Field(const FixedText<N>& field) {
    return Cp1252ToUtf8(StoredText(field));
}

// A field typed as a whole number; "N" (not available) or anything else is missing.
template <std::size_t N>
std::string Number(const FixedText<N>& field) {
    const std::string text = Trim(field.View());
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return "";
    return std::to_string(std::stoi(text));
}

// A code of one of the code tables; 0 (N/A) and codes the table lacks are missing.
template <std::size_t N>
std::string Code(const FixedText<1>& field, const std::array<std::string_view, N>& table) {
    const int code = CodeValue(field.View());
    return code > 0 && !CodeText(table, code).empty() ? std::to_string(code) : "";
}

template <std::size_t N>
std::string CodeLabels(const std::array<std::string_view, N>& table) {
    std::string labels;
    for (std::size_t code = 1; code < N; ++code) {
        labels += (code > 1 ? "; " : "") + std::to_string(code) + "=" + std::string(table[code]);
    }
    return labels;
}

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// A record's "mm/dd/yyyy" as "yyyy-mm-dd" (a four-digit year); "N" or a
// date that is none is missing.
std::string IsoDate(const FixedText<10>& field) {
    const std::string text = Trim(field.View());
    int month = 0, day = 0, year = 0, used = 0;
    if (std::sscanf(text.c_str(), "%2d/%2d/%4d%n", &month, &day, &year, &used) != 3 ||
        used != static_cast<int>(text.size()) || text.size() - text.rfind('/') != 5 || month < 1 ||
        month > 12) {
        return "";
    }
    constexpr std::array<int, 13> kDays = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day < 1 || day > kDays[month] || (month == 2 && day == 29 && !LeapYear(year))) return "";
    char iso[40];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, month, day);
    return iso;
}

// The ID number as stored, "N" (not available) missing.
std::string StoredId(const ClientRecord& record) {
    const std::string id = StoredText(record.IDNumber);
    return id == "N" ? "" : id;
}

std::string IdNumber(const ClientRecord& record) {
    return Cp1252ToUtf8(StoredId(record));
}

// Name, ID number and date of birth as one person writes them on any disk:
// case, blanks and the ID's separators do not count.
std::string PersonKey(const ClientRecord& record) {
    auto upper = [](std::string text) {
        for (char& c : text) {
            const auto byte = static_cast<unsigned char>(c);
            // ASCII and the Windows-1252 letters with accents (not the division sign).
            if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte != 0xF7 && byte != 0xFF)) {
                c = static_cast<char>(byte - 0x20);
            }
        }
        return text;
    };
    std::string name;
    for (const char c : upper(StoredText(record.Name))) {
        if (c != ' ' || (!name.empty() && name.back() != ' ')) name += c;
    }
    std::string id;
    for (const char c : upper(StoredId(record))) {
        if (std::isalnum(static_cast<unsigned char>(c))) id += c;
    }
    return Cp1252ToUtf8(name) + "\n" + id + "\n" + IsoDate(record.DateOfBirth);
}

// A deleted name is no one's: its row keeps no name, ID or pseudonym.
std::function<std::string(const Client&)> UnlessDeleted(
    std::function<std::string(const ClientRecord&)> value) {
    return [value](const Client& c) { return c.record.NameDeleted() ? "" : value(c.record); };
}

constexpr const char* kNever = "never empty";
constexpr const char* kIsoDate = "yyyy-mm-dd (ISO 8601)";
constexpr const char* kNotAvailable = "empty when not available (N or N/A)";

std::vector<Column> IdentityColumns(const ExportOptions& options) {
    constexpr const char* kDeleted = "empty when the name was deleted (name_deleted = 1)";
    if (options.anonymised) {
        const std::string key = options.siteKey;
        return {{"pseudonym",
                 "Keyed hash (HMAC-SHA-256 with the site key) of name, ID number and date of "
                 "birth; the same person has the same pseudonym on every disk of the site",
                 Kind::Text, "", kDeleted, UnlessDeleted([key](const ClientRecord& r) {
                     return HmacSha256Hex(key, PersonKey(r));
                 })}};
    }
    return {
        {"name", "Client's name", Kind::Text, "", kDeleted,
         UnlessDeleted([](const ClientRecord& r) { return Field(r.Name); })},
        {"id_number", "ID number as typed (text: leading zeros count)", Kind::Text, "",
         std::string(kNotAvailable) + ", or when the name was deleted", UnlessDeleted(IdNumber)},
        {"date_of_birth", "Date of birth", Kind::Date, kIsoDate, kNotAvailable,
         [](const Client& c) { return IsoDate(c.record.DateOfBirth); }},
    };
}

std::vector<Column> ClientColumns() {
    const std::string yesNo = "0=no; 1=yes";
    return {
        {"name_deleted", "The supervisor deleted the client's name and ID number", Kind::Integer,
         yesNo, kNever, [](const Client& c) { return c.record.NameDeleted() ? "1" : "0"; }},
        {"age", "Age in years", Kind::Integer, "", kNotAvailable,
         [](const Client& c) { return Number(c.record.Age); }},
        {"sex", "Sex", Kind::Integer, CodeLabels(kGenderTexts), kNotAvailable,
         [](const Client& c) { return Code(c.record.Gender, kGenderTexts); }},
        {"ethnicity", "Ethnicity", Kind::Integer, CodeLabels(kRaceTexts), kNotAvailable,
         [](const Client& c) { return Code(c.record.Race, kRaceTexts); }},
        {"education", "Years of education", Kind::Integer, "", kNotAvailable,
         [](const Client& c) { return Number(c.record.Education); }},
        {"marital_status", "Marital status", Kind::Integer, CodeLabels(kMaritalStatusTexts),
         kNotAvailable,
         [](const Client& c) { return Code(c.record.MaritalStatus, kMaritalStatusTexts); }},
        {"test_date", "Date the client was registered for the test", Kind::Date, kIsoDate,
         "empty when not a date", [](const Client& c) { return IsoDate(c.record.TodayDate); }},
        {"norm_sex", "Norms scored against, by sex", Kind::Integer, "1=male; 2=female", kNever,
         [](const Client& c) {
             return std::to_string(NormSex(CodeValue(c.record.Gender.View())));
         }},
        {"norm_group", "Norms scored against, by group", Kind::Integer,
         "1=Caucasian (and N/A, Asian, Native American, Other); 2=Black; 3=Hispanic", kNever,
         [](const Client& c) {
             return std::to_string(NormGroup(CodeValue(c.record.Race.View())));
         }},
        {"valid", "The report is valid; 0 when it says the test results are invalid", Kind::Integer,
         "0=invalid; 1=valid", kNever,
         [](const Client& c) { return IsValidProtocol(c.sheet) ? "1" : "0"; }},
    };
}

std::vector<Column> ScaleColumns(const ReportData& data, const ExportOptions& options) {
    static constexpr std::array<const char*, kScaleCount + 1> kVariables = {
        "",      "truthfulness", "resistance", "violence",    "alcohol",
        "drugs", "distress",     "morale",     "self_esteem", "stress_coping"};
    using Values = std::array<int, kScaleCount + 1> ScoreSheet::*;
    struct Part {
        const char* suffix;
        const char* label;
        const char* values;
        Values result;
        bool score;  // a result the report leaves out for a scale it does not score
    };
    // A score only counts where the report shows it; the counts of omitted
    // and scored items say why a scale was not scored.
    static constexpr std::array<Part, 4> kParts = {{
        {"raw", "raw score", "", &ScoreSheet::RawScore, true},
        {"percentile", "percentile", "0-99", &ScoreSheet::Percentile, true},
        {"omitted", "items omitted", "", &ScoreSheet::OmittedCount, false},
        {"scored", "items that scored", "", &ScoreSheet::ScoredItemCount, false},
    }};
    const bool keep = options.keepInvalidScores;
    std::vector<Column> columns;
    for (int scale = 1; scale <= kScaleCount; ++scale) {
        for (const Part& part : kParts) {
            const char* missing = keep ? kNever
                                  : part.score
                                      ? "empty when the protocol is invalid (valid = 0) or the "
                                        "report shows the scale as not scored (5 or more of its "
                                        "items omitted)"
                                      : "empty when the protocol is invalid (valid = 0)";
            columns.push_back(
                {std::string(kVariables[scale]) + "_" + part.suffix,
                 Cp1252ToUtf8(data.texts.ScaleNames[scale]) + ": " + part.label, Kind::Integer,
                 part.values, missing, [scale, part, keep](const Client& c) {
                     const bool shown = keep || (IsValidProtocol(c.sheet) &&
                                                 (!part.score || IsScaleScored(c.sheet, scale)));
                     return shown ? std::to_string((c.sheet.*part.result)[scale]) : "";
                 }});
        }
    }
    return columns;
}

// An item's answers as "1=True; 2=False" from its question row; an item the
// table lacks takes its section's codes, "1-4".
std::string AnswerLabels(int item, const QuestionRow* question) {
    const int highest = kSectionHighestAnswer[SectionOf(item)];
    if (!question) return "1-" + std::to_string(highest);
    std::string labels;
    for (int code = 1; code <= highest && !question->Answer[code - 1].empty(); ++code) {
        labels += (code > 1 ? "; " : "") + std::to_string(code) + "=" + question->Answer[code - 1];
    }
    return labels;
}

std::vector<Column> ItemColumns(const std::vector<QuestionRow>& questions) {
    std::vector<Column> columns;
    for (int item = 1; item <= kItemCount; ++item) {
        const QuestionRow* question = nullptr;
        for (const QuestionRow& row : questions) {
            if (row.ID == item) question = &row;
        }
        char variable[16];
        std::snprintf(variable, sizeof variable, "item_%03d", item);
        columns.push_back({variable,
                           question ? question->TestQuestion : "Item " + std::to_string(item),
                           Kind::Integer, AnswerLabels(item, question), "empty when not answered",
                           [item](const Client& c) {
                               const int answer = c.sheet.Answer[item];
                               return answer ? std::to_string(answer) : std::string();
                           }});
    }
    return columns;
}

// How the test was taken on the screen; empty for answers keyed or scanned.
Column EffortColumn() {
    return {"effort_index",
            "Response-time effort index: the share of the timed answers that took at least " +
                std::to_string(kRapidGuessMs / 1000) + " s",
            Kind::Decimal,
            "0.00-1.00",
            "empty when not recorded (the answers were keyed or scanned)",
            [](const Client& c) {
                return c.paradata ? FormatIndex(Summarize(*c.paradata).effortIndex) : "";
            }};
}

std::vector<Column> Columns(const ReportData& data, const ExportOptions& options,
                            const std::vector<QuestionRow>& questions = {}) {
    std::vector<Column> columns = {{"test_number", "Test number (record number on the data disk)",
                                    Kind::Integer, "1-51", kNever,
                                    [](const Client& c) { return std::to_string(c.number); }}};
    for (auto&& part : {IdentityColumns(options), ClientColumns(), ScaleColumns(data, options),
                        ItemColumns(questions)}) {
        columns.insert(columns.end(), part.begin(), part.end());
    }
    columns.push_back(EffortColumn());
    return columns;
}

}  // namespace

std::string ClientsCsv(const StationState& state, const ReportData& data,
                       const ExportOptions& options, const std::map<int, Paradata>& paradata) {
    const std::vector<Column> columns = Columns(data, options);
    std::vector<std::string> fields;
    for (const Column& column : columns) fields.push_back(column.variable);
    std::string csv = Utf8Bom(options);
    AppendRow(csv, fields);
    for (int n = 1; n <= state.RecordCount; ++n) {
        const ClientRecord& record = state.ClientRecords[n];
        const auto timed = paradata.find(n);
        const Client client{record, n, ScoreClient(record, data.tables),
                            timed == paradata.end() ? nullptr : &timed->second};
        fields.clear();
        for (const Column& column : columns) {
            std::string cell = column.cell(client);
            fields.push_back(column.kind == Kind::Text ? Inert(std::move(cell)) : cell);
        }
        AppendRow(csv, fields);
    }
    return csv;
}

std::string CodebookCsv(const ReportData& data, const ExportOptions& options,
                        const std::vector<QuestionRow>& questions) {
    std::string csv = Utf8Bom(options);
    AppendRow(csv, {"variable", "label", "type", "values", "missing"});
    for (const Column& c : Columns(data, options, questions)) {
        AppendRow(csv, {c.variable, Inert(c.label), KindName(c.kind), c.values, c.missing});
    }
    return csv;
}

}  // namespace mw
