#include "core/data/DataDisk.h"

#include "core/data/ClientRecord.h"
#include "core/data/SiteKey.h"

namespace mw {

Result<bool> HasDataDiskIdentity(FileSystem& fs, const std::string& drive) {
    Result<std::string> text = fs.ReadFile(JoinPath(drive, kIdentityFileName));
    if (!text) return text.error();
    std::string_view firstLine(*text);
    firstLine = firstLine.substr(0, firstLine.find('\n'));
    if (!firstLine.empty() && firstLine.back() == '\r') firstLine.remove_suffix(1);
    return Trim(firstLine) == kIdentityMark;
}

namespace {

constexpr std::string_view kIdentityKey = "Disk=";

// The identity on the identity file's second line; empty when there is none.
std::string IdentityLine(std::string_view text) {
    const std::size_t first = text.find('\n');
    if (first == std::string_view::npos) return {};
    std::string_view line = text.substr(first + 1);
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const bool ours =
        line.size() == kIdentityKey.size() + 32 &&
        line.substr(0, kIdentityKey.size()) == kIdentityKey &&
        line.find_first_not_of("0123456789abcdef", kIdentityKey.size()) == std::string_view::npos;
    return ours ? std::string(line.substr(kIdentityKey.size())) : std::string();
}

}  // namespace

Result<std::string> DiskIdentity(FileSystem& fs, const std::string& drive, bool make) {
    const std::string path = JoinPath(drive, kIdentityFileName);
    Result<std::string> text = fs.ReadFile(path);
    if (!text) return text.error();
    if (std::string id = IdentityLine(*text); !id.empty() || !make) return id;
    Result<std::string> id = RandomHex(16);
    if (!id) return id.error();
    // The first line stays as it is; what followed it goes after the identity.
    std::string next = *text;
    const std::size_t first = next.find('\n');
    if (first == std::string::npos) next += "\r\n";
    next.insert(next.find('\n') + 1, std::string(kIdentityKey) + *id + "\r\n");
    if (Status st = fs.ReplaceFile(path, next, Readers::Everyone); !st) return st.error();
    return id;
}

Status RunWriteTest(FileSystem& fs, const std::string& drive) {
    auto lock = LockDisk(fs, drive, LockMode::Exclusive);
    if (!lock) return lock.error();
    const std::string path = JoinPath(drive, kWriteTestFileName);
    if (fs.FileExists(path)) {
        if (Status st = fs.RemoveFile(path); !st) return st;
    }
    const Status written = fs.WriteFile(path, "test\r\n");
    // A write cut short (a full disk) may still have created the file: it
    // never stays behind.
    if (fs.FileExists(path)) {
        const Status removed = fs.RemoveFile(path);
        if (written) return removed;
    }
    return written;
}

Result<std::unique_ptr<FileLock>> LockDisk(FileSystem& fs, const std::string& drive,
                                           LockMode mode) {
    const std::string path = JoinPath(drive, kDiskLockFileName);
    // A reader leaves the disk as it found it, and one without a lock file
    // has never been written by a program that takes the lock.
    if (mode == LockMode::Shared && fs.Examine(path).kind == PathInfo::Absent) {
        return std::make_unique<FileLock>();
    }
    Result<std::unique_ptr<FileLock>> lock = fs.Lock(path, mode, kDiskLockWait);
    if (lock) return lock;
    if (lock.error().code == errc::FileLocked) {
        return MakeError(errc::FileLocked, "the data disk " + drive +
                                               " is in use by another program (it holds " + path +
                                               "); try again once it has finished");
    }
    if (mode == LockMode::Shared && lock.error().Fault() == DiskFault::WriteProtected) {
        return std::make_unique<FileLock>();
    }
    return lock;
}

}  // namespace mw
