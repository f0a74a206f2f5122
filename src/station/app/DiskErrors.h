// How the station tells the user about a failed disk or file operation.
//
// A missing or write-protected data disk is something the user can put
// right (insert the disk, slide the write-protect tab): those messages offer
// OK to try the same step again and Cancel to give up. Anything else is shown
// as "Error <number>:<description>" with OK only.
#pragma once

#include <QString>
#include <functional>

#include "core/data/Error.h"
#include "station/screen/Platform.h"

namespace mw {

inline constexpr const char* kDataDiskErrorTitle = "Data Disk Error";
inline constexpr const char* kDataDiskNotFound =
    "Data disk not found!\n\nInsert data disk in drive A to continue.";
inline constexpr const char* kDataDiskWriteProtected =
    "Data disk write protected!\n\nSet the data disk to writable and replace in drive.";

// "Error 70:cannot open ...".
QString ErrorText(const Error& error);
void ShowError(Platform& platform, const Error& error);

// The write-protect message; true when the user chose OK (try again).
bool AskRetryWriteProtected(Platform& platform);

// Runs a step on the data disk until it succeeds (true) or the user gives
// up (false): a missing or write-protected disk asks OK (retry) or Cancel;
// any other error is shown and ends the attempt.
bool RetryOnDiskError(Platform& platform, const std::function<Status()>& step);

}  // namespace mw
