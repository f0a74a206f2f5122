#include "core/data/FileSystem.h"

#include "core/data/LocalFileLock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mw {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// Maps an operating-system error to the error numbers the handlers know.
int CodeFromErrno(int err, const std::string& path) {
    switch (err) {
        case ENOENT:
            return fs::is_directory(fs::path(path).parent_path()) ? errc::FileNotFound
                                                                  : errc::PathNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
            return errc::PathNotFound;
        case EROFS:
        case EACCES:
        case EPERM:
            return errc::PermissionDenied;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return errc::DiskFull;
        case EIO:
            return errc::DeviceIo;
        case ENXIO:
        case ENODEV:
#ifdef ENOMEDIUM
        case ENOMEDIUM:
#endif
            return errc::DiskNotReady;
        case EISDIR:
        case EINVAL:
            return errc::BadFileName;
        default:
            return errc::PathFileAccess;
    }
}

Status Fail(const std::string& path, std::string_view doing) {
    return OsError(errno, path, doing);
}

Error NoFileName() {
    return MakeError(errc::BadFileName, "no file name given");
}

// A folder or device where a file should be counts as a bad file name, which
// the station treats as a missing file.
Error NotAFile(const std::string& path, bool folder) {
    return MakeError(
        errc::BadFileName,
        path + " is " + (folder ? "a folder" : "a device, FIFO or socket") + ", not a file");
}

Error TooLarge(const std::string& path, std::uint64_t maxBytes) {
    return MakeError(errc::FileTooLarge, path + " is longer than " + std::to_string(maxBytes) +
                                             " bytes, far more than a file of its kind holds");
}

// Whether a write is flushed to the device before it counts as done.
enum class Sync { Yes, No };

Error ReadOnly(const std::string& path) {
    return MakeError(errc::PermissionDenied, "cannot write " + path + ": the file is read-only");
}

// How much of a file is read: all of it, refused when longer than the
// limit, or no more than the limit.
enum class Extent { Whole, Head };

#ifdef _WIN32
Result<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes,
                                    Extent extent = Extent::Whole) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return OsError(ENOENT, path, "cannot open");
    if (!fs::is_regular_file(status)) return NotAFile(path, fs::is_directory(status));
    std::uintmax_t size = fs::file_size(path, ec);
    if (ec) return MakeError(errc::DeviceIo, "cannot read " + path + ": " + ec.message());
    if (size > maxBytes && extent == Extent::Whole) return TooLarge(path, maxBytes);
    size = std::min<std::uintmax_t>(size, maxBytes);
    std::string data(static_cast<std::size_t>(size), '\0');
    std::ifstream in(path, std::ios::binary);
    if (!in.read(data.data(), static_cast<std::streamsize>(size))) {
        return MakeError(errc::DeviceIo, "cannot read " + path);
    }
    return data;
}

Status CheckTarget(const std::string& path) {
    if (path.empty()) return NoFileName();
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return NotAFile(path, true);
    if (attributes & FILE_ATTRIBUTE_READONLY) return ReadOnly(path);
    return {};
}

Status WriteWhole(const std::string& file, const std::string& shownAs, std::string_view bytes,
                  Sync = Sync::Yes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return Fail(shownAs, "cannot create");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out) return {};
    Status st = Fail(shownAs, "cannot write");
    ::DeleteFileA(file.c_str());
    return st;
}

Status WriteAtOffset(const std::string& path, std::uint64_t offset, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    if (!f) f = std::fopen(path.c_str(), "w+b");
    if (!f) return Fail(path, "cannot open");
    const bool written = _fseeki64(f, static_cast<__int64>(offset), SEEK_SET) == 0 &&
                         std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() &&
                         std::fflush(f) == 0 && _commit(_fileno(f)) == 0;
    Status st = written ? Status() : Fail(path, "cannot write");
    if (std::fclose(f) != 0 && st.ok()) return Fail(path, "cannot close");
    return st;
}

Status TruncateFile(const std::string& path, std::uint64_t length) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) return MakeError(errc::PathFileAccess, "cannot examine " + path + ": " + ec.message());
    if (size <= length) return {};
    const std::string zeros(static_cast<std::size_t>(size - length), '\0');
    if (Status st = WriteAtOffset(path, length, zeros); !st) return st;
    fs::resize_file(path, length, ec);
    if (ec) return MakeError(errc::PathFileAccess, "cannot shorten " + path + ": " + ec.message());
    return {};
}

