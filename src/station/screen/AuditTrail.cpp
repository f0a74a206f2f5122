#include "station/screen/AuditTrail.h"

#include "station/screen/DiskRetry.h"
#include "station/screen/StationContext.h"

namespace mw {

void Audit(StationContext& ctx, const AuditEntry& entry) {
    Audit(ctx, std::span(&entry, 1));
}

void Audit(StationContext& ctx, std::span<const AuditEntry> entries) {
    const Status written =
        AuditLog(ctx.fs, ctx.state.DataPath, ctx.programDir).AppendAll(ctx.clock.Now(), entries);
    if (written || ctx.auditLogFailing) {
        ctx.auditLogFailing = !written;
        return;
    }
    ctx.auditLogFailing = true;
    ctx.platform.MsgBox(
        {.text = QStringLiteral("The audit log on the data disk could not be written:\n%1\n\n"
                                "The work goes on as usual; what is done is not logged "
                                "until the log can be written again.")
                     .arg(ErrorText(written.error())),
         .icon = MsgIcon::Exclamation,
         .title = QString::fromUtf8(kAuditLogTitle)});
}

}  // namespace mw
