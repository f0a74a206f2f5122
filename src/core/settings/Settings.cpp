#include "core/settings/Settings.h"

namespace mw {
namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kPath = "Path";
constexpr const char* kScan = "ScanSettings";

const char* TrueFalse(bool on) {
    return on ? "True" : "False";
}

}  // namespace

Settings::Settings(FileSystem& fs, const std::string& programDir)
    : mw_(fs, JoinPath(programDir, kSettingsFileName)),
      scan_(fs, JoinPath(programDir, kScanSettingsFileName)) {}

// A flag is on when its value begins with "Tru", whatever follows.
bool Settings::ReadFlag(const IniFile& file, const char* section, const char* key,
                        const char* defaultValue, std::size_t bufferSize) const {
    return file.ReadString(section, key, defaultValue, bufferSize).rfind("Tru", 0) == 0;
}

bool Settings::GetNumLockSetting() const {
    return ReadFlag(mw_, kSettings, "NumLock", "True", 10);
}

bool Settings::GetPrintDOSSetting() const {
    return ReadFlag(mw_, kSettings, "PrintDOS", "True", 10);
}

Status Settings::SaveNumLockSetting(bool on) {
    return mw_.WriteString(kSettings, "NumLock", TrueFalse(on));
}

Status Settings::SavePrintDOSSetting(bool on) {
    return mw_.WriteString(kSettings, "PrintDOS", TrueFalse(on));
}

// Paths are read back whole: a folder path of any length must name the same
// folder at the next start.
std::string Settings::GetINIFilePath() const {
    return mw_.ReadString(kPath, "FilePath", "a:", kWholeValue);
}

Status Settings::SaveFilePath(const std::string& path) {
    return mw_.WriteString(kPath, "FilePath", path);
}

std::string Settings::GetINISndPath() const {
    return mw_.ReadString(kPath, "SndPath", "c:", kWholeValue);
}

ScanSettings Settings::GetScanSettings() const {
    ScanSettings s;
    s.NumberInBatch = scan_.ReadInt(kScan, "NumberInBatch", s.NumberInBatch);
    s.NameSetting = scan_.ReadInt(kScan, "NameSetting", s.NameSetting);
    s.ScanReview = ReadFlag(scan_, kScan, "ScanReview", "True", 5);
    s.ScanPrint = ReadFlag(scan_, kScan, "ScanPrint", "False", 5);
    s.ScanPause = ReadFlag(scan_, kScan, "ScanPause", "True", 5);
    return s;
}

Status Settings::SaveScanSettings(const ScanSettings& s) {
    const std::pair<const char*, std::string> entries[] = {
        {"NumberInBatch", std::to_string(s.NumberInBatch)},
        {"NameSetting", std::to_string(s.NameSetting)},
        {"ScanReview", TrueFalse(s.ScanReview)},
        {"ScanPrint", TrueFalse(s.ScanPrint)},
        {"ScanPause", TrueFalse(s.ScanPause)},
    };
    for (const auto& [key, value] : entries) {
        if (Status st = scan_.WriteString(kScan, key, value); !st) return st;
    }
    return {};
}

}  // namespace mw
