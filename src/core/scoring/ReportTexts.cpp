#include "core/scoring/ReportTexts.h"

#include "core/scoring/DataFileReader.h"

namespace mw {
namespace {

template <std::size_t N>
Status ReadFields(DataFileReader& in, std::array<std::string, N>& out, const char* what) {
    for (std::size_t i = 1; i < N; ++i) {
        Result<std::string> field = in.Field({what, static_cast<int>(i)});
        if (!field) return field.error();
        out[i] = *field;
    }
    return {};
}

template <std::size_t N>
Status ReadLines(DataFileReader& in, std::array<std::string, N>& out, const char* what) {
    for (std::size_t i = 1; i < N; ++i) {
        Result<std::string> line = in.Line({what, static_cast<int>(i)});
        if (!line) return line.error();
        out[i] = *line;
    }
    return {};
}

}  // namespace

Result<ReportTexts> ParseReportTexts(const std::string& name, std::string_view text) {
    DataFileReader in(name, text);
    ReportTexts t;
    Status st = ReadFields(in, t.ScaleNames, "scale name");
    if (st) st = ReadFields(in, t.RangeLabels, "risk-range label");
    if (st) st = ReadLines(in, t.SignificantLines, "significant-item line");
    if (st) st = ReadLines(in, t.ChoiceLines, "multiple-choice line");
    if (st) st = in.ExpectEnd();
    if (!st) return st.error();
    return t;
}

}  // namespace mw
