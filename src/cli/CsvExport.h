// The clients of a data disk and their scale results as one CSV table, for
// sites that analyse their results elsewhere.
#pragma once

#include <map>
#include <string>

#include "core/data/Paradata.h"
#include "core/data/StationState.h"
#include "core/report/ScoreAndPrint.h"

namespace mw {

// A header row, then a row per client in test-number order, UTF-8 with LF
// line ends. Anonymised rows leave out the name, ID number and date of birth.
// The last column is the effort index of the test on the screen (`paradata`
// by record number), "not recorded" for answers keyed or scanned.
std::string ClientsCsv(const StationState& state, const ReportData& data, bool anonymised,
                       const std::map<int, Paradata>& paradata);

}  // namespace mw
