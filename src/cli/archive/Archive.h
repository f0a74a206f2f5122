// An archive of returned data disks: the clients of many disks pooled in one
// database, for the office that receives them (an agency's research office,
// the instrument's publisher) to analyse them together and to draw norms
// from them. A disk is read, never written; each is added whole or not at
// all, and adding it again adds nothing.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/archive/ArchiveDb.h"
#include "core/data/ClientRecord.h"
#include "core/data/Error.h"
#include "core/data/Paradata.h"
#include "core/scoring/ScoreSheet.h"

namespace mw {

inline constexpr int kArchiveSchemaVersion = 1;

// How a client's answers reached the disk, as its audit log says.
inline constexpr const char* kRouteOnScreen = "on-screen";
inline constexpr const char* kRouteKeyed = "keyed";
inline constexpr const char* kRouteScanned = "scanned";

// One client as the archive keeps it.
struct ArchivedClient {
    int testNumber = 0;
    ClientRecord record;               // name and ID number blank unless the archive is identified
    std::string pseudonym;             // empty where there is none
    std::optional<std::string> route;  // none where the disk does not say
    std::optional<std::string> language;  // none where the disk does not say
    std::optional<Paradata> paradata;     // a test taken on the screen
};

// A returned disk read and checked, ready to be added.
struct ReturnedDisk {
    std::string path;
    std::string identity;  // TID's own identity, or the record file's hash for a disk without one
    std::string recordSha256;  // of the record file as read
    int auditLines = 0;
    std::string auditLastHash;            // empty for a disk without a log
    std::vector<ArchivedClient> clients;  // every client on the disk
};

// What the scoring data in use says of each client, and which data set it was.
struct ArchiveScoring {
    const ScoringTables* tables = nullptr;
    std::string dataSet;  // a short hash of the scoring data file
};

// Reads the disk at `path` under its shared lock and checks it: its
// identity file, its record file (the load's own checks) and its audit
// log's chain, with the note and site key of `programDir`. An error says why
// the disk cannot be taken.
Result<ReturnedDisk> ReadReturnedDisk(const std::string& path, const std::string& programDir,
                                      const std::string& siteKey);

enum class DiskOutcome { Added, NewVersion, AlreadyArchived };

struct AddResult {
    DiskOutcome outcome = DiskOutcome::Added;
    int version = 1;
    int added = 0;    // clients stored
    int skipped = 0;  // clients whose names were not deleted, in an archive that keeps none
};

class Archive {
public:
    // Opens the archive at `target`, making its tables on first use;
    // `identified` is only heeded then: an archive keeps its kind for life.
    static Result<Archive> Open(const std::string& target, bool identified);
    // Opens an archive that must exist already.
    static Result<Archive> OpenExisting(const std::string& target);

    bool Identified() const { return identified_; }
    ArchiveDb& Db() { return *db_; }

    // Adds the disk in one transaction.
    Result<AddResult> Add(const ReturnedDisk& disk, const ArchiveScoring& scoring,
                          const std::string& addedAt);

    // The disks, a line each, oldest first.
    Status List(std::ostream& out);

    // The clients of every disk's latest version, by disk and test number,
    // each with the number of its disk's entry.
    Status ForEachClient(const std::function<void(int disk, const ArchivedClient&)>& each);

private:
    Archive(std::unique_ptr<ArchiveDb> db, bool identified)
        : db_(std::move(db)), identified_(identified) {}
    static Result<Archive> Opened(const std::string& target, std::optional<bool> identified);

    std::unique_ptr<ArchiveDb> db_;
    bool identified_;
};

// The archive's tables, for the statements of norms and statistics: clients
// of every disk's latest version only.
inline constexpr const char* kCurrentClients =
    "client JOIN disk ON client.disk_id = disk.disk_id AND disk.is_current = 1";

}  // namespace mw
