#include "core/data/ClientStore.h"

#include <vector>

#include "core/data/DataDisk.h"

namespace mw {
namespace {

// A record's bytes before and after a save, the file's name and digests,
// with room to spare.
constexpr std::size_t kRecoveryFileBytes = 4096;

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
    auto lock = LockDisk(fs_, state_.DataPath, LockMode::Exclusive);
    if (!lock) return lock.error();
    InPlaceFile file = RecordFile();
    if (Status st = file.Recover(); !st) return st;
    Result<std::string> onDisk = ReadRecordFile();
    if (!onDisk) return onDisk.error();
    if (Status same = CheckSameDisk(*onDisk); !same) return same;

    std::string image = *onDisk;
    const std::size_t offset = static_cast<std::size_t>(index - 1) * kRecordSize;
    // A short last record (a length rounded up on loading) is completed with
    // blanks, as it was read, so that no gap of zero bytes opens before the new one.
    if (image.size() < offset) image.resize(offset, ' ');
    if (image.size() < offset + kRecordSize) image.resize(offset + kRecordSize, ' ');
    image.replace(offset, kRecordSize, state_.ClientRecords[index].ToBytes());

    if (Status st = file.Write(*onDisk, image); !st) return st;
    state_.DiskImage = std::move(image);
    return {};
}

void ClientStore::ClearRecord() {
    state_.Current() = ClientRecord();
}

Status ClientStore::AddClient() {
    int slot = state_.RecordCount + 1;
    if (slot > kMaxClients) {
        return MakeError(errc::SubscriptOutOfRange,
                         "the data disk already holds " + std::to_string(kMaxClients) + " clients");
    }
    if (Status st = SaveRecord(slot); !st) return st;
    state_.RecordCount = static_cast<std::int16_t>(slot);
    return {};
}

Status ClientStore::WipeKeptEntries() {
    auto lock = LockDisk(fs_, state_.DataPath, LockMode::Exclusive);
    if (!lock) return lock.error();
    return RecordFile().WipeKept();
}

}  // namespace mw
