// The site's key, in the program folder: the anonymised export keys its
// pseudonyms with it and the audit log its chain of lines. Whoever holds it
// can link a person's rows and write lines the chain accepts; nobody else can.
#pragma once

#include <optional>
#include <string>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

inline constexpr const char* kSiteKeyFileName = "MWSITE.KEY";

// `bytes` bytes of the system's random source as lowercase hexadecimal digits.
Result<std::string> RandomHex(std::size_t bytes);

// The site key of a program folder, made from the system's random source
// and kept for the owner only when there is none yet.
Result<std::string> SiteKey(FileSystem& fs, const std::string& programDir);
// The site key when the program folder has one; none when it has not.
Result<std::optional<std::string>> ExistingSiteKey(FileSystem& fs, const std::string& programDir);

}  // namespace mw
