#include "station/app/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <memory>

#include "core/data/Cp1252.h"
#include "core/data/SampleClient.h"
#include "station/app/DriveSelect.h"
#include "station/app/NumLockKeeper.h"
#include "station/app/frmAbout.h"
#include "station/app/frmSelectEntryMethod.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/present/UnfinishedTest.h"
#include "station/screen/AuditTrail.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/ScreenLook.h"
#include "station/screen/StationContext.h"
#include "station/supervisor/frmSupervisorOptions.h"

namespace mw {
namespace {

// Extra room below the menu, which lifts it a little above the middle of its area.
constexpr int kMenuLift = 67;

const char* const kClientListHelp = "Use up or down arrow keys or mouse to select client.";
const char* const kAddSampleQuestion =
    "Add the sample client \"Nondeviant Test\" to this data disk?\n\n"
    "Client records cannot be removed: it will stay on the disk.";

// Each list entry carries its record number.
constexpr int kRecordNumberRole = Qt::UserRole;

// An Options choice that is on or off, as MW.ini keeps it.
QAction* AddOption(QMenu* menu, const char* caption, const char* name) {
    QAction* option = menu->addAction(QString::fromUtf8(caption));
    option->setObjectName(QString::fromUtf8(name));
    option->setCheckable(true);
    return option;
}

QString ListEntry(int number, const ClientRecord& record) {
    // The name keeps its full width of 25 characters, trailing blanks included.
    return QString::number(number) + QLatin1Char('-') +
           QString::fromStdString(Cp1252ToUtf8(record.Name.View()));
}

}  // namespace

frmMain::frmMain(StationContext& ctx) : ctx_(ctx) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(kProductName));
    auto* central = new QWidget(this);
    setCentralWidget(central);
    msgPanel_ = MakeMsgPanel(central);
    BuildClientList(central);
    BuildMainMenu(central);
    BuildNonDeviantKey(central);
    BuildMenuBar();

    // The layout keeps the menu centred in its area, a little above the
    // middle, whatever the window's size.
    auto* menuArea = new QVBoxLayout;
    menuArea->addStretch(1);
    menuArea->addWidget(frMainMenu_, 0, Qt::AlignHCenter);
    menuArea->addStretch(1);
    menuArea->addSpacing(kMenuLift);
    auto* body = new QHBoxLayout;
    body->addWidget(fraClient_);
    body->addLayout(menuArea, 1);
    auto* root = new QVBoxLayout(central);
    root->addLayout(body, 1);
    root->addWidget(msgPanel_);

    timNumLock_.setInterval(1000);
    connect(&timNumLock_, &QTimer::timeout, this, &frmMain::timNumLock_Timer);
    // Never smaller than the list and the whole menu need.
    setMinimumSize(minimumSizeHint());
    resize(760, 540);
    ForScreenReaders(this);
    lbNameDisplay_->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::BuildClientList(QWidget* parent) {
    fraClient_ = Named<QWidget>(parent, "fraClient");
    fraClientCaption_ =
        Named<QLabel>(fraClient_, "fraClientCaption", QStringLiteral("Client List"));
    lbNameDisplay_ = AddNameList(fraClient_, this, 30);
    lbNameDisplay_->viewport()->installEventFilter(this);
    connect(lbNameDisplay_, &QListWidget::itemSelectionChanged, this,
            &frmMain::lbNameDisplay_Click);

    auto* column = new QVBoxLayout(fraClient_);
    column->addWidget(fraClientCaption_);
    column->addWidget(lbNameDisplay_);
    HighlightFrame(fraClient_, fraClientCaption_, false);
}

void frmMain::BuildMainMenu(QWidget* parent) {
    menu_ = AddMenu(
        parent, "frMainMenu",
        {{QStringLiteral("Edit Current Client"), QStringLiteral("Edit client's information.")},
         {QStringLiteral("Add New Client"),
          QStringLiteral("Enter a new client. Test client on computer or enter data from "
                         "answer sheet.")},
         {QStringLiteral("Supervisor Options"),
          QStringLiteral("Print client report, verify data entry or delete client names.")},
         {QStringLiteral("Exit Application"), QStringLiteral("Quit the program.")}},
        msgPanel_, [this](int index) { cmdMenuChoice_Click(index); });
    frMainMenu_ = menu_->Frame();
    frMainMenu_->setMinimumWidth(300);
}

