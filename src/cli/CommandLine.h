// A command's options read the way GNU tools read them (getopt_long):
// "--name value", "--name=value", an unambiguous abbreviation, "--" ending
// the options, -h/--help and --version anywhere, and a usage problem named
// in one line rather than answered with the whole usage.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/settings/ProgramFolder.h"

namespace mw {

// The options a command takes: those with a value, flags, and the ones it
// cannot run without. Names are spelled in full, "--disk".
struct AllowedOptions {
    std::vector<std::string> values;
    std::vector<std::string> flags;
    std::vector<std::string> required;
    // Words after the options are the command's operands (more disks).
    bool operands = false;
};

// Parsed options of one command, and the program folder it works in when
// --program-dir names none.
struct Options {
    std::map<std::string, std::string> values;
    std::map<std::string, bool> flags;
    std::vector<std::string> operands;
    ProgramFolder programFolder;

    std::string Value(const std::string& name) const {
        const auto found = values.find(name);
        return found == values.end() ? std::string() : found->second;
    }
};

// What a command line asks for: running the command with its options, the
// help or the version, or nothing, with the problem that stops it.
struct CommandLine {
    enum class Asks { Run, Help, Version, Nothing };
    Asks asks = Asks::Run;
    Options options;
    std::string problem;  // for Asks::Nothing: "unrecognized option '--dsk'"
};

// Reads `args` after the command name args[0] against `allowed`.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const AllowedOptions& allowed);

}  // namespace mw
