#include "station/app/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/data/QuestionDatabase.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUserFolderName = "mirrorwise";

Error FolderError(const char* doing, const std::string& folder, const std::error_code& ec) {
    return MakeError(errc::PathFileAccess, std::string(doing) + " " + folder + ": " + ec.message());
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
    fs::directory_iterator entries(folder.seedFrom, ec);
    if (ec) return FolderError("cannot read the folder", folder.seedFrom, ec);
    for (const fs::directory_entry& entry : entries) {
        if (!entry.is_regular_file(ec)) continue;
        const std::string name = entry.path().filename().string();
        const std::string target = JoinPath(folder.path, name);
        const bool present = files.FileExists(target);
        if (present && name == kScanDatabaseName) continue;
        Result<std::string> installed = files.ReadFile(entry.path().string());
        if (!installed) return installed.error();
        if (present) {
            Result<std::string> kept = files.ReadFile(target);
            if (kept && *kept == *installed) continue;
        }
        if (Status copied = files.ReplaceFile(target, *installed, Readers::Everyone); !copied) {
            return copied;
        }
    }
    return {};
}

}  // namespace mw
