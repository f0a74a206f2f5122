// The program-wide state of a running station.
//
// The station owns one of these and every screen reaches it; a screen never
// receives a record as an argument: its caller sets CurrentRecord and the
// screen reads and writes that element.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/data/ClientRecord.h"

namespace mw {

constexpr int kMaxClients = 51;

struct StationState {
    // Record n of the record file at index n; index 0 is never used.
    std::array<ClientRecord, kMaxClients + 1> ClientRecords{};
    std::int16_t RecordCount = 0;
    // 0 when there is no current client; RecordCount + 1 while a new client is entered.
    std::int16_t CurrentRecord = 0;
    // Set when a screen has added or changed a record: the main window rebuilds its list.
    bool ListRefreshNeeded = false;
    // The accepted data disk: a drive ("a:") or a folder, without a trailing separator.
    std::string DataPath;
    // The record file's bytes as last loaded or written. A save first checks
    // that the disk still holds exactly these, so that a disk swapped since
    // (sites keep several, labelled alike) is never written over.
    std::string DiskImage;
    // The folder under which the spoken sound files lie.
    std::string SoundPath;
    bool PrintToDOS = false;
    // Reports made while set end with the page on how the test was taken;
    // the supervisor's print options set it for their reports only.
    bool PrintParadata = false;

    // Flags through which the screens hand results back to their callers.
    // Set when a screen is left through its confirming choice, cleared when cancelled.
    bool ChoiceConfirmed = false;
    // An existing client is being corrected (not a new one entered).
    bool EditMode = false;
    // The client comes from answer-sheet scanning.
    bool ScanMode = false;

    ClientRecord& Current() { return ClientRecords[CurrentRecord]; }
    const ClientRecord& Current() const { return ClientRecords[CurrentRecord]; }
    // The current client is on the data disk, not a new one being entered.
    bool CurrentStored() const { return CurrentRecord >= 1 && CurrentRecord <= RecordCount; }
    // Record `index` as the data disk holds it (as last loaded or written);
    // blank beyond the disk's records.
    ClientRecord StoredRecord(int index) const {
        const auto offset = static_cast<std::size_t>(index - 1) * kRecordSize;
        if (index < 1 || offset >= DiskImage.size()) return ClientRecord();
        return ClientRecord::FromBytes(std::string_view(DiskImage).substr(offset, kRecordSize));
    }
    bool DiskFull() const { return RecordCount >= kMaxClients; }
};

}  // namespace mw
