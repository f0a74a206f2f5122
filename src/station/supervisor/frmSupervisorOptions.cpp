#include "station/supervisor/frmSupervisorOptions.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <numeric>

#include "core/data/Cp1252.h"
#include "core/data/Paradata.h"
#include "station/entry/frmVerify.h"
#include "station/report/ReportOutput.h"
#include "station/report/frmPrintSelected.h"
#include "station/report/frmViewReport.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/ScreenLook.h"
#include "station/screen/StationContext.h"
#include "station/supervisor/DelNames.h"
#include "station/supervisor/PASSWORD.h"

namespace mw {
namespace {

const char* const kVerifyComment =
    "This option gives you the opportunity to re-enter the client's responses from the answer "
    "sheet.  The new entry is compared with the saved responses, and every difference is "
    "reported so that errors can be corrected.";
const char* const kDeleteComment =
    "This operation will delete the Client's Name and ID Number from the data disk.  USE WITH "
    "CAUTION!  Once the data has been deleted from this data disk, it CANNOT be retrieved.";
const char* const kDatabaseEmpty = "Database empty.";
const char* const kTabsHelp =
    "Use the left or right arrow keys to switch between Reports, Verify Data and Delete Names.";
const char* const kOptionHelp =
    "Use the up or down arrow keys to choose the reports to print, then press Enter.";
const char* const kSummaryHelp =
    "Press Space to add or remove the one-page summary after each report, then press Enter.";
const char* const kParadataHelp =
    "Press Space to add or remove the page on how the test was taken after each report, then "
    "press Enter.";

bool IsEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

frmSupervisorOptions::frmSupervisorOptions(StationContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmSupervisorOptions"));
    setWindowTitle(QStringLiteral("Supervisor Options"));
    msgPanel_ = MakeMsgPanel(this);
    AddHelpTexts(msgPanel_, {QString::fromUtf8(kTabsHelp), QString::fromUtf8(kOptionHelp),
                             QString::fromUtf8(kSummaryHelp), QString::fromUtf8(kParadataHelp)});

    auto* frControls = Named<QWidget>(this, "frControls");
    // The panel behind the tabs shows whether they have the focus.
    sspTabs_ = Named<QWidget>(frControls, "sspSupervisorOperations");
    sstSupervisorOperations_ = Named<QTabWidget>(sspTabs_, "sstSupervisorOperations");
    sstSupervisorOperations_->addTab(BuildReportsTab(), QStringLiteral("&Reports"));
    sstSupervisorOperations_->addTab(BuildCommentsTab("Frame3", QString::fromUtf8(kVerifyComment)),
                                     QStringLiteral("&Verify Data"));
    sstSupervisorOperations_->addTab(BuildCommentsTab("Frame4", QString::fromUtf8(kDeleteComment)),
                                     QStringLiteral("&Delete Names"));
    sstSupervisorOperations_->tabBar()->installEventFilter(this);
    connect(sstSupervisorOperations_, &QTabWidget::currentChanged, this,
            &frmSupervisorOptions::sstSupervisorOperations_Click);
    auto* tabsPanel = new QVBoxLayout(sspTabs_);
    tabsPanel->setContentsMargins(4, 4, 4, 4);
    tabsPanel->addWidget(sstSupervisorOperations_);
    SetBackColor(sspTabs_, kMenuColor);

    auto* frCurrentClient =
        Named<QGroupBox>(frControls, "frCurrentClient", QStringLiteral("Current Client"));
    lblNameDisplay_ = Named<QLabel>(frCurrentClient, "lblNameDisplay");
    UseFixedPitch(lblNameDisplay_);
    lblHowTaken_ = Named<QLabel>(frCurrentClient, "lblHowTaken");
    auto* currentClient = new QVBoxLayout(frCurrentClient);
    currentClient->addWidget(lblNameDisplay_);
    currentClient->addWidget(lblHowTaken_);

    menu_ = AddMenu(
        frControls, "frMenu",
        {{QStringLiteral("Execute Selection"), QStringLiteral("Perform the selected operation.")},
         {QStringLiteral("Go to Main Menu"),
          QStringLiteral("Close the Utilities window returning to the Main Menu.")}},
        msgPanel_, [this](int index) { cmdMenuChoice_Click(index); });

    auto* controls = new QVBoxLayout(frControls);
    controls->addWidget(frCurrentClient);
    controls->addWidget(sspTabs_);
    controls->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frControls, 1, Qt::AlignCenter);
    layout->addWidget(msgPanel_);

