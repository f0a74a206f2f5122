// A test the station stopped in the middle of: the journal kept after every
// answer takes the client back to the item where it stopped at the next
// start, and goes away once the test is finished, discarded or aborted.
//
// The interruption is the station killed outright in the middle of the test,
// as a power cut or a crash stops it: what the next start sees is only the
// journal on disk.
#include <gtest/gtest.h>

#include <QThreadPool>
#include <csignal>
#include <cstdlib>

#include "core/data/Paradata.h"
#include "core/data/TestJournal.h"
#include "station/app/frmMain.h"
#include "station/present/PresentFixture.h"

namespace mw {
namespace {

using mwtest::PressKey;

class UnfinishedTestTest : public mwtest::PresentFixture {
protected:
    // A new client's test, stopped with item `at` on the screen.
    void Interrupt(int at, bool largeType = false) {
        NewClient();
        AddQuestionTable("English", AllItems());
        MakeSounds("English");
        Open("English");
        screen->SetLargeType(largeType);
        ReadFirstInstructions();
        // A copy of this process answers and is killed; this one only watches.
        // The copy has this thread alone, so no other thread may be busy.
        QThreadPool::globalInstance()->waitForDone();
        EXPECT_EXIT(
            {
                AnswerThrough(at - 1);
                if (Item() == at) std::raise(SIGKILL);
                std::exit(EXIT_FAILURE);
            },
            testing::KilledBySignal(SIGKILL), "");
        opened.reset();
        screen = nullptr;
        ASSERT_TRUE(Journal());
    }
    bool Journal() const { return programDir.Exists(kTestJournalName); }
    // The next start will find the journal: a note, then the secret code.
    void ExpectJournalFound() {
        platform.Next(MsgAnswer::Ok);
        GiveCode();
    }
    // The next start of the station, on a disk of `clients` and then the records `added`.
    bool Restart(const std::vector<std::string>& clients, const std::string& added = {}) {
        state = StationState{};
        MakeDisk(disk, clients);
        disk.Write("DATA401.MW", disk.Read("DATA401.MW") + added);
        RememberDrive(disk.Path());
        main = std::make_unique<frmMain>(ctx);
        return main->Load();
    }
    void GiveCode() { mwtest::AnswerInputBox(driver, QStringLiteral("j")); }

    mwtest::ModalDriver driver;
};

TEST_F(UnfinishedTestTest, AStoppedTestResumesAtItsItemAndEndsAsAStraightRun) {
    Interrupt(57, true);
    ExpectJournalFound();
    platform.Next(MsgAnswer::Yes);  // resume
    // "Press the Enter key to begin the test.", in the large type the test began in.
    platform.Next(MsgAnswer::Ok, [this] { EXPECT_TRUE(*platform.shown.back().checked); });
    driver.When<frmPresentQA>([this](frmPresentQA* test) {
        screen = test;
        EXPECT_TRUE(test->LargeType());
        EXPECT_TRUE(test->parentWidget()->isFullScreen());
        ReadFirstInstructions();
        EXPECT_EQ(Item(), 57);
        AnswerThrough(kItemCount);
    });
    GiveCode();
    ASSERT_TRUE(Restart({"Ann", "Bob"}));
    EXPECT_EQ(platform.shown.at(1).text,
              QStringLiteral("Cy did not finish the test: 56 of 160 items answered, in English.\n\n"
                             "Resume the test at item 57?\nNo discards it."));
    EXPECT_EQ(disk.Read("DATA401.MW"), Stored(Patterned()));
    EXPECT_EQ(state.RecordCount, 3);
    EXPECT_FALSE(Journal());
    // The times of the items answered before the stop came back with the journal.
    auto timing = ReadParadata(fs, disk.Path());
    ASSERT_TRUE(timing) << timing.error().message;
    EXPECT_EQ(Summarize(timing->at(3)).timed, kItemCount);
}

TEST_F(UnfinishedTestTest, AJournalServesOnlyItsOwnDiskAndGoesOnceDiscardedDamagedAbortedOrStored) {
    Interrupt(3);
    ExpectJournalFound();
    // A client added since: the slot the test was given is taken.
    platform.Next(MsgAnswer::No);  // kept: the station ends
    EXPECT_FALSE(Restart({"Ann", "Bob", "Dee"}));
    EXPECT_TRUE(platform.shown.at(1).text.startsWith(
        QStringLiteral("The unfinished test of Cy belongs to the data disk ")));
    EXPECT_TRUE(Journal());

    ExpectJournalFound();
    platform.Next(MsgAnswer::No);  // not resumed,
    platform.Next(MsgAnswer::No);  // nor discarded: asked again
    platform.Next(MsgAnswer::No);
    platform.Next(MsgAnswer::Yes);  // discarded
    ASSERT_TRUE(Restart({"Ann", "Bob"}));
    EXPECT_FALSE(Journal());
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);

