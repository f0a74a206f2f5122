// The entry-method screen: its choices, a new client abandoned on any
// route, and a disk that is full by the time a route starts.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "station/app/frmSelectEntryMethod.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/present/frmSelectLanguage.h"
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
        PressKey(Qt::Key_Return);
    });
    Run();
    EXPECT_EQ(state.RecordCount, kMaxClients - 1);
    EXPECT_EQ(state.CurrentRecord, 2);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
}

// Whichever way a confirmed new client is given up, its slot is blank, the
// client selected before is current again and nothing is written: no
// screen can show, print or store it afterwards.
TEST_F(EntryMethodTest, ANewClientGivenUpAfterItsInformationIsNeverCurrentOrStored) {
    enum Questions { kShipped, kNone, kNotAQuestionTable };
    const struct {
        const char* why;
        frmSelectEntryMethod::Choice route;
        Questions questions;
        int boxes;
        std::function<void(mwtest::ModalDriver&)> giveUp;
    } cases[] = {
        {"language cancelled", frmSelectEntryMethod::kAdministerTest, kShipped, 0,
         [](mwtest::ModalDriver& d) {
             d.When<frmSelectLanguage>([](frmSelectLanguage* languages) {
                 mwtest::Choose(languages, frmSelectLanguage::kCancelPresentation);
             });
         }},
        {"Escape on the language screen", frmSelectEntryMethod::kAdministerTest, kShipped, 0,
         [](mwtest::ModalDriver& d) {
             d.When<frmSelectLanguage>([](frmSelectLanguage* languages) {
                 PressKey(Qt::Key_Escape);
                 EXPECT_FALSE(languages->isVisible());
             });
         }},
        {"no question table", frmSelectEntryMethod::kAdministerTest, kNone, 1, nullptr},
        {"a table that cannot be read", frmSelectEntryMethod::kAdministerTest, kNotAQuestionTable,
         1, nullptr},
        {"answers keyed, then cancelled", frmSelectEntryMethod::kEnterFromAnswerSheet, kShipped, 0,
         [this](mwtest::ModalDriver& d) {
             d.When<frmNewEntry>([this](frmNewEntry* grid) {
                 mwtest::TypeKeys(std::string(50, '1'));
                 platform.Next(MsgAnswer::Yes);
                 mwtest::Choose(grid, frmNewEntry::kCancel);
             });
         }},
        {"no question table for the answers", frmSelectEntryMethod::kEnterFromAnswerSheet, kNone, 1,
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ctx.database.reset();
        if (c.questions == kShipped) UseShippedQuestions();
        if (c.questions == kNotAQuestionTable) {
            programDir.Write("mw32.db", "");
            ctx.database = std::move(*Database::Open(programDir.File("mw32.db"), false));
            ASSERT_TRUE(ctx.database->Execute("CREATE TABLE English (ID INTEGER)"));
        }
        state.CurrentRecord = 2;
        for (int i = 0; i < c.boxes; ++i) platform.Next(MsgAnswer::Ok);
        driver.When<frmSelectEntryMethod>(
            [&](frmSelectEntryMethod* screen) { ChooseLater(screen, c.route); });
        mwtest::KeyNewClient(driver);
        if (c.giveUp) c.giveUp(driver);
        Run();
        EXPECT_EQ(state.CurrentRecord, 2);
        EXPECT_EQ(state.ClientRecords[kMaxClients].ToBytes(), ClientRecord().ToBytes());
        EXPECT_EQ(state.RecordCount, kMaxClients - 1);
        EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
    }
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
