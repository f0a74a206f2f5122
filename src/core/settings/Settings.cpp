#include "core/settings/Settings.h"

#include <cctype>

namespace mw {
namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kPath = "Path";
constexpr const char* kScan = "ScanSettings";

// What a new MW.ini holds. Reports are laid out on the page unless the
// office asks for its line printer: a DOS port is seldom there today. A file
// of an older installation that never mentions the switch keeps it on.
constexpr const char* kNewSettingsText = "[Settings]\r\nPrintDOS=False\r\n";

const char* TrueFalse(bool on) {
    return on ? "True" : "False";
}

}  // namespace

Settings::Settings(FileSystem& fs, const std::string& programDir)
    : mw_(fs, JoinPath(programDir, kSettingsFileName), kNewSettingsText),
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

bool Settings::GetLargeTypeSetting() const {
    return ReadFlag(mw_, kSettings, "LargeType", "False", 10);
}

bool Settings::GetHighContrastSetting() const {
    return ReadFlag(mw_, kSettings, "HighContrast", "False", 10);
}

Status Settings::SaveLargeTypeSetting(bool on) {
    return mw_.WriteString(kSettings, "LargeType", TrueFalse(on));
}

Status Settings::SaveHighContrastSetting(bool on) {
    return mw_.WriteString(kSettings, "HighContrast", TrueFalse(on));
}

// Paths are read back whole: a folder path of any length must name the same
// folder at the next start.
std::string Settings::GetINIFilePath() const {
    return mw_.ReadString(kPath, "FilePath", "a:", kWholeValue);
}

bool Settings::HasFilePath() const {
    return !mw_.ReadString(kPath, "FilePath", "", kWholeValue).empty();
}

Status Settings::SaveFilePath(const std::string& path) {
    return mw_.WriteString(kPath, "FilePath", path);
}

std::string Settings::GetINISndPath() const {
    return mw_.ReadString(kPath, "SndPath", "c:", kWholeValue);
}

std::string Settings::GetPdfFolder() const {
    return mw_.ReadString(kPath, "PdfFolder", "", kWholeValue);
}

Status Settings::SavePdfFolder(const std::string& folder) {
    return mw_.WriteString(kPath, "PdfFolder", folder);
}

// A scan switch is on when its value starts with "T" or "t" ("True", "T",
// "true"); anything else, "yes" included, is off.
bool Settings::ReadSwitch(const char* key, const char* defaultValue) const {
    const std::string value = scan_.ReadString(kScan, key, defaultValue, 5);
    return !value.empty() && std::toupper(static_cast<unsigned char>(value.front())) == 'T';
}

ScanSettings Settings::GetScanSettings() const {
    ScanSettings s;
    s.NumberInBatch = scan_.ReadInt(kScan, "NumberInBatch", s.NumberInBatch);
    s.NameSetting = scan_.ReadInt(kScan, "NameSetting", s.NameSetting);
    if (s.NameSetting < 0 || s.NameSetting > kLastNameSetting) s.NameSetting = 0;
    s.ScanReview = ReadSwitch("ScanReview", "True");
    s.ScanPrint = ReadSwitch("ScanPrint", "False");
    s.ScanPause = ReadSwitch("ScanPause", "True");
    return s;
}

// The five keys in one replacement of the file: a failed write leaves the
// settings of the last batch whole.
Status Settings::SaveScanSettings(const ScanSettings& s) {
    return scan_.WriteStrings(kScan, {
                                         {"NumberInBatch", std::to_string(s.NumberInBatch)},
                                         {"NameSetting", std::to_string(s.NameSetting)},
                                         {"ScanReview", TrueFalse(s.ScanReview)},
                                         {"ScanPrint", TrueFalse(s.ScanPrint)},
                                         {"ScanPause", TrueFalse(s.ScanPause)},
                                     });
}

std::string Settings::GetScanImportFolder() const {
    return scan_.ReadString(kScan, "ImportFolder", "", kWholeValue);
}

Status Settings::SaveScanImportFolder(const std::string& folder) {
    return scan_.WriteString(kScan, "ImportFolder", folder);
}

SheetChoice Settings::GetSheetChoice() const {
    return {scan_.ReadString(kScan, "SheetLayout", "", kWholeValue),
            scan_.ReadString(kScan, "InmateColumn", "", kWholeValue),
            scan_.ReadString(kScan, "NameColumn", "", kWholeValue)};
}

Status Settings::SaveSheetChoice(const SheetChoice& choice) {
    return scan_.WriteStrings(kScan, {{"SheetLayout", choice.layout},
                                      {"InmateColumn", choice.inmateColumn},
                                      {"NameColumn", choice.nameColumn}});
}

}  // namespace mw
