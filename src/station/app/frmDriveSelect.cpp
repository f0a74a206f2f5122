#include "station/app/frmDriveSelect.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "station/screen/ScreenHelpers.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

constexpr const char* kHelpText =
    "Use the dropdown box to select the drive that the floppy data \n"
    "diskette or USB Flash Drive is in. Floppy drives are usually A: or\n"
    "B: and USB drives are usually F: or G:";

}  // namespace

frmDriveSelect::frmDriveSelect(StationContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmDriveSelect"));
    setWindowTitle(QStringLiteral("Select Drive"));

    auto* label = new QLabel(
        QStringLiteral(" Choose the drive associated with the data disk. (Usually A: or F:)"),
        this);
    label->setObjectName(QStringLiteral("lblDrive"));

    drDrive_ = new QComboBox(this);
    drDrive_->setObjectName(QStringLiteral("drDrive"));
    // A data disk may be any folder, so a path that no mount point names can be typed in.
    drDrive_->setEditable(true);
    drDrive_->setInsertPolicy(QComboBox::NoInsert);
    std::vector<std::string> drives = ctx_.fs.ListDrives();
    const std::string& current = ctx_.state.DataPath;
    if (!current.empty() && std::find(drives.begin(), drives.end(), current) == drives.end()) {
        drives.insert(drives.begin(), current);
    }
    for (const std::string& drive : drives) drDrive_->addItem(QString::fromStdString(drive));
    drDrive_->setCurrentText(QString::fromStdString(current));
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
    ctx_.platform.MsgBox({.text = QString::fromUtf8(kHelpText)});
}

}  // namespace mw
