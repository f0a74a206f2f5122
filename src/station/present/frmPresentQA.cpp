#include "station/present/frmPresentQA.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTextLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/data/TestJournal.h"
#include "station/entry/StoreAnswers.h"
#include "station/present/PresentTexts.h"
#include "station/screen/AudioPlayer.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/ScreenLook.h"
#include "station/screen/StationContext.h"
#include "station/screen/WaveSound.h"

namespace mw {
namespace {

// The answer text boxes are grey over their buttons.
constexpr QRgb kAnswerTextColor = qRgb(0xC0, 0xC0, 0xC0);

// The screen is drawn to the proportions of a container 8835 x 5835 units,
// scaled to fill most of the screen; texts are sized in the same units.
constexpr double kContainerWidth = 8835;
constexpr double kContainerHeight = 5835;
constexpr double kScreenShare = 0.9;
constexpr double kQuestionHeight = 1572;
constexpr double kAnswerFrameHeight = 4035;
constexpr double kRowPitch = 720;
constexpr double kRowBorder = 60;
constexpr double kItemFontSize = 280;
constexpr double kAnswerFontSize = 250;
constexpr double kInstructionFontSize = 185;
constexpr double kStatusFontSize = 170;
// The share of the container's width an answer's text has in its row.
constexpr double kAnswerTextShare = 0.9;

QString InstructionText(const PresentTexts& texts, int section) {
    QStringList lines;
    for (const char* line : texts.instructions.at(section)) lines << Text(line);
    return lines.join(QLatin1Char('\n'));
}

QString InstructionSound(int section) {
    return QStringLiteral("Inst%1.wav").arg(section);
}

QString SoundName(const std::string& base) {
    return QString::fromStdString(base).trimmed() + QStringLiteral(".wav");
}

bool IsEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

bool IsTab(const QKeyEvent& key) {
    return key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab;
}

void SetPixelSize(QWidget* widget, double size) {
    QFont font = widget->font();
    font.setPixelSize(std::max(12, static_cast<int>(size)));
    widget->setFont(font);
}

// The height `box`'s text takes in `font`, wrapped to the box's width as the box wraps it.
int TextHeight(const QPlainTextEdit& box, const QFont& font) {
    const qreal margin = box.document()->documentMargin();
    const qreal width = box.viewport()->width() - 2 * margin;
    qreal height = 2 * margin;
    for (const QString& paragraph : box.toPlainText().split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(box.document()->defaultTextOption());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            height += line.height();
        }
        layout.endLayout();
    }
    return static_cast<int>(std::ceil(height));
}

QPlainTextEdit* ReadOnlyText(QWidget* parent, const char* name) {
    auto* text = Named<QPlainTextEdit>(parent, name);
    text->setReadOnly(true);
    text->setFocusPolicy(Qt::StrongFocus);
    text->setContextMenuPolicy(Qt::NoContextMenu);
    return text;
}

}  // namespace

Result<std::vector<QuestionRow>> frmPresentQA::ReadQuestions(const StationContext& ctx,
                                                             const QString& language) {
    if (!ctx.database) {
        return MakeError(errc::DatabaseFileNotFound,
                         "the question database " +
                             JoinPath(ctx.programDir, kQuestionDatabaseName) +
                             " could not be opened");
    }
    Result<std::vector<QuestionRow>> rows = ctx.database->ReadQuestionTable(language.toStdString());
    if (!rows) return rows;
    std::erase_if(*rows, [](const QuestionRow& row) { return row.ID < 1 || row.ID > kItemCount; });
    if (rows->empty()) {
        return MakeError(errc::BadData, "the question table " + language.toStdString() +
                                            " holds no items numbered 1 to 160");
    }
    return rows;
}

