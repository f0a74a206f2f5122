#include "core/settings/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/data/QuestionDatabase.h"
#include "core/report/ParagraphFile.h"
#include "core/scoring/ReportTexts.h"
#include "core/scoring/ScoringTables.h"
#include "core/settings/Settings.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUserFolderName = "mirrorwise";

Error FolderError(const char* doing, const std::string& folder, const std::error_code& ec) {
    return MakeError(errc::PathFileAccess, std::string(doing) + " " + folder + ": " + ec.message());
}

// What a program folder is seeded with. The data set, which the station only
// reads, follows the installed one; the settings and the scan database are
// the station's to change once copied. Programs, reports and journals stay.
struct SeedFile {
    std::string name;
    bool refresh;
    Readers readers;
};

std::vector<SeedFile> SeedFiles() {
    std::vector<SeedFile> seed = {{kQuestionDatabaseName, true, Readers::Everyone},
                                  {kScoringFileName, true, Readers::Everyone},
                                  {kReportTextsFileName, true, Readers::Everyone},
                                  {kInvalidTextFileName, true, Readers::Everyone},
                                  {kSettingsFileName, false, Readers::Everyone},
                                  {kScanSettingsFileName, false, Readers::Everyone},
                                  {kScanDatabaseName, false, Readers::OwnerOnly}};
    for (int scale = 1; scale <= kScaleCount; ++scale) {
        seed.push_back({ParagraphFileName(scale), true, Readers::Everyone});
    }
    return seed;
}

bool Writable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

ProgramFolder ChooseProgramFolder(const std::string& exeDir, const std::string& installedData,
                                  const std::string& userDataHome) {
    const std::string userFolder = JoinPath(userDataHome, kUserFolderName);
    std::error_code ec;
    if (fs::is_regular_file(JoinPath(installedData, kQuestionDatabaseName), ec)) {
        return {userFolder, fs::weakly_canonical(installedData, ec).string()};
    }
    if (!Writable(exeDir)) return {userFolder, exeDir};
    return {exeDir, {}};
}

// Linux names the running executable in /proc; the folder is where its
// installed data set and a staged build's data files are looked for.
std::string ExecutableDir() {
    std::error_code ec;
    return fs::read_symlink("/proc/self/exe", ec).parent_path().string();
}

ProgramFolder DefaultProgramFolder(const std::string& exeDir) {
    return ChooseProgramFolder(exeDir, JoinPath(exeDir, MW_INSTALLED_DATA), UserDataHome());
}

std::string UserDataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    return JoinPath(JoinPath(home ? home : "", ".local"), "share");
}

Status SeedProgramFolder(FileSystem& files, const ProgramFolder& folder) {
    if (folder.seedFrom.empty()) return {};
    std::error_code ec;
    fs::create_directories(folder.path, ec);
    if (!ec) fs::permissions(folder.path, fs::perms::owner_all, ec);
    if (ec) return FolderError("cannot make the folder", folder.path, ec);
    for (const SeedFile& file : SeedFiles()) {
        const std::string from = JoinPath(folder.seedFrom, file.name);
        const std::string to = JoinPath(folder.path, file.name);
        if (!files.FileExists(from)) continue;
        const bool present = files.FileExists(to);
        if (present && !file.refresh) continue;
        Result<std::string> installed = files.ReadFile(from);
        if (!installed) return installed.error();
        if (present) {
            Result<std::string> kept = files.ReadFile(to);
            if (kept && *kept == *installed) continue;
        }
        if (Status copied = files.ReplaceFile(to, *installed, file.readers); !copied) return copied;
    }
    return {};
}

}  // namespace mw
