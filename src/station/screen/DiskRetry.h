// The one policy for a step on the data disk that fails: every screen that
// loads or saves records runs its step through RunDiskStep.
//
// What the user can put right is offered again: a missing disk (insert it),
// a write-protected disk (slide the tab), a full disk (make room), the
// wrong disk in the drive (put back the one that was loaded) and a disk
// another program is using (wait for it). OK runs the
// same step again, Cancel gives up; what was keyed on the screen stays, since
// the screen stays open. Anything else is shown as "Error <number>:<text>".
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "core/data/Error.h"
#include "station/screen/Platform.h"

namespace mw {

inline constexpr const char* kDataDiskErrorTitle = "Data Disk Error";
inline constexpr const char* kDataDiskNotFound =
    "Data disk not found!\n\nInsert data disk in drive A to continue.";
inline constexpr const char* kDataDiskWriteProtected =
    "Data disk write protected!\n\nSet the data disk to writable and replace in drive.";
inline constexpr const char* kDataDiskFull =
    "Data disk full!\n\nThere is no room left on the data disk.\n"
    "Make room on it, then choose OK to try again.";
inline constexpr const char* kDataDiskInUse =
    "Data disk in use!\n\nAnother program is reading or writing the data disk.\n"
    "Wait until it has finished, then choose OK to try again.";
inline constexpr const char* kWrongDataDisk =
    "Wrong data disk!\n\nThe disk in the drive is not the data disk that was loaded, "
    "so nothing was saved.\nPut the data disk that was loaded back in the drive, then "
    "choose OK to try again.";

enum class DiskStep {
    Done,     // the step succeeded, perhaps after retries
    Missing,  // no disk there (only with WhenMissing::ReportBack)
    GaveUp,   // the user chose Cancel
    Failed,   // an error the user cannot put right here; it has been shown
};

// Saving and loading ask for a missing disk; trying a drive reports it back,
// since the drive selection then asks about another drive instead.
enum class WhenMissing { AskToInsert, ReportBack };

DiskStep RunDiskStep(Platform& platform, const std::function<Status()>& step,
                     WhenMissing whenMissing = WhenMissing::AskToInsert);

// "Error 70:cannot open ...".
QString ErrorText(const Error& error);
void ShowError(Platform& platform, const Error& error);
// What a load or save found out of the way on the disk and set right or
// aside (a recovery file that did not belong there), for the supervisor.
void ShowDiskNote(Platform& platform, const std::string& note);

}  // namespace mw
