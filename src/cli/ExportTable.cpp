#include "cli/ExportTable.h"

#include <cctype>
#include <chrono>
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

// One variable of the table and how a client's cell is made. Adding a
// variable is one more entry in Columns().
struct Column {
    ExportVariable variable;
    std::function<ExportCell(const Client&)> cell;
};

constexpr std::array<MissingKindInfo, 4> kMissingKinds = {{
    {MissingKind::NotAnswered, "not_answered", "not answered", -1, 'a'},
    {MissingKind::NotAvailable, "not_available", "not available (N or N/A)", -2, 'b'},
    {MissingKind::NotScored, "not_scored", "scale not scored", -3, 'c'},
    {MissingKind::InvalidProtocol, "invalid_protocol", "invalid protocol", -4, 'd'},
}};

ExportCell Value(std::string text) {
    return {std::move(text), MissingKind::None};
}

ExportCell Missing(MissingKind kind = MissingKind::None) {
    return {"", kind};
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

// "N" typed for a field that the client could not give.
template <std::size_t N>
bool NotAvailable(const FixedText<N>& field) {
    return Trim(field.View()) == "N";
}

// A field typed as a whole number; anything else is missing.
template <std::size_t N>
ExportCell Number(const FixedText<N>& field) {
    const std::string text = Trim(field.View());
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return Missing(NotAvailable(field) ? MissingKind::NotAvailable : MissingKind::None);
    }
    return Value(std::to_string(std::stoi(text)));
}

// A code of one of the code tables; 0 is N/A, a code the table lacks is missing.
template <std::size_t N>
ExportCell Code(const FixedText<1>& field, const std::array<std::string_view, N>& table) {
    const int code = CodeValue(field.View());
    if (code == 0) return Missing(MissingKind::NotAvailable);
    return CodeText(table, code).empty() ? Missing() : Value(std::to_string(code));
}

template <std::size_t N>
std::vector<ValueLabel> CodeLabels(const std::array<std::string_view, N>& table) {
    std::vector<ValueLabel> labels;
    for (std::size_t code = 1; code < N; ++code) {
        labels.push_back({static_cast<int>(code), std::string(table[code])});
    }
    return labels;
}

// A record's "mm/dd/yyyy" as "yyyy-mm-dd" (a four-digit year); a date that
// is none is "".
std::string IsoDate(const FixedText<10>& field) {
    const std::string text = Trim(field.View());
    int month = 0, day = 0, year = 0, used = 0;
    if (std::sscanf(text.c_str(), "%2d/%2d/%4d%n", &month, &day, &year, &used) != 3 ||
        used != static_cast<int>(text.size()) || text.size() - text.rfind('/') != 5) {
        return "";
    }
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(year),
                              std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) return "";
    char iso[40];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, month, day);
    return iso;
}

ExportCell DateCell(const FixedText<10>& field) {
    const std::string iso = IsoDate(field);
    if (!iso.empty()) return Value(iso);
    return Missing(NotAvailable(field) ? MissingKind::NotAvailable : MissingKind::None);
}

