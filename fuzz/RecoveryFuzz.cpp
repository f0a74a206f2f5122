// The recovery file of a file written in place (DATA401.RCV; MWTEST.RCV is
// the same format): whatever it holds, reading the file as recovered shows
// exactly what a recovery then makes of it, the recovery empties it or sets
// it aside whole, an entry set aside leaves the file as it was, and a second
// recovery changes nothing.
#include "FuzzSupport.h"
#include "MemoryFileSystem.h"
#include "core/data/ClientStore.h"
#include "core/data/InPlaceFile.h"
#include "core/data/SampleClient.h"

namespace {

constexpr std::string_view kMagic = "MWUNDO02";
constexpr std::size_t kNumberBytes = 8;
constexpr std::size_t kDigests = 128;

// Walks a field of a length and its bytes; false when the input ends first.
bool SkipField(std::string_view input, std::size_t& at) {
    if (input.size() - at < kNumberBytes) return false;
    std::uint64_t count = 0;
    for (std::size_t i = kNumberBytes; i-- > 0;) {
        count = count << 8 | static_cast<unsigned char>(input[at + i]);
    }
    at += kNumberBytes;
    if (count > input.size() - at) return false;
    at += static_cast<std::size_t>(count);
    return true;
}

// An entry is checked by a hash the fuzzer would almost never hit by
// mutation: an input that starts like an entry gets its hash put right, so
// that the bytes after the check are what is explored.
std::string WithHash(std::string input) {
    if (input.size() <= kMagic.size() || input.compare(0, kMagic.size(), kMagic) != 0) {
        return input;
    }
    std::size_t at = kMagic.size() + 1;
    if (!SkipField(input, at) || input.size() - at < 3 * kNumberBytes + kDigests) return input;
    at += 3 * kNumberBytes + kDigests;
    if (!SkipField(input, at) || !SkipField(input, at) || input.size() - at < kNumberBytes) {
        return input;
    }
    const std::uint64_t hash = mw::Fnv1a(std::string_view(input).substr(0, at));
    for (std::size_t i = 0; i < kNumberBytes; ++i) {
        input[at + i] = static_cast<char>((hash >> (8 * i)) & 0xFF);
    }
    return input;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mw;
    mwfuzz::MemoryFileSystem fs;
    const std::string path = JoinPath("/disk", kRecordFileName);
    const std::string recovery = JoinPath("/disk", kRecordRecoveryFileName);
    static const std::string records = [] {
        const std::string one = NonDeviantClient("03/05/2024").ToBytes();
        return one + one + one;
    }();
    fs.files[path] = records;
    const std::string entry = WithHash(std::string(mwfuzz::Bytes(data, size)));
    fs.files[recovery] = entry;
    InPlaceFile file(fs, path, recovery, 4096, {});

    Result<std::string> seen = file.ReadRecovered(kMaxRecordFileBytes);
    const Status recovered = file.Recover();
    if (!recovered) {
        mwfuzz::CheckRefusal(recovered.error(), "/disk/");
        return 0;
    }
    const std::string after = fs.FileExists(path) ? fs.files[path] : std::string();
    if (seen) mwfuzz::Check(*seen == after, "the file read as recovered is not the recovered file");
    const std::string aside = recovery + ".kept";
    if (fs.FileExists(aside)) {
        mwfuzz::Check(fs.files[aside] == entry, "an entry set aside was changed");
        mwfuzz::Check(after == records, "an entry set aside changed the file");
    }
    mwfuzz::Check(
        !fs.FileExists(recovery) || fs.files[recovery].find_first_not_of('\0') == std::string::npos,
        "a recovery left its entry behind");
    mwfuzz::Check(file.Recover().ok(), "a second recovery failed");
    const std::string again = fs.FileExists(path) ? fs.files[path] : std::string();
    mwfuzz::Check(again == after, "a second recovery changed the file");
    return 0;
}
