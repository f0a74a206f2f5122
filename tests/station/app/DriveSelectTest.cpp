// Choosing another data disk from the main window's Options menu, and the
// drive window itself.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "core/data/DataDisk.h"
#include "station/app/frmDriveSelect.h"
#include "station/screen/DiskRetry.h"
#include "support/ScratchMount.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Clients;
using mwtest::MakeDisk;
using mwtest::TempDir;
using Texts = std::vector<QString>;

QString NoTestInformation(const std::string& drive) {
    return QStringLiteral(
               "No test information found on drive %1, would you like to try another "
               "drive?")
        .arg(QString::fromStdString(drive));
}

class DriveMenuTest : public mwtest::StationFixture {
protected:
    void SetUp() override {
        StartStation(Clients(3));
        list = mwtest::Find<QListWidget>(main.get(), "lbNameDisplay");
    }

    // "Select Data Drive"; each drive window that opens gets the next drive
    // typed in (an empty one: "Done" straight away; kEscape: backed out of).
    void SelectDataDrive(const std::vector<std::string>& drives) {
        mwtest::ModalDriver driver;
        for (const std::string& drive : drives) {
            driver.When<frmDriveSelect>([drive](frmDriveSelect* window) {
                if (drive == kEscape) return mwtest::PressKey(Qt::Key_Escape);
                if (!drive.empty()) {
                    mwtest::Find<QComboBox>(window, "drDrive")->lineEdit()->selectAll();
                    mwtest::TypeText(QString::fromStdString(drive));
                }
                mwtest::PressKey(Qt::Key_Return);
            });
        }
        mwtest::Find<QAction>(main.get(), "mnuDrive")->trigger();
    }

    // The station goes on with the disk it started on, and remembers it.
    void ExpectTheFirstDiskInUse() const {
        EXPECT_TRUE(main->isVisible());
        EXPECT_EQ(state.DataPath, disk.Path());
        EXPECT_EQ(ctx.Ini().GetINIFilePath(), disk.Path());
        EXPECT_EQ(list->count(), 3);
    }

    bool ChoiceEnabled(int index) const { return mwtest::Choice(main.get(), index)->isEnabled(); }

    static constexpr const char* kEscape = "\x1b";

    QListWidget* list = nullptr;
};

// Add New Client comes back with room on the next disk; an empty disk leaves
// no current client, and its empty list hands the focus to Add New Client.
TEST_F(DriveMenuTest, TheListAndTheMenuFollowEachNewDisk) {
    TempDir full, empty;
    MakeDisk(full, Clients(51));
    MakeDisk(empty, {});
    SelectDataDrive({full.Path()});
    EXPECT_EQ(list->count(), 51);
    EXPECT_FALSE(ChoiceEnabled(frmMain::kAddNewClient));

    list->setCurrentRow(1);
    SelectDataDrive({empty.Path()});
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(state.CurrentRecord, 0);
    EXPECT_FALSE(ChoiceEnabled(frmMain::kEditCurrentClient));
    mwtest::ShowActive(main.get());
    list->setFocus();
    EXPECT_TRUE(mwtest::Choice(main.get(), frmMain::kAddNewClient)->hasFocus());
    EXPECT_EQ(ctx.Ini().GetINIFilePath(), empty.Path());
}

// Backing out of the drive window asks nothing and keeps the disk in use. No
// after a failed choice goes back to the disk in use, and so does backing out
// then; Yes shows the drive window again; the station ends when the disk in
// use is gone too.
TEST_F(DriveMenuTest, AFailedChoiceIsTriedAgainOrGivenUp) {
    const std::string missing = disk.Path() + "/gone";
    SelectDataDrive({kEscape});
    EXPECT_TRUE(platform.Texts().empty());
    ExpectTheFirstDiskInUse();
    platform.Next(MsgAnswer::Yes);
    SelectDataDrive({missing, kEscape});
    EXPECT_EQ(platform.Texts(), Texts{NoTestInformation(missing)});
    ExpectTheFirstDiskInUse();

    platform.Next(MsgAnswer::No);
    SelectDataDrive({""});  // "Done" without a choice tries no drive at all
    EXPECT_EQ(platform.Texts().back(), NoTestInformation(""));
    ExpectTheFirstDiskInUse();

    TempDir other;
    MakeDisk(other, {"Dee"});
    platform.Next(MsgAnswer::Yes);
    SelectDataDrive({missing, other.Path()});
    EXPECT_EQ(platform.Texts().back(), NoTestInformation(missing));
    EXPECT_EQ(state.DataPath, other.Path());
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text().trimmed(), QStringLiteral("1-Dee"));

    std::filesystem::remove_all(other.Path());
    platform.Next({MsgAnswer::No, MsgAnswer::Ok});
    SelectDataDrive({""});
    EXPECT_EQ(platform.Texts().size(), 5u);
    EXPECT_EQ(platform.Texts().back(),
              QStringLiteral("Reload of original data disk failed, aborting Program"));
    EXPECT_FALSE(main->isVisible());
}

