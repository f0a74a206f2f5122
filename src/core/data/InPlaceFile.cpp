#include "core/data/InPlaceFile.h"

#include <algorithm>
#include <filesystem>

#include "core/data/Sha256.h"

namespace mw {
namespace {

// The first bytes of a recovery entry; the number is the format's version.
// An entry of an older version says nothing of the file it undoes, so it is
// never applied.
constexpr std::string_view kFamily = "MWUNDO";
constexpr std::string_view kMagic = "MWUNDO02";
constexpr std::size_t kNumberBytes = 8;
constexpr std::size_t kDigestChars = 64;

void PutNumber(std::string& out, std::uint64_t value) {
    for (std::size_t i = 0; i < kNumberBytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void PutBytes(std::string& out, std::string_view bytes) {
    PutNumber(out, bytes.size());
    out += bytes;
}

// Reads an entry field by field; every read fails once the entry runs out.
class EntryReader {
public:
    EntryReader(std::string_view in, std::size_t at) : in_(in), at_(at) {}

    std::size_t Position() const { return at_; }
    std::optional<std::uint64_t> Number() {
        if (in_.size() - at_ < kNumberBytes) return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = kNumberBytes; i-- > 0;) {
            value = value << 8 | static_cast<unsigned char>(in_[at_ + i]);
        }
        at_ += kNumberBytes;
        return value;
    }
    std::optional<std::string_view> Bytes(std::optional<std::uint64_t> count) {
        if (!count || *count > in_.size() - at_) return std::nullopt;
        const std::string_view bytes = in_.substr(at_, static_cast<std::size_t>(*count));
        at_ += bytes.size();
        return bytes;
    }
    std::optional<std::string_view> Bytes() { return Bytes(Number()); }

private:
    std::string_view in_;
    std::size_t at_;
};

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

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
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

// What a write overwrote, enough to undo it, and what it wrote, enough to
// recognise the file it was made for.
struct InPlaceFile::UndoEntry {
    std::string name;     // the file's name, without its folder
    bool absent = false;  // the write made the file
    std::uint64_t offset = 0;
    std::uint64_t oldLength = 0;
    std::uint64_t newLength = 0;
    std::string oldDigest;  // SHA-256 of the whole file before the write
    std::string newDigest;  // and after it
    std::string oldBytes;   // from offset, as they were
    std::string newBytes;   // from offset, as the write makes them

    std::string Encode() const {
        std::string out(kMagic);
        out += absent ? '1' : '0';
        PutBytes(out, name);
        PutNumber(out, offset);
        PutNumber(out, oldLength);
        PutNumber(out, newLength);
        out += oldDigest;
        out += newDigest;
        PutBytes(out, oldBytes);
        PutBytes(out, newBytes);
        PutNumber(out, Fnv1a(out));
        return out;
    }

    // None unless the entry is whole (its checksum holds) and one a write
    // could have left: the bytes lie within the lengths, and no file kept in
    // place is longer than a data file can be. Anything else would have a
    // recovery write or allocate far beyond the file.
    static std::optional<UndoEntry> Decode(std::string_view in) {
        if (in.size() <= kMagic.size() || in.substr(0, kMagic.size()) != kMagic) return {};
        EntryReader reader(in, kMagic.size() + 1);
        const auto name = reader.Bytes();
        const auto offset = reader.Number();
        const auto oldLength = reader.Number();
        const auto newLength = reader.Number();
        const auto digests = reader.Bytes(2 * kDigestChars);
        const auto oldBytes = reader.Bytes();
        const auto newBytes = reader.Bytes();
        const std::uint64_t checksum = Fnv1a(in.substr(0, reader.Position()));
        if (!name || !offset || !oldLength || !newLength || !digests || !oldBytes || !newBytes ||
            reader.Number() != checksum) {
            return {};
        }
        UndoEntry entry{std::string(*name),
                        in[kMagic.size()] == '1',
                        *offset,
                        *oldLength,
                        *newLength,
                        std::string(digests->substr(0, kDigestChars)),
                        std::string(digests->substr(kDigestChars)),
                        std::string(*oldBytes),
                        std::string(*newBytes)};
        if (!entry.Possible()) return {};
        return entry;
    }

    bool Possible() const {
        return oldLength <= kMaxDataFileBytes && newLength <= kMaxDataFileBytes &&
               offset <= oldLength && offset <= newLength &&
               oldBytes.size() <= oldLength - offset && newBytes.size() <= newLength - offset &&
               (!absent || (offset == 0 && oldLength == 0));
    }

    // True when `file` is what the write left part way: as long as before,
    // as after or in between, each changed byte old, new or not yet written
    // (zero), and, undone, the file as the write found it.
    bool LeftPartWay(std::string_view file) const {
        if (file.size() < std::min(oldLength, newLength) ||
            file.size() > std::max(oldLength, newLength)) {
            return false;
        }
        const std::size_t end =
            std::min(file.size(),
                     static_cast<std::size_t>(offset) + std::max(oldBytes.size(), newBytes.size()));
        for (std::size_t i = static_cast<std::size_t>(offset); i < end; ++i) {
            const std::size_t k = i - static_cast<std::size_t>(offset);
            const char byte = file[i];
            const bool old = k < oldBytes.size() && byte == oldBytes[k];
            const bool next = k < newBytes.size() && byte == newBytes[k];
            if (!old && !next && byte != '\0') return false;
        }
        return absent || Sha256Hex(Undone(file)) == oldDigest;
    }

    std::string Undone(std::string_view file) const {
        std::string undone(file);
        const auto at = static_cast<std::size_t>(offset);
        if (undone.size() < at + oldBytes.size()) undone.resize(at + oldBytes.size(), '\0');
        undone.replace(at, oldBytes.size(), oldBytes);
        undone.resize(static_cast<std::size_t>(oldLength), '\0');
        return undone;
    }
};

struct InPlaceFile::Found {
    PathInfo info;
    bool blank = false;  // zeros only: nothing to do
    std::optional<UndoEntry> entry;
};

namespace {

enum class Verdict { AsFound, Undo, NotItsFile };

// Whether the entry is to be applied to `file` (none: there is no file).
Verdict Judge(const InPlaceFile::UndoEntry& entry, const std::string& name,
              const std::optional<std::string>& file) {
    if (entry.name != name) return Verdict::NotItsFile;
    if (!file) return entry.absent ? Verdict::AsFound : Verdict::NotItsFile;
    const std::string digest = Sha256Hex(*file);
    if (!entry.absent && digest == entry.oldDigest) return Verdict::AsFound;
    if (digest == entry.newDigest || entry.LeftPartWay(*file)) return Verdict::Undo;
    return Verdict::NotItsFile;
}

}  // namespace

Error InPlaceFile::Named(Error error) const {
    error.message = path_ + ": " + error.message;
    return error;
}

// What the recovery file holds, read no further than its size: a file
// grown beyond it holds nothing more of ours. A link, a FIFO or a device is
// never opened; a folder there is an error.
Result<InPlaceFile::Found> InPlaceFile::Look() const {
    Found found;
    found.info = fs_.Examine(recoveryPath_);
    switch (found.info.kind) {
        case PathInfo::Absent:
        case PathInfo::Link:
        case PathInfo::Special:
            return found;
        case PathInfo::Folder:
            return MakeError(errc::BadFileName, recoveryPath_ +
                                                    " is a folder where the recovery file of " +
                                                    path_ + " belongs; move it elsewhere");
        case PathInfo::File:
            break;
    }
    Result<std::string> raw = fs_.ReadHead(recoveryPath_, capacity_);
    if (!raw) return Named(raw.error());
    found.blank = raw->find_first_not_of('\0') == std::string::npos;
    // An entry of another version names no file, so no file takes it for its own.
    if (raw->starts_with(kFamily) && !raw->starts_with(kMagic)) {
        found.entry = UndoEntry{};
    } else {
        found.entry = UndoEntry::Decode(*raw);
    }
    return found;
}

Status InPlaceFile::WriteRecovery(std::string_view bytes) {
    Status st = fs_.WriteAt(recoveryPath_, 0, bytes);
    if (!st) return Named(st.error());
    return st;
}

Status InPlaceFile::Undo(const UndoEntry& entry) {
    if (entry.absent) return fs_.WipeFile(path_);
    if (Status st = fs_.WriteAt(path_, entry.offset, entry.oldBytes); !st) return st;
    return fs_.Truncate(path_, entry.oldLength);
}

Status InPlaceFile::ClearRecovery(std::uint64_t bytes) {
    return WriteRecovery(std::string(static_cast<std::size_t>(bytes), '\0'));
}

Result<std::optional<std::string>> InPlaceFile::ReadTarget(std::uint64_t maxBytes) const {
    if (!fs_.FileExists(path_)) return std::optional<std::string>();
    Result<std::string> bytes = fs_.ReadFile(path_, maxBytes);
    if (!bytes) return bytes.error();
    return std::optional<std::string>(std::move(*bytes));
}

namespace {

// Where the n-th entry kept aside goes: ".kept", ".kept2", ...
std::string KeptPath(const std::string& recoveryPath, int n) {
    return recoveryPath + ".kept" + (n > 1 ? std::to_string(n) : "");
}

// Far more than a disk ever gathers; a name lost in between is looked past.
constexpr int kMostKept = 100;

}  // namespace

Status InPlaceFile::SetAside() {
    for (int n = 1;; ++n) {
        const std::string aside = KeptPath(recoveryPath_, n);
        const Status renamed = fs_.RenameFile(recoveryPath_, aside);
        if (renamed.ok()) {
            Tell(recoveryPath_ + " holds a save cut short that does not belong to " + path_ +
                 " as it is now (a record file restored or copied in since, or another "
                 "disk's); it was not applied and is kept as " +
                 aside);
            return {};
        }
        if (renamed.error().code != errc::FileExists) return renamed;
    }
}

// An entry torn by a power cut is no entry: the file is written only after
// its entry has reached the disk whole. It is blanked all the same, as it
// holds old bytes, and so is a recovery file grown beyond its size, whole.
Status InPlaceFile::Recover() {
    Result<Found> found = Look();
    if (!found) return found.error();
    const PathInfo& info = found->info;
    if (info.kind == PathInfo::Link || info.kind == PathInfo::Special) {
        // Only the name goes; what a link points to is never touched.
        if (Status st = fs_.RemoveFile(recoveryPath_); !st) return Named(st.error());
        Tell(recoveryPath_ + " was a link or a device, not the recovery file of " + path_ +
             "; it was removed");
        return {};
    }
    const bool oversized = info.size > capacity_;
    if (info.kind == PathInfo::Absent || (found->blank && !oversized)) return {};
    if (found->entry) {
        Result<std::optional<std::string>> file = ReadTarget(kMaxDataFileBytes);
        if (!file) return file.error();
        switch (Judge(*found->entry, FileName(path_), *file)) {
            case Verdict::AsFound:
                break;
            case Verdict::Undo:
                if (Status st = Undo(*found->entry); !st) return st;
                break;
            case Verdict::NotItsFile:
                return SetAside();
        }
    }
    if (oversized) {
        if (Status st = fs_.Truncate(recoveryPath_, capacity_); !st) return Named(st.error());
        Tell(recoveryPath_ + " was " + std::to_string(info.size) +
             " bytes, far more than the recovery file of " + path_ + " holds; it was blanked");
    }
    // Only as far as it reaches: a recovery file that a full disk cut short
    // is blanked without asking the disk for room it does not have.
    return ClearRecovery(std::min<std::uint64_t>(info.size, capacity_));
}

// A recovery file out of the ordinary is passed by: the user is told, and
// the next program that may write the disk puts it right.
Result<std::string> InPlaceFile::ReadRecovered(std::uint64_t maxBytes) const {
    Result<std::string> bytes = fs_.ReadFile(path_, maxBytes);
    if (!bytes) return bytes;
    Result<Found> found = Look();
    if (!found) return found.error();
    const PathInfo& info = found->info;
    if (info.kind == PathInfo::Link || info.kind == PathInfo::Special || info.size > capacity_) {
        Tell(recoveryPath_ + " is not a recovery file of " + path_ + "; it was not read");
    }
    if (!found->entry) return bytes;
    switch (Judge(*found->entry, FileName(path_), *bytes)) {
        case Verdict::AsFound:
            return bytes;
        case Verdict::Undo:
            break;
        case Verdict::NotItsFile:
            Tell(recoveryPath_ + " holds a save cut short that does not belong to " + path_ +
                 " as it is now; it was not applied");
            return bytes;
    }
    if (found->entry->absent) return std::string();
    if (found->entry->oldLength > maxBytes) {
        return MakeError(errc::FileTooLarge, path_ + " is longer than " + std::to_string(maxBytes) +
                                                 " bytes once recovered");
    }
    return found->entry->Undone(*bytes);
}

Status InPlaceFile::Write(std::optional<std::string_view> current, std::string_view next) {
    const std::string_view old = current.value_or(std::string_view());
    if (current && old == next) return {};
    const Change change = Difference(old, next);
    const UndoEntry entry{FileName(path_),
                          !current,
                          change.offset,
                          old.size(),
                          next.size(),
                          Sha256Hex(old),
                          Sha256Hex(next),
                          std::string(old.substr(change.offset, change.oldEnd - change.offset)),
                          std::string(next.substr(change.offset, change.newEnd - change.offset))};
    std::string recovery = entry.Encode();
    if (recovery.size() > capacity_) {
        return MakeError(errc::FileTooLarge, "cannot write " + path_ + ": a change of " +
                                                 std::to_string(entry.newBytes.size()) +
                                                 " bytes at once is more than it is made for");
    }
    recovery.resize(capacity_, '\0');
    if (Status st = WriteRecovery(recovery); !st) return st;
    Status written = fs_.WriteAt(path_, change.offset, entry.newBytes);
    if (written && next.size() < old.size()) written = fs_.Truncate(path_, next.size());
    if (!written) {
        // Put back at once where possible; otherwise the next Recover does.
        if (Undo(entry)) static_cast<void>(ClearRecovery(capacity_));
        return written;
    }
    return ClearRecovery(capacity_);
}

Status InPlaceFile::Rewrite(std::string_view next, std::uint64_t maxBytes) {
    if (Status st = Recover(); !st) return st;
    Result<std::optional<std::string>> current = ReadTarget(maxBytes);
    if (!current) return current.error();
    if (!*current) return Write(std::nullopt, next);
    return Write(**current, next);
}

Status InPlaceFile::Wipe() {
    if (Status st = fs_.WipeFile(path_); !st) return st;
    return fs_.WipeFile(recoveryPath_);
}

Status InPlaceFile::WipeKept() {
    for (int n = 1; n <= kMostKept; ++n) {
        if (Status st = fs_.WipeFile(KeptPath(recoveryPath_, n)); !st) return st;
    }
    return {};
}

}  // namespace mw
