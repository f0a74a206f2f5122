// "Batch Scan Settings": how many answer sheets the batch takes, how each
// scanned client is named, and whether the scanned data is reviewed, the
// reports printed and the batch paused before each sheet.
//
// Each showing starts from sctest.ini; "Information &OK" writes all five
// settings back, "Cancel Input" writes nothing.
#pragma once

#include <QDialog>
#include <array>

#include "core/settings/Settings.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace mw {

class MenuChoices;
struct StationContext;

class frmScanSettings : public QDialog {
    Q_OBJECT

public:
    enum Choice { kInformationOk = 0, kCancelInput };

    // `largest`: the most sheets one batch may take, the room left on the data disk.
    frmScanSettings(StationContext& ctx, int largest, QWidget* parent);

    // True when the screen was left with "Cancel Input" (or closed).
    bool Cancelled() const { return cancelled_; }
    // The settings confirmed with "Information &OK".
    const ScanSettings& Settings() const { return settings_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildSettings();
    void SettingsToScreen();
    bool txtNumberToScan_Confirm();
    int SelectedName() const;
    void Control_GotFocus(QWidget* control, bool focused);
    void cmdMenuChoice_Click(int index);
    void InformationOk();

    StationContext& ctx_;
    const int largest_;
    QLabel* lblInfo_;
    QLineEdit* txtNumberToScan_;
    std::array<QRadioButton*, kLastNameSetting + 1> optNames_{};
    QCheckBox* chkReview_;
    QCheckBox* chkPrint_;
    QCheckBox* chkPause_;
    MenuChoices* menu_;
    QLabel* msgPanel_;
    ScanSettings settings_;
    bool cancelled_ = false;
};

}  // namespace mw