frmPresentQA::frmPresentQA(StationContext& ctx, const QString& language,
                           std::vector<QuestionRow> questions, QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      language_(language),
      texts_(TextsFor(language)),
      questions_(std::move(questions)),
      soundFolder_(JoinPath(JoinPath(JoinPath(ctx.state.SoundPath, "MWTEST"), "sound"),
                            language.toStdString())),
      diskCheck_(DiskFingerprint(ctx.state.DiskImage)),
      typeScale_(CurrentScreenLook().largeType ? kLargeTypeScale : 1.0) {
    setObjectName(QStringLiteral("frmPresentQA"));
    setWindowTitle(Text(texts_.caption));
    // The client is alone at the station: the test takes the whole screen.
    setWindowState(Qt::WindowFullScreen);
    BuildScreen();
    ForScreenReaders(this);
    // Item 1 waits behind the instructions, which are filled once the window shows.
    GetNextQuestion();
    ShowInstructions(QString());
}

frmPresentQA::~frmPresentQA() = default;

void frmPresentQA::Resume(const TestJournal& journal) {
    answers_ = journal.Answers;
    timing_ = journal.Timing;
    const auto at = std::ranges::find(questions_, journal.Item, &QuestionRow::ID);
    // A table without that item (changed since) starts from its first item.
    if (at == questions_.end()) return;
    row_ = static_cast<int>(at - questions_.begin());
    ShowItem(*at);
}

void frmPresentQA::BuildScreen() {
    picContainer_ = Named<QWidget>(this, "picContainer");
    fraInstructions_ =
        Named<QGroupBox>(picContainer_, "fraInstructions", Text(texts_.instructionsFrame));
    txtInstructions_ = ReadOnlyText(fraInstructions_, "txtInstructions");
    (new QVBoxLayout(fraInstructions_))->addWidget(txtInstructions_);

    questionPage_ = new QWidget(picContainer_);
    auto* fraQuestions =
        Named<QGroupBox>(questionPage_, "fraQuestions", Text(texts_.questionFrame));
    txtQuestion_ = ReadOnlyText(fraQuestions, "txtQuestion");
    (new QVBoxLayout(fraQuestions))->addWidget(txtQuestion_);
    auto* fraAnswer = Named<QGroupBox>(questionPage_, "fraAnswer", Text(texts_.answerFrame));
    BuildAnswerRows(fraAnswer);
    auto* page = new QVBoxLayout(questionPage_);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(fraQuestions, static_cast<int>(kQuestionHeight));
    page->addWidget(fraAnswer, static_cast<int>(kAnswerFrameHeight));

    // The instructions lie over the item and hide it while they show.
    auto* stack = new QGridLayout(picContainer_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(fraInstructions_, 0, 0);
    stack->addWidget(questionPage_, 0, 0);

    msgPanel_ = MakeMsgPanel(this);
    // A long status line wraps: unwrapped, it would widen the window past
    // the screen and push the whole test off centre.
    msgPanel_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    // The window is the screen's size and its contents are scaled to it, never
    // the other way: a window that grew to fit its contents would ask the window
    // manager for a size of its own, and the window manager would take the
    // test out of the full screen.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addStretch(1);
    layout->addWidget(picContainer_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(msgPanel_);

    for (QPlainTextEdit* text : {txtInstructions_, txtQuestion_}) {
        text->installEventFilter(this);
        text->viewport()->installEventFilter(this);
    }
    ColorQuestion(false);
}

// Five rows, each a button on a coloured panel, the answer's text in a grey
// box over the button so that a long answer wraps.
void frmPresentQA::BuildAnswerRows(QGroupBox* fraAnswer) {
    auto* rows = new QVBoxLayout(fraAnswer);
    for (int i = 0; i < kAnswerRows; ++i) {
        auto* panel = new QWidget(fraAnswer);
        panel->setObjectName(ControlName(kMenuChoicePanel, i));
        SetBackColor(panel, kMenuColor);
        auto* button = new QPushButton(panel);
        button->setObjectName(ControlName(kMenuChoiceButton, i));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, i] { cmdMenuChoice_Click(i); });
        auto* text = new QLabel(button);
        text->setObjectName(ControlName("txtButtonText", i));
        text->setWordWrap(true);
        SetBackColor(text, kAnswerTextColor);
        // Black on the grey box in either look: white would not stand out from it.
        QPalette ink = text->palette();
        ink.setColor(QPalette::WindowText, Qt::black);
        text->setPalette(ink);
        // A click on the text chooses the answer, as a click on its button does.
        text->setAttribute(Qt::WA_TransparentForMouseEvents);
        (new QHBoxLayout(panel))->addWidget(button);
        (new QHBoxLayout(button))->addWidget(text);
        rows->addWidget(panel);
        sspMenuChoice_[i] = panel;
        cmdMenuChoice_[i] = button;
        txtButtonText_[i] = text;
    }
    rows->addStretch(1);
}

// A poor reader reads the item and its answers from a normal distance on
// any screen: the layout and its type grow with the window, which covers
// the whole screen. Scaled to the size the window has, not the one the
// event carries: under a window manager, the resize to the window's first,
// unscaled size can arrive after the window already covers the screen, and
// a layout scaled to it would pull the window down to that size.
void frmPresentQA::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ScaleTo(size());
}

