// The export's table as an SPSS (.sav) or Stata (.dta) file: each variable
// with its label and value labels, dates as dates, texts as texts, and the
// kinds of missing value as SPSS user-missing values and Stata extended
// missing values.
#pragma once

#include <string>

#include "cli/ExportTable.h"
#include "core/data/Error.h"

namespace mw {

enum class StatsFormat { Spss, Stata };

// The file's bytes; an error names `path` and what the writer refused.
Result<std::string> StatsFile(const ExportTable& table, StatsFormat format,
                              const std::string& path);

}  // namespace mw
