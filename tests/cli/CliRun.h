// Runs the command-line tool in-process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "core/data/FileSystem.h"

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

// `command` on the demo disk with the built program folder or `program`.
inline std::vector<std::string> DemoCommand(const std::string& command,
                                            const std::vector<std::string>& more,
                                            const std::string& program = MW_PROGRAM_DIR) {
    std::vector<std::string> args = {command, "--program-dir", program, "--disk", MW_DEMO_DISK_DIR};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

inline std::string ReadAll(const std::string& path) {
    return mw::LocalFileSystem().ReadFile(path).value();
}

// The reviewed report of a golden case.
inline std::string Golden(const std::string& name) {
    return ReadAll(MW_SOURCE_DIR "/tests/core/report/golden/" + name + "/expected.prn");
}

}  // namespace mwtest
