// The command-line tool over the core: listing a data disk, scoring a client,
// writing reports, importing a mark reader's answer sheets and checking a
// disk's audit log. Exit status 0 on success, 1 for a data or disk error (or
// a broken audit log), 2 for a usage error.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/settings/ProgramFolder.h"

namespace mw {

// `programFolder` is where a command works when --program-dir names no
// folder: the folder the station of this user works in. Its seedFrom, the
// installed data set, is never written, whatever folder a command names.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const ProgramFolder& programFolder);

}  // namespace mw
