// The station's start-up: the data disk remembered or chosen, the splash
// window and the start-up error handler.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>

#include "station/app/frmAbout.h"
#include "station/app/frmDriveSelect.h"
#include "station/screen/AuditTrail.h"
#include "station/screen/DiskRetry.h"
#include "support/AuditLogChanges.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::MakeDisk;
using Texts = std::vector<QString>;

class StartUpTest : public mwtest::StationFixture {
protected:
    bool Start() {
        main = std::make_unique<frmMain>(ctx);
        return main->Load();
    }
};

// A remembered drive that holds no data disk is named as the user knows it.
TEST_F(StartUpTest, ARememberedDriveWithoutADataDiskIsAskedAboutAndNoEndsTheProgram) {
    RememberDrive("a:");
    platform.Next(MsgAnswer::No);
    EXPECT_FALSE(Start());
    EXPECT_EQ(platform.Texts(), Texts{QStringLiteral("No test information found on drive A:, "
                                                     "would you like to try another drive?")});
    EXPECT_EQ(platform.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ctx.Ini().GetINIFilePath(), "a:");
}

// A first start: no MW.ini (an installed station's folder is made without
// one), or one that names no data disk. The station says so and offers the
// mounted media, nothing chosen until the user picks one, and remembers the
// choice. Backing out ends the program.
TEST_F(StartUpTest, AFirstStartSaysNoDiskIsChosenYetAndOffersTheMountedMedia) {
    MakeDisk(disk, {"Ann", "Bob"});
    fs.drives = {disk.Path(), "/"};
    const QString noDisk = QStringLiteral(
        "No data disk has been chosen yet.\n\nChoose the drive or folder that holds the data "
        "disk.");

    for (const char* settings : {"", "[Settings]\r\nNumLock=False\r\n[Path]\r\nFilePath=\r\n"}) {
        if (*settings) programDir.Write("MW.ini", settings);
        platform.Next(MsgAnswer::Ok);
        mwtest::ModalDriver driver;
        driver.When<frmDriveSelect>([&](frmDriveSelect* window) {
            EXPECT_FALSE(
                mwtest::Find<QLabel>(window, "lblDrive")->text().contains(QStringLiteral("A:")));
            auto* list = mwtest::Find<QComboBox>(window, "drDrive");
            EXPECT_EQ(list->count(), 2);
            EXPECT_EQ(list->currentText(), QString());
            mwtest::PressKey(Qt::Key_Escape);
        });
        EXPECT_FALSE(Start());
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(platform.Texts().back(), noDisk);
    }
    EXPECT_EQ(platform.shown.back().icon, MsgIcon::Information);

    platform.Next(MsgAnswer::Ok);
    mwtest::ModalDriver driver;
    driver.When<frmDriveSelect>([](frmDriveSelect*) {
        mwtest::PressKey(Qt::Key_Down);
        mwtest::PressKey(Qt::Key_Return);
    });
    ASSERT_TRUE(Start());
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(ctx.Ini().GetINIFilePath(), disk.Path());

    ASSERT_TRUE(Start());  // the next start asks nothing
    EXPECT_EQ(platform.Texts(), Texts(3, noDisk));
}

TEST_F(StartUpTest, ARefusedDiskLeadsToTheDriveWindowAndTheChoiceIsRememberedForNextStart) {
    mwtest::TempDir good;
    MakeDisk(disk, {"Ann"}, "MW\r\n");
    MakeDisk(good, {"Bob", "Cy"});
    RememberDrive(disk.Path());
    platform.Next({MsgAnswer::Ok, MsgAnswer::Yes});
    mwtest::ModalDriver driver;
    driver.When<frmDriveSelect>([&](frmDriveSelect* window) {
        mwtest::Find<QComboBox>(window, "drDrive")->lineEdit()->selectAll();
        mwtest::TypeText(QString::fromStdString(good.Path()));
        mwtest::PressKey(Qt::Key_Return);
    });

    ASSERT_TRUE(Start());
    EXPECT_EQ(platform.Texts(),
              (Texts{QStringLiteral("This is not an Mirrorwise data disk."),
                     QStringLiteral("Drive select unsuccessful, would you like to try again?")}));
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Data Disk Error"));
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(ctx.Ini().GetINIFilePath(), good.Path());  // read from MW.ini at the next start
}

