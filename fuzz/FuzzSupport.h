// What every fuzz target shares: a failed property stops the run with the
// reason (libFuzzer keeps the input that caused it), and the real data files
// the targets put beside the fuzzed one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mwfuzz {

inline void Check(bool holds, std::string_view what) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

// A refusal must say what was wrong and name the file it is about.
inline void CheckRefusal(const mw::Error& error, std::string_view file) {
    Check(!error.message.empty(), "a refusal without a message");
    Check(error.message.find(file) != std::string::npos,
          "a refusal that does not name the file: " + error.message);
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A file of the program folder the build was made from (instrument/...).
inline std::string InstrumentFile(const std::string& relative) {
    mw::Result<std::string> bytes =
        mw::LocalFileSystem().ReadFile(mw::JoinPath(MW_INSTRUMENT_DIR, relative));
    Check(bytes.ok(), "cannot read the instrument file " + relative);
    return *bytes;
}

}  // namespace mwfuzz