Status Wipe(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (!fs::exists(status)) return {};
    if (fs::is_directory(status)) return NotAFile(path, true);
    if (fs::is_regular_file(status)) {
        if (Status st = TruncateFile(path, 0); !st) return st;
    }
    if (!fs::remove(path, ec)) {
        return MakeError(errc::PathFileAccess, "cannot delete " + path + ": " + ec.message());
    }
    return {};
}

void SyncDirectory(const std::string&) {}

PathInfo ExaminePath(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (!fs::exists(status)) return {};
    if (fs::is_symlink(status)) return {PathInfo::Link};
    if (fs::is_directory(status)) return {PathInfo::Folder};
    if (!fs::is_regular_file(status)) return {PathInfo::Special};
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return {PathInfo::File, static_cast<std::uint64_t>(fs::file_size(path, ec)),
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)};
}

Status MoveOver(const std::string& temp, const std::string& path, Sync sync = Sync::Yes) {
    const DWORD through = sync == Sync::Yes ? MOVEFILE_WRITE_THROUGH : 0;
    if (::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | through)) {
        return {};
    }
    ::DeleteFileA(temp.c_str());
    return MakeError(errc::PathFileAccess, "cannot replace " + path);
}
#else
// O_NONBLOCK: opening a FIFO must never wait for its other end. Whatever is
// opened is refused before use unless it is a regular file.
int Open(const std::string& path, int flags, mode_t mode = 0600) {
    return ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode);
}

mode_t ModeFor(Readers readers) {
    return readers == Readers::OwnerOnly ? 0600 : 0644;
}

// Reads an open regular file to its end, or its head. The size is checked
// before reading, so a huge file is refused unread, and again as it is read,
// in case it grows.
Result<std::string> ReadOpenFile(int fd, const std::string& path, std::uint64_t maxBytes,
                                 Extent extent) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return OsError(errno, path, "cannot examine");
    if (!S_ISREG(st.st_mode)) return NotAFile(path, S_ISDIR(st.st_mode));
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > maxBytes && extent == Extent::Whole) return TooLarge(path, maxBytes);
    std::string data;
    data.reserve(static_cast<std::size_t>(std::min(size, maxBytes)));
    std::array<char, 16384> chunk;
    for (;;) {
        const std::size_t want = static_cast<std::size_t>(
            extent == Extent::Head ? std::min<std::uint64_t>(chunk.size(), maxBytes - data.size())
                                   : chunk.size());
        if (want == 0) return data;
        const ssize_t n = ::read(fd, chunk.data(), want);
        if (n == 0) return data;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return OsError(errno, path, "cannot read");
        data.append(chunk.data(), static_cast<std::size_t>(n));
        if (data.size() > maxBytes) return TooLarge(path, maxBytes);
    }
}

Result<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes,
                                    Extent extent = Extent::Whole) {
    const int fd = Open(path, O_RDONLY);
    if (fd < 0) return OsError(errno, path, "cannot open");
    Result<std::string> data = ReadOpenFile(fd, path, maxBytes, extent);
    ::close(fd);
    return data;
}

// What is at the path; nothing when it cannot be examined, which the open
// that follows then reports.
std::optional<struct stat> StatOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st;
}

// A folder, device, FIFO or socket where a file should be is refused before
// it is opened.
Status RegularOrAbsent(const std::string& path, const std::optional<struct stat>& st) {
    if (!st || S_ISREG(st->st_mode)) return {};
    return NotAFile(path, S_ISDIR(st->st_mode));
}

