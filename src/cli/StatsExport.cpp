#include "cli/StatsExport.h"

#include <readstat.h>

#include <algorithm>
#include <memory>

namespace mw {
namespace {

// Days from 1582-10-14, where SPSS counts its seconds from, and from
// 1960-01-01, where Stata counts its days from, to 1970-01-01.
constexpr int kSpssEpochDays = 141428;
constexpr int kStataEpochDays = 3653;
constexpr double kSecondsPerDay = 86400;

// What each format lets a label hold, in bytes: SPSS cuts a value label at
// 120 bytes; Stata holds 80 characters of a variable's label, and the full
// label stays in the codebook.
constexpr std::size_t kSpssVariableLabel = 255;
constexpr std::size_t kSpssValueLabel = 120;
constexpr std::size_t kStataVariableLabel = 80;
constexpr std::size_t kStataValueLabel = 32000;

struct WriterFree {
    void operator()(readstat_writer_t* writer) const { readstat_writer_free(writer); }
};

ssize_t AppendBytes(const void* data, size_t length, void* file) {
    static_cast<std::string*>(file)->append(static_cast<const char*>(data), length);
    return static_cast<ssize_t>(length);
}

// The longest start of a UTF-8 text that fits `bytes`, no character cut.
std::string Utf8Prefix(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
    return text.substr(0, bytes);
}

class StatsWriter {
public:
    StatsWriter(const ExportTable& table, StatsFormat format)
        : table_(table), format_(format), writer_(readstat_writer_init()) {}

    // The file's bytes, or ReadStat's reason for refusing it.
    Result<std::string> Write() {
        std::string bytes;
        readstat_error_t e = readstat_set_data_writer(writer_.get(), AppendBytes);
        for (std::size_t i = 0; i < table_.variables.size() && e == READSTAT_OK; ++i) {
            e = AddVariable(table_.variables[i], i);
        }
        const auto rows = static_cast<long>(table_.rows.size());
        if (e == READSTAT_OK) e = Begin(bytes, rows);
        for (const std::vector<ExportCell>& row : table_.rows) {
            if (e == READSTAT_OK) e = WriteRow(row);
        }
        if (e == READSTAT_OK) e = readstat_end_writing(writer_.get());
        if (e != READSTAT_OK) return MakeError(errc::BadData, readstat_error_message(e));
        return bytes;
    }

private:
    bool spss() const { return format_ == StatsFormat::Spss; }

    readstat_error_t Begin(std::string& bytes, long rows) {
        if (spss()) return readstat_begin_writing_sav(writer_.get(), &bytes, rows);
        // From version 118 on, a Stata file holds its texts in UTF-8.
        readstat_error_t e = readstat_writer_set_file_format_version(writer_.get(), 118);
        return e == READSTAT_OK ? readstat_begin_writing_dta(writer_.get(), &bytes, rows) : e;
    }

    // A text's storage is its longest cell; a number is a double in SPSS,
    // and in Stata a 32-bit whole number unless it has decimals.
    readstat_error_t AddVariable(const ExportVariable& v, std::size_t column) {
        std::size_t width = 1;
        for (const std::vector<ExportCell>& row : table_.rows) {
            width = std::max(width, row[column].text.size());
        }
        const bool whole = !spss() && v.type != VariableType::Decimal;
        const readstat_type_t type = v.type == VariableType::Text ? READSTAT_TYPE_STRING
                                     : whole                      ? READSTAT_TYPE_INT32
                                                                  : READSTAT_TYPE_DOUBLE;
        readstat_variable_t* variable =
            readstat_add_variable(writer_.get(), v.name.c_str(), type, width);
        if (!variable) return READSTAT_ERROR_MALLOC;
        readstat_variable_set_label(
            variable,
            Utf8Prefix(v.label, spss() ? kSpssVariableLabel : kStataVariableLabel).c_str());
        if (const char* format = Format(v.type)) readstat_variable_set_format(variable, format);
        variables_.push_back(variable);
        if (readstat_error_t e = DeclareMissing(v, variable); e != READSTAT_OK) return e;
        // A count or a date is left without value labels, so that readers
        // keep it a number or a date: its kinds of missing value are told by
        // the codebook.
        if (v.valueLabels.empty()) return READSTAT_OK;
        readstat_variable_set_measure(variable, READSTAT_MEASURE_NOMINAL);
        return AddValueLabels(v, variable);
    }