// Before the window shows, its size is not yet the screen's: the first
// resize scales it.
void frmPresentQA::SetLargeType(bool on) {
    typeScale_ = on ? kLargeTypeScale : 1.0;
    if (isVisible()) ScaleTo(size());
}

void frmPresentQA::ScaleTo(QSize area) {
    const double unit =
        kScreenShare * std::min(area.width() / kContainerWidth, area.height() / kContainerHeight);
    picContainer_->setFixedSize(static_cast<int>(kContainerWidth * unit),
                                static_cast<int>(kContainerHeight * unit));
    SetPixelSize(this, kStatusFontSize * unit * typeScale_);
    msgPanel_->setMinimumHeight(msgPanel_->fontMetrics().height() + 8);
    instructionType_ = kInstructionFontSize * unit;
    itemType_ = kItemFontSize * unit;
    FitTextType(txtInstructions_, instructionType_);
    FitTextType(txtQuestion_, itemType_);
    const int border = std::max(3, static_cast<int>(kRowBorder * unit));
    answerRoom_ = static_cast<int>(kAnswerTextShare * picContainer_->width()) - 4 * border;
    answerType_ = kAnswerFontSize * unit;
    for (int i = 0; i < kAnswerRows; ++i) {
        sspMenuChoice_[i]->setFixedHeight(static_cast<int>(kRowPitch * unit));
        sspMenuChoice_[i]->layout()->setContentsMargins(border, border, border, border);
        cmdMenuChoice_[i]->layout()->setContentsMargins(border, border, border, border);
        FitAnswerType(i);
    }
}

// A row has room for one line of its answer. Raised type grows only as far
// as the answer, in bold as it is when chosen, stays on that line, and
// never shrinks below the usual size.
void frmPresentQA::FitAnswerType(int index) {
    QLabel* text = txtButtonText_[index];
    const double raised = answerType_ * typeScale_;
    QFont bold = text->font();
    bold.setBold(true);
    bold.setPixelSize(std::max(12, static_cast<int>(raised)));
    const int needed = QFontMetrics(bold).horizontalAdvance(text->text());
    const double size =
        needed > answerRoom_ ? std::max(answerType_, raised * answerRoom_ / needed) : raised;
    SetPixelSize(text, size);
}

// The instructions and the item are read whole without scrolling: raised
// type grows only as far as the text still fits its box, and never shrinks
// below the usual size. A text too long for its box even then scrolls, and
// its scroll bar shows it.
void frmPresentQA::FitTextType(QPlainTextEdit* box, double usual) {
    const int smallest = std::max(12, static_cast<int>(usual));
    int size = std::max(smallest, static_cast<int>(usual * typeScale_));
    for (; size > smallest; --size) {
        QFont font = box->font();
        font.setPixelSize(size);
        if (TextHeight(*box, font) <= box->viewport()->height()) break;
    }
    SetPixelSize(box, size);
}

