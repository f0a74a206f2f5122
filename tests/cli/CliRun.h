// Runs the command-line tool in-process and keeps what it printed.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "core/data/FileSystem.h"
#include "support/TempDir.h"

namespace mwtest {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// Where the tool works when a test names no program folder: a user's own,
// seeded from the built program folder as from an installed data set.
inline const mw::ProgramFolder& UsersProgramFolder() {
    static const TempDir home;
    static const mw::ProgramFolder folder{home.File("mirrorwise"), MW_PROGRAM_DIR};
    return folder;
}

inline CliRun Cli(const std::vector<std::string>& args,
                  const mw::ProgramFolder& programFolder = UsersProgramFolder()) {
    std::ostringstream out, err;
    int status = mw::RunCli(args, out, err, programFolder);
    return {status, out.str(), err.str()};
}

// A copy of the built demo disk, one per test program: the commands add to
// a disk's audit log, and tests running side by side must not share one.
inline std::string DemoDisk() {
    static const TempDir copy;
    static const bool copied = (std::filesystem::copy(MW_DEMO_DISK_DIR, copy.Path()), true);
    (void)copied;
    return copy.Path();
}

// A copy of the built program folder's data files, one per test program:
// the commands note each disk's audit log in their program folder, and the
// built one is staged and installed.
inline std::string DemoProgram() {
    static const TempDir copy;
    static const bool copied = [] {
        for (const auto& file : std::filesystem::directory_iterator(MW_PROGRAM_DIR)) {
            if (file.path().filename().string().rfind("mirrorwise", 0) != 0) {
                std::filesystem::copy(file.path(), copy.Path());
            }
        }
        return true;
    }();
    (void)copied;
    return copy.Path();
}

// `command` on the demo disk with a copy of the built program folder or `program`.
inline std::vector<std::string> DemoCommand(const std::string& command,
                                            const std::vector<std::string>& more,
                                            const std::string& program = DemoProgram()) {
    std::vector<std::string> args = {command, "--program-dir", program, "--disk", DemoDisk()};
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
