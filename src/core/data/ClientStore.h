// The client records on the data disk: DATA401.MW, fixed 226-byte records,
// no header, record n at byte (n-1)*226. The file is opened and closed around
// every operation so that no file stays open while the station waits. It is
// written in place (InPlaceFile), its recovery file DATA401.RCV beside it,
// which other installations do not read. Every load and save holds the
// disk's lock (DATA401.LCK) throughout, so that two programs on one disk
// never undo or overwrite each other's saves.
#pragma once

#include <span>
#include <string>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"
#include "core/data/InPlaceFile.h"
#include "core/data/StationState.h"

namespace mw {

inline constexpr const char* kRecordFileName = "DATA401.MW";
inline constexpr const char* kRecordRecoveryFileName = "DATA401.RCV";

// The record count of a file of the given length: length / 226 rounded to
// the nearest whole number, halves to even (565 bytes hold 2 records, 567 hold 3).
int RecordCountForLength(std::uint64_t length);

// The longest record file that still counts kMaxClients records.
inline constexpr std::uint64_t kMaxRecordFileBytes =
    kMaxClients * kRecordSize + kRecordSize / 2 - 1;

class ClientStore {
public:
    // `notify` is told what a load or save found out of the way on the disk
    // and set right or aside (a recovery file that does not belong there).
    ClientStore(StationState& state, FileSystem& fs, Notify notify)
        : state_(state), fs_(fs), notify_(std::move(notify)) {}

    std::string RecordFilePath() const { return JoinPath(state_.DataPath, kRecordFileName); }

    // Loads every record of the disk at DataPath, creating an empty record
    // file when there is none. A save that a crash cut short is undone first,
    // and a temporary file an older version left is wiped. A disk that cannot
    // be read, or holds more clients than the station supports, leaves the
    // loaded records as they were.
    Status LoadRecords();
    // As LoadRecords, but never creates or changes a file on the disk: a save
    // cut short is undone in memory only.
    Status LoadRecordsReadOnly();
    // Writes ClientRecords[index] as record number index (1-51); RecordCount
    // + 1 appends a record. Refused (errc::DiskChanged) unless the disk is
    // still a data disk holding what was last loaded or written. The record
    // is written in place, so that no earlier version of it stays on the
    // medium; a save cut short by a pulled disk or a power cut is undone, so
    // a record is never left torn.
    Status SaveRecord(int index);
    // Blanks every field of the current record.
    void ClearRecord();
    // Stores the new client at RecordCount + 1 and counts it.
    Status AddClient();
    // Stores `clients` after the last record in one save, whole or not at
    // all, and counts them. Nothing is stored, and the records in memory
    // stay as they were, when they do not all fit on the disk or the save
    // fails.
    Status AddClients(std::span<const ClientRecord> clients);
    // Overwrites and removes the recovery entries kept aside on the disk,
    // which may hold an earlier version of a record.
    Status WipeKeptEntries();

private:
    Status Load(bool createIfMissing);
    InPlaceFile RecordFile() const;
    Result<std::string> ReadRecordFile(bool readOnly = false) const;
    Status CheckSameDisk(const std::string& onDisk) const;
    // Writes `records` from record number `first` on, in one save.
    Status WriteRecords(int first, std::span<const ClientRecord> records);

    StationState& state_;
    FileSystem& fs_;
    Notify notify_;
};

}  // namespace mw