void frmPresentQA::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        Form_Activate();
    }
}

void frmPresentQA::Form_Activate() {
    SetUpAudio();
    generalInstructions_ = true;
    TestInstructions(0);
    Play(InstructionSound(0));
    ClearAnswerHighlights();
}

void frmPresentQA::TestInstructions(int section) {
    ShowInstructions(InstructionText(texts_, section));
}

void frmPresentQA::ShowInstructions(const QString& text) {
    txtInstructions_->setPlainText(text);
    FitTextType(txtInstructions_, instructionType_);
    instructionsShowing_ = true;
    questionPage_->hide();
    fraInstructions_->show();
    txtInstructions_->setFocus(Qt::OtherFocusReason);
}

void frmPresentQA::HideInstructions() {
    instructionsShowing_ = false;
    fraInstructions_->hide();
    questionPage_->show();
}

void frmPresentQA::GetNextQuestion() {
    if (firstDisplay_) {
        row_ = 0;
        firstDisplay_ = false;
    } else {
        ++row_;
    }
    if (row_ >= static_cast<int>(questions_.size())) {
        EndOfTest();
        return;
    }
    const QuestionRow& question = questions_[row_];
    // A section's instructions come before its first item; going back they
    // are shown again only before the last section.
    for (int section = 2; section <= kSectionCount; ++section) {
        const bool shown = !goingBack_ || section == kSectionCount;
        if (shown && question.ID == SectionBounds[section - 1] + 1) {
            TestInstructions(section);
            Play(InstructionSound(section));
        }
    }
    ShowItem(question);
}

void frmPresentQA::ShowItem(const QuestionRow& question) {
    txtQuestion_->setPlainText(QString::number(question.ID) + QStringLiteral(". ") +
                               QString::fromStdString(question.TestQuestion));
    txtQuestion_->moveCursor(QTextCursor::Start);
    FitTextType(txtQuestion_, itemType_);
    questionSound_ = SoundName(question.QuestionAudio);
    for (int i = 0; i < kAnswerRows; ++i) {
        const QString text = QString::fromStdString(question.Answer[i]);
        // The first two answers are always there; the others only when the item has them.
        const bool shown = i < 2 || !text.isEmpty();
        txtButtonText_[i]->setText(text);
        // The button shows its answer through the text box over it; a screen reader says it.
        cmdMenuChoice_[i]->setAccessibleName(text);
        FitAnswerType(i);
        sspMenuChoice_[i]->setVisible(shown);
        answerSounds_[i] = shown ? SoundName(question.ChoiceAudio[i]) : QString();
    }
    if (!instructionsShowing_) StartTiming();
}

void frmPresentQA::EndOfTest() {
    testEnded_ = true;
    msgPanel_->setText(Text(texts_.testEndedHelp));
    if (StoreAnswers(ctx_, AnswerDigits(answers_), AnswerRoute::OnScreen)) {
        if (Status st =
                WriteParadata(ctx_.fs, ctx_.state.DataPath, ctx_.state.CurrentRecord, timing_);
            !st) {
            paradataFailure_ = st.error();
        }
        RemoveJournal();
        ctx_.state.ChoiceConfirmed = true;
        Finish(QDialog::Accepted);
        return;
    }
    // The answers stay on the screen until the disk takes them.
    ShowInstructions(Text(texts_.notSaved));
}

void frmPresentQA::SectionEndNote(int item) {
    StopSound();
    questionPage_->hide();
    msgPanel_->clear();
    ctx_.platform.MsgBox({.text = Text(item < kItemCount ? texts_.sectionNote : texts_.finalNote),
                          .title = Text(texts_.noteTitle),
                          .largeType = LargeType()});
    if (item < kItemCount) questionPage_->show();
}

void frmPresentQA::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the window itself (Escape among them) never close it.
    Form_KeyDown(*event);
}

void frmPresentQA::closeEvent(QCloseEvent* event) {
    if (!finishing_) event->ignore();
}

