// The test on the screen: every text of the shipped tables on screens of
// every size, a keyed run through every section with steps back, a test
// without sound, a Spanish table and a save the disk refuses, and a sound
// that cannot be played.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGroupBox>
#include <QPushButton>

#include "station/present/PresentFixture.h"
#include "station/present/PresentTexts.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenLook.h"
#include "support/TextOnScreen.h"

namespace mw {
namespace {

using mwtest::Find;
using mwtest::PressKey;
using mwtest::TextsWhole;

const QString kAnswerHelp = QStringLiteral(
    "Press enter to select this answer. Press Tab or Arrows to hear question again. Press F10 "
    "for previous question.");

class PresentTest : public mwtest::PresentFixture {
protected:
    bool InstructionsStart(const char* text) const {
        return Find<QPlainTextEdit>(screen, "txtInstructions")
            ->toPlainText()
            .startsWith(QString::fromUtf8(text));
    }
    QPushButton* Row(int index) const { return mwtest::Choice(screen, index); }
    bool Highlighted(int index) const {
        return Find(screen, ControlName(kMenuChoicePanel, index))
                       ->palette()
                       .color(QPalette::Window) == QColor(kFocusColor) &&
               Find(screen, ControlName("txtButtonText", index))->font().bold();
    }
    // The status line with the first answer of item 1 highlighted.
    QString AnswerStatus() {
        Open("English");
        ReadFirstInstructions();
        PressKey(Qt::Key_Down);
        return Status();
    }
};

// In the usual type at every size; in large type on the smallest screen it
// promises to fit, and with the clerk's large type for the test on the
// smallest screen of all.
TEST_F(PresentTest, EveryTextOfBothShippedTablesIsWhollyOnTheScreenAtEachSizeAndType) {
    NewClient();
    UseShippedQuestions();
    fs.failWrites = errc::PermissionDenied;  // no journal: a quicker run, nothing stored
    struct UsualLook {
        ~UsualLook() { ApplyScreenLook({}); }
    } restore;
    enum class Type { Usual, Station, ThisTest };
    const struct {
        QSize size;
        Type type;
    } cases[] = {{{800, 600}, Type::Usual},    {{1024, 768}, Type::Usual},
                 {{1280, 1024}, Type::Usual},  {{1920, 1080}, Type::Usual},
                 {{1024, 768}, Type::Station}, {{800, 600}, Type::ThisTest}};
    for (const char* language : {"English", "Spanish"}) {
        for (const auto& [size, type] : cases) {
            SCOPED_TRACE(::testing::Message() << language << " at " << size.width() << "x"
                                              << size.height() << " type " << int(type));
            ApplyScreenLook({.largeType = type == Type::Station});
            Open(language);
            screen->SetLargeType(type != Type::Usual);
            screen->setWindowState(Qt::WindowNoState);
            screen->resize(size);
            ASSERT_TRUE(TextsWhole(screen, QRect(QPoint(), size))) << "general instructions";
            PressKey(Qt::Key_Return);
            ASSERT_TRUE(TextsWhole(screen, QRect(QPoint(), size))) << "section 1 instructions";
            PressKey(Qt::Key_Return);
            for (int item = 1; item <= kItemCount; ++item) {
                ASSERT_EQ(Item(), item);
                ASSERT_TRUE(TextsWhole(screen, QRect(QPoint(), size))) << "item " << item;
                int rows = 0;
                while (rows < frmPresentQA::kAnswerRows && Row(rows)->isVisible()) ++rows;
                for (int row = 0; row < rows; ++row) {
                    PressKey(Qt::Key_Down);
                    ASSERT_TRUE(TextsWhole(screen, QRect(QPoint(), size)))
                        << "item " << item << " answer " << row;
                }
                if (item == kItemCount) break;
                const bool sectionEnd =
                    std::ranges::find(SectionBounds, item) != SectionBounds.end();
                if (sectionEnd) platform.Next(MsgAnswer::Ok);
                PressKey(Qt::Key_Return);
                if (sectionEnd) {
                    // The section's note is in the test's type.
                    EXPECT_EQ(platform.shown.back().largeType, type != Type::Usual);
                    ASSERT_TRUE(TextsWhole(screen, QRect(QPoint(), size)))
                        << "instructions after " << item;
                    PressKey(Qt::Key_Return);
                }
            }
        }
    }
}

// The window manager gives the test the whole screen; a window that then
// grew to fit its scaled contents would ask for a size of its own, and the
// window manager would take it out of the full screen. Whatever size it is
// given, in either type, it keeps.
TEST_F(PresentTest, TheTestWindowNeverResizesItself) {
    NewClient();
    AddQuestionTable("English", AllItems());
    Open("English");
    for (const QSize given : {QSize(100, 30), QSize(400, 300), QSize(800, 600)}) {
        for (const bool large : {false, true}) {
            SCOPED_TRACE(::testing::Message()
                         << given.width() << "x" << given.height() << (large ? " large" : ""));
            screen->SetLargeType(large);
            screen->setWindowState(Qt::WindowNoState);
            screen->resize(given);
            QCoreApplication::processEvents();
            EXPECT_EQ(screen->size(), given);
            EXPECT_EQ(screen->minimumSize(), QSize(0, 0));
        }
    }
}

TEST_F(PresentTest, AKeyedRunWithStepsBackStoresTheFinalAnswersAsTheNewClient) {
    NewClient();
    AddQuestionTable("English", AllItems());
    MakeSounds("English");
    state.ChoiceConfirmed = false;  // the stored test confirms the client
    Open("English");
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Question Presentation"));
    EXPECT_TRUE(screen->isFullScreen());
    EXPECT_EQ(Status(), QStringLiteral("When ready press Enter to continue."));
    EXPECT_EQ(platform.audio.played,
              (std::vector{QString::fromStdString(sounds.File("MWTEST/sound/English/Inst0.wav"))}));
    PressKey(Qt::Key_F10);  // ignored while instructions show
    EXPECT_TRUE(InstructionsStart(" Your answers will help staff understand your needs."));
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(InstructionsStart("Section 1\n"));
    EXPECT_EQ(platform.audio.Last(), QStringLiteral("Inst1.wav"));
    PressKey(Qt::Key_Return);

    // Item 1 has two answers; the arrows pass over the hidden rows back to the question.
    ASSERT_TRUE(QuestionHasFocus());
    EXPECT_EQ(Find<QPlainTextEdit>(screen, "txtQuestion")->toPlainText(),
              QStringLiteral("1. Item 1"));
    EXPECT_EQ(platform.audio.Last(), QStringLiteral("Q1.wav"));
    EXPECT_EQ(Status(), QStringLiteral("Use Up or Down arrow keys to highlight answer, then press "
                                       "Enter. Press F10 for previous question."));
    EXPECT_FALSE(Row(2)->isVisible());
    PressKey(Qt::Key_Down);
    EXPECT_TRUE(Row(0)->hasFocus() && Highlighted(0));
    EXPECT_EQ(platform.audio.Last(), QStringLiteral("C1_1.wav"));
    EXPECT_EQ(Status(), kAnswerHelp);
    PressKey(Qt::Key_Down);
    EXPECT_TRUE(Row(1)->hasFocus() && Highlighted(1) && !Highlighted(0));
    PressKey(Qt::Key_Down);
    EXPECT_TRUE(QuestionHasFocus());
    EXPECT_EQ(platform.audio.Last(), QStringLiteral("Q1.wav"));
    PressKey(Qt::Key_F10);  // nothing before the first item
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(Item(), 1);

    AnswerThrough(92);
    platform.Next(MsgAnswer::Ok);
    AnswerWith(Pattern(93));
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Presentation Note"));
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("You have completed this part of the test. Press Enter to continue."));
    EXPECT_TRUE(InstructionsStart("Section 2\n"));
    EXPECT_EQ(platform.audio.Last(), QStringLiteral("Inst2.wav"));
    PressKey(Qt::Key_F10);
    EXPECT_TRUE(InstructionsShowing());
    PressKey(Qt::Key_Return);
    ASSERT_EQ(Item(), 94);  // four answers
    EXPECT_TRUE(Row(3)->isVisible());
    EXPECT_FALSE(Row(4)->isVisible());
    // Back over a section's end: neither its note nor the instructions again.
    const std::size_t boxes = platform.shown.size();
    PressKey(Qt::Key_F10);
    EXPECT_EQ(Item(), 93);
    EXPECT_FALSE(InstructionsShowing());
    EXPECT_TRUE(QuestionHasFocus());
    EXPECT_EQ(platform.shown.size(), boxes);
    EXPECT_EQ(platform.beeps, 1);
    const int changed = Pattern(93) % 2 + 1;
    platform.Next(MsgAnswer::Ok);
    AnswerWith(changed);
    PressKey(Qt::Key_Return);

