// Runs the command-line tool in-process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace mwtest {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = mw::RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace mwtest
