// Errors of the core, returned as values.
//
// Every failure carries the error number that the station's handlers select
// their message by (53 file not found, 70 permission denied, ...) and one
// line of text naming the file, and the line where a data file is at fault.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace mw {

namespace errc {
constexpr int SubscriptOutOfRange = 9;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int DeviceIo = 57;
constexpr int DiskFull = 61;
constexpr int BadRecordNumber = 63;
constexpr int PermissionDenied = 70;
constexpr int DiskNotReady = 71;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
// The question database's own numbers.
constexpr int DatabaseFileNotFound = 3024;
constexpr int DatabaseBadPath = 3044;
constexpr int DatabaseCannotOpen = 3051;
// Ours, above the platform's range.
constexpr int BadData = 1000;       // a data file that is malformed
constexpr int DiskChanged = 1001;   // the disk in the drive is not the one that was loaded
constexpr int FileTooLarge = 1002;  // far beyond what its format can hold
constexpr int FileLocked = 1003;    // another program holds the file's lock
constexpr int FileExists = 1004;    // a new name that is taken
}  // namespace errc

// How the data-disk handlers treat an error.
enum class DiskFault { Missing, WriteProtected, Full, Changed, InUse, Other };

struct Error {
    int code = 0;
    std::string message;

    DiskFault Fault() const;
};

Error MakeError(int code, std::string message);

// Where in a file something is wrong, as compilers and grep write it, so that
// editors jump there: "FILE:LINE: " or, with a column (from 1), "FILE:LINE:COLUMN: ".
std::string FilePlace(std::string_view file, int line, int column = 0);

class Status {
public:
    Status() = default;
    Status(Error error) : error_(std::move(error)), ok_(false) {}  // NOLINT: implicit by design

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const Error& error() const { return error_; }

private:
    Error error_;
    bool ok_ = true;
};

template <class T>
class Result {
public:
    Result(T value) : v_(std::move(value)) {}      // NOLINT: implicit by design
    Result(Error error) : v_(std::move(error)) {}  // NOLINT: implicit by design

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(v_); }
    const T& value() const { return std::get<0>(v_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(v_); }
    Status status() const { return ok() ? Status() : Status(error()); }

private:
    std::variant<T, Error> v_;
};

}  // namespace mw