std::string IsoFromDays(int days) {
    const std::chrono::year_month_day date{std::chrono::sys_days(std::chrono::days(days))};
    char iso[40];
    std::snprintf(iso, sizeof iso, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return iso;
}

// The ID number as stored, "N" (not available) missing.
std::string StoredId(const ClientRecord& record) {
    const std::string id = StoredText(record.IDNumber);
    return id == "N" ? "" : id;
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

// A person's own shift of dates, -182 to +182 days: keyed like the
// pseudonym, so that nobody without the site key can undo it, and the same
// for all of the person's rows, so that the time between two tests is kept.
int DateShiftDays(const std::string& siteKey, const ClientRecord& record) {
    const std::string hash = HmacSha256Hex(siteKey, "date shift\n" + PersonKey(record));
    return static_cast<int>(std::stoul(hash.substr(0, 8), nullptr, 16) % 365) - 182;
}

// A deleted name is no one's: its row keeps no name, ID or pseudonym.
std::function<ExportCell(const Client&)> UnlessDeleted(
    std::function<std::string(const ClientRecord&)> value) {
    return [value](const Client& c) {
        return c.record.NameDeleted() ? Missing() : Value(value(c.record));
    };
}

constexpr const char* kNever = "never empty";
constexpr const char* kIsoDate = "yyyy-mm-dd (ISO 8601)";
constexpr const char* kNotAvailable = "empty when not available (N or N/A)";

std::vector<Column> IdentityColumns(const ExportOptions& options) {
    constexpr const char* kDeleted = "empty when the name was deleted (name_deleted = 1)";
    if (options.anonymised) {
        const std::string key = options.siteKey;
        return {{{"pseudonym",
                  "Keyed hash (HMAC-SHA-256 with the site key) of name, ID number and date of "
                  "birth; the same person has the same pseudonym on every disk of the site",
                  VariableType::Text,
                  {},
                  "",
                  kDeleted,
                  {}},
                 UnlessDeleted([key](const ClientRecord& r) { return Pseudonym(key, r); })}};
    }
    return {
        {{"name", "Client's name", VariableType::Text, {}, "", kDeleted, {}},
         UnlessDeleted([](const ClientRecord& r) { return Field(r.Name); })},
        {{"id_number",
          "ID number as typed (text: leading zeros count)",
          VariableType::Text,
          {},
          "",
          std::string(kNotAvailable) + ", or when the name was deleted",
          {}},
         UnlessDeleted([](const ClientRecord& r) { return Cp1252ToUtf8(StoredId(r)); })},
        {{"date_of_birth",
          "Date of birth",
          VariableType::Date,
          {},
          kIsoDate,
          std::string(kNotAvailable) + ", or not a date",
          {MissingKind::NotAvailable}},
         [](const Client& c) { return DateCell(c.record.DateOfBirth); }},
    };
}

// The test date as the options let it out of an anonymised table.
Column TestDateColumn(const ExportOptions& options) {
    constexpr const char* kLabel = "Date the client was registered for the test";
    constexpr const char* kNotADate = "empty when not a date";
    switch (options.dates) {
        case DateChoice::Year:
            return {{"test_year",
                     "Year the client was registered for the test",
                     VariableType::Integer,
                     {},
                     "yyyy",
                     kNotADate,
                     {}},
                    [](const Client& c) {
                        const std::string iso = IsoDate(c.record.TodayDate);
                        return iso.empty() ? Missing() : Value(iso.substr(0, 4));
                    }};
        case DateChoice::Shift: {
            const std::string key = options.siteKey;
            return {
                {"test_date",
                 std::string(kLabel) +
                     ", moved by the client's own offset of up to half a year either way",
                 VariableType::Date,
                 {},
                 kIsoDate,
                 kNotADate,
                 {}},
                [key](const Client& c) {
                    const std::string iso = IsoDate(c.record.TodayDate);
                    if (iso.empty()) return Missing();
                    return Value(IsoFromDays(DaysSince1970(iso) + DateShiftDays(key, c.record)));
                }};
        }
        case DateChoice::Keep:
            break;
    }
    return {{"test_date", kLabel, VariableType::Date, {}, kIsoDate, kNotADate, {}},
            [](const Client& c) { return DateCell(c.record.TodayDate); }};
}

std::vector<Column> ClientColumns(const ExportOptions& options) {
    const std::vector<ValueLabel> yesNo = {{0, "no"}, {1, "yes"}};
    const std::vector<MissingKind> notAvailable = {MissingKind::NotAvailable};
    auto always = [](int value) { return Value(std::to_string(value)); };
    return {
        {{"name_deleted",
          "The supervisor deleted the client's name and ID number",
          VariableType::Integer,
          yesNo,
          "",
          kNever,
          {}},
         [always](const Client& c) { return always(c.record.NameDeleted() ? 1 : 0); }},
        {{"age", "Age in years", VariableType::Integer, {}, "", kNotAvailable, notAvailable},
         [](const Client& c) { return Number(c.record.Age); }},
        {{"sex", "Sex", VariableType::Integer, CodeLabels(kGenderTexts), "", kNotAvailable,
          notAvailable},
         [](const Client& c) { return Code(c.record.Gender, kGenderTexts); }},
        {{"ethnicity", "Ethnicity", VariableType::Integer, CodeLabels(kRaceTexts), "",
          kNotAvailable, notAvailable},
         [](const Client& c) { return Code(c.record.Race, kRaceTexts); }},
        {{"education",
          "Years of education",
          VariableType::Integer,
          {},
          "",
          kNotAvailable,
          notAvailable},
         [](const Client& c) { return Number(c.record.Education); }},
        {{"marital_status", "Marital status", VariableType::Integer,
          CodeLabels(kMaritalStatusTexts), "", kNotAvailable, notAvailable},
         [](const Client& c) { return Code(c.record.MaritalStatus, kMaritalStatusTexts); }},
        TestDateColumn(options),
        {{"norm_sex",
          "Norms scored against, by sex",
          VariableType::Integer,
          {{1, "male"}, {2, "female"}},
          "",
          kNever,
          {}},
         [always](const Client& c) { return always(NormSex(CodeValue(c.record.Gender.View()))); }},
        {{"norm_group",
          "Norms scored against, by group",
          VariableType::Integer,
          {{1, "Caucasian (and N/A, Asian, Native American, Other)"},
           {2, "Black"},
           {3, "Hispanic"}},
          "",
          kNever,
          {}},
         [always](const Client& c) { return always(NormGroup(CodeValue(c.record.Race.View()))); }},
        {{"valid",
          "The report is valid; 0 when it says the test results are invalid",
          VariableType::Integer,
          {{0, "invalid"}, {1, "valid"}},
          "",
          kNever,
          {}},
         [always](const Client& c) { return always(IsValidProtocol(c.sheet) ? 1 : 0); }},
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
        const char* range;
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
            std::vector<MissingKind> kinds;
            if (!keep) kinds.push_back(MissingKind::InvalidProtocol);
            if (!keep && part.score) kinds.push_back(MissingKind::NotScored);
            columns.push_back({{std::string(kVariables[scale]) + "_" + part.suffix,
                                Cp1252ToUtf8(data.texts.ScaleNames[scale]) + ": " + part.label,
                                VariableType::Integer,
                                {},
                                part.range,
                                missing,
                                kinds},
                               [scale, part, keep](const Client& c) {
                                   if (!keep && !IsValidProtocol(c.sheet)) {
                                       return Missing(MissingKind::InvalidProtocol);
                                   }
                                   if (!keep && part.score && !IsScaleScored(c.sheet, scale)) {
                                       return Missing(MissingKind::NotScored);
                                   }
                                   return Value(std::to_string((c.sheet.*part.result)[scale]));
                               }});
        }
    }
    return columns;
}

// An item's answers from its question row, none for an item the table lacks.
std::vector<ValueLabel> AnswerLabels(int item, const QuestionRow* question) {
    std::vector<ValueLabel> labels;
    const int highest = kSectionHighestAnswer[SectionOf(item)];
    for (int code = 1; question && code <= highest && !question->Answer[code - 1].empty(); ++code) {
        labels.push_back({code, question->Answer[code - 1]});
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
        // An item with several marks on a scanned sheet is keyed at review, or
        // stored as not answered: the record does not keep which.
        columns.push_back(
            {{variable,
              question ? question->TestQuestion : "Item " + std::to_string(item),
              VariableType::Integer,
              AnswerLabels(item, question),
              question ? "" : "1-" + std::to_string(kSectionHighestAnswer[SectionOf(item)]),
              "empty when not answered (an item with several marks on a scanned sheet that was "
              "not reviewed is stored as not answered; the disk does not record the marks)",
              {MissingKind::NotAnswered}},
             [item](const Client& c) {
                 const int answer = c.sheet.Answer[item];
                 return answer ? Value(std::to_string(answer)) : Missing(MissingKind::NotAnswered);
             }});
    }
    return columns;
}

// How the test was taken on the screen; empty for answers keyed or scanned.
Column EffortColumn() {
    return {{"effort_index",
             "Response-time effort index: the share of the timed answers that took at least " +
                 std::to_string(kRapidGuessMs / 1000) + " s",
             VariableType::Decimal,
             {},
             "0.00-1.00",
             "empty when not recorded (the answers were keyed or scanned)",
             {}},
            [](const Client& c) {
                return c.paradata ? Value(FormatIndex(Summarize(*c.paradata).effortIndex))
                                  : Missing();
            }};
}

// Why a variable's cell is empty, as a text variable beside it; its cells
// are the kinds' names.
ExportVariable StatusVariable(const ExportVariable& of) {
    std::string values;
    for (const MissingKind kind : of.kinds) {
        values += (values.empty() ? "" : "; ") + std::string(InfoOf(kind).name) + "=" +
                  InfoOf(kind).label;
    }
    return {of.name + "_status",
            "Why " + of.name + " is empty",
            VariableType::Text,
            {},
            values,
            "empty when " + of.name +
                " holds a value, or is empty for a reason the disk does not record",
            {}};
}

std::vector<Column> Columns(const ReportData& data, const ExportOptions& options,
                            const std::vector<QuestionRow>& questions) {
    std::vector<Column> columns = {
        {{"test_number",
          "Test number (record number on the data disk)",
          VariableType::Integer,
          {},
          "1-51",
          kNever,
          {}},
         [](const Client& c) { return Value(std::to_string(c.number)); }}};
    for (auto&& part : {IdentityColumns(options), ClientColumns(options),
                        ScaleColumns(data, options), ItemColumns(questions)}) {
        columns.insert(columns.end(), part.begin(), part.end());
    }
    columns.push_back(EffortColumn());
    return columns;
}

}  // namespace

