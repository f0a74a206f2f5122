#include "station/app/DriveSelect.h"

#include <QRegularExpression>

#include "core/data/DataDisk.h"
#include "station/app/frmDriveSelect.h"
#include "station/screen/AuditTrail.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

constexpr const char* kTryAgain = "Drive select unsuccessful, would you like to try again?";
constexpr const char* kReloadFailed = "Reload of original data disk failed, aborting Program";
constexpr const char* kNoDiskChosen =
    "No data disk has been chosen yet.\n\nChoose the drive or folder that holds the data disk.";

// A drive letter is shown in capitals ("A:"); a folder keeps its spelling,
// since on Linux "/MEDIA/USB" would name another folder.
QString DriveForDisplay(const std::string& drive) {
    const QString text = QString::fromStdString(drive);
    static const QRegularExpression letter(QStringLiteral("^[A-Za-z]:"));
    return letter.match(text).hasMatch() ? text.toUpper() : text;
}

// A log changed outside the station (a broken chain, lines cut off its end,
// written anew) or that nothing can be added to: the supervisor is told
// what and where, and the station goes on with the disk. A log that cannot
// be written is not reported again at the first event.
void WarnOfAlteredAuditLog(StationContext& ctx) {
    const AuditLog log(ctx.fs, ctx.state.DataPath, ctx.programDir);
    Result<AuditReading> reading = log.Read();
    QString problem;
    if (!reading) {
        problem = QStringLiteral("cannot be read:\n") + ErrorText(reading.error());
    } else {
        for (const std::string& p : AuditProblems(log.Path(), *reading)) {
            problem += QLatin1Char('\n') + QString::fromStdString(p) + QLatin1Char('.');
        }
        if (problem.isEmpty()) return;
        const bool unwritable = !reading->unwritable.empty();
        problem.prepend(unwritable ? QStringLiteral("cannot be written:")
                                   : QStringLiteral("has been altered:"));
        ctx.auditLogFailing = unwritable;
    }
    ctx.platform.MsgBox(
        {.text = QStringLiteral("The audit log of this data disk %1\n\nShow this message to "
                                "the supervisor.")
                     .arg(problem),
         .icon = MsgIcon::Exclamation,
         .title = QString::fromUtf8(kAuditLogTitle)});
}

}  // namespace

// At start-up the disk remembered in MW.ini is tried without asking; a
// first start has none, says so and shows the drive window. Backing out of
// the drive window (Escape, or closing it) gives up without a question; from
// the menu, before any drive was tried, nothing has changed to undo.
DriveOutcome DriveSelect::SelectDataDrive(bool atStartUp) {
    const std::string previous = ctx_.state.DataPath;
    const bool tryRemembered = atStartUp && ctx_.Ini().HasFilePath();
    if (atStartUp && !tryRemembered) {
        ctx_.platform.MsgBox(
            {.text = QString::fromUtf8(kNoDiskChosen), .icon = MsgIcon::Information});
    }
    bool tried = false;
    for (;;) {
        const std::optional<std::string> drive =
            tryRemembered && !tried ? ctx_.Ini().GetINIFilePath() : ShowDriveWindow();
        if (!drive) {
            return atStartUp || tried ? GiveUp(atStartUp, previous) : DriveOutcome::KeptPrevious;
        }
        tried = true;

        Check check = CheckDataDisk(*drive);
        if (check == Check::Accepted) check = AcceptDrive(*drive);
        if (check == Check::Accepted) {
            WarnOfAlteredAuditLog(ctx_);
            Audit(ctx_, {AuditEvent::DiskSelected, 0, atStartUp ? "at start-up" : "from the menu"});
            return DriveOutcome::Accepted;
        }
        if (check == Check::GaveUp || !AskToTryAgain(check, *drive)) {
            return GiveUp(atStartUp, previous);
        }
    }
}

// The disk is identified before anything is written on it, so that trying a
// folder that is not a data disk leaves it exactly as it was.
DriveSelect::Check DriveSelect::CheckDataDisk(const std::string& drive) {
    ctx_.state.DataPath = drive;
    bool identified = false;
    Check c = Run([&] {
        Result<bool> identity = HasDataDiskIdentity(ctx_.fs, drive);
        if (identity) identified = *identity;
        return identity.status();
    });
    if (c != Check::Accepted) return c;
    if (!identified) {
        ctx_.platform.MsgBox(
            {.text =
                 QStringLiteral("This is not an %1 data disk.").arg(QLatin1String(kProductName)),
             .icon = MsgIcon::Stop,
             .title = QString::fromUtf8(kDataDiskErrorTitle)});
        return Check::Refused;
    }
    if (c = Run([&] { return RunWriteTest(ctx_.fs, drive); }); c != Check::Accepted) return c;
    return Run([&] { return ctx_.Store().LoadRecords(); });
}

// Runs one step of a check: a missing disk ends the attempt silently (the
// caller asks about another drive); any other error is shown and refuses the
// drive, so that the user can choose again rather than keep a disk that is
// only half loaded.
DriveSelect::Check DriveSelect::Run(const std::function<Status()>& step) {
    switch (RunDiskStep(ctx_.platform, step, WhenMissing::ReportBack)) {
        case DiskStep::Done:
            return Check::Accepted;
        case DiskStep::Missing:
            return Check::Missing;
        case DiskStep::GaveUp:
            return Check::GaveUp;
        case DiskStep::Failed:
            break;
    }
    return Check::Refused;
}

// The disk passed: remember it for the next start and load it afresh.
DriveSelect::Check DriveSelect::AcceptDrive(const std::string& drive) {
    // MW.ini lies in the program folder, not on the data disk: failing to
    // remember the drive is reported but does not refuse a good disk.
    if (Status saved = ctx_.Ini().SaveFilePath(drive); !saved) {
        ShowError(ctx_.platform, saved.error());
    }
    return Run([&] { return ctx_.Store().LoadRecords(); });
}

// At start-up the station never runs without a verified data disk; from the
// menu the disk that was in use before is checked and loaded again.
DriveOutcome DriveSelect::GiveUp(bool atStartUp, const std::string& previous) {
    if (atStartUp) return DriveOutcome::EndProgram;
    if (CheckDataDisk(previous) == Check::Accepted) return DriveOutcome::KeptPrevious;
    ctx_.platform.MsgBox({.text = QString::fromUtf8(kReloadFailed)});
    return DriveOutcome::EndProgram;
}

std::optional<std::string> DriveSelect::ShowDriveWindow() {
    frmDriveSelect window(ctx_, owner_);
    if (window.exec() != QDialog::Accepted) return std::nullopt;
    return window.ChosenDrive();
}

// The question after a failed attempt; true when the user wants to choose another drive.
bool DriveSelect::AskToTryAgain(Check check, const std::string& drive) {
    const QString question =
        check == Check::Missing
            ? QStringLiteral(
                  "No test information found on drive %1, would you like to try "
                  "another drive?")
                  .arg(DriveForDisplay(drive))
            : QString::fromUtf8(kTryAgain);
    return ctx_.platform.MsgBox({.text = question, .buttons = MsgButtons::YesNo}) == MsgAnswer::Yes;
}

}  // namespace mw