    if (ctx_.state.RecordCount >= 1) {
        lblNameDisplay_->setText(CurrentName());
        lblHowTaken_->setText(HowTaken());
    } else {
        emptyDisk_ = true;
    }
    FitAndCenter(this, sstSupervisorOperations_->tabBar());
}

QWidget* frmSupervisorOptions::BuildReportsTab() {
    auto* tab = new QWidget;
    auto* Frame1 = Named<QGroupBox>(tab, "Frame1", QStringLiteral("Choose Report Operation"));
    auto* options = new QVBoxLayout(Frame1);
    const char* const captions[] = {"Print above current client's report",
                                    "Select and print multiple clients' reports",
                                    "Print all clients' reports"};
    for (int i = 0; i < 3; ++i) {
        const QByteArray name = ControlName("optPrintOption", i).toLatin1();
        optPrintOption_[i] =
            Named<QRadioButton>(Frame1, name.constData(), QString::fromUtf8(captions[i]));
        optPrintOption_[i]->installEventFilter(this);
        connect(optPrintOption_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) lastPrintOption_ = i;
        });
        options->addWidget(optPrintOption_[i]);
    }
    optPrintOption_[kCurrentClient]->setChecked(true);
    chkPrintSummaryPage_ =
        Named<QCheckBox>(tab, "chkPrintSummaryPage", QStringLiteral("One-page summary report"));
    chkPrintSummaryPage_->installEventFilter(this);
    connect(chkPrintSummaryPage_, &QCheckBox::toggled, this,
            &frmSupervisorOptions::SetPrintSummary);
    chkPrintParadata_ = Named<QCheckBox>(tab, "chkPrintParadata",
                                         QStringLiteral("How the test was taken (last page)"));
    chkPrintParadata_->installEventFilter(this);
    connect(chkPrintParadata_, &QCheckBox::toggled, this,
            [this](bool on) { ctx_.state.PrintParadata = on; });

    for (QAbstractButton* control : tab->findChildren<QAbstractButton*>()) {
        control->setMinimumWidth(BoldCaptionWidth(control, control->text()));
    }
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(Frame1);
    layout->addWidget(chkPrintSummaryPage_);
    layout->addWidget(chkPrintParadata_);
    return tab;
}

// The page is asked for on this screen, for the reports printed from it.
frmSupervisorOptions::~frmSupervisorOptions() {
    ctx_.state.PrintParadata = false;
}

QWidget* frmSupervisorOptions::BuildCommentsTab(const char* frameName, const QString& comment) {
    auto* tab = new QWidget;
    auto* frame = Named<QGroupBox>(tab, frameName, QStringLiteral("Operation Comments"));
    auto* text = new QLabel(comment, frame);
    text->setWordWrap(true);
    (new QVBoxLayout(frame))->addWidget(text);
    (new QVBoxLayout(tab))->addWidget(frame);
    return tab;
}

void frmSupervisorOptions::SetPrintSummary(bool on) {
    printSummary_ = on;
    chkPrintSummaryPage_->setChecked(on);
}

void frmSupervisorOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

// An empty data disk never reaches the tabs: the screen says so and closes
// once it is up.
void frmSupervisorOptions::Form_Activate() {
    SetBackColor(sspTabs_, kMenuColor);
    if (!emptyDisk_) return;
    QTimer::singleShot(0, this, [this] {
        ctx_.platform.MsgBox({.text = QStringLiteral("There are no clients on this data disk.\n"
                                                     "Returning to main menu."),
                              .icon = MsgIcon::Information,
                              .title = QStringLiteral("Empty Data Disk")});
        close();
    });
}

