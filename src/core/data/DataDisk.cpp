#include "core/data/DataDisk.h"

#include "core/data/ClientRecord.h"

namespace mw {

Result<bool> HasDataDiskIdentity(FileSystem& fs, const std::string& drive) {
    Result<std::string> text = fs.ReadFile(JoinPath(drive, kIdentityFileName));
    if (!text) return text.error();
    std::string_view firstLine(*text);
    firstLine = firstLine.substr(0, firstLine.find('\n'));
    if (!firstLine.empty() && firstLine.back() == '\r') firstLine.remove_suffix(1);
    return Trim(firstLine) == kIdentityMark;
}

Status RunWriteTest(FileSystem& fs, const std::string& drive) {
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

}  // namespace mw
