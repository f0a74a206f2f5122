// Double-entry verification: the blind pass, the correction pass over the
// items that differ, the keys each item takes, and what is stored.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "core/data/CodeTables.h"
#include "station/entry/frmVerify.h"
#include "support/QtTestSupport.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Find;
using mwtest::PressKey;
using mwtest::TypeKeys;

// Answers that use every section's whole range: item n gets 1 + n mod (highest answer).
std::string SheetAnswers() {
    std::string answers;
    for (int item = 1; item <= kItemCount; ++item) {
        answers += static_cast<char>('1' + item % kSectionHighestAnswer[SectionOf(item)]);
    }
    return answers;
}

class VerifyTest : public mwtest::StationFixture {
protected:
    void SetUp() override {
        LoadDisk({"Ann", "Bob"});
        state.CurrentRecord = 2;
    }

    // Verification of client 2, stored with these answers.
    void Open(const std::string& stored) {
        state.ClientRecords[2].Answers = stored;
        ASSERT_TRUE(ctx.Store().SaveRecord(2));
        original = disk.Read("DATA401.MW");
        screen = std::make_unique<frmVerify>(ctx, nullptr);
        mwtest::ShowActive(screen.get());
    }

    // Keys the sheet's answers from the item asked now up to `item`, not included.
    void TypeSheetUpTo(int item) {
        TypeKeys(sheet.substr(static_cast<std::size_t>(AskedItem() - 1),
                              static_cast<std::size_t>(item - AskedItem())));
    }
    QString Text(const char* name) const {
        if (auto* entry = screen->findChild<QLineEdit*>(QLatin1String(name))) return entry->text();
        return Find<QLabel>(screen.get(), name)->text();
    }
    int AskedItem() const { return Text("lblCurQuestion").mid(10).toInt(); }
    bool PreviousShown() const { return Find<QGroupBox>(screen.get(), "Frame1")->isVisible(); }

    const std::string sheet = SheetAnswers();
    std::string original;
    std::unique_ptr<frmVerify> screen;
};

// The screen names the client. The value keyed in the correction pass, which
// is labelled and listed, wins over both earlier ones, and a write that fails
// asks the last item again so that keying it retries.
TEST_F(VerifyTest, OnlyTheDifferingItemsAreAskedAgainAndTheirCorrectionsAreStored) {
    Open(sheet);
    EXPECT_EQ(Text("lblClient"), QStringLiteral("Client 2: Bob"));
    std::string keyed = sheet;
    keyed[4] = sheet[4] == '1' ? '2' : '1';      // item 5
    keyed[139] = sheet[139] == '3' ? '4' : '3';  // item 140
    platform.Next(MsgAnswer::Ok);
    TypeKeys(keyed);
    EXPECT_EQ(platform.Texts().at(0), QStringLiteral("Data Correction needed. Please correct the "
                                                     "following questions.\n\n5, 140"));
    EXPECT_EQ(Find<QGroupBox>(screen.get(), "frAll")->title(), QStringLiteral("Data Correction"));
    EXPECT_EQ(Text("lblCurQuestion"), QStringLiteral("Question #5"));
    EXPECT_FALSE(PreviousShown());

    TypeKeys("0");
    EXPECT_EQ(Text("lblCurQuestion"), QStringLiteral("Question #140"));
    EXPECT_EQ(Text("lblPrevQuestion"), QStringLiteral("Question #5"));
    EXPECT_EQ(Text("txtPrevQuestion"), QStringLiteral("0"));

    fs.failWrites = errc::PermissionDenied;
    platform.Next({MsgAnswer::Ok, MsgAnswer::Cancel});
    TypeKeys("5");
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(Text("lblCurQuestion"), QStringLiteral("Question #140"));
    EXPECT_EQ(std::string(state.ClientRecords[2].Answers.View()), sheet);

    fs.failWrites.reset();
    platform.Next(MsgAnswer::Ok);
    TypeKeys("5");
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(platform.Texts().at(3), QStringLiteral("Data Verification complete."));
    std::string expected = sheet;
    expected[4] = '0';
    expected[139] = '5';
    EXPECT_EQ(ClientRecord::FromBytes(disk.Read("DATA401.MW").substr(kRecordSize)).Answers.View(),
              expected);
    EXPECT_EQ(disk.Read("DATA401.MW").substr(0, kRecordSize), original.substr(0, kRecordSize));
    EXPECT_EQ(AuditEvents(), std::vector<std::string>{"2 verification corrected: items 5, 140"});
}

