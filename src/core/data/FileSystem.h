// The one layer between the station and the operating system's files.
//
// Everything that differs between Linux and Windows (syncing a write to the
// device, atomic replacement, writing in place, listing drives, turning an
// OS error into the station's error numbers) lives behind this interface.
// Tests substitute it to make a disk fail in ways root cannot provoke with
// permission bits.
//
// Files the station creates that hold client data are readable by their
// owner only. No new file is created through a link, and a file written in
// place is never opened through one.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/Error.h"

namespace mw {

// The most a data file of the station may hold; a larger file is refused
// unread, so that a link to a device or a runaway file cannot exhaust memory.
inline constexpr std::uint64_t kMaxDataFileBytes = 64ull << 20;

// Who may read a file the station creates: client data is for its owner
// only; settings are readable by everyone. An existing file keeps its mode.
enum class Readers { OwnerOnly, Everyone };

// What is at a path, the path itself examined: a link is a link, whatever it
// points to.
struct PathInfo {
    enum Kind { Absent, File, Link, Folder, Special };  // Special: a FIFO, socket or device
    Kind kind = Absent;
    std::uint64_t size = 0;  // of a file
    bool readOnly = false;   // a file no one may write
};

// An advisory lock on a file, held until the object goes. Locks shared by
// readers exclude only a writer's exclusive one.
enum class LockMode { Shared, Exclusive };
class FileLock {
public:
    virtual ~FileLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The whole of a regular file. A folder, a device, a FIFO or a file
    // longer than maxBytes is refused with an error naming the file.
    virtual Result<std::string> ReadFile(const std::string& path,
                                         std::uint64_t maxBytes = kMaxDataFileBytes) = 0;
    // The first `count` bytes of a regular file, or all of a shorter one;
    // what is not a file is refused as ReadFile refuses it.
    virtual Result<std::string> ReadHead(const std::string& path, std::uint64_t count) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool DirectoryExists(const std::string& path) = 0;
    // Creates an empty file (owner only) when none exists; an existing file
    // is left alone. A folder, device or FIFO at the path is refused without
    // being opened.
    virtual Status CreateIfMissing(const std::string& path) = 0;
    // Writes a new file, created exclusively (no temporary file). Whatever a
    // crashed run left at the name is wiped first. A write that fails removes
    // the file rather than leave part of it.
    virtual Status WriteFile(const std::string& path, std::string_view bytes,
                             Readers readers = Readers::OwnerOnly) = 0;
    // Replaces a file whole: a new temporary file beside it, synced, then
    // renamed over it; an existing file's mode and owner carry over. A
    // read-only file is refused (errc::PermissionDenied) and left as it was.
    // Errors name the path given; the temporary file never stays. The old
    // version's blocks go to the free space: a file that must leave no trace
    // is written in place instead (InPlaceFile).
    virtual Status ReplaceFile(const std::string& path, std::string_view bytes,
                               Readers readers = Readers::OwnerOnly) = 0;
    // As ReplaceFile for a file made from data kept elsewhere (a report, a
    // PDF, an export): whole or not at all, but not synced, since a power cut
    // costs at most a file the user makes again, and a sync costs more than
    // making it. A file layer that does not tell the two apart syncs it too.
    virtual Status ReplaceRemakeableFile(const std::string& path, std::string_view bytes,
                                         Readers readers = Readers::OwnerOnly) {
        return ReplaceFile(path, bytes, readers);
    }
    // Writes bytes into the file at an offset, in the blocks it already has,
    // and syncs them; a missing file is created (owner only). Not whole on
    // its own: a write cut short can leave part of the new bytes.
    virtual Status WriteAt(const std::string& path, std::uint64_t offset,
                           std::string_view bytes) = 0;
    // Shortens a file longer than `length`. The bytes cut off are first
    // overwritten with zeros and synced, so that their blocks go to the free
    // space blank.
    virtual Status Truncate(const std::string& path, std::uint64_t length) = 0;
    // Overwrites a file with zeros and removes it; a link (or a file with
    // other names) is only removed, never written through. No file is no error.
    virtual Status WipeFile(const std::string& path) = 0;
    virtual Status RemoveFile(const std::string& path) = 0;
    // Gives a file another name in the same folder; an existing file at the
    // new name is never replaced (errc::FileExists).
    virtual Status RenameFile(const std::string& from, const std::string& to) = 0;
    virtual PathInfo Examine(const std::string& path) = 0;
    // Locks `path`, created empty (readable by everyone) when missing, waiting
    // at most `wait` for another program's lock to go. Locks this program
    // already holds on the file nest: the file is locked once, until the
    // outermost lock goes. errc::FileLocked when the wait runs out.
    virtual Result<std::unique_ptr<FileLock>> Lock(const std::string& path, LockMode mode,
                                                   std::chrono::milliseconds wait) = 0;
    // The folders a data disk may be in: removable media and other mount
    // points on Linux, drive letters on Windows.
    virtual std::vector<std::string> ListDrives() = 0;
};

// The real file system of the machine.
FileSystem& LocalFileSystem();

// An operating-system error number as the station's error, naming the path:
// "cannot open <path>: <reason>" for doing = "cannot open".
Error OsError(int err, const std::string& path, std::string_view doing);

// Overwrites a file in place with `bytes` and cuts what is left of the old
// contents, blanked. For a file that can be made again: a write cut short
// leaves a mix of old and new.
Status OverwriteFile(FileSystem& fs, const std::string& path, std::string_view bytes);

// The temporary file that ReplaceFile writes beside `path` before renaming
// it over `path`: a process killed in between leaves it behind.
std::string ReplacementPath(const std::string& path);

// Joins a folder (or drive such as "a:") and a file name with the platform's
// separator. An empty folder stays empty so that the result names no file.
std::string JoinPath(std::string_view folder, std::string_view name);

// The mount points of a Linux mount table (the text of /proc/mounts), the
// kernel's escapes undone ("USB\040DISK" is "USB DISK"): removable media
// under /media, /mnt and /run/media first, then the others; pseudo file
// systems are left out.
std::vector<std::string> ParseMountPoints(std::string_view mountsText);

}  // namespace mw
