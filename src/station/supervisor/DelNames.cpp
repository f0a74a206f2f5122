#include "station/supervisor/DelNames.h"

#include "core/data/ClientTable.h"
#include "station/report/ReportOutput.h"
#include "station/screen/AuditTrail.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/StationContext.h"
#include "station/supervisor/PASSWORD.h"

namespace mw {
namespace {

const char* const kWarning =
    "You are about to delete the client Name and ID Number from "
    "all tests on this diskette. This should not be done "
    "until you have printed all reports and are finished "
    "with this diskette and ready to return it.\n\n"
    "Are you SURE you want to delete client Names and ID Numbers ?";

// No is the default: a habitual Enter deletes nothing.
bool Confirmed(StationContext& ctx) {
    return ctx.platform.MsgBox({.text = QString::fromUtf8(kWarning),
                                .buttons = MsgButtons::YesNo,
                                .icon = MsgIcon::Stop,
                                .title = QStringLiteral("WARNING!"),
                                .defaultButton = 1}) == MsgAnswer::Yes;
}

bool NameWiped(const ClientRecord& record) {
    return record.DeleteFlag == "1" && record.Name == FixedText<25>(kDeletedName).View() &&
           record.IDNumber == FixedText<11>().View();
}

// Deletes the name of record n unless it is wiped already; false when its
// save did not go through (the record in memory is then as on the disk).
// "1" is the flag every installation reads as a deleted name, whatever it
// held before: blank, "0", or "1" over a shifted name.
bool DeleteName(StationContext& ctx, int n) {
    ClientRecord& record = ctx.state.ClientRecords[n];
    if (NameWiped(record)) return true;
    const ClientRecord before = record;
    record.Name = kDeletedName;
    record.IDNumber = "";
    record.DeleteFlag = "1";
    if (RunDiskStep(ctx.platform, [&] { return ctx.Store().SaveRecord(n); }) == DiskStep::Done) {
        Audit(ctx, {AuditEvent::NameDeleted, n});
        return true;
    }
    record = before;
    return false;
}

// A save's recovery entry kept aside on the disk holds an earlier version
// of a record, name and all.
bool WipeKeptEntries(StationContext& ctx) {
    return RunDiskStep(ctx.platform, [&] { return ctx.Store().WipeKeptEntries(); }) ==
           DiskStep::Done;
}

// Answer sheets waiting in the scan table lose their inmate numbers too.
bool DeleteWaitingIdentities(StationContext& ctx) {
    Status cleared = ClientTable::DeleteIdentities(ctx.fs, ctx.programDir);
    if (!cleared) ShowError(ctx.platform, cleared.error());
    return cleared.ok();
}

}  // namespace

void DeleteNames(StationContext& ctx, QWidget* parent) {
    if (!AskSecretCode(ctx, parent) || !Confirmed(ctx)) return;
    StationState& state = ctx.state;
    ctx.platform.MouseWait();
    const std::int16_t current = state.CurrentRecord;
    bool complete = true;
    for (int n = 1; n <= state.RecordCount && complete; ++n) {
        state.CurrentRecord = static_cast<std::int16_t>(n);
        complete = DeleteName(ctx, n);
    }
    state.CurrentRecord = current;
    // The times of the tests on the screen (PARA401.MW) stay: they are kept
    // by record number and hold no name to delete.
    complete =
        complete && WipeKeptEntries(ctx) && RemoveReportFiles(ctx) && DeleteWaitingIdentities(ctx);
    ctx.platform.MouseDefault();
    if (complete) {
        ctx.platform.MsgBox({.text = QStringLiteral("Process complete. Press Enter to continue.")});
    }
    state.ListRefreshNeeded = true;
}

}  // namespace mw
