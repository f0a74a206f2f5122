// The settings files (MW.ini, sctest.ini): every value read, written back and
// read again is the value read, and writing a changed value changes only it.
#include <tuple>

#include "FuzzSupport.h"
#include "MemoryFileSystem.h"
#include "core/settings/Settings.h"

namespace {

using Values = std::tuple<bool, bool, std::string, std::string, std::string, int, int, bool, bool,
                          bool, std::string, std::string, std::string>;

Values ReadAll(const mw::Settings& settings) {
    const mw::ScanSettings scan = settings.GetScanSettings();
    const mw::SheetChoice sheet = settings.GetSheetChoice();
    return {settings.GetNumLockSetting(),
            settings.GetPrintDOSSetting(),
            settings.GetINIFilePath(),
            settings.GetPdfFolder(),
            settings.GetScanImportFolder(),
            scan.NumberInBatch,
            scan.NameSetting,
            scan.ScanReview,
            scan.ScanPrint,
            scan.ScanPause,
            sheet.layout,
            sheet.inmateColumn,
            sheet.nameColumn};
}

void SaveAll(mw::Settings& settings, const Values& v) {
    const auto saved = [](const mw::Status& st) {
        mwfuzz::Check(st.ok(), "a setting was not saved");
    };
    saved(settings.SaveNumLockSetting(std::get<0>(v)));
    saved(settings.SavePrintDOSSetting(std::get<1>(v)));
    saved(settings.SaveFilePath(std::get<2>(v)));
    saved(settings.SavePdfFolder(std::get<3>(v)));
    saved(settings.SaveScanImportFolder(std::get<4>(v)));
    saved(settings.SaveScanSettings(
        {std::get<5>(v), std::get<6>(v), std::get<7>(v), std::get<8>(v), std::get<9>(v)}));
    saved(settings.SaveSheetChoice({std::get<10>(v), std::get<11>(v), std::get<12>(v)}));
}

}  // namespace

// Both files hold the same bytes: each reads the sections that are its own.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mw;
    mwfuzz::MemoryFileSystem fs;
    const std::string input(mwfuzz::Bytes(data, size));
    fs.files[JoinPath("/program", kSettingsFileName)] = input;
    fs.files[JoinPath("/program", kScanSettingsFileName)] = input;
    Settings settings(fs, "/program");

    const Values read = ReadAll(settings);
    SaveAll(settings, read);
    mwfuzz::Check(ReadAll(settings) == read, "a setting written back reads as another value");

    Values changed = read;
    std::get<0>(changed) = !std::get<0>(read);
    std::get<2>(changed) = std::get<2>(read) == "A:\\" ? "B:\\" : "A:\\";
    std::get<5>(changed) = std::get<5>(read) == 7 ? 8 : 7;
    std::get<11>(changed) = "Inmate";
    SaveAll(settings, changed);
    mwfuzz::Check(ReadAll(settings) == changed, "a changed setting does not read back as saved");
    return 0;
}
