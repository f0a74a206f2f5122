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

bool AskReviewQuestion(Platform& platform, ReviewMessage message, const QString& text) {
    return platform.MsgBox({.text = text,
                            .buttons = MsgButtons::YesNo,
                            .icon = MsgIcon::Question,
                            .title = ReviewTitle(message),
                            .defaultButton = 1}) == MsgAnswer::Yes;
}

class ScanBatch {
public:
    ScanBatch(StationContext& ctx, QWidget* parent, const ScanRouteServices& services,
              ClientTable& table, const ScanSettings& settings)
        : ctx_(ctx), parent_(parent), services_(services), table_(table), settings_(settings) {}

    void Run();

private:
    enum class Outcome { Stored, Skipped, Stop };

    std::optional<std::vector<ScannedSheet>> ImportSheets();
    QString ChooseSheetFile();
    Outcome StoreSheet(const ScannedSheet& sheet, int number, int count);
    std::optional<std::string> NameFor(const ScannedSheet& sheet);
    bool Confirm();
    bool CorrectAnswers(const ScannedSheet& sheet);
    Outcome Cancelled(const ClientRecord& client, bool more);
    void ForgetSlot();

    StationContext& ctx_;
    QWidget* parent_;
    const ScanRouteServices& services_;
    ClientTable& table_;
    const ScanSettings& settings_;
};

void ScanBatch::Run() {
    ctx_.state.EditMode = false;
    ctx_.state.ScanMode = true;
    const std::optional<std::vector<ScannedSheet>> sheets = ImportSheets();
    if (!sheets) return;
    std::vector<int> stored;
    const int count = static_cast<int>(sheets->size());
    for (int i = 0; i < count; ++i) {
        const Outcome outcome = StoreSheet((*sheets)[static_cast<std::size_t>(i)], i + 1, count);
        if (outcome == Outcome::Stop) break;
        if (outcome == Outcome::Stored) stored.push_back(ctx_.state.RecordCount);
    }
    if (settings_.ScanPrint && !stored.empty()) services_.printReports(stored);
}

