#include "station/present/UnfinishedTest.h"

#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "core/data/Cp1252.h"
#include "core/data/TestJournal.h"
#include "station/present/TestRoute.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/StationContext.h"
#include "station/supervisor/PASSWORD.h"

namespace mw {
namespace {

QString ClientName(const TestJournal& journal) {
    return QString::fromStdString(Cp1252ToUtf8(Trim(journal.Client.Name.View())));
}

bool Ask(StationContext& ctx, const QString& text, MsgIcon icon, int defaultButton) {
    return ctx.platform.MsgBox({.text = text,
                                .buttons = MsgButtons::YesNo,
                                .icon = icon,
                                .defaultButton = defaultButton}) == MsgAnswer::Yes;
}

// True once the journal is gone.
bool Discard(StationContext& ctx) {
    const Status removed = RemoveTestJournal(ctx.fs, ctx.programDir);
    if (!removed) ShowError(ctx.platform, removed.error());
    return removed.ok();
}

// The test may go on only on its own data disk, unchanged since it began:
// the client then takes the slot it was given and no other record moves.
bool SameDisk(const StationContext& ctx, const TestJournal& journal) {
    return journal.DataPath == ctx.state.DataPath &&
           journal.DiskCheck == DiskFingerprint(ctx.state.DiskImage);
}

// The test again for the journal's client, as the new client of the disk,
// over a blank screen of its own. False when it could not be given.
bool Resume(StationContext& ctx, QWidget* parent, const TestJournal& journal) {
    StationState& state = ctx.state;
    state.EditMode = false;
    state.ScanMode = false;
    state.CurrentRecord = static_cast<std::int16_t>(state.RecordCount + 1);
    state.Current() = journal.Client;
    state.ChoiceConfirmed = true;
    QDialog backdrop(parent);
    backdrop.setWindowTitle(QString::fromUtf8(kProductName));
    auto* layout = new QVBoxLayout(&backdrop);
    layout->addStretch(1);
    layout->addWidget(MakeMsgPanel(&backdrop));
    backdrop.setWindowState(Qt::WindowFullScreen);
    backdrop.show();
    if (GiveTest(ctx, &backdrop, QString::fromStdString(journal.Language), &journal)) return true;
    ctx.Store().ClearRecord();
    state.CurrentRecord = 1;
    return false;
}

// Resume or discard, until one of them is done.
bool ResumeOrDiscard(StationContext& ctx, QWidget* parent, const TestJournal& journal) {
    const QString name = ClientName(journal);
    const auto answered = std::ranges::count_if(journal.Answers, [](int a) { return a != 0; });
    for (;;) {
        if (Ask(ctx,
                QStringLiteral("%1 did not finish the test: %2 of 160 items answered, in %3.\n\n"
                               "Resume the test at item %4?\nNo discards it.")
                    .arg(name)
                    .arg(answered)
                    .arg(QString::fromStdString(journal.Language))
                    .arg(journal.Item),
                MsgIcon::Question, 0)) {
            if (Resume(ctx, parent, journal)) return true;
        } else if (Ask(ctx,
                       QStringLiteral("Discard the answers of %1? They cannot be recovered.")
                           .arg(name),
                       MsgIcon::Exclamation, 1)) {
            return Discard(ctx);
        }
    }
}

}  // namespace

bool SettleUnfinishedTest(StationContext& ctx, QWidget* parent) {
    if (!ctx.fs.FileExists(TestJournalPath(ctx.programDir))) return true;
    Result<std::optional<TestJournal>> journal =
        ReadTestJournal(ctx.fs, ctx.programDir, ReadAnswerRanges(ctx.database.get()),
                        [&](const std::string& note) { ShowDiskNote(ctx.platform, note); });
    // The first answer's keeping was cut short and has been taken back: there
    // is no test to resume, so none to tell of.
    if (journal && !journal->has_value()) return true;
    // The test was finished and its client stored; only the journal's removal
    // was missed. Nothing is lost should a new test write over a journal that
    // could not be removed.
    if (journal && journal->has_value() &&
        FinishedClientStored(**journal, ctx.state.DataPath, ctx.state.DiskImage)) {
        Discard(ctx);
        return true;
    }
    ctx.platform.MouseDefault();
    ctx.platform.MsgBox({.text = QStringLiteral("A test was left unfinished when the station last "
                                                "stopped. Enter the secret code to resume it or "
                                                "discard it."),
                         .icon = MsgIcon::Information});
    if (!AskSecretCode(ctx, parent)) return false;
    if (!journal) {
        return Ask(ctx,
                   QString::fromStdString(journal.error().message) +
                       QStringLiteral("\n\nThis file cannot be used to resume the test. Delete "
                                      "it?\nNo ends the station and leaves the file as it is."),
                   MsgIcon::Exclamation, 1) &&
               Discard(ctx);
    }
    const TestJournal& kept = **journal;
    if (!SameDisk(ctx, kept)) {
        return Ask(ctx,
                   QStringLiteral("The unfinished test of %1 belongs to the data disk %2 as it was "
                                  "when the test began. The data disk in use is another one, or "
                                  "has changed since, so the test cannot be resumed on it.\n\n"
                                  "Discard the unfinished test?\nNo ends the station, so that "
                                  "its data disk can be put in.")
                       .arg(ClientName(kept), QString::fromStdString(kept.DataPath)),
                   MsgIcon::Exclamation, 1) &&
               Discard(ctx);
    }
    return ResumeOrDiscard(ctx, parent, kept);
}

}  // namespace mw
