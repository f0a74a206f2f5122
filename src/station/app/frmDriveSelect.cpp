#include "station/app/frmDriveSelect.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "station/screen/ScreenHelpers.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

// Where the system names its drives by letter.
constexpr const char* kDriveLabel =
    " Choose the drive associated with the data disk. (Usually A: or F:)";
constexpr const char* kDriveHelp =
    "Use the dropdown box to select the drive that the floppy data \n"
    "diskette or USB Flash Drive is in. Floppy drives are usually A: or\n"
    "B: and USB drives are usually F: or G:";
// Where drives are folders that media are mounted on.
constexpr const char* kFolderLabel =
    " Choose the folder of the data disk. (USB drives are usually under /media.)";
constexpr const char* kFolderHelp =
    "Use the dropdown box to select the folder that the floppy data\n"
    "diskette or USB Flash Drive is mounted on; mounted media come first.\n"
    "A data disk in any other folder can be typed in.";

bool ListsDriveLetters(const std::vector<std::string>& drives) {
    return !drives.empty() && std::all_of(drives.begin(), drives.end(), [](const std::string& d) {
        return d.size() == 2 && std::isalpha(static_cast<unsigned char>(d[0])) && d[1] == ':';
    });
}

}  // namespace

frmDriveSelect::frmDriveSelect(StationContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmDriveSelect"));
    setWindowTitle(QStringLiteral("Select Drive"));

    std::vector<std::string> drives = ctx_.fs.ListDrives();
    const bool letters = ListsDriveLetters(drives);
    helpText_ = letters ? kDriveHelp : kFolderHelp;
    auto* label = new QLabel(QString::fromUtf8(letters ? kDriveLabel : kFolderLabel), this);
    label->setObjectName(QStringLiteral("lblDrive"));

    drDrive_ = new QComboBox(this);
    drDrive_->setObjectName(QStringLiteral("drDrive"));
    // A data disk may be any folder, so a path that no mount point names can be typed in.
    drDrive_->setEditable(true);
    drDrive_->setInsertPolicy(QComboBox::NoInsert);
    const std::string& current = ctx_.state.DataPath;
    if (!current.empty() && std::find(drives.begin(), drives.end(), current) == drives.end()) {
        drives.insert(drives.begin(), current);
    }
    for (const std::string& drive : drives) drDrive_->addItem(QString::fromStdString(drive));
    // The disk in use is shown, and the arrow keys move on from it; with none
    // nothing is, and Down picks the first drive.
    drDrive_->setCurrentIndex(drDrive_->findText(QString::fromStdString(current)));
    // Connected only now: showing the disk in use is not a choice of the user.
    connect(drDrive_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { chosenDrive_ = text.toStdString(); });

    auto* cmdhelp = new QPushButton(QStringLiteral("Help"), this);
    cmdhelp->setObjectName(QStringLiteral("cmdhelp"));
    cmdhelp->setAutoDefault(false);
    auto* cmdDone = new QPushButton(QStringLiteral("Done"), this);
    cmdDone->setObjectName(QStringLiteral("cmdDone"));
    cmdDone->setDefault(true);
    connect(cmdhelp, &QPushButton::clicked, this, &frmDriveSelect::cmdhelp_Click);
    connect(cmdDone, &QPushButton::clicked, this, &QDialog::accept);
    // An editable list keeps Enter to itself when its text is unchanged.
    connect(drDrive_->lineEdit(), &QLineEdit::returnPressed, cmdDone, &QPushButton::click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdhelp);
    buttons->addWidget(cmdDone);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(drDrive_);
    layout->addLayout(buttons);

    adjustSize();
    CenterForm(this);
    drDrive_->setFocus();
}

void frmDriveSelect::cmdhelp_Click() {
    ctx_.platform.MsgBox({.text = QString::fromUtf8(helpText_)});
}

}  // namespace mw