void frmPresentQA::done(int result) {
    if (finishing_) QDialog::done(result);
}

bool frmPresentQA::eventFilter(QObject* watched, QEvent* event) {
    const auto row = std::find(cmdMenuChoice_.begin(), cmdMenuChoice_.end(), watched);
    const int index =
        row == cmdMenuChoice_.end() ? -1 : static_cast<int>(row - cmdMenuChoice_.begin());
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto& key = *static_cast<QKeyEvent*>(event);
            if (Form_KeyDown(key)) return true;
            if (watched == txtInstructions_) return txtInstructions_KeyDown(key);
            if (watched == txtQuestion_) return txtQuestion_KeyDown(key);
            return index >= 0 ? cmdMenuChoice_KeyDown(index, key) : false;
        }
        case QEvent::KeyRelease:
            // A button would click on the release of Space; choosing is done on the press.
            return index >= 0;
        case QEvent::FocusIn: {
            // The window coming back to the front (after a message box) gives
            // the focus back without a word: else each box closing would
            // repeat the sound, and a box about that sound would never end.
            const bool speak =
                static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason;
            if (watched == txtInstructions_) txtInstructions_GotFocus();
            if (watched == txtQuestion_) txtQuestion_GotFocus(speak);
            if (index >= 0) cmdMenuChoice_GotFocus(index, speak);
            return false;
        }
        case QEvent::Resize:
            // A text box's room is known once it is laid out.
            if (watched == txtInstructions_->viewport()) {
                FitTextType(txtInstructions_, instructionType_);
            }
            if (watched == txtQuestion_->viewport()) FitTextType(txtQuestion_, itemType_);
            return false;
        case QEvent::FocusOut:
            if (watched == txtQuestion_) ColorQuestion(false);
            if (index >= 0) cmdMenuChoice_LostFocus(index);
            return false;
        default:
            return false;
    }
}

// The keys that act wherever the focus is. True when the key was used.
bool frmPresentQA::Form_KeyDown(const QKeyEvent& key) {
    if (key.key() != Qt::Key_F10) return false;
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == (Qt::AltModifier | Qt::ShiftModifier)) {
        Abort();
    } else if (modifiers == Qt::NoModifier && !instructionsShowing_ && !key.isAutoRepeat()) {
        GoBack();
    }
    return true;
}

bool frmPresentQA::txtInstructions_KeyDown(const QKeyEvent& key) {
    if ((IsEnter(key) || IsTab(key)) && !key.isAutoRepeat()) {
        InstructionsDone();
        return true;
    }
    // A long text may be scrolled; nothing else happens here.
    switch (key.key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return false;
        default:
            return true;
    }
}

bool frmPresentQA::txtQuestion_KeyDown(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Down) {
        FocusRow(-1, +1);
    } else if (IsTab(key)) {
        ++timing_.items[questions_[row_].ID].repeats;
        txtQuestion_GotFocus();  // the question is spoken again
    }
    return true;
}

bool frmPresentQA::cmdMenuChoice_KeyDown(int index, const QKeyEvent& key) {
    // A key held down must not answer the next item as well.
    if ((IsEnter(key) || key.key() == Qt::Key_Space) && !key.isAutoRepeat()) {
        cmdMenuChoice_Click(index);
    } else if (key.key() == Qt::Key_Up) {
        FocusRow(index, -1);
    } else if (key.key() == Qt::Key_Down) {
        FocusRow(index, +1);
    } else if (IsTab(key)) {
        ++timing_.items[questions_[row_].ID].repeats;
        txtQuestion_->setFocus(Qt::TabFocusReason);
    }
    return true;
}

// To the next shown answer row from `from` in the direction of `step`; past
// the first or the last row the question has the focus (and is spoken again).
void frmPresentQA::FocusRow(int from, int step) {
    for (int i = from + step; i >= 0 && i < kAnswerRows; i += step) {
        if (sspMenuChoice_[i]->isVisibleTo(this)) {
            cmdMenuChoice_[i]->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return;
        }
    }
    txtQuestion_->setFocus(Qt::OtherFocusReason);
}

