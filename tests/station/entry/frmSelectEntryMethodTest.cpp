// The entry-method screen: its choices, the answer-sheet route cancelled,
// and a disk that is full by the time a route starts.
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

using mwtest::ChooseLater;
using mwtest::Find;
using mwtest::PressKey;
using mwtest::TypeText;

class EntryMethodTest : public mwtest::StationFixture {
protected:
    // A disk with room for one more client.
    void SetUp() override {
        LoadDisk(mwtest::Clients(kMaxClients - 1));
        onDisk = disk.Read("DATA401.MW");
    }

    // Shows the screen; the driver's steps work through it and what it opens.
    void Run() {
        frmSelectEntryMethod screen(ctx, nullptr);
        screen.exec();
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(screen.isVisible());
    }

    mwtest::ModalDriver driver;
    std::string onDisk;
};

TEST_F(EntryMethodTest, TheKeyboardReachesCancelPastTheHiddenChoiceAndCancelWritesNothing) {
    state.CurrentRecord = 2;
    // Down from the first route reaches Cancel past the hidden review choice.
    driver.When<frmSelectEntryMethod>([](frmSelectEntryMethod* screen) {
        EXPECT_TRUE(mwtest::Choice(screen, frmSelectEntryMethod::kAdministerTest)->hasFocus());
        for (int i = 0; i < 3; ++i) PressKey(Qt::Key_Down);
        EXPECT_FALSE(mwtest::Choice(screen, frmSelectEntryMethod::kReviewScanned)->isVisible());
        EXPECT_TRUE(mwtest::Choice(screen, frmSelectEntryMethod::kCancelNewClient)->hasFocus());
        EXPECT_EQ(Find<QLabel>(screen, "MsgPanel")->text(),
                  QStringLiteral("Cancel. Do not enter a new client. Return to Main Menu."));
        mwtest::Choose(screen, frmSelectEntryMethod::kCancelNewClient);
    });
    Run();
    EXPECT_EQ(state.RecordCount, kMaxClients - 1);
    EXPECT_EQ(state.CurrentRecord, 2);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

// The route goes on to the answers only once the information is confirmed
// (the whole route is followed from the main menu). The disk had room when
// the screen opened; the 51st client may arrive before a route is chosen.
TEST_F(EntryMethodTest, TheAnswerSheetRouteEndsOnCancelledInformationOrAFullDisk) {
    driver.When<frmSelectEntryMethod>([](frmSelectEntryMethod* screen) {
        ChooseLater(screen, frmSelectEntryMethod::kEnterFromAnswerSheet);
    });
    driver.When<frmClientInfo>([](frmClientInfo* info) {
        auto* method = qobject_cast<QWidget*>(info->parent());
        EXPECT_TRUE(Find(method, "frBlank")->isVisible());
        EXPECT_FALSE(Find(method, "fraSelectMethod")->isVisible());
        TypeText(QStringLiteral("Cy"));
        PressKey(Qt::Key_Escape);
    });
    Run();
    EXPECT_EQ(state.RecordCount, kMaxClients - 1);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);

    driver.When<frmSelectEntryMethod>([this](frmSelectEntryMethod* screen) {
        state.ClientRecords[kMaxClients].Name = "Last";
        ASSERT_TRUE(ctx.Store().AddClient());
        onDisk = disk.Read("DATA401.MW");
        platform.Next(MsgAnswer::Ok);
        ChooseLater(screen, frmSelectEntryMethod::kEnterFromAnswerSheet);
    });
    Run();
    EXPECT_TRUE(platform.Texts().at(0).startsWith(
        QStringLiteral("This data disk already holds 51 clients")));
    EXPECT_EQ(state.RecordCount, kMaxClients);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

}  // namespace
}  // namespace mw
