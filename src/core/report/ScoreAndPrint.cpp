#include "core/report/ScoreAndPrint.h"

#include <mutex>
#include <optional>

#include "core/data/Paradata.h"

namespace mw {
namespace {

// The data parsed last, with the bytes it was parsed from.
struct ParsedData {
    std::string texts;
    std::string scoring;
    std::shared_ptr<const ReportData> data;
};

// The files are read afresh for every report, as a site may replace them at
// any moment, but parsed again only when their bytes differ from the bytes
// parsed last: most reports in a row are made from the same files.
Result<std::shared_ptr<const ReportData>> ParseData(std::string texts, std::string scoring) {
    static std::mutex mutex;
    static ParsedData last;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (last.data && last.texts == texts && last.scoring == scoring) return last.data;
    }
    Result<ReportTexts> parsedTexts = ParseReportTexts(kReportTextsFileName, texts);
    if (!parsedTexts) return parsedTexts.error();
    Result<ScoringTables> parsedTables = ParseScoringTables(kScoringFileName, scoring);
    if (!parsedTables) return parsedTables.error();
    auto data = std::make_shared<const ReportData>(
        ReportData{std::move(*parsedTables), std::move(*parsedTexts)});
    const std::lock_guard<std::mutex> lock(mutex);
    last = {std::move(texts), std::move(scoring), data};
    return data;
}

}  // namespace

Result<std::string> ScoreAndPrint::ReadProgramFile(const std::string& name) const {
    return fs_.ReadFile(JoinPath(programDir_, name));
}

Result<std::shared_ptr<const ReportData>> ScoreAndPrint::Data() const {
    Result<std::string> texts = ReadProgramFile(kReportTextsFileName);
    if (!texts) return texts.error();
    Result<std::string> scoring = ReadProgramFile(kScoringFileName);
    if (!scoring) return scoring.error();
    return ParseData(std::move(*texts), std::move(*scoring));
}

Result<ReportData> ScoreAndPrint::ReadData() const {
    Result<std::shared_ptr<const ReportData>> data = Data();
    if (!data) return data.error();
    return **data;
}

Result<ComposedReport> ScoreAndPrint::Compose(const ClientRecord& record, int testNumber,
                                              bool summary,
                                              const std::vector<std::string>* paradata) const {
    Result<std::shared_ptr<const ReportData>> data = Data();
    if (!data) return data.error();
    const ReportData& d = **data;
    const ScoreSheet sheet = ScoreClient(record, d.tables);
    ReportRequest request{sheet,
                          d.tables,
                          d.texts,
                          ReportHeader::FromRecord(record),
                          PronounsFor(record.Gender.View()),
                          testNumber,
                          summary,
                          paradata};
    return ComposeReport(request,
                         [this](const std::string& name) { return ReadProgramFile(name); });
}

Result<std::vector<std::string>> ScoreAndPrint::WriteReport(const ClientRecord& record,
                                                            int testNumber, bool summary,
                                                            const std::string& path) const {
    Result<ComposedReport> report = Compose(record, testNumber, summary);
    if (!report) return report.error();
    if (Status st = fs_.ReplaceRemakeableFile(path, report->bytes); !st) return st.error();
    return report->problems;
}

// In place, so that the previous client's report is overwritten rather than
// left in the free space of the disk.
Result<std::vector<std::string>> ScoreAndPrint::Run(const StationState& state, bool summary) const {
    std::optional<std::vector<std::string>> paradata;
    if (state.PrintParadata) {
        Result<std::vector<std::string>> lines =
            ParadataLines(fs_, state.DataPath, state.CurrentRecord);
        if (!lines) return lines.error();
        paradata = std::move(*lines);
    }
    Result<ComposedReport> report =
        Compose(state.Current(), state.CurrentRecord, summary, paradata ? &*paradata : nullptr);
    if (!report) return report.error();
    if (Status st = OverwriteFile(fs_, ReportPath(), report->bytes); !st) return st.error();
    return report->problems;
}

}  // namespace mw