// Root may write any file, so a file without any write permission is
// read-only for everyone, as a read-only file is elsewhere: a rename over it
// would otherwise bypass that.
bool IsReadOnly(const std::string& path, const struct stat& st) {
    return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

// A file about to be overwritten must be writable.
Status CheckTarget(const std::string& path) {
    if (path.empty()) return NoFileName();
    const std::optional<struct stat> st = StatOf(path);
    if (Status s = RegularOrAbsent(path, st); !s) return s;
    if (st && IsReadOnly(path, *st)) return ReadOnly(path);
    return {};
}

PathInfo ExaminePath(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {};
    if (S_ISLNK(st.st_mode)) return {PathInfo::Link};
    if (S_ISDIR(st.st_mode)) return {PathInfo::Folder};
    if (!S_ISREG(st.st_mode)) return {PathInfo::Special};
    return {PathInfo::File, static_cast<std::uint64_t>(st.st_size), IsReadOnly(path, st)};
}

// Writes all bytes at an offset, then, unless told not to, flushes them to the device.
Status WriteSynced(int fd, const std::string& path, std::uint64_t offset, std::string_view bytes,
                   Sync sync = Sync::Yes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail(path, "cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (sync == Sync::Yes && ::fsync(fd) != 0) return Fail(path, "cannot sync");
    return {};
}

Status WriteAndClose(int fd, const std::string& path, std::uint64_t offset, std::string_view bytes,
                     Sync sync = Sync::Yes) {
    Status st = WriteSynced(fd, path, offset, bytes, sync);
    if (::close(fd) != 0 && st.ok()) return Fail(path, "cannot close");
    return st;
}

void SyncDirectory(const std::string& path) {
    std::string dir = fs::path(path).parent_path().string();
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Zeros over bytes [from, to) of an open file, synced.
Status WriteZeros(int fd, const std::string& path, std::uint64_t from, std::uint64_t to) {
    const std::string zeros(std::min<std::uint64_t>(to - from, 64 * 1024), '\0');
    for (std::uint64_t at = from; at < to; at += zeros.size()) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(to - at, zeros.size()));
        if (Status st = WriteSynced(fd, path, at, std::string_view(zeros).substr(0, n)); !st) {
            return st;
        }
    }
    return {};
}

Status TruncateOpenFile(int fd, const std::string& path, std::uint64_t length) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return Fail(path, "cannot examine");
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size <= length) return {};
    if (Status s = WriteZeros(fd, path, length, size); !s) return s;
    if (::ftruncate(fd, static_cast<off_t>(length)) != 0) return Fail(path, "cannot shorten");
    if (::fsync(fd) != 0) return Fail(path, "cannot sync");
    return {};
}

// In place, never through a link. A file it creates has its name synced
// too, so that a file written to undo a save survives a power cut.
Status WriteAtOffset(const std::string& path, std::uint64_t offset, std::string_view bytes) {
    int fd = Open(path, O_WRONLY | O_NOFOLLOW);
    const bool create = fd < 0 && errno == ENOENT;
    if (create) fd = Open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
    if (fd < 0) return Fail(path, "cannot open");
    Status st = WriteAndClose(fd, path, offset, bytes);
    if (st && create) SyncDirectory(path);
    return st;
}

Status TruncateFile(const std::string& path, std::uint64_t length) {
    const int fd = Open(path, O_WRONLY | O_NOFOLLOW);
    if (fd < 0) return Fail(path, "cannot open");
    Status st = TruncateOpenFile(fd, path, length);
    ::close(fd);
    return st;
}

// A file with other names is only unlinked: blanking it would blank them too.
Status Wipe(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? Status() : Fail(path, "cannot examine");
    }
    if (S_ISDIR(st.st_mode)) return NotAFile(path, true);
    if (S_ISREG(st.st_mode) && st.st_nlink == 1) {
        if (Status s = TruncateFile(path, 0); !s) return s;
    }
    if (::unlink(path.c_str()) != 0) return Fail(path, "cannot delete");
    return {};
}

// A new file that no one else can have opened or pointed elsewhere: created
// exclusively, never through a link. A leftover of a crashed run at the name
// is wiped and the creation tried once more. -1 with errno on failure.
int CreateExclusive(const std::string& file, mode_t mode) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
    int fd = Open(file, flags, mode);
    if (fd < 0 && errno == EEXIST) {
        struct stat st {};
        // Anything but a regular file is left for the error to name.
        if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && Wipe(file).ok()) {
            fd = Open(file, flags, mode);
        } else {
            errno = EEXIST;
        }
    }
    return fd;
}

