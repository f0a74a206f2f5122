// The running station: one copy per program folder, the main window, the
// event loop.
#pragma once

namespace mw {

// Runs the station until its main window closes; returns the exit code.
int RunStation(int argc, char** argv);

}  // namespace mw
