// Which folder the station and the command-line tool work in. A staged or
// portable station keeps its settings, data files and question database in
// the folder of its executable. An installed station's folder belongs to the
// system and is not the user's to write, so each user works in a folder of
// their own, copied from the installed data set.
#pragma once

#include <string>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

struct ProgramFolder {
    std::string path;
    // The data set the folder is brought up to date from (the installed one,
    // or a folder of the executable that cannot be written); empty when the
    // program works in the folder of its executable as it is. Nothing is
    // ever written into it.
    std::string seedFrom;
};

// The folder of a program whose executable lies in `exeDir`. `installedData`
// is where an install puts the data set; when it holds the question database,
// or when `exeDir` cannot be written, the program works in `userDataHome`/
// mirrorwise instead, seeded from the one or the other.
ProgramFolder ChooseProgramFolder(const std::string& exeDir, const std::string& installedData,
                                  const std::string& userDataHome);

// The folder of the running executable.
std::string ExecutableDir();

// The folder the station and the tool whose executables lie in `exeDir` both
// work in: ChooseProgramFolder with the install's data folder beside `exeDir`
// and the user's data home.
ProgramFolder DefaultProgramFolder(const std::string& exeDir);

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
std::string UserDataHome();

// Creates the folder for its owner alone (the reports in it name clients) and
// copies into it each file of the data set that it lacks or holds in another
// version, so that an upgraded package's texts and norms reach it. Settings
// and the scan database are copied only when missing: the station changes them.
Status SeedProgramFolder(FileSystem& fs, const ProgramFolder& folder);

}  // namespace mw