// The batch's sheets, in the scan table as the clients they will become;
// none when the file is refused or the operator chose none.
std::optional<std::vector<ScannedSheet>> ScanBatch::ImportSheets() {
    if (ctx_.state.DiskFull()) {
        ShowReviewMessage(ctx_.platform, kReviewDiskFull, MsgIcon::Exclamation);
        return std::nullopt;
    }
    const QString path = ChooseSheetFile();
    if (path.isEmpty()) return std::nullopt;
    Result<std::vector<ScannedSheet>> read =
        ReadScannedSheets(ctx_.fs, path.toStdString(), ReadAnswerRanges(ctx_.database.get()));
    if (!read) {
        ctx_.platform.MsgBox({.text = QStringLiteral("No answer sheet was imported:\n") +
                                      QString::fromStdString(read.error().message),
                              .icon = MsgIcon::Stop,
                              .title = QStringLiteral("Answer Sheets Not Imported")});
        return std::nullopt;
    }
    std::vector<ScannedSheet> sheets = std::move(*read);
    sheets.resize(
        std::min(sheets.size(), static_cast<std::size_t>(std::max(settings_.NumberInBatch, 0))));
    if (sheets.empty()) {
        ShowReviewMessage(ctx_.platform, kReviewNoClients, MsgIcon::Information);
        return std::nullopt;
    }
    std::vector<ClientRecord> rows;
    for (const ScannedSheet& sheet : sheets) {
        ClientRecord row = ScannedClient(sheet, {}, ctx_.clock.Today());
        row.Answers = sheet.Answers;
        rows.push_back(row);
    }
    if (Status inserted = table_.Insert(rows); !inserted) {
        ShowScanError(ctx_.platform, inserted.error());
        return std::nullopt;
    }
    return sheets;
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

ScanBatch::Outcome ScanBatch::StoreSheet(const ScannedSheet& sheet, int number, int count) {
    StationState& state = ctx_.state;
    if (state.DiskFull()) {
        ShowReviewMessage(ctx_.platform, kReviewDiskFull, MsgIcon::Exclamation);
        return Outcome::Stop;
    }
    if (settings_.ScanPause) {
        ctx_.platform.MsgBox(
            {.text = QStringLiteral("Answer sheet %1 of %2, inmate number %3.\n"
                                    "Press the Enter key to continue.")
                         .arg(number)
                         .arg(count)
                         .arg(QString::fromStdString(Cp1252ToUtf8(sheet.InmateNumber)))});
    }
    const bool more = number < count;
    const std::optional<std::string> name = NameFor(sheet);
    if (!name) return Cancelled(ScannedClient(sheet, {}, ctx_.clock.Today()), more);
    const ClientRecord client = ScannedClient(sheet, *name, ctx_.clock.Today());
    state.CurrentRecord = static_cast<std::int16_t>(state.RecordCount + 1);
    state.Current() = client;
    if (settings_.ScanReview && !Confirm()) return Cancelled(client, more);
    if (settings_.ScanReview && !sheet.AllMarksRead()) {
        if (!CorrectAnswers(sheet)) return Cancelled(client, more);
    } else if (!StoreAnswers(ctx_, client.Answers.View())) {
        // The operator gave up on the data disk: the rest waits in the scan table.
        ForgetSlot();
        return Outcome::Stop;
    }
    if (Status removed = table_.Delete(client); !removed) {
        ShowScanError(ctx_.platform, removed.error());
    }
    return Outcome::Stored;
}

// The name the settings give the client, as the record holds it; none when
// the operator was asked and cancelled.
std::optional<std::string> ScanBatch::NameFor(const ScannedSheet& sheet) {
    switch (settings_.NameSetting) {
        case kNameInmateNumber:
            return sheet.InmateNumber;
        case kNameTestNumber:
            return "Test#" + std::to_string(ctx_.state.RecordCount + 1);
        default:
            break;
    }
    frmMyInputBox box(ctx_, parent_);
    box.setWindowTitle(QStringLiteral("Client Name"));
    box.SetInputLength(static_cast<int>(decltype(ClientRecord::Name)::kWidth));
    box.SetHelpMessage(
        QStringLiteral("Type the name of the client with inmate number %1, then press Enter.")
            .arg(QString::fromStdString(Cp1252ToUtf8(sheet.InmateNumber))));
    box.exec();
    if (box.Cancelled()) return std::nullopt;
    return Utf8ToCp1252(box.InputValue().toStdString());
}

// The client information screen, in scan mode, on the sheet's client in the
// free slot.
bool ScanBatch::Confirm() {
    frmClientInfo info(ctx_, parent_);
    info.exec();
    return ctx_.state.ChoiceConfirmed;
}

// The answer grid, in scan mode: the items without a single mark come
// blank, to be shown unanswered with a warning; Save stores the client.
bool ScanBatch::CorrectAnswers(const ScannedSheet& sheet) {
    ctx_.state.Current().Answers = sheet.Answers;
    frmNewEntry grid(ctx_, parent_);
    return grid.exec() == QDialog::Accepted;
}

// The operator gave up this sheet: its row may go, and the rest of the batch too.
ScanBatch::Outcome ScanBatch::Cancelled(const ClientRecord& client, bool more) {
    ForgetSlot();
    Platform& platform = ctx_.platform;
    std::string who = Trim(client.Name.View());
    if (who.empty()) who = Trim(client.IDNumber.View());
    const int first = kReviewCancelled.first;
    const QString text = ReviewLine(first) + QString::fromStdString(Cp1252ToUtf8(who)) +
                         ReviewLine(first + 1) + QLatin1Char('\n') +
                         ReviewLines(kReviewCancelled, first + 2);
    if (AskReviewQuestion(platform, kReviewCancelled, text)) {
        if (Status removed = table_.Delete(client); !removed) {
            ShowScanError(platform, removed.error());
        }
    }
    if (more && AskReviewQuestion(platform, kReviewCancelRest,
                                  ReviewLines(kReviewCancelRest, kReviewCancelRest.first))) {
        return Outcome::Stop;
    }
    return Outcome::Skipped;
}

// A client that was not stored leaves nothing in the free slot.
void ScanBatch::ForgetSlot() {
    if (!AddingNewClient(ctx_)) return;
    ctx_.Store().ClearRecord();
    ctx_.state.CurrentRecord = 1;
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
    // Emptied before the settings appear, whatever the operator does next.
    if (Status emptied = table->DeleteAll(); !emptied) ShowScanError(ctx.platform, emptied.error());
    const int room = kMaxClients - ctx.state.RecordCount;
    frmScanSettings settings(ctx, std::max(room, 1), parent);
    settings.exec();
    if (!settings.Cancelled()) {
        ScanBatch(ctx, parent, services, *table, settings.Settings()).Run();
    }
    ctx.state.ScanMode = false;
    table->Close();
}

}  // namespace mw