    const char* Format(VariableType type) const {
        switch (type) {
            case VariableType::Date:
                return spss() ? "SDATE10" : "%td";
            case VariableType::Decimal:
                return spss() ? "F4.2" : "%4.2f";
            case VariableType::Integer:
                return spss() ? "F8.0" : nullptr;
            case VariableType::Text:
                break;
        }
        return nullptr;
    }

    // SPSS is told which codes mean a kind of missing value; Stata's
    // extended missing values are missing by themselves.
    readstat_error_t DeclareMissing(const ExportVariable& v, readstat_variable_t* variable) {
        for (const MissingKind kind : v.kinds) {
            if (!spss()) break;
            if (readstat_error_t e =
                    readstat_variable_add_missing_double_value(variable, InfoOf(kind).spssCode);
                e != READSTAT_OK) {
                return e;
            }
        }
        return READSTAT_OK;
    }

    // The codes' labels and the missing kinds', as one label set named
    // after the variable.
    readstat_error_t AddValueLabels(const ExportVariable& v, readstat_variable_t* variable) {
        readstat_label_set_t* set = readstat_add_label_set(
            writer_.get(), spss() ? READSTAT_TYPE_DOUBLE : READSTAT_TYPE_INT32, v.name.c_str());
        if (!set) return READSTAT_ERROR_MALLOC;
        const std::size_t most = spss() ? kSpssValueLabel : kStataValueLabel;
        for (const ValueLabel& l : v.valueLabels) {
            const std::string label = Utf8Prefix(l.label, most);
            spss() ? readstat_label_double_value(set, l.value, label.c_str())
                   : readstat_label_int32_value(set, l.value, label.c_str());
        }
        for (const MissingKind kind : v.kinds) {
            const MissingKindInfo& info = InfoOf(kind);
            spss() ? readstat_label_double_value(set, info.spssCode, info.label)
                   : readstat_label_tagged_value(set, info.stataTag, info.label);
        }
        readstat_variable_set_label_set(variable, set);
        return READSTAT_OK;
    }

    readstat_error_t WriteRow(const std::vector<ExportCell>& row) {
        readstat_error_t e = readstat_begin_row(writer_.get());
        for (std::size_t i = 0; i < row.size() && e == READSTAT_OK; ++i) {
            e = WriteCell(table_.variables[i].type, variables_[i], row[i]);
        }
        return e == READSTAT_OK ? readstat_end_row(writer_.get()) : e;
    }

    readstat_error_t WriteCell(VariableType type, const readstat_variable_t* variable,
                               const ExportCell& cell) {
        readstat_writer_t* w = writer_.get();
        if (type == VariableType::Text)
            return readstat_insert_string_value(w, variable, cell.text.c_str());
        if (cell.text.empty() && cell.missing != MissingKind::None) {
            const MissingKindInfo& info = InfoOf(cell.missing);
            return spss() ? readstat_insert_double_value(w, variable, info.spssCode)
                          : readstat_insert_tagged_missing_value(w, variable, info.stataTag);
        }
        if (cell.text.empty()) return readstat_insert_missing_value(w, variable);
        if (type == VariableType::Date) {
            const int days = DaysSince1970(cell.text);
            return spss() ? readstat_insert_double_value(w, variable,
                                                         (days + kSpssEpochDays) * kSecondsPerDay)
                          : readstat_insert_int32_value(w, variable, days + kStataEpochDays);
        }
        if (type == VariableType::Decimal || spss()) {
            return readstat_insert_double_value(w, variable, std::stod(cell.text));
        }
        return readstat_insert_int32_value(w, variable, std::stoi(cell.text));
    }

    const ExportTable& table_;
    StatsFormat format_;
    std::unique_ptr<readstat_writer_t, WriterFree> writer_;
    std::vector<readstat_variable_t*> variables_;
};

}  // namespace

Result<std::string> StatsFile(const ExportTable& table, StatsFormat format,
                              const std::string& path) {
    Result<std::string> bytes = StatsWriter(table, format).Write();
    if (bytes) return bytes;
    return MakeError(errc::BadData, "cannot write " + path + ": " + bytes.error().message);
}

}  // namespace mw
