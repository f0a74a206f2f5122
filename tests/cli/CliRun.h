// Runs the command-line tool in-process and keeps what it printed.
#pragma once

#include <gtest/gtest.h>

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

// A program folder and a data disk of the test's own (copies of the built
// program folder's data files and of the demo disk): the commands add to a
// disk's audit log and note it in their program folder.
class CliFixture : public ::testing::Test {
protected:
    CliFixture() {
        CopyDataSet(program.Path());
        std::filesystem::copy(MW_DEMO_DISK_DIR, disk.Path());
    }

    // `command` on that disk with that program folder.
    std::vector<std::string> Args(const std::string& command,
                                  const std::vector<std::string>& more) const {
        std::vector<std::string> args = {command, "--program-dir", program.Path(), "--disk",
                                         disk.Path()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    CliRun Run(const std::string& command, const std::vector<std::string>& more) const {
        return Cli(Args(command, more));
    }

    TempDir program;
    TempDir disk;
    TempDir output;
};

inline std::string ReadAll(const std::string& path) {
    return mw::LocalFileSystem().ReadFile(path).value();
}

// The reviewed report of a golden case.
inline std::string Golden(const std::string& name) {
    return ReadAll(MW_SOURCE_DIR "/tests/core/report/golden/" + name + "/expected.prn");
}

}  // namespace mwtest
