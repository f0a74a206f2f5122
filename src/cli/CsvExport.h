// The clients of a data disk, their answers and their scale results as one
// CSV table, with a codebook that describes its columns, for sites that
// analyse their results in a statistics package.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/data/FileSystem.h"
#include "core/data/Paradata.h"
#include "core/data/QuestionDatabase.h"
#include "core/data/SiteKey.h"
#include "core/data/StationState.h"
#include "core/report/ScoreAndPrint.h"

namespace mw {

struct ExportOptions {
    // Rows leave out the name, ID number and date of birth and carry a
    // pseudonym made from them with the site key.
    bool anonymised = false;
    std::string siteKey;
    // The scale results of an invalid protocol, and the scores of a scale the
    // report shows as not scored, are written all the same.
    bool keepInvalidScores = false;
    // The file starts with a byte order mark, by which a spreadsheet knows
    // that it is UTF-8.
    bool excel = false;
};

// A header row of snake_case names, then a row per client in test-number
// order, UTF-8 with LF line ends; a cell is empty where a value is missing.
// The last column is the effort index of a test taken on the screen, from
// `paradata` by record number.
std::string ClientsCsv(const StationState& state, const ReportData& data,
                       const ExportOptions& options, const std::map<int, Paradata>& paradata);

// The table's columns, a row each: variable, label, type, allowed values
// with their labels, and when a cell is empty. Item labels and answer texts
// come from the question table; an item it lacks is described by its number
// and its section's codes.
std::string CodebookCsv(const ReportData& data, const ExportOptions& options,
                        const std::vector<QuestionRow>& questions);

}  // namespace mw
