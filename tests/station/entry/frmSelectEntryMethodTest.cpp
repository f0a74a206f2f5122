// The entry-method screen: its choices, the answer-sheet route cancelled,
// the routes still to come, and a disk that is full by the time a route starts.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "station/entry/frmClientInfo.h"
#include "station/entry/frmSelectEntryMethod.h"
#include "support/QtTestSupport.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Find;
using mwtest::PressKey;
using mwtest::TypeText;

void Choose(QWidget* screen, int index) {
    mwtest::Choice(screen, index)->setFocus();
    PressKey(Qt::Key_Return);
}

// Chooses once the driver's step has returned: the route opens windows of
// its own, which the driver's next steps handle.
void ChooseLater(QWidget* screen, int index) {
    QMetaObject::invokeMethod(
        screen, [screen, index] { Choose(screen, index); }, Qt::QueuedConnection);
}

class EntryMethodTest : public mwtest::StationFixture {
protected:
    void Load(int clients) {
        mwtest::MakeDisk(disk, mwtest::Clients(clients));
        state.DataPath = disk.Path();
        ASSERT_TRUE(ctx.Store().LoadRecords());
        onDisk = disk.Read("DATA401.MW");
    }

    // Shows the screen; the driver's steps work through it and what it opens.
    void Run() {
        frmSelectEntryMethod screen(ctx, nullptr);
        screen.exec();
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(screen.isVisible());
    }
    // The screen's first step: choose a route with the keyboard.
    void ChooseRoute(int route) {
        driver.When<frmSelectEntryMethod>(
            [route](frmSelectEntryMethod* screen) { ChooseLater(screen, route); });
    }

    mwtest::ModalDriver driver;
    std::string onDisk;
};

TEST_F(EntryMethodTest, FourRoutesAreOfferedWithTheirStatusLinesAndCancelWritesNothing) {
    Load(2);
    state.CurrentRecord = 2;
    driver.When<frmSelectEntryMethod>([](frmSelectEntryMethod* screen) {
        EXPECT_EQ(screen->windowTitle(), QStringLiteral("Entry Method"));
        EXPECT_EQ(Find<QGroupBox>(screen, "fraSelectMethod")->title(),
                  QStringLiteral("Select Client Data Entry Method"));
        auto* msgPanel = Find<QLabel>(screen, "MsgPanel");
        EXPECT_TRUE(mwtest::Choice(screen, frmSelectEntryMethod::kAdministerTest)->hasFocus());
        EXPECT_EQ(msgPanel->text(), QStringLiteral("Onscreen Presentation. Enter client "
                                                   "information then present the test on the "
                                                   "computer."));
        PressKey(Qt::Key_Down);
        EXPECT_EQ(msgPanel->text(), QStringLiteral("Paper-Pencil Presentation. Manually enter "
                                                   "test information from completed answer "
                                                   "sheet."));
        PressKey(Qt::Key_Down);
        EXPECT_EQ(msgPanel->text(),
                  QStringLiteral("Optical Scanner Presentation. Scan completed answer sheet."));
        QPushButton* review = mwtest::Choice(screen, frmSelectEntryMethod::kReviewScanned);
        EXPECT_FALSE(review->isVisible());
        EXPECT_FALSE(review->isEnabled());
        PressKey(Qt::Key_Down);
        EXPECT_TRUE(mwtest::Choice(screen, frmSelectEntryMethod::kCancelNewClient)->hasFocus());
        EXPECT_EQ(msgPanel->text(),
                  QStringLiteral("Cancel. Do not enter a new client. Return to Main Menu."));
        PressKey(Qt::Key_Return);
    });
    Run();
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(state.CurrentRecord, 2);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

// The route goes on to the answers only once the information is confirmed
// (the whole route is followed from the main menu).
TEST_F(EntryMethodTest, TheAnswerSheetRouteEndsWhenTheClientInformationIsCancelled) {
    Load(2);
    ChooseRoute(frmSelectEntryMethod::kEnterFromAnswerSheet);
    driver.When<frmClientInfo>([](frmClientInfo* info) {
        auto* method = qobject_cast<QWidget*>(info->parent());
        EXPECT_TRUE(Find(method, "frBlank")->isVisible());
        EXPECT_FALSE(Find(method, "fraSelectMethod")->isVisible());
        TypeText(QStringLiteral("Cy"));
        PressKey(Qt::Key_Escape);
    });
    Run();
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

TEST_F(EntryMethodTest, TestingOnTheScreenAndScanningAreNotAvailableYetAndChangeNothing) {
    Load(2);
    const std::string inMemory = state.ClientRecords[3].ToBytes();
    for (int route :
         {frmSelectEntryMethod::kAdministerTest, frmSelectEntryMethod::kScanAnswerSheet}) {
        ChooseRoute(route);
        platform.Next(MsgAnswer::Ok);
        Run();
    }
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].text,
              QStringLiteral("Testing on the screen is not available on this station yet."));
    EXPECT_EQ(platform.shown[1].text,
              QStringLiteral("Scanning answer sheets is not available on this station yet."));
    EXPECT_EQ(platform.shown[1].icon, MsgIcon::Information);
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(state.CurrentRecord, 1);
    EXPECT_EQ(state.ClientRecords[3].ToBytes(), inMemory);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

// The disk had room when the screen opened; the 51st client arrives before
// a route is chosen.
TEST_F(EntryMethodTest, ADiskFilledMeanwhileRefusesTheNewClientBeforeAnythingIsKeyed) {
    Load(kMaxClients - 1);
    driver.When<frmSelectEntryMethod>([this](frmSelectEntryMethod* screen) {
        state.ClientRecords[kMaxClients].Name = "Last";
        ASSERT_TRUE(ctx.Store().AddClient());
        onDisk = disk.Read("DATA401.MW");
        platform.Next(MsgAnswer::Ok);
        ChooseLater(screen, frmSelectEntryMethod::kEnterFromAnswerSheet);
    });
    Run();
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_TRUE(platform.shown[0].text.startsWith(
        QStringLiteral("This data disk already holds 51 clients")));
    EXPECT_EQ(platform.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(state.RecordCount, kMaxClients);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

}  // namespace
}  // namespace mw
