#include "core/data/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
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
        case EIO:
        case ENOSPC:
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

Error OsError(int err, const std::string& path, std::string_view doing) {
    return MakeError(CodeFromErrno(err, path),
                     std::string(doing) + " " + path + ": " + std::strerror(err));
}

Status Fail(const std::string& path, std::string_view doing) {
    return OsError(errno, path, doing);
}

#ifndef _WIN32
// Writes all bytes at an offset, then flushes them to the device.
Status WriteSynced(int fd, const std::string& path, std::uint64_t offset, std::string_view bytes) {
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
    if (::fsync(fd) != 0) return Fail(path, "cannot sync");
    return {};
}

Status WithFile(const std::string& path, int flags, std::uint64_t offset, std::string_view bytes) {
    if (path.empty()) return MakeError(errc::BadFileName, "no file name given");
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) return Fail(path, "cannot open");
    Status st = WriteSynced(fd, path, offset, bytes);
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
#endif

class LocalFs final : public FileSystem {
public:
    Result<std::string> ReadFile(const std::string& path, std::uint64_t maxBytes) override {
        if (path.empty()) return MakeError(errc::BadFileName, "no file name given");
        std::ifstream in(path, std::ios::binary);
        if (!in) return OsError(errno ? errno : ENOENT, path, "cannot open");
        std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) return OsError(EIO, path, "cannot read");
        return data;
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
    Status CreateIfMissing(const std::string& path) override {
        if (FileExists(path)) return {};
        std::ofstream out(path, std::ios::binary | std::ios::app);
        if (!out) return Fail(path, "cannot create");
        return {};
    }

    Status WriteAt(const std::string& path, std::uint64_t offset, std::string_view bytes) override {
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return MakeError(errc::FileNotFound, "cannot open " + path);
        LARGE_INTEGER pos;
        pos.QuadPart = static_cast<LONGLONG>(offset);
        DWORD written = 0;
        bool ok =
            ::SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) &&
            ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size() && ::FlushFileBuffers(h);
        DWORD err = ::GetLastError();
        ::CloseHandle(h);
        if (!ok) {
            int code = err == ERROR_WRITE_PROTECT || err == ERROR_ACCESS_DENIED
                           ? errc::PermissionDenied
                           : errc::DeviceIo;
            return MakeError(code, "cannot write " + path);
        }
        return {};
    }

    Status WriteFile(const std::string& path, std::string_view bytes) override {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) return Fail(path, "cannot create");
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) return Fail(path, "cannot write");
        return {};
    }

    Status ReplaceFile(const std::string& path, std::string_view bytes) override {
        std::string temp = path + ".tmp";
        if (Status st = WriteFile(temp, bytes); !st) return st;
        if (!::MoveFileExA(temp.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            ::DeleteFileA(temp.c_str());
            return MakeError(errc::PathFileAccess, "cannot replace " + path);
        }
        return {};
    }
#else
    Status CreateIfMissing(const std::string& path) override {
        if (path.empty()) return MakeError(errc::BadFileName, "no file name given");
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return Fail(path, "cannot create");
        ::close(fd);
        return {};
    }

    Status WriteAt(const std::string& path, std::uint64_t offset, std::string_view bytes) override {
        // The file must already exist: writing record n into a file that has
        // vanished would leave holes of zero bytes where records 1..n-1 were.
        return WithFile(path, O_WRONLY, offset, bytes);
    }

    Status WriteFile(const std::string& path, std::string_view bytes) override {
        return WithFile(path, O_WRONLY | O_CREAT | O_TRUNC, 0, bytes);
    }

    Status ReplaceFile(const std::string& path, std::string_view bytes) override {
        std::string temp = path + ".tmp";
        if (Status st = WithFile(temp, O_WRONLY | O_CREAT | O_TRUNC, 0, bytes); !st) {
            ::unlink(temp.c_str());
            return st;
        }
        if (::rename(temp.c_str(), path.c_str()) != 0) {
            Status st = Fail(path, "cannot replace");
            ::unlink(temp.c_str());
            return st;
        }
        SyncDirectory(path);
        return {};
    }
#endif

    Status RemoveFile(const std::string& path) override {
        if (std::remove(path.c_str()) != 0) return Fail(path, "cannot delete");
        return {};
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
        return MountPoints();
#endif
    }

private:
#ifndef _WIN32
    // Removable media first (where a data disk usually is), then the other
    // real mount points of /proc/mounts; pseudo file systems are left out.
    static std::vector<std::string> MountPoints() {
        static const std::set<std::string> pseudo = {
            "proc",      "sysfs",    "devtmpfs", "devpts",      "tmpfs",  "cgroup",  "cgroup2",
            "mqueue",    "debugfs",  "tracefs",  "securityfs",  "pstore", "bpf",     "autofs",
            "hugetlbfs", "configfs", "fusectl",  "binfmt_misc", "nsfs",   "overlay", "rpc_pipefs"};
        std::vector<std::string> removable;
        std::vector<std::string> other;
        std::ifstream mounts("/proc/mounts");
        std::string device, dir, type, rest;
        while (mounts >> device >> dir >> type && std::getline(mounts, rest)) {
            if (pseudo.count(type)) continue;
            bool isMedia = dir.rfind("/media/", 0) == 0 || dir.rfind("/mnt/", 0) == 0 ||
                           dir.rfind("/run/media/", 0) == 0;
            (isMedia ? removable : other).push_back(dir);
        }
        removable.insert(removable.end(), other.begin(), other.end());
        return removable;
    }
#endif
};

}  // namespace

FileSystem& LocalFileSystem() {
    static LocalFs instance;
    return instance;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    if (folder.empty()) return {};
    std::string path(folder);
    if (path.back() != kSeparator && path.back() != '/') path += kSeparator;
    path += name;
    return path;
}

}  // namespace mw