// The replacement of an existing file keeps who may read it. A different
// owner can be given only by root; otherwise the file becomes the writer's,
// with the same mode.
void TakeOwnerAndMode(int fd, const struct stat& like) {
    if (::fchown(fd, like.st_uid, like.st_gid) != 0) {
        // Not ours to give away; the mode still carries over.
    }
    ::fchmod(fd, like.st_mode & 07777);
}

// Creates `file` anew and writes it whole; errors name `shownAs`, the file
// the caller asked for. A file whose write fails is removed, so that no
// partly written file is left behind.
Status WriteWhole(const std::string& file, const std::string& shownAs, std::string_view bytes,
                  mode_t mode, const std::optional<struct stat>& like = std::nullopt,
                  Sync sync = Sync::Yes) {
    const int fd = CreateExclusive(file, mode);
    if (fd < 0) return Fail(shownAs, "cannot create");
    if (like) TakeOwnerAndMode(fd, *like);
    Status st = WriteAndClose(fd, shownAs, 0, bytes, sync);
    if (!st) ::unlink(file.c_str());
    return st;
}

// Renames the temporary file over the target and, for a synced file, syncs
// the folder, so that the new name survives a power cut.
Status MoveOver(const std::string& temp, const std::string& path, Sync sync = Sync::Yes) {
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        Status st = Fail(path, "cannot replace");
        ::unlink(temp.c_str());
        return st;
    }
    if (sync == Sync::Yes) SyncDirectory(path);
    return {};
}
#endif

