#include "station/app/frmSelectEntryMethod.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "station/entry/StoreAnswers.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/present/TestRoute.h"
#include "station/scan/ScanRoute.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

std::vector<MenuChoice> EntryMethods() {
    return {{QStringLiteral("Administer Test to Client"),
             QStringLiteral("Onscreen Presentation. Enter client information then present the "
                            "test on the computer.")},
            {QStringLiteral("Enter Test Data from Answer Sheet"),
             QStringLiteral("Paper-Pencil Presentation. Manually enter test information from "
                            "completed answer sheet.")},
            {QStringLiteral("Scan Answer Sheet"),
             QStringLiteral("Optical Scanner Presentation. Scan completed answer sheet.")},
            {QStringLiteral("Review Scanned Answer Sheets"), QString()},
            {QStringLiteral("Cancel New Client Entry"),
             QStringLiteral("Cancel. Do not enter a new client. Return to Main Menu.")}};
}

}  // namespace

frmSelectEntryMethod::frmSelectEntryMethod(StationContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), previousCurrent_(ctx.state.CurrentRecord) {
    setObjectName(QStringLiteral("frmSelectEntryMethod"));
    setWindowTitle(QStringLiteral("Entry Method"));

    QLabel* msgPanel = MakeMsgPanel(this);
    const std::vector<MenuChoice> methods = EntryMethods();
    // As wide as the longest status line, so that the window keeps its size.
    int widest = 0;
    for (const MenuChoice& method : methods) {
        widest = std::max(widest, msgPanel->fontMetrics().horizontalAdvance(method.help));
    }
    msgPanel->setMinimumWidth(widest + 2 * (msgPanel->indent() + msgPanel->frameWidth()));
    menu_ = AddMenu(this, "frMenu", methods, msgPanel,
                    [this](int index) { cmdMenuChoice_Click(index); });
    menu_->Button(kReviewScanned)->setEnabled(false);
    menu_->Button(kReviewScanned)->parentWidget()->hide();

    auto* fraSelectMethod = Named<QGroupBox>(this, "fraSelectMethod",
                                             QStringLiteral("Select Client Data Entry Method"));
    auto* choices = new QVBoxLayout(fraSelectMethod);
    choices->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    // Laid exactly over the choices: while a route runs the screen behind
    // its windows shows an empty area and the status line.
    frBlank_ = Named<QGroupBox>(this, "frBlank");
    methodArea_ = new QStackedLayout;
    methodArea_->addWidget(fraSelectMethod);
    methodArea_->addWidget(frBlank_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(methodArea_);
    layout->addWidget(msgPanel);
    FitAndCenter(this, menu_->Button(kAdministerTest));
}

void frmSelectEntryMethod::cmdMenuChoice_Click(int index) {
    if (index <= kScanAnswerSheet) RunRoute(static_cast<Choice>(index));
    ForgetUnstoredClient();
    // Whatever was chosen and however the route ended, the main menu comes back.
    close();
}

// Every route ends here. A new client that was not stored (the language, the
// grid or the scan settings cancelled, the question table missing) leaves
// nothing in its slot, and the client that was current before is current
// again: no screen may show, print or store a client that is not on the disk.
void frmSelectEntryMethod::ForgetUnstoredClient() {
    if (!AddingNewClient(ctx_)) return;
    ctx_.Store().ClearRecord();
    ctx_.state.CurrentRecord = previousCurrent_;
}

void frmSelectEntryMethod::RunRoute(Choice route) {
    if (!RoomForNewClient()) return;
    methodArea_->setCurrentWidget(frBlank_);
    switch (route) {
        case kAdministerTest:
            AdministerTest(ctx_, this);
            break;
        case kEnterFromAnswerSheet:
            EnterFromAnswerSheet();
            break;
        default:
            ScanAnswerSheets(ctx_, this, StationScanServices(ctx_, this));
            break;
    }
}

// The main menu offers no new client on a full disk, but the disk may have
// been filled since; the client is refused before anything is keyed.
bool frmSelectEntryMethod::RoomForNewClient() {
    if (!ctx_.state.DiskFull()) return true;
    ctx_.platform.MsgBox(
        {.text = QStringLiteral("This data disk already holds %1 clients, as many as a data disk "
                                "can hold.\n\nNo new client can be added to it. To add a new "
                                "client, select another data disk from the Options menu.")
                     .arg(kMaxClients),
         .icon = MsgIcon::Exclamation});
    return false;
}

void frmSelectEntryMethod::EnterFromAnswerSheet() {
    frmClientInfo info(ctx_, this);
    info.exec();
    if (!ctx_.state.ChoiceConfirmed) return;
    frmNewEntry entry(ctx_, this);
    entry.exec();
}

}  // namespace mw
