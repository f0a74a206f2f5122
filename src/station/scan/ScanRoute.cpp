#include "station/scan/ScanRoute.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "core/data/ClientTable.h"
#include "core/data/Cp1252.h"
#include "core/data/ScannedSheets.h"
#include "station/entry/StoreAnswers.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/report/ReportOutput.h"
#include "station/scan/ReviewTexts.h"
#include "station/scan/frmScanSettings.h"
#include "station/scan/frmSheetFile.h"
#include "station/screen/AuditTrail.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/StationContext.h"
#include "station/supervisor/frmMyInputBox.h"

namespace mw {
namespace {

// A failure of the scan table, in the form the route has always shown it.
void ShowScanError(Platform& platform, const Error& error) {
    platform.MsgBox({.text = ErrorText(error) + QStringLiteral(" 5")});
}

QString ReviewLine(int index) {
    return QString::fromUtf8(kReviewTexts[static_cast<std::size_t>(index)]);
}

// Lines `from` up to the message's title, one to a line.
QString ReviewLines(ReviewMessage message, int from) {
    QStringList lines;
    for (int i = from; i < message.first + message.lines - 1; ++i) lines << ReviewLine(i);
    return lines.join(QLatin1Char('\n'));
}

QString ReviewTitle(ReviewMessage message) {
    return ReviewLine(message.first + message.lines - 1);
}

void ShowReviewMessage(Platform& platform, ReviewMessage message, MsgIcon icon) {
    platform.MsgBox(
        {.text = ReviewLines(message, message.first), .icon = icon, .title = ReviewTitle(message)});
}

// No is the default.
bool AskReviewQuestion(Platform& platform, ReviewMessage message, const QString& text) {
    return platform.MsgBox({.text = text,
                            .buttons = MsgButtons::YesNo,
                            .icon = MsgIcon::Question,
                            .title = ReviewTitle(message),
                            .defaultButton = 1}) == MsgAnswer::Yes;
}

QString InmateNumber(const ClientRecord& sheet) {
    return QString::fromStdString(Cp1252ToUtf8(Trim(sheet.IDNumber.View())));
}

QString SheetText(const ScannedSheet& sheet) {
    return QString::fromStdString(SheetName(sheet.client, sheet.line));
}

bool SameSheet(const ClientRecord& a, const ClientRecord& b) {
    return a.IDNumber == b.IDNumber.View() && a.Answers == b.Answers.View();
}

// Deleting the waiting sheets is confirmed, No being the default: they must
// then be scanned again.
bool ConfirmDeleteWaiting(Platform& platform, std::size_t count) {
    return platform.MsgBox({.text = QStringLiteral("Delete the %1 waiting answer sheets?\n"
                                                   "They must then be scanned again.")
                                        .arg(count),
                            .buttons = MsgButtons::YesNo,
                            .icon = MsgIcon::Stop,
                            .title = ReviewTitle(kReviewWhichClients),
                            .defaultButton = 1}) == MsgAnswer::Yes;
}

// The sheets an earlier batch left, when the operator will review them; none
// once the operator chose No and confirmed that they are deleted. Cancel
// (Escape, the close box) ends the route with them kept: nothing then.
std::optional<std::vector<ScannedSheet>> WaitingSheets(Platform& platform, ClientTable& table) {
    Result<std::vector<ClientRecord>> rows = table.ReadAll();
    if (!rows) {
        ShowScanError(platform, rows.error());
        return std::vector<ScannedSheet>();
    }
    std::vector<ScannedSheet> waiting;
    QStringList names;
    for (const ClientRecord& row : *rows) {
        waiting.push_back({.client = row});
        names << SheetText(waiting.back());
    }
    if (waiting.empty()) return waiting;
    const QString text = QStringLiteral("Answer sheets of an earlier batch are waiting (%1): %2.\n")
                             .arg(waiting.size())
                             .arg(names.join(QStringLiteral(", "))) +
                         ReviewLines(kReviewWhichClients, kReviewWhichClients.first) +
                         QStringLiteral(
                             "\nThe waiting sheets are then deleted and must be scanned again."
                             "\nCancel returns to the Main Menu and keeps them.");
    for (;;) {
        switch (platform.MsgBox({.text = text,
                                 .buttons = MsgButtons::YesNoCancel,
                                 .icon = MsgIcon::Question,
                                 .title = ReviewTitle(kReviewWhichClients)})) {
            case MsgAnswer::Yes:
                return waiting;
            case MsgAnswer::No:
                if (!ConfirmDeleteWaiting(platform, waiting.size())) continue;
                if (Status emptied = table.DeleteAll(); !emptied) {
                    ShowScanError(platform, emptied.error());
                }
                return std::vector<ScannedSheet>();
            default:
                return std::nullopt;
        }
    }
}

class ScanBatch {
public:
    ScanBatch(StationContext& ctx, QWidget* parent, const ScanRouteServices& services,
              ClientTable& table, const ScanSettings& settings)
        : ctx_(ctx), parent_(parent), services_(services), table_(table), settings_(settings) {}

