#include "station/screen/DiskRetry.h"

namespace mw {
namespace {

// The message of a fault the user can put right; none for the others.
const char* RetryMessage(DiskFault fault) {
    switch (fault) {
        case DiskFault::Missing:
            return kDataDiskNotFound;
        case DiskFault::WriteProtected:
            return kDataDiskWriteProtected;
        case DiskFault::Full:
            return kDataDiskFull;
        case DiskFault::Changed:
            return kWrongDataDisk;
        case DiskFault::InUse:
            return kDataDiskInUse;
        case DiskFault::Other:
            break;
    }
    return nullptr;
}

bool AskRetry(Platform& platform, const char* text) {
    return platform.MsgBox({.text = QString::fromUtf8(text),
                            .buttons = MsgButtons::OkCancel,
                            .icon = MsgIcon::Stop,
                            .title = QString::fromUtf8(kDataDiskErrorTitle)}) == MsgAnswer::Ok;
}

}  // namespace

DiskStep RunDiskStep(Platform& platform, const std::function<Status()>& step,
                     WhenMissing whenMissing) {
    for (;;) {
        const Status status = step();
        if (status) return DiskStep::Done;
        const DiskFault fault = status.error().Fault();
        if (fault == DiskFault::Missing && whenMissing == WhenMissing::ReportBack) {
            return DiskStep::Missing;
        }
        const char* retry = RetryMessage(fault);
        if (!retry) {
            ShowError(platform, status.error());
            return DiskStep::Failed;
        }
        if (!AskRetry(platform, retry)) return DiskStep::GaveUp;
    }
}

QString ErrorText(const Error& error) {
    return QStringLiteral("Error %1:%2").arg(error.code).arg(QString::fromStdString(error.message));
}

void ShowError(Platform& platform, const Error& error) {
    platform.MsgBox({.text = ErrorText(error)});
}

void ShowDiskNote(Platform& platform, const std::string& note) {
    platform.MsgBox({.text = QString::fromStdString(note) +
                             QStringLiteral("\n\nShow this message to the supervisor."),
                     .icon = MsgIcon::Exclamation,
                     .title = QStringLiteral("Data Disk")});
}

}  // namespace mw
