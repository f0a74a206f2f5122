// "Question Presentation": the client takes the test alone at the screen.
// General instructions, then for each of the four sections its instructions
// and its items one at a time, every text spoken aloud. The client moves the
// highlight with the arrow keys, chooses with Enter and goes back with F10.
// After the last item the answers are stored as the new client's record.
//
// The window takes the whole screen and cannot be closed by the client:
// only the end of the test, or the staff's abort chord Alt+Shift+F10 (which
// discards the client), ends it.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/data/CodeTables.h"
#include "core/data/Error.h"
#include "core/data/Paradata.h"
#include "core/data/QuestionDatabase.h"
#include "station/screen/AudioPlayer.h"

class QGroupBox;
class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace mw {

struct PresentTexts;
struct StationContext;
struct TestJournal;

class frmPresentQA : public QDialog {
    Q_OBJECT

public:
    static constexpr int kAnswerRows = 5;

    // `questions` is the language's question table (see ReadQuestions).
    frmPresentQA(StationContext& ctx, const QString& language, std::vector<QuestionRow> questions,
                 QWidget* parent);
    ~frmPresentQA() override;

    // The items of the language's question table numbered 1 to 160, in stored order.
    static Result<std::vector<QuestionRow>> ReadQuestions(const StationContext& ctx,
                                                          const QString& language);

    // Takes up a test the station stopped in the middle of, at the journal's
    // item with its answers. Called before the window shows.
    void Resume(const TestJournal& journal);

    // Type half as large again for a client with poor sight, chosen by the
    // clerk before the test begins. The station's large type sets it at first.
    void SetLargeType(bool on);
    bool LargeType() const { return typeScale_ > 1.0; }

    // The first failure to write or remove the journal of this test, if any.
    // The client's test goes on regardless; the supervisor is told after it.
    const std::optional<Error>& JournalFailure() const { return journalFailure_; }

    // The sound files that could not be played during this test, in the order
    // they were met. The client was told once of each; the supervisor is told after.
    const std::vector<SoundError>& UnplayableSounds() const { return unplayable_; }

    // How each item was answered, times taken from the context's clock.
    const Paradata& Timing() const { return timing_; }
    // The failure to store Timing on the data disk at the end of the test, if
    // any: the answers are stored regardless, and the supervisor is told.
    const std::optional<Error>& ParadataFailure() const { return paradataFailure_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildScreen();
    void BuildAnswerRows(QGroupBox* fraAnswer);
    void ScaleTo(QSize area);
    void FitAnswerType(int index);
    void FitTextType(QPlainTextEdit* box, double usual);

    void Form_Activate();
    void TestInstructions(int section);
    void ShowInstructions(const QString& text);
    void HideInstructions();
    void GetNextQuestion();
    void ShowItem(const QuestionRow& question);
    void EndOfTest();
    void SectionEndNote(int item);

    bool Form_KeyDown(const QKeyEvent& key);
    bool txtInstructions_KeyDown(const QKeyEvent& key);
    bool txtQuestion_KeyDown(const QKeyEvent& key);
    bool cmdMenuChoice_KeyDown(int index, const QKeyEvent& key);
    void txtInstructions_GotFocus();
    void txtQuestion_GotFocus(bool speak = true);
    void cmdMenuChoice_GotFocus(int index, bool speak);
    void cmdMenuChoice_LostFocus(int index);
    void cmdMenuChoice_Click(int index);
    void InstructionsDone();
    void GoBack();
    void Abort();
    void Finish(int result);
    void KeepJournal(int answered);
    void RemoveJournal();
    void NoteJournal(const Status& status);
    void StartTiming();
    void TimeAnswer(int item);
    std::int64_t SpokenQuestionMs() const;

    void FocusItem();
    void FocusRow(int from, int step);
    void ColorQuestion(bool focused);
    void ClearAnswerHighlights();
    QString AnswerKeyHelp() const;

    void SetUpAudio();
    void Play(const QString& fileName);
    void NoteUnplayable(const SoundError& error);
    void StopSound();

    StationContext& ctx_;
    const QString language_;
    const PresentTexts& texts_;
    const std::vector<QuestionRow> questions_;
    std::string soundFolder_;
    std::unique_ptr<AudioPlayer> player_;
    // The record file's fingerprint as the test began, kept in the journal.
    const std::uint64_t diskCheck_;
    std::optional<Error> journalFailure_;
    std::vector<SoundError> unplayable_;

    QWidget* picContainer_ = nullptr;
    QGroupBox* fraInstructions_ = nullptr;
    QPlainTextEdit* txtInstructions_ = nullptr;
    QWidget* questionPage_ = nullptr;  // fraQuestions and fraAnswer
    QPlainTextEdit* txtQuestion_ = nullptr;
    std::array<QWidget*, kAnswerRows> sspMenuChoice_{};
    std::array<QPushButton*, kAnswerRows> cmdMenuChoice_{};
    std::array<QLabel*, kAnswerRows> txtButtonText_{};
    QLabel* msgPanel_ = nullptr;
    double typeScale_;
    // The usual pixel size of the instructions' and the item's type at the window's size.
    double instructionType_ = 0;
    double itemType_ = 0;
    // The usual pixel size of an answer's type and the width its text has, at the window's size.
    double answerType_ = 0;
    int answerRoom_ = 0;

    // The row of questions_ shown.
    int row_ = 0;
    bool firstDisplay_ = true;
    bool goingBack_ = false;
    bool generalInstructions_ = false;
    bool instructionsShowing_ = false;
    bool audioOn_ = true;
    bool activated_ = false;
    // The last item is answered; the answers wait to be stored.
    bool testEnded_ = false;
    // The window may close (end of the test or abort), and nothing else closes it.
    bool finishing_ = false;
    QString questionSound_;
    std::array<QString, kAnswerRows> answerSounds_{};
    // The position (1-5) of the answer chosen for each item, 0 while unanswered; index 0 unused.
    std::array<int, kItemCount + 1> answers_{};
    Paradata timing_;
    std::optional<Error> paradataFailure_;
    // When the item shown came into the client's sight (the clock's milliseconds).
    std::int64_t shownAt_ = 0;
};

}  // namespace mw
