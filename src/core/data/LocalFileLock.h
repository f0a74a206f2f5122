// Advisory locks on the machine's own files, behind FileSystem::Lock.
//
// The operating system gives a lock to an open file, and a second open of
// the same file by the same program would wait for the first: so the locks
// this program holds are kept here, one per file, counted, and a nested lock
// on a file already held is only counted.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

Result<std::unique_ptr<FileLock>> LockLocalFile(const std::string& path, LockMode mode,
                                                std::chrono::milliseconds wait);

}  // namespace mw