    programDir.Write(kTestJournalName, "[Path]\r\n");
    ExpectJournalFound();
    platform.Next(MsgAnswer::Yes);  // deleted
    EXPECT_TRUE(Restart({"Ann", "Bob"}));
    EXPECT_TRUE(platform.shown.back().text.contains(
        QString::fromStdString(TestJournalPath(programDir.Path()))));
    EXPECT_FALSE(Journal());

    // The station stopped after storing a finished test and before removing its
    // journal: the journal goes without a word. The same client with another
    // answer is another test.
    NewClient();
    TestJournal finished{.DataPath = disk.Path(),
                         .DiskCheck = DiskFingerprint(onDisk),
                         .Client = client,
                         .Language = "English",
                         .Item = kItemCount};
    for (int item = 1; item <= kItemCount; ++item) finished.Answers[item] = Pattern(item);
    ASSERT_TRUE(WriteTestJournal(fs, programDir.Path(), finished, {}));
    std::string answers = Patterned();
    answers[kItemCount - 1] = answers[kItemCount - 1] == '1' ? '2' : '1';
    client.Answers = answers;
    ExpectJournalFound();
    platform.Next(MsgAnswer::No);  // not this disk's test: kept
    EXPECT_FALSE(Restart({"Ann", "Bob"}, client.ToBytes()));
    client.Answers = Patterned();
    const std::size_t shown = platform.shown.size();
    EXPECT_TRUE(Restart({"Ann", "Bob"}, client.ToBytes()));
    EXPECT_EQ(platform.shown.size(), shown);
    EXPECT_FALSE(Journal());
    EXPECT_EQ(state.RecordCount, 3);

    // A journal that cannot be written leaves the test running and is reported.
    NewClient();
    Open("English");
    ReadFirstInstructions();
    fs.failWrites = errc::DiskFull;
    AnswerWith(1);
    EXPECT_EQ(Item(), 2);
    ASSERT_TRUE(screen->JournalFailure());
    EXPECT_NE(screen->JournalFailure()->message.find(TestJournalPath(programDir.Path())),
              std::string::npos);
    fs.failWrites.reset();
    AnswerWith(1);
    ASSERT_TRUE(Journal());
    PressKey(Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);  // aborted
    EXPECT_FALSE(Journal());
}

// The station stopped while the test's first answer was being kept: the
// journal's recovery entry takes the write back, so there is no test to
// resume, and the next start says nothing of one.
TEST_F(UnfinishedTestTest, AFirstAnswerKeptOnlyInPartLeavesNothingToResumeOrTellOf) {
    NewClient();
    TestJournal first{.DataPath = disk.Path(),
                      .DiskCheck = DiskFingerprint(onDisk),
                      .Client = client,
                      .Language = "English",
                      .Item = 2};
    first.Answers[1] = 1;
    // Cut short at each of its writes in turn, until one leaves the journal
    // written and its recovery entry standing.
    for (int writes = 0; !Journal() && writes < 8; ++writes) {
        fs.failWrites = errc::DeviceIo;
        fs.writesBeforeFailure = writes;
        EXPECT_FALSE(WriteTestJournal(fs, programDir.Path(), first, {}));
        fs.failWrites.reset();
    }
    ASSERT_TRUE(Journal());
    EXPECT_TRUE(Restart({"Ann", "Bob"}));
    EXPECT_TRUE(platform.shown.empty()) << platform.shown.front().text.toStdString();
    EXPECT_FALSE(Journal());
    EXPECT_EQ(state.RecordCount, 2);
}

}  // namespace
}  // namespace mw
