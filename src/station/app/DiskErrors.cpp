#include "station/app/DiskErrors.h"

namespace mw {
namespace {

bool AskRetry(Platform& platform, const char* text) {
    return platform.MsgBox({.text = QString::fromUtf8(text),
                            .buttons = MsgButtons::OkCancel,
                            .icon = MsgIcon::Stop,
                            .title = QString::fromUtf8(kDataDiskErrorTitle)}) == MsgAnswer::Ok;
}

}  // namespace

QString ErrorText(const Error& error) {
    return QStringLiteral("Error %1:%2").arg(error.code).arg(QString::fromStdString(error.message));
}

void ShowError(Platform& platform, const Error& error) {
    platform.MsgBox({.text = ErrorText(error)});
}

bool AskRetryWriteProtected(Platform& platform) {
    return AskRetry(platform, kDataDiskWriteProtected);
}

bool RetryOnDiskError(Platform& platform, const std::function<Status()>& step) {
    for (;;) {
        const Status status = step();
        if (status) return true;
        switch (status.error().Fault()) {
            case DiskFault::Missing:
                if (!AskRetry(platform, kDataDiskNotFound)) return false;
                break;
            case DiskFault::WriteProtected:
                if (!AskRetryWriteProtected(platform)) return false;
                break;
            case DiskFault::Other:
                ShowError(platform, status.error());
                return false;
        }
    }
}

}  // namespace mw