// Each item takes the codes of its section: 0-2, 0-4, 0-5, 0-4. Item 147
// opens the four-answer section, so it refuses "5". Keying the stored
// answers again, whatever was stepped back over, needs no corrections.
TEST_F(VerifyTest, EachItemTakesItsSectionsAnswersBackspaceStepsBackAndAMatchIsKept) {
    Open(sheet);
    EXPECT_EQ(Text("pnlMessage"), QStringLiteral("Enter response data from answer sheet. Press "
                                                 "Backspace for previous question."));
    PressKey(Qt::Key_Backspace);
    TypeKeys("3x");
    EXPECT_EQ(platform.beeps, 3);
    EXPECT_EQ(AskedItem(), 1);
    EXPECT_FALSE(PreviousShown());

    TypeSheetUpTo(11);
    EXPECT_EQ(Text("lblPrevQuestion"), QStringLiteral("Question #10"));
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(Text("lblCurQuestion"), QStringLiteral("Question #10"));
    EXPECT_EQ(Text("lblPrevQuestion"), QStringLiteral("Question #9"));
    EXPECT_EQ(Text("txtPrevQuestion"), QString(QLatin1Char(sheet[8])));
    TypeKeys("0");
    EXPECT_EQ(Text("txtPrevQuestion"), QStringLiteral("0"));
    PressKey(Qt::Key_Backspace);

    const std::vector<std::pair<int, bool>> fiveTakenAt = {{94, false}, {122, false}, {123, true},
                                                           {146, true}, {147, false}, {160, false}};
    for (const auto& [item, taken] : fiveTakenAt) {
        TypeSheetUpTo(item);
        const int beeps = platform.beeps;
        TypeKeys("5");
        EXPECT_EQ(AskedItem(), taken ? item + 1 : item) << "item " << item;
        EXPECT_EQ(platform.beeps, taken ? beeps : beeps + 1) << "item " << item;
        if (taken) PressKey(Qt::Key_Backspace);
    }
    platform.Next(MsgAnswer::Ok);
    TypeSheetUpTo(kItemCount + 1);
    EXPECT_EQ(platform.Texts().at(0),
              QStringLiteral("Data Verification complete. No corrections needed."));
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    EXPECT_EQ(disk.Read("DATA401.MW"), original);
    EXPECT_TRUE(state.ListRefreshNeeded);
    EXPECT_EQ(AuditEvents(), std::vector<std::string>{"2 verification passed"});
}

// Answers that end early (a scan cut short) differ from where they end.
TEST_F(VerifyTest, ShortStoredAnswersDifferFromWhereTheyEndAndCancelStoresNothing) {
    Open(sheet.substr(0, 150));
    platform.Next(MsgAnswer::Ok);
    TypeKeys(sheet);
    EXPECT_EQ(Text("lblCurQuestion"), QStringLiteral("Question #151"));
    TypeKeys("12");
    EXPECT_EQ(Text("lblPrevQuestion"), QStringLiteral("Question #152"));

    PressKey(Qt::Key_Tab);
    EXPECT_EQ(Text("pnlMessage"), QStringLiteral("Press Enter to Cancel Data Verification and "
                                                 "return to Main Menu"));
    PressKey(Qt::Key_Return);
    EXPECT_EQ(screen->result(), QDialog::Rejected);
    EXPECT_EQ(disk.Read("DATA401.MW"), original);
    EXPECT_EQ(Trim(state.ClientRecords[2].Answers.View()), sheet.substr(0, 150));
    EXPECT_FALSE(state.ListRefreshNeeded);
}

}  // namespace
}  // namespace mw
