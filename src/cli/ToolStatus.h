// How every command of the tool ends: its exit status, and what it says on
// standard error when it cannot do what was asked.
#pragma once

#include <ostream>
#include <string>

#include "core/data/Error.h"

namespace mw {

inline constexpr int kOk = 0;
inline constexpr int kDataError = 1;  // a data or disk error, named on stderr
inline constexpr int kUsageError = 2;

inline int Fail(std::ostream& err, const Error& e) {
    err << "mirrorwise-cli: " << e.message << "\n";
    return kDataError;
}

// A command line the tool cannot run: what is wrong with it, and where the
// whole usage is.
inline int Usage(std::ostream& err, const std::string& problem) {
    err << "mirrorwise-cli: " << problem << "\n"
        << "Try 'mirrorwise-cli --help' for more information.\n";
    return kUsageError;
}

}  // namespace mw
