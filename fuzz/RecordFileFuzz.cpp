// The record file (DATA401.MW): whatever it holds, a station that loads it
// and saves every record unchanged writes back the same bytes, and the
// command-line tool's read-only load sees the same clients.
#include "FuzzSupport.h"
#include "MemoryFileSystem.h"
#include "core/data/ClientStore.h"
#include "core/data/DataDisk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mw;
    const std::string input(mwfuzz::Bytes(data, size));
    mwfuzz::MemoryFileSystem fs;
    StationState state;
    state.DataPath = "/disk";
    ClientStore store(state, fs, {});
    const std::string path = store.RecordFilePath();
    fs.files[path] = input;
    fs.files[JoinPath(state.DataPath, kIdentityFileName)] = kIdentityMark;

    if (Status loaded = store.LoadRecords(); !loaded) {
        mwfuzz::CheckRefusal(loaded.error(), kRecordFileName);
        return 0;
    }
    StationState readOnly;
    readOnly.DataPath = state.DataPath;
    mwfuzz::Check(ClientStore(readOnly, fs, {}).LoadRecordsReadOnly().ok(),
                  "the read-only load refuses what the station loads");
    mwfuzz::Check(readOnly.RecordCount == state.RecordCount,
                  "the read-only load sees another number of clients");
    for (int n = 1; n <= state.RecordCount; ++n) {
        mwfuzz::Check(readOnly.ClientRecords[n].ToBytes() == state.ClientRecords[n].ToBytes(),
                      "the read-only load sees another client");
        mwfuzz::Check(store.SaveRecord(n).ok(), "an unchanged record cannot be saved");
    }
    // A short last record is completed with blanks, as it was read.
    std::string expected = input;
    const std::size_t whole = static_cast<std::size_t>(state.RecordCount) * kRecordSize;
    if (expected.size() < whole) expected.resize(whole, ' ');
    mwfuzz::Check(fs.files[path] == expected, "saving unchanged records changed the file");
    return 0;
}
