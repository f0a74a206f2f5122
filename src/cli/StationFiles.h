// The files the station keeps in its program folder and on a data disk,
// which the command-line tool never writes over: a report or a table
// written there would destroy the records, the settings, an unfinished
// test or the instrument's data.
#pragma once

#include <string>

#include "core/data/Error.h"
#include "core/settings/ProgramFolder.h"

namespace mw {

// Refuses `target` when it is, or would become, one of the station's own
// files in `programDir` or on the data disk `disk` (either may be empty):
// the record file, the disk's identity, lock and audit log, settings, journal,
// databases, scoring data, report texts, paragraph files, the site key, the
// note of each disk's audit log and the programs,
// whatever the case of the name and however the path is spelled (links,
// "..", another path to the folder). REPORT.PRN is where reports go, and
// may be written.
Status CheckNotStationFile(const std::string& target, const std::string& programDir,
                           const std::string& disk);

// Refuses `target` when it lies in the data set that `folder` is seeded from
// (the installed one), or in a folder under it, however the path is
// spelled: the set belongs to the package, and a file written there would
// stay after the package is removed. The refusal names the program folder
// to work in instead.
Status CheckOutsideInstalledData(const std::string& target, const ProgramFolder& folder);

}  // namespace mw