// Trying a folder never changes it, and the previous disk stays in use and
// remembered: not one with too many clients (refused by its error number, not
// tried again), not one that is no data disk, read-only or not, nor a read-only
// data disk (refused as write protected, cancelled), nor a disk with no room
// left (reported as full, not as missing, and its write test leaves nothing
// behind). Real read-only and full disks where the test may mount them, else
// the file layer refuses every write.
TEST_F(DriveMenuTest, TryingAFolderLeavesItExactlyAsItWas) {
    TempDir overfull, notADisk, lockedNotADisk, lockedDisk, full;
    mwtest::ScratchMount lockedDiskMount(lockedDisk.Path(), 64);
    mwtest::ScratchMount lockedNotADiskMount(lockedNotADisk.Path(), 64);
    mwtest::ScratchMount fullMount(full.Path(), 16);
    MakeDisk(overfull, Clients(52));
    notADisk.Write("notes.txt", "a stick with other files");
    lockedNotADisk.Write("notes.txt", "read-only, and not a data disk");
    MakeDisk(lockedDisk, {"Lou"});
    MakeDisk(full, {"Max"});
    if (fullMount.Mounted()) full.Write("filler", std::string(16 * 1024, 'x'));  // cut short
    const bool realReadOnly = lockedDiskMount.MakeReadOnly() && lockedNotADiskMount.MakeReadOnly();
    const auto snapshots = [&] {
        std::vector all{overfull.Snapshot(), notADisk.Snapshot(), lockedNotADisk.Snapshot(),
                        lockedDisk.Snapshot(), full.Snapshot()};
        for (auto& files : all) files.erase(kDiskLockFileName);  // a data disk's lock, kept
        return all;
    };
    const auto before = snapshots();

    platform.Next({MsgAnswer::Ok, MsgAnswer::No});
    SelectDataDrive({overfull.Path()});
    platform.Next(MsgAnswer::No);
    SelectDataDrive({notADisk.Path()});
    if (!realReadOnly) fs.failWrites = errc::PermissionDenied;
    platform.Next(MsgAnswer::No);
    SelectDataDrive({lockedNotADisk.Path()});
    platform.Next(MsgAnswer::Cancel, [&] { fs.failWrites.reset(); });
    SelectDataDrive({lockedDisk.Path()});
    if (!fullMount.Mounted()) fs.failWrites = errc::DiskFull;
    platform.Next(MsgAnswer::Cancel, [&] { fs.failWrites.reset(); });
    SelectDataDrive({full.Path()});

    Texts texts = platform.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Error 9:"))) << texts[0].toStdString();
    EXPECT_EQ(
        Texts(texts.begin() + 1, texts.end()),
        (Texts{QStringLiteral("Drive select unsuccessful, would you like to try again?"),
               NoTestInformation(notADisk.Path()), NoTestInformation(lockedNotADisk.Path()),
               QString::fromUtf8(kDataDiskWriteProtected), QString::fromUtf8(kDataDiskFull)}));
    EXPECT_EQ(snapshots(), before);
    ExpectTheFirstDiskInUse();
}

class DriveWindowTest : public mwtest::StationFixture {};

// The list holds the disk in use, first unless the drives (as the file layer
// lists them, removable media first) hold it; it is shown without being
// chosen, and the arrow keys move on from it. The label and the help speak of
// drive letters only where the drives have them.
TEST_F(DriveWindowTest, OffersTheDrivesAndTheDiskInUseAndExplainsThem) {
    const struct {
        std::vector<std::string> drives;
        std::string inUse;
        std::vector<std::string> listed;
        std::string chosen;  // by the Down key
        const char* label;   // a part of it, and of the help
        const char* help;
    } cases[] = {
        {{"/media/usb", disk.Path(), "/"},
         disk.Path(),
         {"/media/usb", disk.Path(), "/"},
         "/",
         "Choose the folder of the data disk. (USB drives are usually under /media.)",
         "mounted media come first.\nA data disk in any other folder can be typed in."},
        {{"a:", "f:"},
         "g:",
         {"g:", "a:", "f:"},
         "a:",
         "Choose the drive associated with the data disk. (Usually A: or F:)",
         "Floppy drives are usually A: or\nB: and USB drives are usually F: or G:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inUse);
        fs.drives = c.drives;
        state.DataPath = c.inUse;
        frmDriveSelect window(ctx, nullptr);
        mwtest::ShowActive(&window);
        auto* drives = mwtest::Find<QComboBox>(&window, "drDrive");
        std::vector<std::string> listed;
        for (int i = 0; i < drives->count(); ++i)
            listed.push_back(drives->itemText(i).toStdString());
        EXPECT_EQ(listed, c.listed);
        EXPECT_EQ(drives->currentText().toStdString(), c.inUse);
        EXPECT_EQ(window.ChosenDrive(), "");
        mwtest::PressKey(Qt::Key_Down);
        EXPECT_EQ(window.ChosenDrive(), c.chosen);
        EXPECT_TRUE(
            mwtest::Find<QLabel>(&window, "lblDrive")->text().contains(QString::fromUtf8(c.label)));
        platform.Next(MsgAnswer::Ok);
        mwtest::Find<QPushButton>(&window, "cmdhelp")->click();
        EXPECT_TRUE(platform.Texts().back().endsWith(QString::fromUtf8(c.help)));
    }
}

}  // namespace
}  // namespace mw
