// SHA-256 (FIPS 180-4), by which the audit log chains each line to the one
// before it. Small and slow enough for a log of a few thousand lines.
#pragma once

#include <string>
#include <string_view>

namespace mw {

// The digest of `bytes` as 64 lowercase hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace mw
