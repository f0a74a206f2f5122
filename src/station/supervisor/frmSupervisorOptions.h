// "Supervisor Options": the staff-only operations on the clients of the data
// disk, one per tab: printing reports (the current client's, a selection or
// all, after the secret code), double-entry verification of the current
// client, and deleting every client's name before the disk is returned.
// "Execute Selection" runs the shown tab's operation; the screen closes
// after it, or at once on an empty data disk.
#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QRadioButton;
class QTabWidget;

namespace mw {

class MenuChoices;
struct StationContext;

class frmSupervisorOptions : public QDialog {
    Q_OBJECT

public:
    enum Tab { kReports = 0, kVerifyData, kDeleteNames };
    enum PrintOption { kCurrentClient = 0, kSelectedClients, kAllClients };
    enum Choice { kExecuteSelection = 0, kGoToMainMenu };

    frmSupervisorOptions(StationContext& ctx, QWidget* parent);
    ~frmSupervisorOptions() override;

    // Every report printed from this screen ends with the one-page summary.
    bool PrintSummary() const { return printSummary_; }
    void SetPrintSummary(bool on);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildReportsTab();
    QWidget* BuildCommentsTab(const char* frameName, const QString& comment);
    void Form_Activate();
    void sstSupervisorOperations_Click(int tab);
    void cmdMenuChoice_Click(int index);
    void PrintClientReports();
    void PrintAllClients();
    void VerifyData();
    void DeleteClientNames();
    bool HasClients(const char* title, const char* secondLine);
    bool HasCurrentClient(const char* title);
    QString CurrentName() const;
    QString HowTaken() const;

    StationContext& ctx_;
    QWidget* sspTabs_;
    QTabWidget* sstSupervisorOperations_;
    std::array<QRadioButton*, 3> optPrintOption_{};
    QCheckBox* chkPrintSummaryPage_;
    QCheckBox* chkPrintParadata_;
    QLabel* lblNameDisplay_;
    // How the current client took the test, under the name.
    QLabel* lblHowTaken_;
    QLabel* msgPanel_;
    MenuChoices* menu_;
    bool emptyDisk_ = false;
    int lastPrintOption_ = kCurrentClient;
    bool printSummary_ = false;
};

}  // namespace mw
