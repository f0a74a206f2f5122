// The files that make a folder or drive a data disk of this station, apart
// from the record file: the identity file TID, whose first line reads "M-W",
// and the write test that proves the disk is not write-protected.
#pragma once

#include <string>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

inline constexpr const char* kIdentityFileName = "TID";
inline constexpr const char* kIdentityMark = "M-W";
inline constexpr const char* kWriteTestFileName = "checkWriteTest";

// True when the first line of the identity file, without surrounding
// blanks, is the mark. A missing or unreadable file is an error (53 and kin),
// which the drive selection treats as a missing data disk.
Result<bool> HasDataDiskIdentity(FileSystem& fs, const std::string& drive);

// Writes a small file and removes it again. A test file left behind by an
// interrupted run is removed first, so the check never trips over it. On a
// write-protected disk the write fails with error 70.
Status RunWriteTest(FileSystem& fs, const std::string& drive);

}  // namespace mw
