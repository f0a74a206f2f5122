#include "core/data/LocalFileLock.h"

#include <cerrno>
#include <map>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mw {
namespace {

constexpr std::chrono::milliseconds kPollInterval{25};

Error Locked(const std::string& path) {
    return MakeError(errc::FileLocked, path + " is locked by another program");
}

#ifdef _WIN32
using Handle = HANDLE;
using FileKey = std::string;
constexpr Handle kNoHandle = INVALID_HANDLE_VALUE;

struct Opened {
    Handle handle = kNoHandle;
    FileKey key;
};

Result<Opened> OpenLockFile(const std::string& path) {
    const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return MakeError(errc::PathFileAccess, "cannot open " + path);
    return Opened{h, path};
}

void CloseHandle(Handle h) {
    ::CloseHandle(h);
}

// False while another program holds a lock that excludes this one.
bool TryLock(Handle h, LockMode mode) {
    OVERLAPPED whole{};
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (mode == LockMode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    return ::LockFileEx(h, flags, 0, MAXDWORD, MAXDWORD, &whole) != 0;
}
#else
using Handle = int;
// A file is known by its device and inode, however its path is spelled.
using FileKey = std::pair<dev_t, ino_t>;
constexpr Handle kNoHandle = -1;

struct Opened {
    Handle handle = kNoHandle;
    FileKey key;
};

// Opened for reading only: a lock needs no more, and a data disk a user
// may not write is still one whose readers take turns with its writers. A
// missing file is created, never through a link.
Result<Opened> OpenLockFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                    0644);
        if (fd < 0 && errno == EEXIST) return OpenLockFile(path);
    }
    if (fd < 0) return OsError(errno, path, "cannot open the lock file");
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return MakeError(errc::BadFileName, "the lock file " + path + " is not a file");
    }
    return Opened{fd, {st.st_dev, st.st_ino}};
}

void CloseHandle(Handle h) {
    ::close(h);
}

bool TryLock(Handle h, LockMode mode) {
    const int operation = (mode == LockMode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    while (::flock(h, operation) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}
#endif

// The locks this program holds, one per file.
struct Held {
    Handle handle = kNoHandle;
    LockMode mode = LockMode::Shared;
    int count = 0;
};

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<FileKey, Held>& Registry() {
    static std::map<FileKey, Held> held;
    return held;
}

class LocalLock final : public FileLock {
public:
    explicit LocalLock(FileKey key) : key_(std::move(key)) {}
    ~LocalLock() override {
        const std::lock_guard<std::mutex> guard(RegistryMutex());
        auto it = Registry().find(key_);
        if (it == Registry().end() || --it->second.count > 0) return;
        // Closing the file lets the lock go.
        CloseHandle(it->second.handle);
        Registry().erase(it);
    }

private:
    FileKey key_;
};

bool WaitForLock(Handle h, LockMode mode, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!TryLock(h, mode)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

}  // namespace

// A lock held already is counted; one held shared that is now wanted
// exclusive is raised, and stays so until the outermost lock goes.
Result<std::unique_ptr<FileLock>> LockLocalFile(const std::string& path, LockMode mode,
                                                std::chrono::milliseconds wait) {
    Result<Opened> opened = OpenLockFile(path);
    if (!opened) return opened.error();
    const std::lock_guard<std::mutex> guard(RegistryMutex());
    auto it = Registry().find(opened->key);
    if (it != Registry().end()) {
        CloseHandle(opened->handle);
        Held& held = it->second;
        if (mode == LockMode::Exclusive && held.mode == LockMode::Shared) {
            if (!WaitForLock(held.handle, mode, wait)) return Locked(path);
            held.mode = mode;
        }
        ++held.count;
        return std::unique_ptr<FileLock>(std::make_unique<LocalLock>(opened->key));
    }
    if (!WaitForLock(opened->handle, mode, wait)) {
        CloseHandle(opened->handle);
        return Locked(path);
    }
    Registry()[opened->key] = Held{opened->handle, mode, 1};
    return std::unique_ptr<FileLock>(std::make_unique<LocalLock>(opened->key));
}

}  // namespace mw