// Each start is logged, and a log as the station left it shows nothing. What
// was done to it outside the station (a line changed, named where the chain
// of hashes breaks; lines cut off the end; the log emptied, removed or written
// anew) and what stops lines being added (a FIFO, a link, a read-only file at
// its name) are shown to the supervisor at start-up, once: the first event then
// adds no box of its own. A log that stops taking lines later (a full disk) is
// told once. The station goes on either way.
TEST_F(StartUpTest, ALogChangedOutsideTheStationOrUnwritableIsToldOnce) {
    MakeDisk(disk, {"Ann"});
    RememberDrive(disk.Path());
    const std::string log = disk.File(kAuditLogFileName);
    std::vector<mwtest::AuditLogChange> changes = mwtest::AuditLogChanges();
    changes.push_back({"the last line changed",
                       [](const std::string& log) {
                           std::string text = mwtest::ReadLog(log);
                           mwtest::WriteLog(log, text.replace(text.rfind("start-up"), 5, "later"));
                       },
                       "line 2 of "});
    for (const mwtest::AuditLogChange& change : changes) {
        SCOPED_TRACE(change.what);
        std::filesystem::remove(log);
        std::filesystem::remove(log + ".real");
        std::filesystem::remove(programDir.File(kAuditNoteFileName));
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Start());
        ASSERT_TRUE(platform.shown.empty());
        EXPECT_EQ(AuditEvents().back(), "- disk selected: at start-up");
        change.make(log);
        platform.Next(MsgAnswer::Ok);
        ASSERT_TRUE(Start());
        Audit(ctx, {AuditEvent::ReportViewed, 1});
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_TRUE(platform.shown[0].text.contains(QString::fromUtf8(change.told)))
            << platform.shown[0].text.toStdString();
        EXPECT_TRUE(platform.shown[0].text.contains(QString::fromStdString(log)));
        EXPECT_EQ(platform.shown[0].icon, MsgIcon::Exclamation);
        platform.shown.clear();
        ctx.auditLogFailing = false;
        std::filesystem::remove(log);
    }

    std::filesystem::remove(programDir.File(kAuditNoteFileName));
    ASSERT_TRUE(Start());
    fs.failWrites = errc::DiskFull;
    platform.Next(MsgAnswer::Ok);
    Audit(ctx, {AuditEvent::ReportViewed, 1});
    Audit(ctx, {AuditEvent::ReportViewed, 1});
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_TRUE(platform.shown[0].text.startsWith(
        QStringLiteral("The audit log on the data disk could not be written:")));
}

// A recovery entry that does not belong to the record file beside it (here
// one of an earlier version, which names no file) is kept aside at start-up
// and the supervisor told of both files; the clients stay as they are.
TEST_F(StartUpTest, AForeignRecoveryEntryIsKeptAsideAndTold) {
    MakeDisk(disk, {"Ann", "Bob"});
    const std::string records = disk.Read("DATA401.MW");
    const std::string entry = std::string("MWUNDO011") + std::string(40, '\0');
    disk.Write("DATA401.RCV", entry);
    RememberDrive(disk.Path());
    platform.Next(MsgAnswer::Ok);
    ASSERT_TRUE(Start());
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(disk.Read("DATA401.MW"), records);
    EXPECT_EQ(disk.Read("DATA401.RCV.kept"), entry);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Data Disk"));
    for (const char* file : {"DATA401.RCV", "DATA401.MW", "DATA401.RCV.kept"}) {
        EXPECT_TRUE(platform.shown[0].text.contains(QString::fromStdString(disk.File(file))))
            << file;
    }
}

TEST_F(StartUpTest, AWriteProtectedDiskIsTriedAgainOnOkAndCancelEnds) {
    MakeDisk(disk, {"Ann"});
    disk.Write("checkWriteTest", "left by an interrupted run");
    RememberDrive(disk.Path());
    fs.failWrites = errc::PermissionDenied;
    platform.Next(MsgAnswer::Cancel);
    EXPECT_FALSE(Start());

    platform.Next(MsgAnswer::Ok);
    platform.Next(MsgAnswer::Ok, [&] { fs.failWrites.reset(); });
    ASSERT_TRUE(Start());
    EXPECT_EQ(platform.Texts(), Texts(3, QString::fromUtf8(kDataDiskWriteProtected)));
    EXPECT_EQ(platform.shown[2].icon, MsgIcon::Stop);
    EXPECT_FALSE(disk.Exists("checkWriteTest"));
    EXPECT_EQ(state.RecordCount, 1);
}

// The data disk fails after it was accepted, while the splash window is up.
class StartUpErrorTest : public StartUpTest {
protected:
    void SetUp() override {
        MakeDisk(disk, {"Ann", "Bob"});
        RememberDrive(disk.Path());
        ctx.splashHold = std::chrono::milliseconds(300);
        splashWatch_.setInterval(5);
        QObject::connect(&splashWatch_, &QTimer::timeout, [this] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (qobject_cast<frmAbout*>(window) && window->isVisible() &&
                    splashTitle.isEmpty()) {
                    splashTitle = window->windowTitle();
                    fs.failReads = failure;
                }
            }
        });
        splashWatch_.start();
    }

    int failure = errc::FileNotFound;
    QString splashTitle;

private:
    QTimer splashWatch_;
};

// A missing disk is asked for and OK tries again; Cancel, or any other error
// (shown by its number), ends the program.
TEST_F(StartUpErrorTest, AMissingDiskIsAskedForAndCancelOrAnyOtherErrorEndsTheProgram) {
    platform.Next(MsgAnswer::Ok, [&] { fs.failReads.reset(); });
    ASSERT_TRUE(Start());
    EXPECT_EQ(splashTitle, QStringLiteral("Initializing..."));
    EXPECT_EQ(
        platform.Texts(),
        Texts{QStringLiteral("Data disk not found!\n\nInsert data disk in drive A to continue.")});
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Mirrorwise"));
    EXPECT_FALSE(platform.busy);

    splashTitle.clear();
    platform.Next(MsgAnswer::Cancel);
    EXPECT_FALSE(Start());
    splashTitle.clear();
    fs.failReads.reset();
    failure = errc::BadData;
    platform.Next(MsgAnswer::Ok);
    EXPECT_FALSE(Start());
    EXPECT_EQ(platform.shown.size(), 3u);
    EXPECT_TRUE(
        platform.Texts().back().startsWith(QStringLiteral("Error 1000:injected read failure")));
}

}  // namespace
}  // namespace mw
