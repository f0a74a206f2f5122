// The audit log of a data disk: one line for each thing done to a client or
// the disk (a client added, edited, verified, reported on, its name deleted;
// a batch imported; the disk chosen), each chained to the line before it by
// a hash, so that a line changed, removed or moved afterwards is found. A
// line holds the record number and what was done, never a name, ID number
// or answer. The log is a file of its own, which other installations do not
// read: the record file stays byte for byte as they write it.
//
// A line is the time, the record number ("-" when the event concerns no one
// record), the event, its details and the line's hash, separated by tabs:
//
//   03/05/2024 14:03:22 <tab> 3 <tab> answers changed <tab> items 4, 17-19 <tab> 5b1e...
//
// The hash is the SHA-256 of the previous line's hash (nothing for the first
// line) followed by the line's text up to its last tab. Lines are only ever
// added at the end and synced, so a crash costs at most the line being
// written; a last line without its line end is such a remnant, and the next
// line takes its place.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/data/ClientRecord.h"
#include "core/data/Clock.h"
#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

struct ScanBatchSummary;

inline constexpr const char* kAuditLogFileName = "MWAUDIT.LOG";

enum class AuditEvent {
    ClientAdded,
    InformationEdited,
    AnswersChanged,
    VerificationPassed,
    VerificationCorrected,
    ReportViewed,
    ReportPrinted,
    Exported,
    ScanBatchImported,
    NameDeleted,
    DiskSelected,
};

struct AuditEntry {
    AuditEvent event;
    int record = 0;  // 0: no one record
    // How it was done, which fields or items, how many: never a value.
    std::string details{};
};

// One line as read back.
struct AuditLine {
    int number = 0;  // 1 for the first line
    std::string time;
    std::string record;
    std::string event;
    std::string details;
};

struct AuditReading {
    bool present = false;  // the disk has a log
    std::vector<AuditLine> lines;
    // The first line that does not follow from the one before it; 0 when
    // the chain is whole.
    int firstBroken = 0;
    // The last line's hash: noted down elsewhere, it shows later whether
    // lines were cut off the end or the whole log was written anew.
    std::string lastHash;
};

class AuditLog {
public:
    AuditLog(FileSystem& fs, std::string_view drive)
        : fs_(fs), path_(JoinPath(drive, kAuditLogFileName)) {}

    const std::string& Path() const { return path_; }
    // Adds the entry at the end of the log, created for its owner only when
    // there is none, and syncs it.
    Status Append(const DateTime& when, const AuditEntry& entry);
    // Every whole line, and where the chain breaks.
    Result<AuditReading> Read() const;

private:
    FileSystem& fs_;
    std::string path_;
};

// "line 4 of <path> breaks the chain ...": what a broken chain is reported as.
std::string BrokenChainText(const std::string& path, int line);

// The names of the information fields that differ ("fields Age, Race"),
// empty when none does.
std::string ChangedFields(const ClientRecord& before, const ClientRecord& after);
// The items whose answers differ ("items 4, 17-19"), empty when none does;
// a blank is no answer, as "0" is.
std::string ChangedItems(std::string_view before, std::string_view after);
// A batch in counts only: its skipped sheets are named by inmate number elsewhere.
std::string BatchDetails(const ScanBatchSummary& summary);

}  // namespace mw
