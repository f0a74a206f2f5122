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
    if (Status st = fs.WriteFile(path, "test\r\n"); !st) return st;
    if (fs.FileExists(path)) return fs.RemoveFile(path);
    return {};
}

}  // namespace mw