    void Run(std::vector<ScannedSheet> sheets);

private:
    // Queued: to be stored with the batch's other unreviewed sheets.
    enum class Outcome { Stored, Queued, Skipped, Stop };

    std::optional<std::vector<ScannedSheet>> ImportSheets(const std::vector<ScannedSheet>& waiting);
    std::optional<SheetFile> ReadSheetFile();
    QString ChooseSheetFile();
    Outcome StoreSheet(const ScannedSheet& sheet, const SheetMatch& match, int number, int count);
    bool StoreAsNewClient(const ScannedSheet& sheet, const SheetMatch& match);
    int NextNumber() const;
    const ClientRecord& Client(int number) const;
    void StoreQueued(std::vector<int>& stored);
    std::optional<std::string> NameFor(const ClientRecord& sheet);
    bool Confirm();
    bool CorrectAnswers(const ClientRecord& sheet);
    Outcome Cancelled(const ClientRecord& sheet, const ClientRecord& client, bool more);
    void RemoveRow(const ClientRecord& sheet);
    void ForgetSlot();
    void Finish();

    StationContext& ctx_;
    QWidget* parent_;
    const ScanRouteServices& services_;
    ClientTable& table_;
    const ScanSettings& settings_;
    ScanBatchSummary summary_;
    // A batch not reviewed is stored in one save once its questions are
    // answered: its sheets and the clients made of them, in order.
    std::vector<ScannedSheet> queuedSheets_;
    std::vector<ClientRecord> queued_;
};

// `sheets`: those an earlier batch left; the new file's follow them. A sheet
// already on the data disk is skipped and named in the summary: importing a
// file twice stores nothing new. Without review the sheets are stored
// together at the end, in one save.
void ScanBatch::Run(std::vector<ScannedSheet> sheets) {
    ctx_.state.EditMode = false;
    ctx_.state.ScanMode = true;
    const std::optional<std::vector<ScannedSheet>> added = ImportSheets(sheets);
    if (added) sheets.insert(sheets.end(), added->begin(), added->end());
    if (sheets.empty() && summary_.skipped.empty()) {
        if (added) ShowReviewMessage(ctx_.platform, kReviewNoClients, MsgIcon::Information);
        return;
    }
    std::vector<int> stored;
    const int count = static_cast<int>(sheets.size());
    for (int i = 0; i < count; ++i) {
        const ScannedSheet& sheet = sheets[static_cast<std::size_t>(i)];
        const SheetMatch match = MatchSheet(ctx_.state, sheet.client, queued_);
        if (match.OnDisk()) {
            NoteNotStored(summary_, sheet, match);
            RemoveRow(sheet.client);
            continue;
        }
        const Outcome outcome = StoreSheet(sheet, match, i + 1, count);
        if (outcome == Outcome::Stop) break;
        if (outcome == Outcome::Stored) stored.push_back(ctx_.state.RecordCount);
    }
    StoreQueued(stored);
    if (settings_.ScanPrint && !stored.empty()) services_.printReports(stored);
    Finish();
}

// Every sheet of the new file goes into the scan table, except those on the
// data disk already or waiting already; the batch takes the first of them
// up to its size, and the rest wait for the next batch. None when the
// operator chose no file or gave it up.
std::optional<std::vector<ScannedSheet>> ScanBatch::ImportSheets(
    const std::vector<ScannedSheet>& waiting) {
    std::optional<SheetFile> file = ReadSheetFile();
    if (!file) return std::nullopt;
    summary_.read = static_cast<int>(file->sheets.size());
    std::vector<ScannedSheet> sheets;
    std::vector<ClientRecord> rows;
    for (const ScannedSheet& sheet : file->sheets) {
        const auto same = [&](const ScannedSheet& row) {
            return SameSheet(row.client, sheet.client);
        };
        const SheetMatch match = MatchSheet(ctx_.state, sheet.client);
        if (match.OnDisk()) NoteNotStored(summary_, sheet, match);
        if (match.OnDisk() || std::ranges::any_of(waiting, same)) continue;
        sheets.push_back(sheet);
        rows.push_back(sheet.client);
    }
    if (Status inserted = table_.Insert(rows); !inserted) {
        ShowScanError(ctx_.platform, inserted.error());
        return std::nullopt;
    }
    const std::size_t batch =
        std::min(sheets.size(), static_cast<std::size_t>(std::max(settings_.NumberInBatch, 0)));
    summary_.beyondBatch = static_cast<int>(sheets.size() - batch);
    sheets.resize(batch);
    return sheets;
}

// The reader's file, as the operator confirmed it is read.
std::optional<SheetFile> ScanBatch::ReadSheetFile() {
    const QString path = ChooseSheetFile();
    if (path.isEmpty()) return std::nullopt;
    Result<std::string> bytes = ctx_.fs.ReadFile(path.toStdString());
    if (!bytes) {
        ShowError(ctx_.platform, bytes.error());
        return std::nullopt;
    }
    frmSheetFile screen(ctx_, path.toStdString(), std::move(*bytes), parent_);
    screen.exec();
    return screen.File();
}

// The dialog opens where the last sheet file was found.
QString ScanBatch::ChooseSheetFile() {
    mw::Settings ini = ctx_.Ini();
    const QString path =
        services_.chooseSheetFile(parent_, QString::fromStdString(ini.GetScanImportFolder()));
    if (path.isEmpty()) return path;
    const std::string folder = QFileInfo(path).absolutePath().toStdString();
    if (Status saved = ini.SaveScanImportFolder(folder); !saved) {
        ShowError(ctx_.platform, saved.error());
    }
    return path;
}

ScanBatch::Outcome ScanBatch::StoreSheet(const ScannedSheet& sheet, const SheetMatch& match,
                                         int number, int count) {
    StationState& state = ctx_.state;
    if (NextNumber() > kMaxClients) {
        ShowReviewMessage(ctx_.platform, kReviewDiskFull, MsgIcon::Exclamation);
        return Outcome::Stop;
    }
    if (settings_.ScanPause) {
        ctx_.platform.MsgBox({.text = QStringLiteral("Answer sheet %1 of %2, inmate number %3.\n"
                                                     "Press the Enter key to continue.")
                                          .arg(number)
                                          .arg(count)
                                          .arg(InmateNumber(sheet.client))});
    }
    if (!StoreAsNewClient(sheet, match)) {
        RemoveRow(sheet.client);
        return Outcome::Skipped;
    }
    const bool more = number < count;
    const Date today = ctx_.clock.Today();
    const std::optional<std::string> name = NameFor(sheet.client);
    if (!name) return Cancelled(sheet.client, ScannedClient(sheet.client, {}, today), more);
    if (!settings_.ScanReview) {
        queuedSheets_.push_back(sheet);
        queued_.push_back(UnreviewedClient(sheet.client, *name, today));
        return Outcome::Queued;
    }
    // A sheet whose identity was deleted has nothing left to confirm.
    const bool review = !sheet.client.NameDeleted();
    const ClientRecord client = review ? ScannedClient(sheet.client, *name, today)
                                       : UnreviewedClient(sheet.client, *name, today);
    state.CurrentRecord = static_cast<std::int16_t>(state.RecordCount + 1);
    state.Current() = client;
    if (review && !Confirm()) return Cancelled(sheet.client, client, more);
    if (review && !ItemsToKey(sheet.client.Answers.View()).empty()) {
        if (!CorrectAnswers(sheet.client)) return Cancelled(sheet.client, client, more);
    } else if (!StoreAnswers(ctx_, client.Answers.View(), AnswerRoute::Scanned)) {
        // The operator gave up on the data disk: the rest waits in the scan table.
        ForgetSlot();
        return Outcome::Stop;
    }
    NoteStored(summary_, sheet, state.RecordCount, review);
    RemoveRow(sheet.client);
    return Outcome::Stored;
}

// A sheet with the inmate number of a client whose answers differ may be a
// second test of that inmate or a number misread: the operator sees that
// client and decides. A sheet not stored leaves the scan table.
bool ScanBatch::StoreAsNewClient(const ScannedSheet& sheet, const SheetMatch& match) {
    if (match.kind != SheetMatch::OtherAnswers) return true;
    const ClientRecord& other = Client(match.client);
    const QString text = QStringLiteral(
                             "Inmate number %1 is already on this data disk with other answers: "
                             "client %2, %3, tested %4.\n"
                             "Do you want to store this answer sheet as a new client?\n"
                             "Click NO to skip it: it is not stored.")
                             .arg(SheetText(sheet))
                             .arg(match.client)
                             .arg(QString::fromStdString(Cp1252ToUtf8(Trim(other.Name.View()))))
                             .arg(QString::fromStdString(Trim(other.TodayDate.View())));
    const bool store = ctx_.platform.MsgBox({.text = text,
                                             .buttons = MsgButtons::YesNo,
                                             .icon = MsgIcon::Question,
                                             .title = QStringLiteral("Inmate Number Already Used"),
                                             .defaultButton = 1}) == MsgAnswer::Yes;
    if (!store) NoteNotStored(summary_, sheet, match);
    return store;
}

// The record number the next sheet stored becomes, after those queued.
int ScanBatch::NextNumber() const {
    return ctx_.state.RecordCount + static_cast<int>(queued_.size()) + 1;
}

// A client on the disk or queued, by record number.
const ClientRecord& ScanBatch::Client(int number) const {
    const StationState& state = ctx_.state;
    if (number <= state.RecordCount) return state.ClientRecords[number];
    return queued_[static_cast<std::size_t>(number - state.RecordCount - 1)];
}

// The queued sheets go to the disk in one save, whole or not at all. When
// the operator gives up on the disk, none is stored and all of them wait in
// the scan table.
void ScanBatch::StoreQueued(std::vector<int>& stored) {
    if (queued_.empty()) return;
    const int first = ctx_.state.RecordCount + 1;
    if (!StoreNewClients(ctx_, queued_, AnswerRoute::Scanned)) return;
    ctx_.state.CurrentRecord = ctx_.state.RecordCount;
    for (std::size_t i = 0; i < queuedSheets_.size(); ++i) {
        const int number = first + static_cast<int>(i);
        NoteStored(summary_, queuedSheets_[i], number, false);
        RemoveRow(queuedSheets_[i].client);
        stored.push_back(number);
    }
}

// The name the file or the settings give the client, as the record holds
// it; none when the operator was asked and cancelled. A sheet whose identity
// was deleted gets the deleted name, unasked.
std::optional<std::string> ScanBatch::NameFor(const ClientRecord& sheet) {
    const bool named = !Trim(sheet.Name.View()).empty();
    if (named || settings_.NameSetting != kNameTyped || sheet.NameDeleted()) {
        return AutomaticName(settings_.NameSetting, sheet, NextNumber());
    }
    frmMyInputBox box(ctx_, parent_);
    box.setWindowTitle(QStringLiteral("Client Name"));
    box.SetInputLength(static_cast<int>(decltype(ClientRecord::Name)::kWidth));
    box.SetHelpMessage(
        QStringLiteral("Type the name of the client with inmate number %1, then press Enter.")
            .arg(InmateNumber(sheet)));
    box.exec();
    if (box.Cancelled()) return std::nullopt;
    return Utf8ToCp1252(box.InputValue().toStdString());
}

// The client information screen, in scan mode, on the sheet's client in the
// free slot: a field the file did not have is empty, to be typed.
bool ScanBatch::Confirm() {
    frmClientInfo info(ctx_, parent_);
    info.exec();
    return ctx_.state.ChoiceConfirmed;
}

// The answer grid, in scan mode: the items to key come blank, to be shown
// unanswered with a warning naming them; Save stores the client.
bool ScanBatch::CorrectAnswers(const ClientRecord& sheet) {
    ctx_.state.Current().Answers = sheet.Answers;
    frmNewEntry grid(ctx_, parent_);
    return grid.exec() == QDialog::Accepted;
}

// The operator gave up this sheet: its row may go, and the rest of the batch too.
ScanBatch::Outcome ScanBatch::Cancelled(const ClientRecord& sheet, const ClientRecord& client,
                                        bool more) {
    ForgetSlot();
    Platform& platform = ctx_.platform;
    std::string who = Trim(client.Name.View());
    if (who.empty()) who = Trim(client.IDNumber.View());
    const int first = kReviewCancelled.first;
    const QString text = ReviewLine(first) + QString::fromStdString(Cp1252ToUtf8(who)) +
                         ReviewLine(first + 1) + QLatin1Char('\n') +
                         ReviewLines(kReviewCancelled, first + 2);
    if (AskReviewQuestion(platform, kReviewCancelled, text)) RemoveRow(sheet);
    if (more && AskReviewQuestion(platform, kReviewCancelRest,
                                  ReviewLines(kReviewCancelRest, kReviewCancelRest.first))) {
        return Outcome::Stop;
    }
    return Outcome::Skipped;
}

// A sheet stored or given up leaves the scan table.
void ScanBatch::RemoveRow(const ClientRecord& sheet) {
    if (Status removed = table_.Delete(sheet); !removed) {
        ShowScanError(ctx_.platform, removed.error());
    }
}

// A client that was not stored leaves nothing in the free slot.
void ScanBatch::ForgetSlot() {
    if (!AddingNewClient(ctx_)) return;
    ctx_.Store().ClearRecord();
    ctx_.state.CurrentRecord = 1;
}

// Every batch ends here: what was read, stored, skipped and left waiting.
void ScanBatch::Finish() {
    Result<std::vector<ClientRecord>> left = table_.ReadAll();
    summary_.waiting = left ? static_cast<int>(left->size()) : 0;
    QString text = QString::fromStdString(SummaryText(summary_));
    if (summary_.waiting > 0) {
        text += QStringLiteral("\nThey wait in the scan table for the next Scan Answer Sheet.");
    }
    ctx_.platform.MsgBox({.text = text,
                          .icon = MsgIcon::Information,
                          .title = QStringLiteral("Scan Batch Summary")});
    Audit(ctx_, {AuditEvent::ScanBatchImported, 0, BatchDetails(summary_)});
}

}  // namespace

ScanRouteServices StationScanServices(StationContext& ctx, QWidget* parent) {
    return {.chooseSheetFile =
                [](QWidget* dialogParent, const QString& folder) {
                    return QFileDialog::getOpenFileName(
                        dialogParent, QStringLiteral("Import Scanned Answer Sheets"), folder,
                        QStringLiteral("Answer sheets (*.csv);;All files (*)"));
                },
            .printReports =
                [&ctx, parent](const std::vector<int>& records) {
                    PrintReports(ctx, parent, records, false);
                }};
}

void ScanAnswerSheets(StationContext& ctx, QWidget* parent, const ScanRouteServices& services) {
    Result<ClientTable> table = ClientTable::Open(ctx.programDir);
    if (!table) {
        ShowScanError(ctx.platform, table.error());
        return;
    }
    // A full disk takes no sheet: those waiting stay for the next disk.
    if (ctx.state.DiskFull()) {
        ShowReviewMessage(ctx.platform, kReviewDiskFull, MsgIcon::Exclamation);
        return;
    }
    // Decided before the settings appear, whatever the operator does next.
    std::optional<std::vector<ScannedSheet>> waiting = WaitingSheets(ctx.platform, *table);
    if (waiting) {
        frmScanSettings settings(ctx, kMaxClients - ctx.state.RecordCount, parent);
        settings.exec();
        if (!settings.Cancelled()) {
            ScanBatch(ctx, parent, services, *table, settings.Settings()).Run(std::move(*waiting));
        }
    }
    ctx.state.ScanMode = false;
    table->Close();
}

}  // namespace mw