    // Back to a section's first item shows the section's instructions first.
    AnswerThrough(147);
    ASSERT_EQ(Item(), 148);
    PressKey(Qt::Key_F10);
    EXPECT_TRUE(InstructionsStart("Section 4\n"));
    EXPECT_EQ(platform.audio.Last(), QStringLiteral("Inst4.wav"));
    PressKey(Qt::Key_Return);
    EXPECT_EQ(Item(), 147);
    AnswerThrough(kItemCount);
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("You have completed the test. Thank you for your participation.\n\n"
                             "Press Enter to continue."));
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(screen->result(), QDialog::Accepted);
    std::string expected = Patterned();
    expected[93 - 1] = char('0' + changed);
    EXPECT_EQ(disk.Read("DATA401.MW"), Stored(expected));
    EXPECT_EQ(state.RecordCount, 3);
    EXPECT_TRUE(state.ListRefreshNeeded);
    EXPECT_TRUE(state.ChoiceConfirmed);
}

// No sound device: nothing plays and the answer's status line leaves out the
// sentence about hearing the question. No sound folder: silent, no message.
TEST_F(PresentTest, WithoutASoundDeviceOrSoundFilesTheTestRunsSilently) {
    AddQuestionTable("English", AllItems());
    MakeSounds("English");
    platform.audio.hasOutput = false;
    EXPECT_EQ(AnswerStatus(), QStringLiteral("Press enter to select this answer. Press F10 for "
                                             "previous question."));
    platform.audio.hasOutput = true;
    mwtest::TempDir noSounds;
    state.SoundPath = noSounds.Path();
    EXPECT_EQ(AnswerStatus(), kAnswerHelp);
    EXPECT_TRUE(platform.audio.played.empty());
    EXPECT_TRUE(platform.shown.empty());
}

