// The main window: the client list of the data disk and the four-choice main
// menu from which every other screen opens. It is the station's first and
// last window: its Load runs the start-up and closing it ends the program.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>

class QAction;
class QLabel;
class QListWidget;
class QPushButton;

namespace mw {

class MenuChoices;
class Status;
struct ScreenLook;
struct StationContext;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // The main menu's choices, top to bottom.
    enum Choice { kEditCurrentClient = 0, kAddNewClient, kSupervisorOptions, kExitApplication };

    explicit frmMain(StationContext& ctx);
    ~frmMain() override;

    // The start-up: data disk, splash window, question database, records and
    // options. False when the station has to end (the user gave up on the
    // data disk, or it failed while loading).
    bool Load();

    // Runs whenever the window comes back to the front (after a screen opened
    // from it closes) and once at start-up: rebuilds the client list when a
    // screen asked for it and sets which choices are available.
    void Activate();

    // A later start of the program asked this one to come forward.
    void BringForward();

    bool NumLockOn() const { return numLockOn_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildClientList(QWidget* parent);
    void BuildMainMenu(QWidget* parent);
    void BuildNonDeviantKey(QWidget* parent);
    void BuildMenuBar();
    void RefreshNameDisplay();
    void UpdateEditChoice();
    void CloseOtherWindows();
    void OpenScreen(const std::function<void()>& showScreen);
    void EndProgram();
    void ReportFailedWrite(const Status& status);

    void cmdMenuChoice_Click(int index);
    void EditCurrentClient();
    void AddNewClient();
    void SupervisorOptions();
    void lbNameDisplay_Click();
    void lbNameDisplay_GotFocus();
    void lbNameDisplay_LostFocus();
    void cmdNonDeviant_Click();
    void mnuDrive_Click();
    void mnuOptionsNumLock_Click(bool checked);
    void mnuOptionsPrintDOS_Click(bool checked);
    void mnuOptionsLargeType_Click(bool checked);
    void mnuOptionsHighContrast_Click(bool checked);
    void ShowLook(const ScreenLook& look);
    void mnuHelpAbout_Click();
    void timNumLock_Timer();

    StationContext& ctx_;
    QWidget* fraClient_;
    QLabel* fraClientCaption_;
    QListWidget* lbNameDisplay_;
    QWidget* frMainMenu_;
    MenuChoices* menu_;
    QLabel* msgPanel_;
    QPushButton* cmdNonDeviant_;
    QAction* mnuOptionsNumLock_ = nullptr;
    QAction* mnuOptionsPrintDOS_ = nullptr;
    QAction* mnuOptionsLargeType_ = nullptr;
    QAction* mnuOptionsHighContrast_ = nullptr;
    QTimer timNumLock_;
    bool numLockOn_ = true;
    bool closeOthersOnActivate_ = false;
};

}  // namespace mw
