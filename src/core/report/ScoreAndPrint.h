// The one way every report is made: read the scoring data and report texts
// afresh, score the client's stored answers and write the whole report to
// REPORT.PRN in the program folder. Nothing of it is kept with the client.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/data/FileSystem.h"
#include "core/data/StationState.h"
#include "core/report/ReportComposer.h"
#include "core/scoring/ReportTexts.h"
#include "core/scoring/ScoreSheet.h"
#include "core/scoring/ScoringTables.h"

namespace mw {

inline constexpr const char* kReportFileName = "REPORT.PRN";

struct ReportData {
    ScoringTables tables;
    ReportTexts texts;
};

class ScoreAndPrint {
public:
    ScoreAndPrint(FileSystem& fs, std::string programDir)
        : fs_(fs), programDir_(std::move(programDir)) {}

    std::string ReportPath() const { return JoinPath(programDir_, kReportFileName); }

    // MW_rpt.TXT and MWB.TXT of the program folder, read afresh.
    Result<ReportData> ReadData() const;
    // `paradata`: the lines of the page on how the test was taken; none, no such page.
    Result<ComposedReport> Compose(const ClientRecord& record, int testNumber, bool summary,
                                   const std::vector<std::string>* paradata = nullptr) const;

    // Scores the client at CurrentRecord and writes REPORT.PRN over the
    // last report, in place, with the page on how the test was taken when
    // the state's PrintParadata is set. The result lists what the report could not
    // print (missing paragraphs); an error means no report was written.
    Result<std::vector<std::string>> Run(const StationState& state, bool summary) const;
    // As Run, for any record and output file, which is replaced whole.
    Result<std::vector<std::string>> WriteReport(const ClientRecord& record, int testNumber,
                                                 bool summary, const std::string& path) const;

private:
    // As ReadData, shared with the reports made from the same bytes.
    Result<std::shared_ptr<const ReportData>> Data() const;
    Result<std::string> ReadProgramFile(const std::string& name) const;

    FileSystem& fs_;
    std::string programDir_;
};

}  // namespace mw
