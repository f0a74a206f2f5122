// "Entry Method": how a new client's answers will be obtained (on the
// screen, keyed from a paper answer sheet or scanned), then that route from
// the client's information on. The main menu opens it for "Add New Client"
// with EditMode and ScanMode off; it closes after one choice, whatever the
// route's outcome.
#pragma once

#include <QDialog>
#include <cstdint>

class QStackedLayout;
class QWidget;

namespace mw {

class MenuChoices;
struct StationContext;

class frmSelectEntryMethod : public QDialog {
    Q_OBJECT

public:
    enum Choice {
        kAdministerTest = 0,
        kEnterFromAnswerSheet,
        kScanAnswerSheet,
        kReviewScanned,  // keeps its place in the menu but is never offered
        kCancelNewClient
    };

    frmSelectEntryMethod(StationContext& ctx, QWidget* parent);

private:
    void cmdMenuChoice_Click(int index);
    void RunRoute(Choice route);
    bool RoomForNewClient();
    void EnterFromAnswerSheet();
    void ForgetUnstoredClient();

    StationContext& ctx_;
    // The client current when the screen opened, current again when no new one is stored.
    const std::int16_t previousCurrent_;
    MenuChoices* menu_;
    QStackedLayout* methodArea_;
    QWidget* frBlank_;
};

}  // namespace mw
