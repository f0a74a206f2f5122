#include "core/data/SiteKey.h"

#include <cstdio>
#include <fstream>

namespace mw {
namespace {

bool IsHexKey(std::string_view text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

Result<std::string> RandomHex(std::size_t bytes) {
    constexpr const char* kSource = "/dev/urandom";
    std::string random(bytes, '\0');
    std::ifstream source(kSource, std::ios::binary);
    if (!source.read(random.data(), static_cast<std::streamsize>(bytes))) {
        return MakeError(errc::DeviceIo, std::string("cannot read random bytes from ") + kSource);
    }
    std::string hex;
    for (const char c : random) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
        hex += digits;
    }
    return hex;
}

Result<std::optional<std::string>> ExistingSiteKey(FileSystem& fs, const std::string& programDir) {
    const std::string path = JoinPath(programDir, kSiteKeyFileName);
    if (!fs.FileExists(path)) return std::optional<std::string>();
    Result<std::string> text = fs.ReadFile(path, 4096);
    if (!text) return text.error();
    const std::string key = text->substr(0, text->find_first_of("\r\n"));
    if (!IsHexKey(key)) {
        return MakeError(errc::BadData,
                         path + " is not a site key: its first line must be 64 hexadecimal digits");
    }
    return std::optional<std::string>(key);
}

// The key is written as text so that a site can copy it to a second station.
Result<std::string> SiteKey(FileSystem& fs, const std::string& programDir) {
    Result<std::optional<std::string>> existing = ExistingSiteKey(fs, programDir);
    if (!existing) return existing.error();
    if (*existing) return **existing;
    Result<std::string> key = RandomHex(32);
    if (!key) return key.error();
    const std::string path = JoinPath(programDir, kSiteKeyFileName);
    if (Status st = fs.WriteFile(path, *key + "\n", Readers::OwnerOnly); !st) return st.error();
    return key;
}

}  // namespace mw
