#include "core/data/Error.h"

namespace mw {

DiskFault Error::Fault() const {
    switch (code) {
        case errc::BadFileName:
        case errc::FileNotFound:
        case errc::DeviceIo:
        case errc::DiskNotReady:
        case errc::PathNotFound:
        case errc::DatabaseFileNotFound:
        case errc::DatabaseBadPath:
        case errc::DatabaseCannotOpen:
            return DiskFault::Missing;
        case errc::PermissionDenied:
            return DiskFault::WriteProtected;
        case errc::DiskFull:
            return DiskFault::Full;
        case errc::DiskChanged:
            return DiskFault::Changed;
        case errc::FileLocked:
            return DiskFault::InUse;
        default:
            return DiskFault::Other;
    }
}

Error MakeError(int code, std::string message) {
    return Error{code, std::move(message)};
}

std::string FilePlace(std::string_view file, int line, int column) {
    std::string place = std::string(file) + ":" + std::to_string(line) + ":";
    if (column > 0) place += std::to_string(column) + ":";
    return place + " ";
}

}  // namespace mw