void frmPresentQA::txtInstructions_GotFocus() {
    msgPanel_->setText(Text(texts_.instructionsHelp));
    ClearAnswerHighlights();
}

void frmPresentQA::txtQuestion_GotFocus(bool speak) {
    if (instructionsShowing_) {
        txtInstructions_->setFocus(Qt::OtherFocusReason);
        return;
    }
    ClearAnswerHighlights();
    ColorQuestion(true);
    msgPanel_->setText(AnswerKeyHelp());
    if (speak) Play(questionSound_);
}

void frmPresentQA::cmdMenuChoice_GotFocus(int index, bool speak) {
    ClearAnswerHighlights();
    SetBackColor(sspMenuChoice_[index], kFocusColor);
    SetBold(txtButtonText_[index], true);
    msgPanel_->setText(Text(audioOn_ ? texts_.answerHelp : texts_.answerHelpSilent));
    if (speak) Play(answerSounds_[index]);
}

void frmPresentQA::cmdMenuChoice_LostFocus(int index) {
    SetBackColor(sspMenuChoice_[index], kMenuColor);
    SetBold(txtButtonText_[index], false);
}

void frmPresentQA::cmdMenuChoice_Click(int index) {
    if (instructionsShowing_ || testEnded_ || !sspMenuChoice_[index]->isVisibleTo(this)) return;
    SetBackColor(sspMenuChoice_[index], kMenuColor);
    const int item = questions_[row_].ID;
    answers_[item] = index + 1;
    TimeAnswer(item);
    KeepJournal(item);
    if (std::ranges::find(SectionBounds, item) != SectionBounds.end()) SectionEndNote(item);
    GetNextQuestion();
    FocusItem();
}

void frmPresentQA::InstructionsDone() {
    if (testEnded_) {
        EndOfTest();  // the disk refused the answers before; try again
        return;
    }
    HideInstructions();
    if (generalInstructions_) {
        // The instructions of the item's section: section 1, unless a stopped test is taken up.
        generalInstructions_ = false;
        const int section = SectionOf(questions_[row_].ID);
        TestInstructions(section);
        Play(InstructionSound(section));
        return;
    }
    msgPanel_->setText(AnswerKeyHelp());
    ClearAnswerHighlights();
    StartTiming();
    txtQuestion_->setFocus(Qt::OtherFocusReason);
}

// The earlier answer stays stored until the item is answered again.
void frmPresentQA::GoBack() {
    if (row_ == 0) {
        ctx_.platform.Beep();
        return;
    }
    row_ -= 2;
    goingBack_ = true;
    GetNextQuestion();
    goingBack_ = false;
    timing_.items[questions_[row_].ID].revisited = true;
    FocusItem();
}

// Staff only: the client is discarded and nothing is written.
void frmPresentQA::Abort() {
    ctx_.Store().ClearRecord();
    ctx_.state.CurrentRecord = 1;
    RemoveJournal();
    Finish(QDialog::Rejected);
}

void frmPresentQA::Finish(int result) {
    StopSound();
    finishing_ = true;
    done(result);
}

// After every answer, before anything else happens: the answers so far and
// the item to come back to, should the station stop before the test ends.
void frmPresentQA::KeepJournal(int answered) {
    const TestJournal journal{.DataPath = ctx_.state.DataPath,
                              .DiskCheck = diskCheck_,
                              .Client = ctx_.state.Current(),
                              .Language = language_.toStdString(),
                              .Item = std::min(answered + 1, kItemCount),
                              .Answers = answers_,
                              .Timing = timing_,
                              .LargeType = LargeType()};
    // What the recovery set aside is kept for the supervisor as well.
    NoteJournal(WriteTestJournal(
        ctx_.fs, ctx_.programDir, journal,
        [this](const std::string& note) { NoteJournal(MakeError(errc::BadData, note)); }));
}