// Undoes the octal escapes ("\040" for a blank) by which the kernel keeps
// blanks, tabs, line ends and backslashes out of a mount table's fields.
std::string DecodeMountField(std::string_view field) {
    auto octal = [&](std::size_t i) { return field[i] >= '0' && field[i] <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool IsMediaFolder(const std::string& dir) {
    return dir.rfind("/media/", 0) == 0 || dir.rfind("/mnt/", 0) == 0 ||
           dir.rfind("/run/media/", 0) == 0;
}

class LocalFs final : public FileSystem {
public:
    Result<std::string> ReadFile(const std::string& path, std::uint64_t maxBytes) override {
        if (path.empty()) return NoFileName();
        return ReadRegularFile(path, maxBytes);
    }

    Result<std::string> ReadHead(const std::string& path, std::uint64_t count) override {
        if (path.empty()) return NoFileName();
        return ReadRegularFile(path, count, Extent::Head);
    }

    bool FileExists(const std::string& path) override {
        std::error_code ec;
        return !path.empty() && fs::is_regular_file(path, ec);
    }

    bool DirectoryExists(const std::string& path) override {
        std::error_code ec;
        return !path.empty() && fs::is_directory(path, ec);
    }

#ifdef _WIN32
    Status WriteFile(const std::string& path, std::string_view bytes, Readers) override {
        if (Status st = CheckTarget(path); !st) return st;
        return WriteWhole(path, path, bytes);
    }
#else
    Status WriteFile(const std::string& path, std::string_view bytes, Readers readers) override {
        if (Status st = CheckTarget(path); !st) return st;
        return WriteWhole(path, path, bytes, ModeFor(readers));
    }
#endif

    Status ReplaceFile(const std::string& path, std::string_view bytes, Readers readers) override {
        return Replace(path, bytes, readers, Sync::Yes);
    }

    Status ReplaceRemakeableFile(const std::string& path, std::string_view bytes,
                                 Readers readers) override {
        return Replace(path, bytes, readers, Sync::No);
    }

    Status WriteAt(const std::string& path, std::uint64_t offset, std::string_view bytes) override {
        if (Status st = CheckTarget(path); !st) return st;
        return WriteAtOffset(path, offset, bytes);
    }

    Status Truncate(const std::string& path, std::uint64_t length) override {
        return TruncateFile(path, length);
    }

    Status WipeFile(const std::string& path) override {
        return Wipe(path);
    }

#ifdef _WIN32
    Status CreateIfMissing(const std::string& path) override {
        if (FileExists(path)) return {};
        std::ofstream out(path, std::ios::binary | std::ios::app);
        if (!out) return Fail(path, "cannot create");
        return {};
    }
#else
    Status CreateIfMissing(const std::string& path) override {
        if (path.empty()) return NoFileName();
        if (Status st = RegularOrAbsent(path, StatOf(path)); !st) return st;
        const int fd = Open(path, O_WRONLY | O_CREAT);
        if (fd < 0) return Fail(path, "cannot create");
        ::close(fd);
        return {};
    }
#endif

    Status RemoveFile(const std::string& path) override {
        if (std::remove(path.c_str()) != 0) return Fail(path, "cannot delete");
        return {};
    }

    // Only the programs on this machine take the lock, so checking the new
    // name first leaves no gap that matters while the caller holds the disk's lock.
    Status RenameFile(const std::string& from, const std::string& to) override {
        if (Examine(to).kind != PathInfo::Absent) {
            return MakeError(errc::FileExists,
                             "cannot rename " + from + " to " + to + ": that name is taken");
        }
        if (std::rename(from.c_str(), to.c_str()) != 0) return Fail(from, "cannot rename");
        SyncDirectory(to);
        return {};
    }

    PathInfo Examine(const std::string& path) override {
        return ExaminePath(path);
    }

    Result<std::unique_ptr<FileLock>> Lock(const std::string& path, LockMode mode,
                                           std::chrono::milliseconds wait) override {
        if (path.empty()) return NoFileName();
        return LockLocalFile(path, mode, wait);
    }

    std::vector<std::string> ListDrives() override {
#ifdef _WIN32
        std::vector<std::string> drives;
        DWORD mask = ::GetLogicalDrives();
        for (int i = 0; i < 26; ++i) {
            if (mask & (1u << i))
                drives.push_back(std::string(1, static_cast<char>('a' + i)) + ":");
        }
        return drives;
#else
        Result<std::string> mounts = ReadRegularFile("/proc/mounts", kMaxDataFileBytes);
        return mounts ? ParseMountPoints(*mounts) : std::vector<std::string>();
#endif
    }

private:
    // A temporary file beside the target, written whole, renamed over it.
    static Status Replace(const std::string& path, std::string_view bytes, Readers readers,
                          Sync sync) {
        if (Status st = CheckTarget(path); !st) return st;
        const std::string temp = ReplacementPath(path);
#ifdef _WIN32
        (void)readers;
        if (Status st = WriteWhole(temp, path, bytes, sync); !st) return st;
#else
        if (Status st = WriteWhole(temp, path, bytes, ModeFor(readers), StatOf(path), sync); !st) {
            return st;
        }
#endif
        return MoveOver(temp, path, sync);
    }
};

}  // namespace

Error OsError(int err, const std::string& path, std::string_view doing) {
    return MakeError(CodeFromErrno(err, path),
                     std::string(doing) + " " + path + ": " + std::strerror(err));
}

FileSystem& LocalFileSystem() {
    static LocalFs instance;
    return instance;
}

Status OverwriteFile(FileSystem& fs, const std::string& path, std::string_view bytes) {
    if (Status st = fs.WriteAt(path, 0, bytes); !st) return st;
    return fs.Truncate(path, bytes.size());
}

std::string ReplacementPath(const std::string& path) {
    return path + ".tmp";
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    if (folder.empty()) return {};
    std::string path(folder);
    if (path.back() != kSeparator && path.back() != '/') path += kSeparator;
    path += name;
    return path;
}

std::vector<std::string> ParseMountPoints(std::string_view mountsText) {
    static const std::set<std::string> pseudo = {
        "proc",      "sysfs",    "devtmpfs", "devpts",      "tmpfs",  "cgroup",  "cgroup2",
        "mqueue",    "debugfs",  "tracefs",  "securityfs",  "pstore", "bpf",     "autofs",
        "hugetlbfs", "configfs", "fusectl",  "binfmt_misc", "nsfs",   "overlay", "rpc_pipefs"};
    std::vector<std::string> removable;
    std::vector<std::string> other;
    std::istringstream lines{std::string(mountsText)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device, dir, type;
        if (!(fields >> device >> dir >> type) || pseudo.count(type)) continue;
        std::string point = DecodeMountField(dir);
        (IsMediaFolder(point) ? removable : other).push_back(std::move(point));
    }
    removable.insert(removable.end(), other.begin(), other.end());
    return removable;
}

}  // namespace mw
