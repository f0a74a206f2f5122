// The files that make a folder or drive a data disk of this station, apart
// from the record file: the identity file TID, whose first line reads "M-W",
// and the write test that proves the disk is not write-protected.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

inline constexpr const char* kIdentityFileName = "TID";
inline constexpr const char* kIdentityMark = "M-W";
inline constexpr const char* kWriteTestFileName = "checkWriteTest";
// Locked by every program of this station that reads or writes the disk's
// files, so that one never reads or undoes what another is half way through
// writing. Other installations ignore it.
inline constexpr const char* kDiskLockFileName = "DATA401.LCK";
// How long a program waits for another to finish with the disk before it
// says that the disk is in use.
inline constexpr std::chrono::milliseconds kDiskLockWait{5000};

// True when the first line of the identity file, without surrounding
// blanks, is the mark. A missing or unreadable file is an error (53 and kin),
// which the drive selection treats as a missing data disk.
Result<bool> HasDataDiskIdentity(FileSystem& fs, const std::string& drive);

// The disk's own identity: 32 hexadecimal digits after "Disk=" on the
// second line of the identity file, which other installations do not read.
// By it the station knows a disk again wherever it is mounted. Made and
// written when `make` is set and the disk has none yet; empty otherwise.
Result<std::string> DiskIdentity(FileSystem& fs, const std::string& drive, bool make);

// Writes a small file and removes it again. A test file left behind by an
// interrupted run is removed first, so the check never trips over it. On a
// write-protected disk the write fails with error 70.
Status RunWriteTest(FileSystem& fs, const std::string& drive);

// The disk's lock: exclusive for whatever may write the disk, shared for a
// reader. A reader never makes the lock file: a disk without one, or whose
// lock file cannot be opened, is read without the lock. That is safe for a
// reader, which changes nothing and reads a save cut short as undone.
// errc::FileLocked, saying the disk is in use, when another program holds it
// longer than kDiskLockWait.
Result<std::unique_ptr<FileLock>> LockDisk(FileSystem& fs, const std::string& drive, LockMode mode);

}  // namespace mw
