#include "cli/CsvExport.h"

#include <string_view>

namespace mw {
namespace {

const char* TypeName(VariableType type) {
    switch (type) {
        case VariableType::Integer:
            return "integer";
        case VariableType::Decimal:
            return "decimal";
        case VariableType::Date:
            return "date";
        case VariableType::Text:
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

std::string KindsText(const std::vector<MissingKind>& kinds) {
    std::string text;
    for (const MissingKind kind : kinds) {
        const MissingKindInfo& info = InfoOf(kind);
        text += (text.empty() ? "" : "; ") + std::string(info.name) + " (SPSS " +
                std::to_string(info.spssCode) + ", Stata ." + info.stataTag + ")";
    }
    return text;
}

}  // namespace

std::string ClientsCsv(const ExportTable& table, const ExportOptions& options) {
    std::vector<std::string> fields;
    for (const ExportVariable& v : table.variables) fields.push_back(v.name);
    std::string csv = Utf8Bom(options);
    AppendRow(csv, fields);
    for (const std::vector<ExportCell>& row : table.rows) {
        fields.clear();
        for (std::size_t i = 0; i < row.size(); ++i) {
            const bool text = table.variables[i].type == VariableType::Text;
            fields.push_back(text ? Inert(row[i].text) : row[i].text);
        }
        AppendRow(csv, fields);
    }
    return csv;
}

std::vector<std::vector<std::string>> CodebookRows(const ExportTable& table) {
    std::vector<std::vector<std::string>> rows = {
        {"variable", "label", "type", "values", "missing", "missing_kinds"}};
    for (const ExportVariable& v : table.variables) {
        rows.push_back({v.name, v.label, TypeName(v.type),
                        v.valueLabels.empty() ? v.range : ValueLabelsText(v.valueLabels), v.missing,
                        KindsText(v.kinds)});
    }
    return rows;
}

std::string CodebookCsv(const ExportTable& table, const ExportOptions& options) {
    std::string csv = Utf8Bom(options);
    for (std::vector<std::string>& row : CodebookRows(table)) {
        row[1] = Inert(row[1]);
        AppendRow(csv, row);
    }
    return csv;
}

}  // namespace mw
