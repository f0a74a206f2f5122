#include "cli/CsvExport.h"

#include <vector>

#include "core/data/Cp1252.h"

namespace mw {
namespace {

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

// A stored field as the report shows it, in UTF-8.
template <std::size_t N>
std::string Field(const FixedText<N>& field) {
    return Cp1252ToUtf8(Trim(Printable(field.View())));
}

std::vector<std::string> Header(const ReportData& data, bool anonymised) {
    std::vector<std::string> header = {"Test number"};
    if (!anonymised) header.insert(header.end(), {"Name", "ID number", "Date of birth"});
    header.insert(header.end(), {"Age", "Sex", "Ethnicity", "Education", "Marital status",
                                 "Test date", "Norm sex", "Norm group"});
    for (int scale = 1; scale <= kScaleCount; ++scale) {
        const std::string name = Cp1252ToUtf8(data.texts.ScaleNames[scale]);
        for (const char* what : {" raw", " percentile", " omitted", " scored"}) {
            header.push_back(name + what);
        }
    }
    return header;
}

std::vector<std::string> Row(const ClientRecord& record, int testNumber, const ReportData& data,
                             bool anonymised) {
    std::vector<std::string> row = {std::to_string(testNumber)};
    if (!anonymised) {
        row.insert(row.end(),
                   {Field(record.Name), Field(record.IDNumber), Field(record.DateOfBirth)});
    }
    row.insert(row.end(),
               {Field(record.Age), Field(record.Gender), Field(record.Race),
                Field(record.Education), Field(record.MaritalStatus), Field(record.TodayDate),
                std::to_string(NormSex(CodeValue(record.Gender.View()))),
                std::to_string(NormGroup(CodeValue(record.Race.View())))});
    const ScoreSheet sheet = ScoreClient(record, data.tables);
    for (int scale = 1; scale <= kScaleCount; ++scale) {
        for (int value : {sheet.RawScore[scale], sheet.Percentile[scale], sheet.OmittedCount[scale],
                          sheet.ScoredItemCount[scale]}) {
            row.push_back(std::to_string(value));
        }
    }
    return row;
}

}  // namespace

std::string ClientsCsv(const StationState& state, const ReportData& data, bool anonymised,
                       const std::map<int, Paradata>& paradata) {
    std::string csv;
    std::vector<std::string> header = Header(data, anonymised);
    header.push_back("Effort index");
    AppendRow(csv, header);
    for (int n = 1; n <= state.RecordCount; ++n) {
        std::vector<std::string> row = Row(state.ClientRecords[n], n, data, anonymised);
        row.push_back(EffortIndexOf(paradata, n));
        AppendRow(csv, row);
    }
    return csv;
}

}  // namespace mw
