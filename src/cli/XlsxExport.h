// The export's table as a spreadsheet workbook (.xlsx): a sheet of the
// clients, names and ID numbers as text cells so that leading zeros stay,
// dates as dates, the header row frozen; and a sheet of the codebook.
#pragma once

#include <string>

#include "cli/ExportTable.h"
#include "core/data/Error.h"

namespace mw {

// The workbook's bytes; an error names `path` and what went wrong.
Result<std::string> XlsxFile(const ExportTable& table, const std::string& path);

}  // namespace mw
