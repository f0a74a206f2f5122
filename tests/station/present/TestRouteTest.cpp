// The on-screen route from the entry-method screen: the language, the test,
// and the station locked until the secret code, whatever the client does.
#include <gtest/gtest.h>

#include "core/data/Paradata.h"
#include "station/app/frmSelectEntryMethod.h"
#include "station/present/PresentFixture.h"
#include "station/present/frmSelectLanguage.h"
#include "station/screen/ScreenHelpers.h"
#include "station/supervisor/frmMyInputBox.h"
#include "support/WaveBytes.h"

namespace mw {
namespace {

using mwtest::Find;
using mwtest::PressKey;

class TestRouteTest : public mwtest::PresentFixture {
protected:
    void SetUp() override {
        LoadDisk({"Ann", "Bob"});
        onDisk = disk.Read("DATA401.MW");
        driver.When<frmSelectEntryMethod>([](frmSelectEntryMethod* screen) {
            mwtest::ChooseLater(screen, frmSelectEntryMethod::kAdministerTest);
        });
        mwtest::KeyNewClient(driver);
    }
    void Run() {
        frmSelectEntryMethod method(ctx, nullptr);
        method.exec();
    }
    // Tries at the secret code in turn: a typed code, or "" for Escape.
    void TryCodes(std::initializer_list<const char*> codes) {
        for (const char* code : codes) {
            driver.When<frmMyInputBox>([code](frmMyInputBox* box) {
                EXPECT_EQ(Find<QLabel>(box->parentWidget(), "MsgPanel")->text(),
                          QStringLiteral("Enter secret code to continue."));
                if (!*code) return PressKey(Qt::Key_Escape);
                mwtest::Enter(QString::fromUtf8(code));
                PressKey(Qt::Key_Return);
            });
        }
    }
    void ExpectNothingStored() {
        EXPECT_EQ(disk.Read("DATA401.MW"), onDisk);
        EXPECT_EQ(state.RecordCount, 2);
    }

