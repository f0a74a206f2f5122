// The export's table as CSV, and its codebook: the description of its
// variables, which the other formats carry inside their files.
#pragma once

#include <string>
#include <vector>

#include "cli/ExportTable.h"

namespace mw {

// A header row of the variables' names, then a row per client, UTF-8 with
// LF line ends; a cell is empty where a value is missing.
std::string ClientsCsv(const ExportTable& table, const ExportOptions& options);

// The codebook's header and a row per variable: variable, label, type,
// allowed values with their labels, when the cell is empty, and the kinds
// of missing value with their codes in SPSS and Stata files.
std::vector<std::vector<std::string>> CodebookRows(const ExportTable& table);
std::string CodebookCsv(const ExportTable& table, const ExportOptions& options);

}  // namespace mw
