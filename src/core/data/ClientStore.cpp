#include "core/data/ClientStore.h"

#include <algorithm>
#include <vector>

#include "core/data/DataDisk.h"

namespace mw {
namespace {

// The bytes a save changes, before and after it: a record each, or a
// short last record and a whole disk's worth of new clients added at once,
// with the file's name and digests and room to spare.
constexpr std::size_t kRecoveryFileBytes = 4096 + kMaxClients * kRecordSize;

}  // namespace

int RecordCountForLength(std::uint64_t length) {
    std::uint64_t whole = length / kRecordSize;
    std::uint64_t twice = (length % kRecordSize) * 2;
    if (twice > kRecordSize || (twice == kRecordSize && whole % 2 == 1)) ++whole;
    return static_cast<int>(whole);
}

Status ClientStore::LoadRecords() {
    return Load(true);
}

Status ClientStore::LoadRecordsReadOnly() {
    return Load(false);
}

InPlaceFile ClientStore::RecordFile() const {
    return InPlaceFile(fs_, RecordFilePath(), JoinPath(state_.DataPath, kRecordRecoveryFileName),
                       kRecoveryFileBytes, notify_);
}

// A file longer than 51 records is refused before it is read whole.
Result<std::string> ClientStore::ReadRecordFile(bool readOnly) const {
    const std::string path = RecordFilePath();
    Result<std::string> bytes = readOnly ? RecordFile().ReadRecovered(kMaxRecordFileBytes)
                                         : fs_.ReadFile(path, kMaxRecordFileBytes);
    if (!bytes && bytes.error().code == errc::FileTooLarge) {
        return MakeError(errc::SubscriptOutOfRange,
                         path + " holds more than " + std::to_string(kMaxClients) +
                             " clients; this station supports at most " +
                             std::to_string(kMaxClients) + " clients on one data disk");
    }
    return bytes;
}

Status ClientStore::Load(bool createIfMissing) {
    const std::string path = RecordFilePath();
    if (path.empty()) return MakeError(errc::BadFileName, "no data disk has been chosen");
    if (!fs_.DirectoryExists(state_.DataPath)) {
        return MakeError(errc::PathNotFound, "data disk not found: " + state_.DataPath);
    }
    auto lock =
        LockDisk(fs_, state_.DataPath, createIfMissing ? LockMode::Exclusive : LockMode::Shared);
    if (!lock) return lock.error();
    if (createIfMissing) {
        if (Status st = RecordFile().Recover(); !st) return st;
        if (Status st = fs_.WipeFile(path + ".tmp"); !st) return st;
        if (Status st = fs_.CreateIfMissing(path); !st) return st;
    } else if (!fs_.FileExists(path)) {
        return MakeError(errc::FileNotFound, "no record file " + path);
    }
    Result<std::string> bytes = ReadRecordFile(!createIfMissing);
    if (!bytes) return bytes.error();

    const int count = RecordCountForLength(bytes->size());
    for (int n = 0; n < count; ++n) {
        std::size_t offset = static_cast<std::size_t>(n) * kRecordSize;
        state_.ClientRecords[n + 1] =
            ClientRecord::FromBytes(std::string_view(*bytes).substr(offset));
    }
    state_.RecordCount = static_cast<std::int16_t>(count);
    state_.CurrentRecord = count > 0 ? 1 : 0;
    state_.DiskImage = std::move(*bytes);
    return {};
}

Status ClientStore::CheckSameDisk(const std::string& onDisk) const {
    Result<bool> identity = HasDataDiskIdentity(fs_, state_.DataPath);
    if (onDisk == state_.DiskImage && identity && *identity) return {};
    return MakeError(errc::DiskChanged, "the disk in " + state_.DataPath +
                                            " is not the data disk that was loaded; nothing "
                                            "was written");
}

Status ClientStore::SaveRecord(int index) {
    if (index < 1 || index > kMaxClients) {
        return MakeError(errc::BadRecordNumber,
                         "bad record number " + std::to_string(index) + " for " + RecordFilePath());
    }
    return WriteRecords(index, std::span(&state_.ClientRecords[index], 1));
}

Status ClientStore::WriteRecords(int first, std::span<const ClientRecord> records) {
    auto lock = LockDisk(fs_, state_.DataPath, LockMode::Exclusive);
    if (!lock) return lock.error();
    InPlaceFile file = RecordFile();
    if (Status st = file.Recover(); !st) return st;
    Result<std::string> onDisk = ReadRecordFile();
    if (!onDisk) return onDisk.error();
    if (Status same = CheckSameDisk(*onDisk); !same) return same;

    std::string image = *onDisk;
    std::size_t offset = static_cast<std::size_t>(first - 1) * kRecordSize;
    // A short last record (a length rounded up on loading) is completed with
    // blanks, as it was read, so that no gap of zero bytes opens before the new ones.
    const std::size_t end = offset + records.size() * kRecordSize;
    if (image.size() < end) image.resize(end, ' ');
    for (const ClientRecord& record : records) {
        image.replace(offset, kRecordSize, record.ToBytes());
        offset += kRecordSize;
    }

    if (Status st = file.Write(*onDisk, image); !st) return st;
    state_.DiskImage = std::move(image);
    return {};
}

void ClientStore::ClearRecord() {
    state_.Current() = ClientRecord();
}

Status ClientStore::AddClient() {
    // A copy: AddClients copies its clients into the records in memory. On
    // a full disk there is no slot to copy, and AddClients refuses.
    const ClientRecord client =
        state_.DiskFull() ? ClientRecord() : state_.ClientRecords[state_.RecordCount + 1];
    return AddClients(std::span(&client, 1));
}

Status ClientStore::AddClients(std::span<const ClientRecord> clients) {
    const int first = state_.RecordCount + 1;
    const auto count = static_cast<int>(clients.size());
    if (count > kMaxClients - state_.RecordCount) {
        return MakeError(
            errc::SubscriptOutOfRange,
            state_.DiskFull()
                ? "the data disk already holds " + std::to_string(kMaxClients) + " clients"
                : "the data disk has room for " + std::to_string(kMaxClients - state_.RecordCount) +
                      " more clients, not " + std::to_string(count));
    }
    if (clients.empty()) return {};
    if (Status st = WriteRecords(first, clients); !st) return st;
    std::ranges::copy(clients, state_.ClientRecords.begin() + first);
    state_.RecordCount = static_cast<std::int16_t>(state_.RecordCount + count);
    return {};
}

Status ClientStore::WipeKeptEntries() {
    auto lock = LockDisk(fs_, state_.DataPath, LockMode::Exclusive);
    if (!lock) return lock.error();
    return RecordFile().WipeKept();
}

}  // namespace mw