    mwtest::ModalDriver driver;
};

TEST_F(TestRouteTest, OneLanguageGoesStraightToTheTestAndAnAbortLeavesTheStationLocked) {
    AddQuestionTable("english", AllItems());
    AddQuestionTable("French", {1});
    MakeSounds("english");
    // "Press the Enter key to begin the test.", the clerk raising the type.
    platform.Next(MsgAnswer::Ok, [this] {
        ASSERT_FALSE(*platform.shown.back().checked);
        *platform.shown.back().checked = true;
    });
    driver.When<frmPresentQA>([this](frmPresentQA* test) {
        screen = test;
        const auto itemType = [test] {
            return Find(test, ControlName("txtButtonText", 0))->fontInfo().pixelSize();
        };
        const int raised = itemType();
        test->SetLargeType(false);
        EXPECT_GE(raised, 1.5 * itemType() - 1);
        EXPECT_EQ(platform.audio.played.at(0).toStdString(),
                  sounds.File("MWTEST/sound/english/Inst0.wav"));
        EXPECT_TRUE(test->parentWidget()->isFullScreen());
        ReadFirstInstructions();
        AnswerWith(1);
        // Neither the window's close button, Alt+F4 nor Escape ends the test.
        test->close();
        QTest::keyClick(test, Qt::Key_F4, Qt::AltModifier);
        PressKey(Qt::Key_Escape);
        test->reject();
        EXPECT_TRUE(test->isVisible());
        EXPECT_EQ(Item(), 2);
        PressKey(Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier);
    });
    TryCodes({"", "j"});  // Escape: asked again
    Run();
    EXPECT_EQ(platform.Texts(),
              (std::vector{QStringLiteral("Press the Enter key to begin the test.")}));
    ExpectNothingStored();
    EXPECT_EQ(state.CurrentRecord, 1);
    EXPECT_EQ(state.ClientRecords[3].ToBytes(), ClientRecord().ToBytes());
}

// The client is told of a sound that cannot be played, in Spanish; the
// supervisor learns, after the code, which sounds the client could not hear.
TEST_F(TestRouteTest, ASpanishClientIsAskedInSpanishAndUnplayableSoundsAreListedAfterTheCode) {
    AddQuestionTable("Spanish", {1});
    MakeSounds("Spanish");
    platform.audio.unplayable = {QStringLiteral("Inst0.wav")};
    platform.Next(MsgAnswer::Ok);  // the test begins
    platform.Next(MsgAnswer::Ok);  // the sound error, told to the client
    driver.When<frmPresentQA>(
        [](frmPresentQA*) { PressKey(Qt::Key_F10, Qt::AltModifier | Qt::ShiftModifier); });
    TryCodes({"j"});
    platform.Next(MsgAnswer::Ok);
    Run();
    const std::vector<QString> texts = platform.Texts();
    ASSERT_EQ(texts.size(), 3U);
    EXPECT_EQ(texts[0], QStringLiteral("Oprima la tecla «Enter» para empezar la prueba."));
    EXPECT_EQ(platform.shown[1].title, QStringLiteral("Sonido"));
    EXPECT_EQ(texts[1],
              QStringLiteral("No se pudo reproducir un sonido. Puede seguir con la prueba."));
    EXPECT_EQ(texts[2],
              QStringLiteral("These sound files could not be played during the test, "
                             "so the client did not hear them:\n%1 is damaged")
                  .arg(QString::fromStdString(sounds.File("MWTEST/sound/Spanish/Inst0.wav"))));
}

// Item 2's question takes 3 s to speak. Rapid: item 1 (0.5 s) and item 3,
// answered again at 1 s after a step back; careful: item 2 (2.5 s, before its
// question ended, once repeated) and item 94 (3 s): an index of 2 of 4.
TEST_F(TestRouteTest, AHurriedTestIsTimedStoredAndToldAfterTheCode) {
    AddQuestionTable("English", {1, 2, 3, 94});
    MakeSounds("English");
    sounds.Write("MWTEST/sound/English/Q2.wav", mwtest::ToneFile(8000, 3));
    platform.Next(MsgAnswer::Ok);
    driver.When<frmPresentQA>([this](frmPresentQA* test) {
        screen = test;
        ReadFirstInstructions();
        AnswerWith(1, 500);
        PressKey(Qt::Key_Tab);
        AnswerWith(1, 2500);
        AnswerWith(1, 4000);
        PressKey(Qt::Key_Return);  // the second section's instructions
        PressKey(Qt::Key_F10);
        AnswerWith(2, 1000);
        PressKey(Qt::Key_Return);
        AnswerWith(1, 3000);
    });
    TryCodes({"j"});
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("How the test was taken"));
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Effort index 0.50, below 0.90: 2 of 4 answers came in less than 2 "
                             "seconds, too fast to have read the item.\nAnswers before the "
                             "question was heard out: 1."));
    Paradata expected;
    expected.items[1].ms = 500;
    expected.items[2] = {.ms = 2500, .early = true, .repeats = 1};
    expected.items[3] = {.ms = 1000, .revisited = true};
    expected.items[94].ms = 3000;
    auto stored = ReadParadata(fs, disk.Path());
    ASSERT_TRUE(stored) << stored.error().message;
    EXPECT_EQ(*stored, (std::map<int, Paradata>{{3, expected}}));
}

TEST_F(TestRouteTest, TwoLanguagesAreOfferedInTableOrderAndCancellingEndsTheRoute) {
    AddQuestionTable("Spanish", {1});
    AddQuestionTable("French", {1});
    AddQuestionTable("English", {1});
    driver.When<frmSelectLanguage>([this](frmSelectLanguage* languages) {
        EXPECT_EQ(languages->windowTitle(), QStringLiteral("Select Presentation Language"));
        EXPECT_EQ(mwtest::Choice(languages, 0)->text(), QStringLiteral("Spanish"));
        EXPECT_EQ(mwtest::Choice(languages, 1)->text(), QStringLiteral("English"));
        EXPECT_FALSE(mwtest::Choice(languages, 2)->isVisible());
        EXPECT_FALSE(state.ChoiceConfirmed);
        const auto status = [languages] { return Find<QLabel>(languages, "MsgPanel")->text(); };
        EXPECT_EQ(status(), QStringLiteral("Present in Spanish"));
        PressKey(Qt::Key_Down);
        EXPECT_EQ(status(), QStringLiteral("Present in English"));
        PressKey(Qt::Key_Down);
        EXPECT_EQ(status(), QStringLiteral("Cancel presentation"));
        PressKey(Qt::Key_Return);
    });
    Run();
    EXPECT_FALSE(state.ChoiceConfirmed);
    ExpectNothingStored();
}

TEST_F(TestRouteTest, WithoutAQuestionTableTheRouteSaysSoAndWritesNothing) {
    AddQuestionTable("French", {1});
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_EQ(platform.Texts(),
              (std::vector{QStringLiteral("No question table is installed on this station, so the "
                                          "test cannot be given on the screen.")}));
    ExpectNothingStored();
}

}  // namespace
}  // namespace mw