// Everything the client reads is Spanish. Answers the disk refuses stay
// until a save succeeds.
TEST_F(PresentTest, ASpanishTestIsReadInSpanishAndKeepsRefusedAnswersUntilSaved) {
    NewClient();
    AddQuestionTable("spanish", {93, kItemCount});
    Open("spanish");
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Presentación de preguntas"));
    const PresentTexts& es = TextsFor(QStringLiteral("Spanish"));
    EXPECT_EQ(Status(), Text(es.instructionsHelp));
    EXPECT_TRUE(InstructionsStart(es.instructions[0][0]));
    for (const auto& [frame, caption] : {std::pair{"fraInstructions", es.instructionsFrame},
                                         {"fraQuestions", es.questionFrame},
                                         {"fraAnswer", es.answerFrame}}) {
        EXPECT_EQ(Find<QGroupBox>(screen, frame)->title(), Text(caption));
    }
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(InstructionsStart("Sección 1\n"));
    PressKey(Qt::Key_Return);
    EXPECT_EQ(Status(), Text(es.answerKeyHelp));
    PressKey(Qt::Key_Down);
    EXPECT_EQ(Status(), Text(es.answerHelp));
    PressKey(Qt::Key_Up);
    platform.Next(MsgAnswer::Ok);
    AnswerWith(1);
    EXPECT_EQ(platform.shown.back().title, Text(es.noteTitle));
    EXPECT_EQ(platform.shown.back().text, Text(es.sectionNote));

    fs.failWrites = errc::PermissionDenied;
    platform.Next(MsgAnswer::Ok);      // the final note
    platform.Next(MsgAnswer::Cancel);  // the supervisor gives up for now
    AnswerWith(2);
    EXPECT_EQ(platform.shown.at(1).title, Text(es.noteTitle));
    EXPECT_EQ(platform.shown.at(1).text, Text(es.finalNote));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_TRUE(InstructionsStart(es.notSaved));
    EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(state.ClientRecords[3].Answers, std::string(kItemCount, '0'));
    fs.failWrites.reset();
    PressKey(Qt::Key_Return);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(disk.Read("DATA401.MW"),
              Stored(std::string(92, '0') + "1" + std::string(66, '0') + "2"));
    EXPECT_EQ(state.RecordCount, 3);
}

// A sound that cannot be played is told once, however often it comes round,
// and the test goes on without it. The window coming back to the front
// after any box (here another window standing for it) says nothing again.
TEST_F(PresentTest, AnUnplayableSoundIsToldOnceAndNothingIsRepeatedWhenTheWindowReturns) {
    AddQuestionTable("English", {1, 2});
    MakeSounds("English");
    platform.audio.unplayable = {QStringLiteral("Q1.wav")};
    Open("English");
    QWidget box;
    const auto boxComesAndGoes = [&] {
        mwtest::ShowActive(&box);
        box.hide();
        mwtest::ShowActive(screen);
    };
    platform.Next(MsgAnswer::Ok, [&] { mwtest::ShowActive(&box); });
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Return);  // to item 1, whose sound is told of
    box.hide();
    mwtest::ShowActive(screen);
    ASSERT_TRUE(QuestionHasFocus());
    PressKey(Qt::Key_Tab);  // the item again: no box now
    PressKey(Qt::Key_Down);
    EXPECT_EQ(platform.audio.Last(), QStringLiteral("C1_1.wav"));
    std::size_t played = platform.audio.played.size();
    boxComesAndGoes();
    EXPECT_TRUE(Row(0)->hasFocus() && Highlighted(0));
    EXPECT_EQ(platform.audio.played.size(), played);
    PressKey(Qt::Key_Up);
    played = platform.audio.played.size();
    boxComesAndGoes();
    EXPECT_EQ(platform.audio.played.size(), played);
    AnswerWith(1);
    EXPECT_EQ(Item(), 2);
    EXPECT_EQ(platform.audio.Last(), QStringLiteral("Q2.wav"));
    ASSERT_EQ(platform.shown.size(), 1U);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Sound"));
    EXPECT_EQ(platform.shown[0].text,
              QStringLiteral("A sound could not be played. You can go on with the test."));
    ASSERT_EQ(screen->UnplayableSounds().size(), 1U);
    EXPECT_EQ(screen->UnplayableSounds()[0].path.toStdString(),
              sounds.File("MWTEST/sound/English/Q1.wav"));
}

}  // namespace
}  // namespace mw
