// Composition of the confidential report as 80-column text pages: the
// full report and, when asked for, the one-page summary after it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/data/ClientRecord.h"
#include "core/data/Error.h"
#include "core/report/Interpretation.h"
#include "core/scoring/ReportTexts.h"
#include "core/scoring/ScoreSheet.h"

namespace mw {

// The client's fields as the report header shows them, trimmed and with
// control characters as blanks; an ID, age, education or date of birth of
// "N" reads "N/A".
struct ReportHeader {
    std::string Name, IDNumber, Age, Sex, Ethnicity, Education, MaritalStatus, DateOfBirth,
        DateScored;

    static ReportHeader FromRecord(const ClientRecord& record);
};

// Reads a text file of the program folder by name.
using TextFileReader = std::function<Result<std::string>(const std::string& name)>;

struct ReportRequest {
    const ScoreSheet& sheet;
    const ScoringTables& tables;
    const ReportTexts& texts;
    ReportHeader header;
    Pronouns pronouns;
    int testNumber = 0;
    bool summary = false;
    // The lines of a last page on how the test was taken; none, no such page.
    const std::vector<std::string>* paradata = nullptr;
};

struct ComposedReport {
    std::string bytes;  // Windows-1252, CR LF line ends
    // Paragraph files, paragraphs or END lines that were missing: the report
    // prints what was found, and these say what was not.
    std::vector<std::string> problems;
};

ComposedReport ComposeReport(const ReportRequest& request, const TextFileReader& readFile);

}  // namespace mw
