// The archive's commands of the command-line tool: add, list, norms and
// stats. Each prints to `out`, names what went wrong on `err` and returns
// the tool's exit status (0 success, 1 a data or disk error).
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "cli/CommandLine.h"
#include "cli/ExportTable.h"
#include "cli/archive/Archive.h"
#include "core/data/Error.h"

namespace mw {

// Writes a file the user named (standard output for "-"), with the tool's
// checks that it is none of the station's own files.
using OutputWriter = std::function<Status(const std::string& path, std::string_view bytes)>;

int ArchiveAdd(const Options& o, std::ostream& out, std::ostream& err);
int ArchiveList(const Options& o, std::ostream& out, std::ostream& err);
int ArchiveNorms(const Options& o, std::ostream& out, std::ostream& err, const OutputWriter& write);
int ArchiveStats(const Options& o, std::ostream& out, std::ostream& err);

// The clients of every disk's latest version as the export's table, led by
// the number of each client's disk in the archive and the route of its answers.
Result<ExportTable> ArchiveExportTable(Archive& archive, const ReportData& data,
                                       const ExportOptions& options,
                                       const std::vector<QuestionRow>& questions);

// The disks an add names: the value of --disk and the words after the options.
std::vector<std::string> DisksOf(const Options& o);

}  // namespace mw
