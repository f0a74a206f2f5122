#include "core/data/ClientStore.h"

#include <vector>

namespace mw {

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

Status ClientStore::Load(bool createIfMissing) {
    const std::string path = RecordFilePath();
    if (path.empty()) return MakeError(errc::BadFileName, "no data disk has been chosen");
    if (!fs_.DirectoryExists(state_.DataPath)) {
        return MakeError(errc::PathNotFound, "data disk not found: " + state_.DataPath);
    }
    if (createIfMissing) {
        if (Status st = fs_.CreateIfMissing(path); !st) return st;
    } else if (!fs_.FileExists(path)) {
        return MakeError(errc::FileNotFound, "no record file " + path);
    }
    Result<std::string> bytes = fs_.ReadFile(path);
    if (!bytes) return bytes.error();

    int count = RecordCountForLength(bytes->size());
    if (count > kMaxClients) {
        return MakeError(errc::SubscriptOutOfRange, path + " holds " + std::to_string(count) +
                                                        " clients; this station supports at most " +
                                                        std::to_string(kMaxClients) +
                                                        " clients on one data disk");
    }
    std::vector<ClientRecord> loaded;
    loaded.reserve(count);
    for (int n = 0; n < count; ++n) {
        std::size_t offset = static_cast<std::size_t>(n) * kRecordSize;
        loaded.push_back(ClientRecord::FromBytes(std::string_view(*bytes).substr(offset)));
    }
    for (int n = 0; n < count; ++n) state_.ClientRecords[n + 1] = loaded[n];
    state_.RecordCount = static_cast<std::int16_t>(count);
    state_.CurrentRecord = count > 0 ? 1 : 0;
    return {};
}

Status ClientStore::SaveRecord(int index) {
    if (index < 1 || index > kMaxClients) {
        return MakeError(errc::BadRecordNumber,
                         "bad record number " + std::to_string(index) + " for " + RecordFilePath());
    }
    std::uint64_t offset = static_cast<std::uint64_t>(index - 1) * kRecordSize;
    return fs_.WriteAt(RecordFilePath(), offset, state_.ClientRecords[index].ToBytes());
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

}  // namespace mw
