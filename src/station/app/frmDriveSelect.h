// "Select Drive": the user names the drive (on Linux: the folder) that holds
// the data disk. The list offers the machine's drives or mount points,
// removable media first, and the data disk in use, and a folder can be typed
// in; its texts speak of drive letters only where the drives have them. The window keeps the drive
// text last chosen; it stays empty until the user changes the list, so that
// "Done" alone tries no drive at all.
#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QPushButton;

namespace mw {

struct StationContext;

class frmDriveSelect : public QDialog {
    Q_OBJECT

public:
    frmDriveSelect(StationContext& ctx, QWidget* parent);

    // The drive text last chosen in the list.
    std::string ChosenDrive() const { return chosenDrive_; }

private:
    void cmdhelp_Click();

    StationContext& ctx_;
    QComboBox* drDrive_;
    std::string chosenDrive_;
    // Drive letters or mounted folders, as the list offers.
    const char* helpText_;
};

}  // namespace mw
