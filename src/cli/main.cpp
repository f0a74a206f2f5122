#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    // The tool works where the station beside it works.
    return mw::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                      mw::DefaultProgramFolder(mw::ExecutableDir()));
}
