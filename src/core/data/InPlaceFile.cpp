#include "core/data/InPlaceFile.h"

#include <algorithm>

namespace mw {
namespace {

// The first bytes of a recovery entry; the number is the format's version.
constexpr std::string_view kMagic = "MWUNDO01";
constexpr std::size_t kNumberBytes = 8;

void PutNumber(std::string& out, std::uint64_t value) {
    for (std::size_t i = 0; i < kNumberBytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::uint64_t GetNumber(std::string_view in) {
    std::uint64_t value = 0;
    for (std::size_t i = kNumberBytes; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(in[i]);
    }
    return value;
}

// The bytes a write changes: the same offset in both, up to a different end
// when the length changes.
struct Change {
    std::size_t offset = 0;
    std::size_t oldEnd = 0;
    std::size_t newEnd = 0;
};

Change Difference(std::string_view old, std::string_view next) {
    const auto [oldAt, nextAt] = std::mismatch(old.begin(), old.end(), next.begin(), next.end());
    Change change{static_cast<std::size_t>(oldAt - old.begin()), old.size(), next.size()};
    if (old.size() == next.size()) {
        while (change.oldEnd > change.offset && old[change.oldEnd - 1] == next[change.oldEnd - 1]) {
            --change.oldEnd;
        }
        change.newEnd = change.oldEnd;
    }
    return change;
}

}  // namespace

std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

// What a write overwrote, enough to undo it: the file's bytes from `offset`
// and its length before, or that there was no file.
struct InPlaceFile::UndoEntry {
    bool absent = false;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::string bytes;

    static constexpr std::size_t kHead = kMagic.size() + 1 + 3 * kNumberBytes;

    std::string Encode() const {
        std::string out(kMagic);
        out += absent ? '1' : '0';
        PutNumber(out, offset);
        PutNumber(out, length);
        PutNumber(out, bytes.size());
        out += bytes;
        PutNumber(out, Fnv1a(out));
        return out;
    }

    // None unless the entry is whole and one a write could have left: the
    // bytes it puts back lie within the old length, and no file kept in
    // place is longer than a data file can be. Anything else would have a
    // recovery write or allocate far beyond the file.
    static std::optional<UndoEntry> Decode(std::string_view in) {
        if (in.size() < kHead + kNumberBytes || in.substr(0, kMagic.size()) != kMagic) return {};
        const std::uint64_t count = GetNumber(in.substr(kHead - kNumberBytes));
        if (count > in.size() - kHead - kNumberBytes) return {};
        const std::size_t end = kHead + static_cast<std::size_t>(count);
        if (GetNumber(in.substr(end)) != Fnv1a(in.substr(0, end))) return {};
        UndoEntry entry{in[kMagic.size()] == '1', GetNumber(in.substr(kMagic.size() + 1)),
                        GetNumber(in.substr(kMagic.size() + 1 + kNumberBytes)),
                        std::string(in.substr(kHead, static_cast<std::size_t>(count)))};
        if (entry.length > kMaxDataFileBytes || entry.offset > entry.length ||
            count > entry.length - entry.offset) {
            return {};
        }
        return entry;
    }
};

Error InPlaceFile::Named(Error error) const {
    error.message = path_ + ": " + error.message;
    return error;
}

Result<std::string> InPlaceFile::ReadRecovery() const {
    if (!fs_.FileExists(recoveryPath_)) return std::string();
    Result<std::string> raw = fs_.ReadFile(recoveryPath_);
    if (!raw) return Named(raw.error());
    return raw;
}

Status InPlaceFile::WriteRecovery(std::string_view bytes) {
    Status st = fs_.WriteAt(recoveryPath_, 0, bytes);
    if (!st) return Named(st.error());
    return st;
}

Status InPlaceFile::Undo(const UndoEntry& entry) {
    if (entry.absent) return fs_.WipeFile(path_);
    if (Status st = fs_.WriteAt(path_, entry.offset, entry.bytes); !st) return st;
    return fs_.Truncate(path_, entry.length);
}

Status InPlaceFile::ClearRecovery() {
    return WriteRecovery(std::string(capacity_, '\0'));
}

// An entry torn by a power cut is no entry: the file is written only after
// its entry has reached the disk whole. It is blanked all the same, as it
// holds old bytes.
Status InPlaceFile::Recover() {
    Result<std::string> raw = ReadRecovery();
    if (!raw) return raw.error();
    if (raw->find_first_not_of('\0') == std::string::npos) return {};
    if (std::optional<UndoEntry> entry = UndoEntry::Decode(*raw)) {
        if (Status st = Undo(*entry); !st) return st;
    }
    return ClearRecovery();
}

Result<std::string> InPlaceFile::ReadRecovered(std::uint64_t maxBytes) const {
    Result<std::string> bytes = fs_.ReadFile(path_, maxBytes);
    Result<std::string> raw = ReadRecovery();
    if (!bytes || !raw) return bytes ? raw : bytes;
    const std::optional<UndoEntry> undo = UndoEntry::Decode(*raw);
    if (!undo) return bytes;
    if (undo->absent) return std::string();
    if (undo->length > maxBytes) {
        return MakeError(errc::FileTooLarge, path_ + " is longer than " + std::to_string(maxBytes) +
                                                 " bytes once recovered");
    }
    std::string& file = *bytes;
    const auto offset = static_cast<std::size_t>(undo->offset);
    if (file.size() < offset + undo->bytes.size()) file.resize(offset + undo->bytes.size(), '\0');
    file.replace(offset, undo->bytes.size(), undo->bytes);
    file.resize(static_cast<std::size_t>(undo->length), '\0');
    return bytes;
}

Status InPlaceFile::Write(std::optional<std::string_view> current, std::string_view next) {
    const std::string_view old = current.value_or(std::string_view());
    if (current && old == next) return {};
    const Change change = Difference(old, next);
    const UndoEntry entry{!current, change.offset, old.size(),
                          std::string(old.substr(change.offset, change.oldEnd - change.offset))};
    std::string recovery = entry.Encode();
    if (recovery.size() > capacity_) {
        return MakeError(errc::FileTooLarge, "cannot write " + path_ + ": a change of " +
                                                 std::to_string(entry.bytes.size()) +
                                                 " bytes at once is more than it is made for");
    }
    recovery.resize(capacity_, '\0');
    if (Status st = WriteRecovery(recovery); !st) return st;
    Status written = fs_.WriteAt(path_, change.offset,
                                 next.substr(change.offset, change.newEnd - change.offset));
    if (written && next.size() < old.size()) written = fs_.Truncate(path_, next.size());
    if (!written) {
        // Put back at once where possible; otherwise the next Recover does.
        if (Undo(entry)) static_cast<void>(ClearRecovery());
        return written;
    }
    return ClearRecovery();
}

Status InPlaceFile::Rewrite(std::string_view next, std::uint64_t maxBytes) {
    if (Status st = Recover(); !st) return st;
    if (!fs_.FileExists(path_)) return Write(std::nullopt, next);
    Result<std::string> current = fs_.ReadFile(path_, maxBytes);
    if (!current) return current.error();
    return Write(*current, next);
}

Status InPlaceFile::Wipe() {
    if (Status st = fs_.WipeFile(path_); !st) return st;
    return fs_.WipeFile(recoveryPath_);
}

}  // namespace mw
