// The station's settings files in the program folder: MW.ini (data drive,
// sound folder, Num Lock and print options) and sctest.ini (scan batches).
#pragma once

#include <string>

#include "core/data/SheetLayouts.h"
#include "core/settings/IniFile.h"

namespace mw {

inline constexpr const char* kSettingsFileName = "MW.ini";
inline constexpr const char* kScanSettingsFileName = "sctest.ini";

// How scanned clients are named: typed by the operator, the sheet's inmate
// number, or "Test#" and the client's number on the data disk.
enum NameSettingValue { kNameTyped = 0, kNameInmateNumber, kNameTestNumber };
inline constexpr int kLastNameSetting = kNameTestNumber;

// The settings of a batch of scanned answer sheets.
struct ScanSettings {
    int NumberInBatch = 10;
    int NameSetting = kNameTyped;
    bool ScanReview = true;
    bool ScanPrint = false;
    bool ScanPause = true;
};

class Settings {
public:
    Settings(FileSystem& fs, const std::string& programDir);

    bool GetNumLockSetting() const;
    bool GetPrintDOSSetting() const;
    Status SaveNumLockSetting(bool on);
    Status SavePrintDOSSetting(bool on);
    // Large type and high contrast for a clerk or client who sees poorly. Both
    // are off unless chosen; stations that do not know the keys pass them by.
    bool GetLargeTypeSetting() const;
    bool GetHighContrastSetting() const;
    Status SaveLargeTypeSetting(bool on);
    Status SaveHighContrastSetting(bool on);
    // The remembered data drive or folder; "a:" when none.
    std::string GetINIFilePath() const;
    // Whether a data drive or folder was ever remembered: not at a first start.
    bool HasFilePath() const;
    Status SaveFilePath(const std::string& path);
    // The folder under which the sound files lie; "c:" when none.
    std::string GetINISndPath() const;
    // The folder the last batch of reports went to as PDF files; empty when none.
    std::string GetPdfFolder() const;
    Status SavePdfFolder(const std::string& folder);

    ScanSettings GetScanSettings() const;
    Status SaveScanSettings(const ScanSettings& settings);
    // The folder the last sheet file was imported from; empty when none.
    std::string GetScanImportFolder() const;
    Status SaveScanImportFolder(const std::string& folder);
    // The sheet file's layout and the inmate number's and name's columns the office chose.
    SheetChoice GetSheetChoice() const;
    Status SaveSheetChoice(const SheetChoice& choice);

private:
    bool ReadFlag(const IniFile& file, const char* section, const char* key,
                  const char* defaultValue, std::size_t bufferSize) const;
    bool ReadSwitch(const char* key, const char* defaultValue) const;

    IniFile mw_;
    IniFile scan_;
};

}  // namespace mw
