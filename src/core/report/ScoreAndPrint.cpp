#include "core/report/ScoreAndPrint.h"

namespace mw {

Result<std::string> ScoreAndPrint::ReadProgramFile(const std::string& name) const {
    return fs_.ReadFile(JoinPath(programDir_, name));
}

Result<ReportData> ScoreAndPrint::ReadData() const {
    Result<std::string> texts = ReadProgramFile(kReportTextsFileName);
    if (!texts) return texts.error();
    Result<std::string> scoring = ReadProgramFile(kScoringFileName);
    if (!scoring) return scoring.error();
    Result<ReportTexts> parsedTexts = ParseReportTexts(kReportTextsFileName, *texts);
    if (!parsedTexts) return parsedTexts.error();
    Result<ScoringTables> parsedTables = ParseScoringTables(kScoringFileName, *scoring);
    if (!parsedTables) return parsedTables.error();
    return ReportData{std::move(*parsedTables), std::move(*parsedTexts)};
}

Result<ComposedReport> ScoreAndPrint::Compose(const ClientRecord& record, int testNumber,
                                              bool summary) const {
    Result<ReportData> data = ReadData();
    if (!data) return data.error();
    const ScoreSheet sheet = ScoreClient(record, data->tables);
    ReportRequest request{sheet,
                          data->tables,
                          data->texts,
                          ReportHeader::FromRecord(record),
                          PronounsFor(record.Gender.View()),
                          testNumber,
                          summary};
    return ComposeReport(request,
                         [this](const std::string& name) { return ReadProgramFile(name); });
}

Result<std::vector<std::string>> ScoreAndPrint::WriteReport(const ClientRecord& record,
                                                            int testNumber, bool summary,
                                                            const std::string& path) const {
    Result<ComposedReport> report = Compose(record, testNumber, summary);
    if (!report) return report.error();
    if (Status st = fs_.ReplaceFile(path, report->bytes); !st) return st.error();
    return report->problems;
}

Result<std::vector<std::string>> ScoreAndPrint::Run(const StationState& state, bool summary) const {
    return WriteReport(state.Current(), state.CurrentRecord, summary, ReportPath());
}

}  // namespace mw
