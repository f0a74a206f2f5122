#include "core/data/Error.h"

namespace mw {

DiskFault Error::Fault() const {
    switch (code) {
        case errc::BadFileName:
        case errc::FileNotFound:
        case errc::DeviceIo:
        case errc::DiskNotReady:
        case errc::PathNotFound:
        case 3024:  // the question engine's "could not find file"
        case 3044:  // "not a valid path"
        case 3051:  // "could not open file"
            return DiskFault::Missing;
        case errc::PermissionDenied:
            return DiskFault::WriteProtected;
        default:
            return DiskFault::Other;
    }
}

Error MakeError(int code, std::string message) {
    return Error{code, std::move(message)};
}

}  // namespace mw
