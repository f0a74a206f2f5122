// The one layer between the station and the operating system's files.
//
// Everything that differs between Linux and Windows (syncing a write to the
// device, atomic replacement, listing drives, turning an OS error into the
// station's error numbers) lives behind this interface. Tests substitute it
// to make a disk fail in ways root cannot provoke with permission bits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/Error.h"

namespace mw {

// The most a data file of the station may hold; a larger file is refused
// unread, so that a link to a device or a runaway file cannot exhaust memory.
inline constexpr std::uint64_t kMaxDataFileBytes = 64ull << 20;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The whole of a regular file. A folder, a device, a FIFO or a file
    // longer than maxBytes is refused with an error naming the file.
    virtual Result<std::string> ReadFile(const std::string& path,
                                         std::uint64_t maxBytes = kMaxDataFileBytes) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool DirectoryExists(const std::string& path) = 0;
    // Creates an empty file when none exists; an existing file is left alone.
    // A folder, device or FIFO at the path is refused without being opened.
    virtual Status CreateIfMissing(const std::string& path) = 0;
    // Creates or truncates a file and writes it (no temporary file). A write
    // that fails removes the file rather than leave part of it.
    virtual Status WriteFile(const std::string& path, std::string_view bytes) = 0;
    // Replaces a file whole: a temporary file beside it, synced, then renamed
    // over it. A read-only file is refused (errc::PermissionDenied) and left
    // as it was. Errors name the path given; the temporary file never stays.
    virtual Status ReplaceFile(const std::string& path, std::string_view bytes) = 0;
    // As ReplaceFile for a file made from data kept elsewhere (a report, a
    // PDF, an export): whole or not at all, but not synced, since a power cut
    // costs at most a file the user makes again, and a sync costs more than
    // making it. A file layer that does not tell the two apart syncs it too.
    virtual Status ReplaceRemakeableFile(const std::string& path, std::string_view bytes) {
        return ReplaceFile(path, bytes);
    }
    virtual Status RemoveFile(const std::string& path) = 0;
    // The folders a data disk may be in: removable media and other mount
    // points on Linux, drive letters on Windows.
    virtual std::vector<std::string> ListDrives() = 0;
};

// The real file system of the machine.
FileSystem& LocalFileSystem();

// Joins a folder (or drive such as "a:") and a file name with the platform's
// separator. An empty folder stays empty so that the result names no file.
std::string JoinPath(std::string_view folder, std::string_view name);

// The mount points of a Linux mount table (the text of /proc/mounts), the
// kernel's escapes undone ("USB\040DISK" is "USB DISK"): removable media
// under /media, /mnt and /run/media first, then the others; pseudo file
// systems are left out.
std::vector<std::string> ParseMountPoints(std::string_view mountsText);

}  // namespace mw
