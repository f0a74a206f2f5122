#include "station/present/TestRoute.h"

#include <QLabel>
#include <ranges>

#include "core/data/Paradata.h"
#include "core/data/Product.h"
#include "core/data/TestJournal.h"
#include "station/entry/frmClientInfo.h"
#include "station/present/PresentTexts.h"
#include "station/present/frmPresentQA.h"
#include "station/present/frmSelectLanguage.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenLook.h"
#include "station/screen/StationContext.h"
#include "station/supervisor/PASSWORD.h"

namespace mw {
namespace {

void SetStatus(QWidget* screen, const QString& text) {
    if (auto* msgPanel = screen->findChild<QLabel*>(QStringLiteral("MsgPanel"))) {
        msgPanel->setText(text);
    }
}

// The language of the test, or an empty one when there is none or the
// presentation was cancelled.
QString ChooseLanguage(StationContext& ctx, QWidget* screen) {
    frmSelectLanguage languages(ctx, screen);
    if (languages.LanguageCount() == 0) {
        ctx.platform.MsgBox(
            {.text = QStringLiteral("No question table is installed on this station, so the test "
                                    "cannot be given on the screen."),
             .icon = MsgIcon::Exclamation});
        return QString();
    }
    if (languages.LanguageCount() < 2) return languages.Caption(0);
    ctx.state.ChoiceConfirmed = false;
    languages.exec();
    return ctx.state.ChoiceConfirmed ? languages.Language() : QString();
}

// The supervisor learns, once the code is given, that the answers were not
// kept safe while the client answered.
void ReportJournalFailure(StationContext& ctx, const Error& error) {
    ctx.platform.MsgBox(
        {.text = QStringLiteral("The answers of this test could not be kept safe while it ran:\n") +
                 QString::fromStdString(error.message) +
                 QStringLiteral("\nHad the station stopped, they would have been lost. Please "
                                "check the program folder."),
         .icon = MsgIcon::Exclamation});
}

// The supervisor learns which sound files the client could not hear, so
// that they can be recorded again. A whole folder of them would make a box
// taller than the screen: the first few stand for the rest.
void ReportUnplayableSounds(StationContext& ctx, const std::vector<SoundError>& sounds) {
    constexpr int kListed = 8;
    QStringList lines;
    for (const SoundError& sound : sounds | std::views::take(kListed)) {
        lines << sound.description;
    }
    if (sounds.size() > kListed) {
        lines << QStringLiteral("... and %1 more.").arg(sounds.size() - kListed);
    }
    ctx.platform.MsgBox(
        {.text = QStringLiteral("These sound files could not be played during the test, so the "
                                "client did not hear them:\n") +
                 lines.join(QLatin1Char('\n')),
         .icon = MsgIcon::Exclamation});
}

// The supervisor, who decides what the report is worth, learns at once
// when many answers came too fast to have been read.
void ReportHowTaken(StationContext& ctx, const Paradata& timing) {
    const EffortSummary summary = Summarize(timing);
    if (!summary.LowEffort()) return;
    ctx.platform.MsgBox({.text = QString::fromStdString(HowTakenText(summary)),
                         .icon = MsgIcon::Exclamation,
                         .title = QStringLiteral("How the test was taken")});
}

}  // namespace

void AdministerTest(StationContext& ctx, QWidget* screen) {
    {
        frmClientInfo info(ctx, screen);
        info.exec();
    }
    if (!ctx.state.ChoiceConfirmed) return;
    const QString language = ChooseLanguage(ctx, screen);
    if (language.isEmpty()) return;
    GiveTest(ctx, screen, language, nullptr);
}

bool GiveTest(StationContext& ctx, QWidget* screen, const QString& language,
              const TestJournal* resumed) {
    Result<std::vector<QuestionRow>> questions = frmPresentQA::ReadQuestions(ctx, language);
    if (!questions) {
        ShowError(ctx.platform, questions.error());
        return false;
    }

    const PresentTexts& texts = TextsFor(language);
    SetStatus(screen, Text(texts.beginTestHelp));
    // A resumed test keeps the type it began in, unless the clerk unticks it.
    bool largeType = CurrentScreenLook().largeType || (resumed && resumed->LargeType);
    ctx.platform.MsgBox({.text = Text(texts.beginTest),
                         .title = QString::fromUtf8(kProductName),
                         .checkBox = Text(texts.largeTypeChoice),
                         .checked = &largeType});
    // From here until the secret code the client must see nothing else.
    screen->setWindowState(screen->windowState() | Qt::WindowFullScreen);
    std::optional<Error> journalFailure;
    std::vector<SoundError> unplayable;
    std::optional<Paradata> timing;
    std::optional<Error> paradataFailure;
    {
        frmPresentQA presentation(ctx, language, std::move(*questions), screen);
        presentation.SetLargeType(largeType);
        if (resumed) presentation.Resume(*resumed);
        if (presentation.exec() == QDialog::Accepted) timing = presentation.Timing();
        paradataFailure = presentation.ParadataFailure();
        journalFailure = presentation.JournalFailure();
        unplayable = presentation.UnplayableSounds();
    }
    ctx.platform.LetEventsRun();
    // After a finished test and an aborted one alike: the client may have
    // pressed anything, so the way back to the station is the code alone.
    SetStatus(screen, QStringLiteral("Enter secret code to continue."));
    while (!AskSecretCode(ctx, screen)) {
    }
    if (journalFailure) ReportJournalFailure(ctx, *journalFailure);
    if (!unplayable.empty()) ReportUnplayableSounds(ctx, unplayable);
    if (paradataFailure) ShowError(ctx.platform, *paradataFailure);
    if (timing) ReportHowTaken(ctx, *timing);
    return true;
}

}  // namespace mw