// The tabs' panel and the focused option or check box show where the focus
// is, and the help line what the keys do there. Enter on an option or the
// check box goes on to "Execute Selection".
bool frmSupervisorOptions::eventFilter(QObject* watched, QEvent* event) {
    const bool tabs = watched == sstSupervisorOperations_->tabBar();
    const bool in = event->type() == QEvent::FocusIn;
    if (in || event->type() == QEvent::FocusOut) {
        if (tabs) {
            SetBackColor(sspTabs_, in ? kFocusColor : kMenuColor);
        } else {
            SetBold(static_cast<QWidget*>(watched), in);
        }
    }
    if (in) {
        msgPanel_->setText(QString::fromUtf8(tabs                              ? kTabsHelp
                                             : watched == chkPrintSummaryPage_ ? kSummaryHelp
                                             : watched == chkPrintParadata_    ? kParadataHelp
                                                                               : kOptionHelp));
    }
    if (!tabs && IsEnter(event)) {
        menu_->Focus(kExecuteSelection);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSupervisorOptions::sstSupervisorOperations_Click(int tab) {
    lblHowTaken_->setVisible(tab != kDeleteNames);
    if (tab == kDeleteNames) {
        lblNameDisplay_->setText(QStringLiteral("All Clients"));
        return;
    }
    lblNameDisplay_->setText(emptyDisk_ ? QString() : CurrentName());
    if (tab == kReports) optPrintOption_[lastPrintOption_]->setChecked(true);
}

QString frmSupervisorOptions::CurrentName() const {
    return QString::fromStdString(Cp1252ToUtf8(Trim(ctx_.state.Current().Name.View())));
}

// A client entered but not stored has not taken a test yet; a file that
// cannot be read is named in the label instead.
QString frmSupervisorOptions::HowTaken() const {
    if (!ctx_.state.CurrentStored()) return QString();
    Result<std::vector<std::string>> lines =
        ParadataLines(ctx_.fs, ctx_.state.DataPath, ctx_.state.CurrentRecord);
    if (!lines) return QString::fromStdString(lines.error().message);
    QStringList text;
    for (const std::string& line : *lines) text << QString::fromStdString(line);
    return text.join(QLatin1Char('\n'));
}

void frmSupervisorOptions::cmdMenuChoice_Click(int index) {
    if (index == kExecuteSelection) {
        switch (sstSupervisorOperations_->currentIndex()) {
            case kReports:
                PrintClientReports();
                break;
            case kVerifyData:
                VerifyData();
                break;
            default:
                DeleteClientNames();
                break;
        }
    }
    close();
}

bool frmSupervisorOptions::HasClients(const char* title, const char* secondLine) {
    if (ctx_.state.RecordCount > 0) return true;
    ctx_.platform.MsgBox({.text = QString::fromUtf8(kDatabaseEmpty) + QLatin1Char('\n') +
                                  QString::fromUtf8(secondLine),
                          .icon = MsgIcon::Information,
                          .title = QString::fromUtf8(title)});
    return false;
}

// A client entered but never stored is no client to report on or verify.
bool frmSupervisorOptions::HasCurrentClient(const char* title) {
    if (ctx_.state.CurrentStored()) return true;
    ctx_.platform.MsgBox({.text = QStringLiteral("No client of this data disk is selected.\n"
                                                 "Choose a client from the client list first."),
                          .icon = MsgIcon::Information,
                          .title = QString::fromUtf8(title)});
    return false;
}

void frmSupervisorOptions::PrintClientReports() {
    if (!HasClients("Print Report", "Cannot perform this function.")) return;
    if (lastPrintOption_ == kCurrentClient && !HasCurrentClient("Print Report")) return;
    if (!AskSecretCode(ctx_, this)) return;
    switch (lastPrintOption_) {
        case kCurrentClient: {
            frmViewReport viewer(ctx_, this, printSummary_);
            viewer.exec();
            break;
        }
        case kSelectedClients: {
            frmPrintSelected selected(ctx_, this, printSummary_);
            selected.exec();
            break;
        }
        default:
            PrintAllClients();
            break;
    }
}

// Every client's report in client order; the first client is current afterwards.
void frmSupervisorOptions::PrintAllClients() {
    std::vector<int> records(static_cast<std::size_t>(ctx_.state.RecordCount));
    std::iota(records.begin(), records.end(), 1);
    PrintReports(ctx_, this, records, printSummary_);
    ctx_.state.CurrentRecord = 1;
}

void frmSupervisorOptions::VerifyData() {
    if (!HasClients("Verify Data", "There are no clients on this data disk.") ||
        !HasCurrentClient("Verify Data")) {
        return;
    }
    // Verification rewrites stored answers: staff only, as printing is.
    if (!AskSecretCode(ctx_, this)) return;
    frmVerify verify(ctx_, this);
    verify.exec();
}

void frmSupervisorOptions::DeleteClientNames() {
    if (!HasClients("Delete Names", "There are no clients on this data disk.")) return;
    DeleteNames(ctx_, this);
}

}  // namespace mw
