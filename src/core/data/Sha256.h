// SHA-256 (FIPS 180-4), by which the audit log chains each line to the one
// before it, and HMAC-SHA-256 (RFC 2104), by which an anonymised export keys
// its rows. Small and slow enough for a log of a few thousand lines.
#pragma once

#include <string>
#include <string_view>

namespace mw {

// The digest of `bytes` as 64 lowercase hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

// The keyed digest of `message` under `key` as 64 lowercase hexadecimal digits.
std::string HmacSha256Hex(std::string_view key, std::string_view message);

}  // namespace mw