// Trainers add a sample client with a key combination; the button itself
// stays out of sight of the clients.
void frmMain::BuildNonDeviantKey(QWidget* parent) {
    cmdNonDeviant_ = Named<QPushButton>(parent, "cmdNonDeviant", QStringLiteral("+ Non-Deviant"));
    cmdNonDeviant_->hide();
    connect(cmdNonDeviant_, &QPushButton::clicked, this, &frmMain::cmdNonDeviant_Click);
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), this);
    connect(key, &QShortcut::activated, cmdNonDeviant_, &QPushButton::click);
}

void frmMain::BuildMenuBar() {
    QAction* mnuExit = menuBar()->addAction(QStringLiteral("E&xit!"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &frmMain::EndProgram);

    QMenu* mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    QAction* mnuDrive = mnuOptions->addAction(QStringLiteral("Select &Data Drive"));
    mnuDrive->setObjectName(QStringLiteral("mnuDrive"));
    connect(mnuDrive, &QAction::triggered, this, &frmMain::mnuDrive_Click);
    mnuOptionsNumLock_ = AddOption(mnuOptions, "&Num Lock Always On", "mnuOptionsNumLock");
    connect(mnuOptionsNumLock_, &QAction::triggered, this, &frmMain::mnuOptionsNumLock_Click);
    mnuOptionsPrintDOS_ = AddOption(mnuOptions, "&Print to DOS port", "mnuOptionsPrintDOS");
    connect(mnuOptionsPrintDOS_, &QAction::triggered, this, &frmMain::mnuOptionsPrintDOS_Click);
    mnuOptionsLargeType_ = AddOption(mnuOptions, "&Large Type", "mnuOptionsLargeType");
    connect(mnuOptionsLargeType_, &QAction::triggered, this, &frmMain::mnuOptionsLargeType_Click);
    mnuOptionsHighContrast_ = AddOption(mnuOptions, "&High Contrast", "mnuOptionsHighContrast");
    connect(mnuOptionsHighContrast_, &QAction::triggered, this,
            &frmMain::mnuOptionsHighContrast_Click);

    QAction* mnuHelpAbout = menuBar()->addAction(QStringLiteral("&About..."));
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

bool frmMain::Load() {
    StationState& state = ctx_.state;
    // Before the first window or box, so that a poor reader can read them all.
    ShowLook(ReadScreenLook(ctx_.Ini()));
    state.SoundPath = ctx_.Ini().GetINISndPath();
    if (DriveSelect(ctx_, this).SelectDataDrive(true) == DriveOutcome::EndProgram) return false;

    state.ListRefreshNeeded = true;
    auto splash = std::make_unique<frmAbout>(ctx_, true, nullptr);
    splash->ShowSplash();

    // A missing question database shows nothing now; the screens that read
    // questions report it when they need them.
    if (auto db = Database::Open(JoinPath(ctx_.programDir, kQuestionDatabaseName), false)) {
        ctx_.database = std::move(*db);
    }
    if (RunDiskStep(ctx_.platform, [&] { return ctx_.Store().LoadRecords(); }) != DiskStep::Done) {
        return false;
    }
    splash.reset();
    // A test the station stopped in the middle of is settled before the menu
    // is reachable, so that the client is added to the list it shows.
    if (!SettleUnfinishedTest(ctx_, this)) return false;

    setWindowTitle(QString::fromUtf8(kProductName));
    if (!isMaximized()) CenterForm(this);
    Activate();
    numLockOn_ = ctx_.Ini().GetNumLockSetting();
    mnuOptionsNumLock_->setChecked(numLockOn_);
    state.PrintToDOS = ctx_.Ini().GetPrintDOSSetting();
    mnuOptionsPrintDOS_->setChecked(state.PrintToDOS);
    state.ListRefreshNeeded = true;
    closeOthersOnActivate_ = true;
    ctx_.platform.MouseDefault();
    timNumLock_.start();
    return true;
}

// Called explicitly rather than on every activation by the window system:
// a message box closing, or the user switching back from another program,
// must not rebuild the list and lose the selected client.
void frmMain::Activate() {
    menu_->ShowFocus();
    if (ctx_.state.RecordCount == 0) ctx_.state.CurrentRecord = 0;
    RefreshNameDisplay();
    // Enabled again as soon as a disk with room is in use.
    menu_->Button(kAddNewClient)->setEnabled(!ctx_.state.DiskFull());
    UpdateEditChoice();
    if (closeOthersOnActivate_) CloseOtherWindows();
}

void frmMain::BringForward() {
    if (isVisible()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

// The list is rebuilt only when a screen asked for it. An empty disk clears
// it too: the previous disk's names must not stay selectable. The current
// client is the list's current and selected entry, so that the focus outline
// and the selection never disagree.
void frmMain::RefreshNameDisplay() {
    if (!ctx_.state.ListRefreshNeeded) return;
    // Quiet while rebuilding: a list that is empty for a moment would turn
    // "Edit Current Client" off and push the focus away from it.
    const QSignalBlocker quiet(lbNameDisplay_);
    lbNameDisplay_->clear();
    for (int n = 1; n <= ctx_.state.RecordCount; ++n) {
        auto* item = new QListWidgetItem(ListEntry(n, ctx_.state.ClientRecords[n]), lbNameDisplay_);
        item->setData(kRecordNumberRole, n);
    }
    const int current = ctx_.state.CurrentRecord;
    if (current >= 1 && current <= ctx_.state.RecordCount)
        lbNameDisplay_->setCurrentRow(current - 1);
}

void frmMain::UpdateEditChoice() {
    const QList<QListWidgetItem*> selected = lbNameDisplay_->selectedItems();
    menu_->Button(kEditCurrentClient)
        ->setEnabled(!selected.isEmpty() && !selected.front()->text().isEmpty());
}

// Screens that a chain of screens left open close when the main window is back.
void frmMain::CloseOtherWindows() {
    if (QApplication::activeModalWidget()) return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        if (window != this && window->isVisible() && (type == Qt::Window || type == Qt::Dialog)) {
            window->close();
        }
    }
}

// Opens a screen over the main window. The menu is out of sight meanwhile;
// afterwards the list is rebuilt, since the screen may have changed records.
void frmMain::OpenScreen(const std::function<void()>& showScreen) {
    QWidget* focused = focusWidget();
    ctx_.state.ListRefreshNeeded = false;
    frMainMenu_->hide();
    showScreen();
    frMainMenu_->show();
    if (focused) focused->setFocus();
    ctx_.state.ListRefreshNeeded = true;
}

void frmMain::EndProgram() {
    close();
}

void frmMain::ReportFailedWrite(const Status& status) {
    if (!status) ShowError(ctx_.platform, status.error());
}

void frmMain::cmdMenuChoice_Click(int index) {
    switch (index) {
        case kEditCurrentClient:
            EditCurrentClient();
            break;
        case kAddNewClient:
            AddNewClient();
            break;
        case kSupervisorOptions:
            SupervisorOptions();
            break;
        case kExitApplication:
            // Nothing is written at exit: every record was written when it changed.
            EndProgram();
            return;
    }
    Activate();
}

// The current client's information, corrected; once confirmed, its answers.
// Only Save on the answers stores the visit's changes: when the answers are
// cancelled (or cannot be shown) the client is put back as the disk holds
// it, so that the list, the reports and the edit count never see a change
// that was not stored.
void frmMain::EditCurrentClient() {
    StationState& state = ctx_.state;
    if (!state.CurrentStored()) {
        ctx_.platform.Beep();
        return;
    }
    closeOthersOnActivate_ = false;
    OpenScreen([this, &state] {
        state.EditMode = true;
        state.ScanMode = false;
        frmClientInfo info(ctx_, this);
        info.exec();
        if (!state.ChoiceConfirmed) return;
        state.ChoiceConfirmed = false;
        frmNewEntry entry(ctx_, this);
        if (entry.exec() != QDialog::Accepted) {
            state.Current() = state.StoredRecord(state.CurrentRecord);
        }
    });
    closeOthersOnActivate_ = true;
}

void frmMain::AddNewClient() {
    OpenScreen([this] {
        ctx_.state.EditMode = false;
        ctx_.state.ScanMode = false;
        frmSelectEntryMethod method(ctx_, this);
        method.exec();
    });
}

void frmMain::SupervisorOptions() {
    OpenScreen([this] {
        frmSupervisorOptions supervisor(ctx_, this);
        supervisor.exec();
    });
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbNameDisplay_) {
        if (event->type() == QEvent::FocusIn) lbNameDisplay_GotFocus();
        if (event->type() == QEvent::FocusOut) lbNameDisplay_LostFocus();
    }
    // A click under the names would leave no client selected: it only
    // brings the focus to the list.
    if ((event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick) &&
        watched == lbNameDisplay_->viewport() &&
        !lbNameDisplay_->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        lbNameDisplay_->setFocus(Qt::MouseFocusReason);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::lbNameDisplay_Click() {
    UpdateEditChoice();
    const QList<QListWidgetItem*> selected = lbNameDisplay_->selectedItems();
    if (selected.isEmpty()) return;
    ctx_.state.CurrentRecord =
        static_cast<std::int16_t>(selected.front()->data(kRecordNumberRole).toInt());
}

void frmMain::lbNameDisplay_GotFocus() {
    if (ctx_.state.RecordCount < 1) {
        menu_->Focus(kAddNewClient);
        return;
    }
    HighlightFrame(fraClient_, fraClientCaption_, true);
    msgPanel_->setText(QString::fromUtf8(kClientListHelp));
    UpdateEditChoice();
}

void frmMain::lbNameDisplay_LostFocus() {
    HighlightFrame(fraClient_, fraClientCaption_, false);
    msgPanel_->clear();
}

// The sample client can never be removed again, so a stray key press must
// not add one: the trainer confirms, and No is the answer Enter gives.
void frmMain::cmdNonDeviant_Click() {
    StationState& state = ctx_.state;
    if (state.DiskFull()) return;
    const MsgAnswer add = ctx_.platform.MsgBox({.text = QString::fromUtf8(kAddSampleQuestion),
                                                .buttons = MsgButtons::YesNo,
                                                .icon = MsgIcon::Question,
                                                .defaultButton = 1});
    if (add != MsgAnswer::Yes) return;
    ctx_.platform.MouseWait();
    const int slot = state.RecordCount + 1;
    state.ClientRecords[slot] = NonDeviantClient(FormatDate(ctx_.clock.Today()));
    if (RunDiskStep(ctx_.platform, [&] { return ctx_.Store().AddClient(); }) == DiskStep::Done) {
        Audit(ctx_, {AuditEvent::ClientAdded, slot, "sample client"});
        state.CurrentRecord = static_cast<std::int16_t>(slot);
        state.ListRefreshNeeded = true;
    }
    ctx_.platform.MouseDefault();
    Activate();
}

void frmMain::mnuDrive_Click() {
    if (DriveSelect(ctx_, this).SelectDataDrive(false) == DriveOutcome::EndProgram) {
        EndProgram();
        return;
    }
    // Whatever disk is now in use, the list shows its clients.
    ctx_.state.ListRefreshNeeded = true;
    Activate();
}

void frmMain::mnuOptionsNumLock_Click(bool checked) {
    numLockOn_ = checked;
    ReportFailedWrite(ctx_.Ini().SaveNumLockSetting(checked));
}

void frmMain::mnuOptionsPrintDOS_Click(bool checked) {
    ctx_.state.PrintToDOS = checked;
    ReportFailedWrite(ctx_.Ini().SavePrintDOSSetting(checked));
}

void frmMain::mnuOptionsLargeType_Click(bool checked) {
    ShowLook({checked, CurrentScreenLook().highContrast});
    ReportFailedWrite(ctx_.Ini().SaveLargeTypeSetting(checked));
}

void frmMain::mnuOptionsHighContrast_Click(bool checked) {
    ShowLook({CurrentScreenLook().largeType, checked});
    ReportFailedWrite(ctx_.Ini().SaveHighContrastSetting(checked));
}

// The main window stays open as the look changes: it grows with larger
// type, as far as the screen allows, and shrinks back no further than it was.
void frmMain::ShowLook(const ScreenLook& look) {
    ApplyScreenLook(look);
    mnuOptionsLargeType_->setChecked(look.largeType);
    mnuOptionsHighContrast_->setChecked(look.highContrast);
    setMinimumSize(minimumSizeHint().boundedTo(ScreenRoom(this)));
    if (!isMaximized() && !isFullScreen()) {
        resize(size().expandedTo(minimumSize()).boundedTo(ScreenRoom(this)));
    }
}

void frmMain::mnuHelpAbout_Click() {
    frmAbout about(ctx_, false, this);
    about.exec();
    Activate();
}

void frmMain::timNumLock_Timer() {
    NumLockKeeper::Keep(numLockOn_);
}

}  // namespace mw