std::optional<DateChoice> DateChoiceNamed(const std::string& name) {
    if (name == "keep") return DateChoice::Keep;
    if (name == "year") return DateChoice::Year;
    if (name == "shift") return DateChoice::Shift;
    return std::nullopt;
}

const MissingKindInfo& InfoOf(MissingKind kind) {
    for (const MissingKindInfo& info : kMissingKinds) {
        if (info.kind == kind) return info;
    }
    static const MissingKindInfo kNone{MissingKind::None, "", "", 0, '\0'};
    return kNone;
}

std::string ValueLabelsText(const std::vector<ValueLabel>& labels) {
    std::string text;
    for (const ValueLabel& l : labels) {
        text += (text.empty() ? "" : "; ") + std::to_string(l.value) + "=" + l.label;
    }
    return text;
}

int DaysSince1970(const std::string& isoDate) {
    using namespace std::chrono;
    const int y = std::stoi(isoDate.substr(0, 4));
    const auto m = static_cast<unsigned>(std::stoi(isoDate.substr(5, 2)));
    const auto d = static_cast<unsigned>(std::stoi(isoDate.substr(8, 2)));
    return sys_days(std::chrono::year(y) / std::chrono::month(m) / std::chrono::day(d))
        .time_since_epoch()
        .count();
}

