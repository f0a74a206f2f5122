#include "cli/StationFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/data/AuditLog.h"
#include "core/data/ClientStore.h"
#include "core/data/DataDisk.h"
#include "core/data/Paradata.h"
#include "core/data/QuestionDatabase.h"
#include "core/data/SiteKey.h"
#include "core/data/TestJournal.h"
#include "core/report/ParagraphFile.h"
#include "core/scoring/ReportTexts.h"
#include "core/scoring/ScoringTables.h"
#include "core/settings/Settings.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ProgramFileNames() {
    std::vector<std::string> names = {
        kSettingsFileName,     kScanSettingsFileName, kTestJournalName,  kTestJournalRecoveryName,
        kQuestionDatabaseName, kScanDatabaseName,     kScoringFileName,  kReportTextsFileName,
        kInvalidTextFileName,  kSiteKeyFileName,      kAuditNoteFileName};
    for (int scale = 1; scale <= kScaleCount; ++scale) names.push_back(ParagraphFileName(scale));
    return names;
}

bool SameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// A data disk may be a FAT stick and the station may run on Windows, where
// "data401.mw" names DATA401.MW.
bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool IsProgram(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    constexpr fs::perms kExec =
        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return fs::is_regular_file(st) && (st.permissions() & kExec) != fs::perms::none;
}

// Which of the station's files in `folder` the target is, or would be
// created as: one of `names`, or "program ..." for a program there when
// `programs`; empty for none. Links and other spellings of the path are
// followed to the file they name.
std::string KeptAs(const std::string& target, const std::string& folder,
                   const std::vector<std::string>& names, bool programs) {
    if (folder.empty()) return {};
    std::error_code ec;
    fs::path path = fs::weakly_canonical(target, ec);
    if (ec) path = target;
    if (!SameFolder(path.has_parent_path() ? path.parent_path() : ".", folder)) return {};
    const std::string file = path.filename().string();
    for (const std::string& name : names) {
        if (SameName(file, name)) return name;
    }
    return programs && IsProgram(path) ? "program " + file : std::string();
}

Error Refused(const std::string& target, const std::string& kept, const std::string& where) {
    return MakeError(errc::PermissionDenied, "will not write over " + target +
                                                 ": it is the station's " + kept + " " + where);
}

// Whether `target` is `folder` or lies under it, links followed.
bool Within(const std::string& target, const std::string& folder) {
    std::error_code ec;
    const fs::path path = fs::weakly_canonical(fs::absolute(target, ec), ec);
    const fs::path relative = path.lexically_relative(fs::weakly_canonical(folder, ec));
    return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

Status CheckNotStationFile(const std::string& target, const std::string& programDir,
                           const std::string& disk) {
    static const std::vector<std::string> programFiles = ProgramFileNames();
    static const std::vector<std::string> diskFiles = {
        kRecordFileName,   kRecordRecoveryFileName, kIdentityFileName, kWriteTestFileName,
        kAuditLogFileName, kParadataFileName,       kDiskLockFileName};
    if (std::string kept = KeptAs(target, programDir, programFiles, true); !kept.empty()) {
        return Refused(target, kept, "in the program folder " + programDir);
    }
    if (std::string kept = KeptAs(target, disk, diskFiles, false); !kept.empty()) {
        return Refused(target, kept, "on the data disk " + disk);
    }
    return {};
}

Status CheckOutsideInstalledData(const std::string& target, const ProgramFolder& folder) {
    if (folder.seedFrom.empty() || !Within(target, folder.seedFrom)) return {};
    return MakeError(errc::PermissionDenied,
                     "will not write " + target + ": " + folder.seedFrom +
                         " holds the installed data set, which the tool only reads; "
                         "without --program-dir it works in " +
                         folder.path);
}

}  // namespace mw