// Once the client is stored or discarded, a journal left behind would offer
// the test again.
void frmPresentQA::RemoveJournal() {
    NoteJournal(RemoveTestJournal(ctx_.fs, ctx_.programDir));
}

// A client alone at the screen could do nothing about a failed write, so
// the failure is kept for the supervisor.
void frmPresentQA::NoteJournal(const Status& status) {
    if (!status && !journalFailure_) journalFailure_ = status.error();
}

// An item's time runs from when it comes into sight: shown, or its
// section's instructions put away.
void frmPresentQA::StartTiming() {
    shownAt_ = ctx_.clock.MonotonicMs();
}

// The answer that stands is the one timed; a step back and a new answer
// time the item afresh.
void frmPresentQA::TimeAnswer(int item) {
    const std::int64_t elapsed = ctx_.clock.MonotonicMs() - shownAt_;
    ItemParadata& timing = timing_.items[item];
    timing.ms =
        static_cast<int>(std::clamp<std::int64_t>(elapsed, 0, std::numeric_limits<int>::max()));
    timing.early = elapsed < SpokenQuestionMs();
}

// How long the item's question takes to speak; nothing when it was not
// spoken (no sound output, or no readable sound file).
std::int64_t frmPresentQA::SpokenQuestionMs() const {
    if (!audioOn_) return 0;
    const Result<WaveSound> sound =
        ReadWaveSound(QString::fromStdString(JoinPath(soundFolder_, questionSound_.toStdString())));
    return sound ? sound->Duration().count() : 0;
}

// The item shown gets the focus (and is spoken), unless instructions cover it.
void frmPresentQA::FocusItem() {
    if (finishing_ || testEnded_) return;
    if (instructionsShowing_) {
        txtInstructions_->setFocus(Qt::OtherFocusReason);
    } else if (txtQuestion_->hasFocus()) {
        txtQuestion_GotFocus();
    } else {
        txtQuestion_->setFocus(Qt::OtherFocusReason);
    }
}

void frmPresentQA::ColorQuestion(bool focused) {
    QPalette palette = txtQuestion_->palette();
    palette.setColor(QPalette::Base, focused ? QColor(kFocusColor) : QColor(kMenuColor));
    palette.setColor(QPalette::Text, focused ? QColor(Qt::black) : QColor(Qt::white));
    txtQuestion_->setPalette(palette);
}

void frmPresentQA::ClearAnswerHighlights() {
    for (int i = 0; i < kAnswerRows; ++i) cmdMenuChoice_LostFocus(i);
}

QString frmPresentQA::AnswerKeyHelp() const {
    return Text(texts_.answerKeyHelp);
}

void frmPresentQA::SetUpAudio() {
    player_ = ctx_.platform.OpenAudioPlayer();
    audioOn_ = player_ && player_->SetUp();
    if (!audioOn_) return;
    player_->OnError([this](const SoundError& error) { NoteUnplayable(error); });
}

// Told once: the test goes on without that sound, and the supervisor gets
// the list of such files after the test.
void frmPresentQA::NoteUnplayable(const SoundError& error) {
    if (std::ranges::find(unplayable_, error.path, &SoundError::path) != unplayable_.end()) return;
    unplayable_.push_back(error);
    ctx_.platform.MsgBox({.text = Text(texts_.soundNote),
                          .icon = MsgIcon::Information,
                          .title = Text(texts_.soundTitle),
                          .largeType = LargeType()});
}

// A missing sound file or folder is silent.
void frmPresentQA::Play(const QString& fileName) {
    if (!audioOn_) return;
    StopSound();
    const QString name = fileName.trimmed();
    if (name.isEmpty()) return;
    const std::string path = JoinPath(soundFolder_, name.toStdString());
    if (!ctx_.fs.FileExists(path)) return;
    player_->Play(QString::fromStdString(path), false);
}

void frmPresentQA::StopSound() {
    if (audioOn_) player_->Stop();
}

}  // namespace mw