std::string Pseudonym(const std::string& siteKey, const ClientRecord& record) {
    return HmacSha256Hex(siteKey, PersonKey(record));
}

ExportTable MakeExportTable(const StationState& state, const ReportData& data,
                            const ExportOptions& options, const std::map<int, Paradata>& paradata,
                            const std::vector<QuestionRow>& questions) {
    std::vector<ExportClient> clients;
    for (int n = 1; n <= state.RecordCount; ++n) {
        const auto timed = paradata.find(n);
        clients.push_back(
            {state.ClientRecords[n], n, timed == paradata.end() ? nullptr : &timed->second});
    }
    return MakeExportTable(clients, data, options, questions);
}

ExportTable MakeExportTable(const std::vector<ExportClient>& clients, const ReportData& data,
                            const ExportOptions& options,
                            const std::vector<QuestionRow>& questions) {
    const std::vector<Column> columns = Columns(data, options, questions);
    ExportTable table;
    for (const Column& column : columns) {
        table.variables.push_back(column.variable);
        if (options.missingKinds && !column.variable.kinds.empty()) {
            table.variables.push_back(StatusVariable(column.variable));
        }
    }
    for (const ExportClient& c : clients) {
        const Client client{c.record, c.testNumber, ScoreClient(c.record, data.tables), c.paradata};
        std::vector<ExportCell>& row = table.rows.emplace_back();
        for (const Column& column : columns) {
            row.push_back(column.cell(client));
            if (options.missingKinds && !column.variable.kinds.empty()) {
                row.push_back(Value(InfoOf(row.back().missing).name));
            }
        }
    }
    return table;
}

}  // namespace mw
