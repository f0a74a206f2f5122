// The files the station keeps in its program folder and on a data disk,
// which the command-line tool never writes over: a report or a table
// written there would destroy the records, the settings, an unfinished
// test or the instrument's data.
#pragma once

#include <string>

#include "core/data/Error.h"

namespace mw {

// Refuses `target` when it is, or would become, one of the station's own
// files in `programDir` or on the data disk `disk` (either may be empty):
// the record file, the disk's identity, its audit log, settings, journal, databases,
// scoring data, report texts, paragraph files, the site key and the programs,
// whatever the case of the name and however the path is spelled (links,
// "..", another path to the folder). REPORT.PRN is where reports go, and
// may be written.
Status CheckNotStationFile(const std::string& target, const std::string& programDir,
                           const std::string& disk);

}  // namespace mw
