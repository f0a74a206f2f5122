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
// line) followed by the line's text up to its last tab. Where the program
// folder holds a site key, the hash is keyed with it instead (HMAC-SHA-256)
// and written after the key's short name and a colon, so that only a holder
// of the key can write lines that follow from one another. Lines are only
// ever added at the end, under the disk's lock, and synced, so a crash costs
// at most the line being written; a last line without its line end is such
// a remnant, and the next line takes its place.
//
// A chain shows lines changed or moved, not lines cut off its end or a log
// written anew. So the station notes in its program folder, for each disk
// (known by the identity on the second line of TID), how many lines the log
// had and the hash of the last one when it last added one; a log that no
// longer holds that line is reported.
#pragma once

#include <optional>
#include <span>
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
// In the program folder: a line per disk, "<identity> <lines> <last hash>".
inline constexpr const char* kAuditNoteFileName = "MWAUDIT.LST";

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
    std::string hash;
};

struct AuditReading {
    bool present = false;  // the disk has a log, or something at its name
    // Why no line can be added: something other than a file we may write
    // stands at the log's name (a link, a FIFO, a folder, a read-only
    // file). Empty when lines can be added. Such a log is not read.
    std::string unwritable;
    std::vector<AuditLine> lines;
    // The first line that does not follow from the one before it; 0 when
    // the chain is whole.
    int firstBroken = 0;
    // Lines keyed with a site key this program folder does not hold: they
    // cannot be checked, and are taken as they stand.
    int unchecked = 0;
    // The last line's hash: noted down elsewhere, it shows later whether
    // lines were cut off the end or the whole log was written anew.
    std::string lastHash;
    // What is missing of the log as this program folder last wrote it;
    // empty when the log still holds that line, or when there is no note.
    std::string cutShort;
};

class AuditLog {
public:
    // `programDir` holds the site key that keys the chain and the note of
    // the last line added to each disk's log; empty for neither.
    AuditLog(FileSystem& fs, std::string_view drive, std::string programDir)
        : fs_(fs),
          drive_(drive),
          path_(JoinPath(drive, kAuditLogFileName)),
          programDir_(std::move(programDir)) {}

    const std::string& Path() const { return path_; }
    // Adds the entry at the end of the log, created for its owner only when
    // there is none, and syncs it; then notes the line in the program folder.
    Status Append(const DateTime& when, const AuditEntry& entry);
    // As Append, for several entries at once: their lines, each chained to
    // the one before, are added in one write and one sync.
    Status AppendAll(const DateTime& when, std::span<const AuditEntry> entries);
    // Every whole line, where the chain breaks, and whether the log still
    // holds the line last noted.
    Result<AuditReading> Read() const;

private:
    Result<std::optional<std::string>> Key() const;
    Status Note(int lines, const std::string& hash);
    Status WriteNote(int lines, const std::string& hash);
    Status ReadLines(AuditReading& reading) const;
    Status CompareWithNote(AuditReading& reading) const;

    FileSystem& fs_;
    std::string drive_;
    std::string path_;
    std::string programDir_;
};

// "line 4 of <path> breaks the chain ...": what a broken chain is reported as.
std::string BrokenChainText(const std::string& path, int line);
// Everything wrong with a reading, a sentence each, for the supervisor;
// empty when the log is whole. Keyed lines that cannot be checked are not
// wrong: the caller says so where it lists the log.
std::vector<std::string> AuditProblems(const std::string& path, const AuditReading& reading);

// The names of the information fields that differ ("fields Age, Race"),
// empty when none does.
std::string ChangedFields(const ClientRecord& before, const ClientRecord& after);
// The items whose answers differ ("items 4, 17-19"), empty when none does;
// a blank is no answer, as "0" is.
std::string ChangedItems(std::string_view before, std::string_view after);
// A batch in counts only: its skipped sheets are named by inmate number elsewhere.
std::string BatchDetails(const ScanBatchSummary& summary);

}  // namespace mw
