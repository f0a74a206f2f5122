#include "station/entry/frmNewEntry.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <functional>
#include <numeric>
#include <ranges>

#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "core/data/ScannedSheets.h"
#include "station/entry/StoreAnswers.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

// How an item is answered, decided from its second answer text: its row's
// help line names its answers.
enum ResponseType { kTrueFalse = 0, kYesNo, kNumbered, kFrequency, kMostly, kOften };

constexpr std::array<const char*, 6> kHelp = {
    "0=No answer, 1=True, 2=False, Tab=Next grid",
    "0=No answer, 1=Yes, 2=No, Tab=Next grid",
    "0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid",
    "0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, 4=Very Often, Tab=Next grid",
    "0=No answer, 1=True, 2=Mostly True, 3=Can't Decide, 4=Mostly False, 5=False, Tab=Next grid",
    "0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very Often, Tab=Next grid",
};
const char* const kReadOnlyHelp =
    "This client's data may no longer be changed: its answers are only shown. Tab=Next grid";

// The tests are made in this order; "No" must be the whole text.
int ResponseTypeOf(std::string_view answer2) {
    if (answer2.starts_with("False")) return kTrueFalse;
    if (answer2.starts_with("Somet")) return kFrequency;
    if (answer2.starts_with("Mostl")) return kMostly;
    if (answer2.starts_with("Often")) return kOften;
    if (answer2 == "No") return kYesNo;
    return kNumbered;
}

// Item rows shown at once where the screen has room, and the fewest the
// grids keep when the window is made smaller.
constexpr int kVisibleRows = 17;
constexpr int kLeastVisibleRows = 5;
// Room between two grids.
constexpr int kGridGap = 13;

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kDarkBlue = qRgb(0, 0, 128);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kBlack = qRgb(0, 0, 0);
// An answer the row's item does not have.
constexpr QRgb kGrey = qRgb(160, 160, 160);

const char* const kScannedWarning =
    "Scanned answers being populated for editing but\n"
    "some answers did not scan correctly.\n"
    "Check responses carefully.";

// The height of a grid showing `rows` item rows under its header.
int GridHeight(const QTableWidget* table, int rows) {
    return 2 * table->frameWidth() + table->horizontalHeader()->sizeHint().height() +
           rows * table->verticalHeader()->defaultSectionSize();
}

// Shows the row above `row` at the top when `row` is out of view, never
// scrolling past the last row.
void ScrollToRow(QTableWidget* table, int row) {
    QScrollBar* bar = table->verticalScrollBar();
    const int shown = std::max(1, table->viewport()->height() / table->rowHeight(row));
    if (row >= bar->value() && row < bar->value() + shown) return;
    bar->setValue(std::max(row - 1, 0));
}

void SetGridCellColor(QTableWidgetItem* cell, QRgb back, QRgb fore) {
    cell->setBackground(QColor(back));
    cell->setForeground(QColor(fore));
}

// The question table's items that have a place in the answers, in stored order.
Result<std::vector<QuestionRow>> ReadQuestions(const StationContext& ctx) {
    if (!ctx.database) {
        return MakeError(errc::DatabaseFileNotFound,
                         "the question database " +
                             JoinPath(ctx.programDir, kQuestionDatabaseName) +
                             " could not be opened");
    }
    Result<std::vector<QuestionRow>> rows = ctx.database->ReadQuestionTable(kAnswerSheetTable);
    if (!rows) return rows;
    std::erase_if(*rows, [](const QuestionRow& row) { return row.ID < 1 || row.ID > kItemCount; });
    if (rows->empty()) {
        return MakeError(errc::BadData, std::string("the question table ") + kAnswerSheetTable +
                                            " holds no items numbered 1 to 160");
    }
    return rows;
}

// A grid of one layout: the item number column, then one column per answer.
// Only digits choose an answer, so the grid never edits, selects or moves
// between columns by itself.
QTableWidget* MakeGrid(QWidget* parent, int index, int answers) {
    auto* table = new QTableWidget(0, answers + 1, parent);
    table->setObjectName(ControlName("grdResponses", index));
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionsClickable(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setTabKeyNavigation(false);
    // The screen scrolls the grid itself (HighlightRow).
    table->setAutoScroll(false);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QFontMetrics metrics = table->fontMetrics();
    const int answerWidth = metrics.horizontalAdvance(QStringLiteral("X")) + 12;
    table->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("160.")) + 12);
    QStringList headers{QStringLiteral("Num")};
    for (int column = 1; column <= answers; ++column) {
        headers << QString::number(column);
        table->setColumnWidth(column, answerWidth);
    }
    table->setHorizontalHeaderLabels(headers);
    // The header takes the window's button colours, high contrast included.
    const QRgb buttonFace = table->palette().color(QPalette::Button).rgb();
    const QRgb buttonText = table->palette().color(QPalette::ButtonText).rgb();
    for (int column = 0; column <= answers; ++column) {
        SetGridCellColor(table->horizontalHeaderItem(column), buttonFace, buttonText);
    }
    return table;
}

}  // namespace

frmNewEntry::frmNewEntry(StationContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), readOnly_(ctx.state.EditMode && ctx.state.Current().Locked()) {
    setObjectName(QStringLiteral("frmNewEntry"));
    setWindowTitle(QStringLiteral("Client Responses"));
    msgPanel_ = MakeMsgPanel(this);
    QStringList helpTexts{QString::fromUtf8(kReadOnlyHelp)};
    for (const char* help : kHelp) helpTexts << QString::fromUtf8(help);
    AddHelpTexts(msgPanel_, helpTexts);
    auto* lblClientName =
        Named<QLabel>(this, "lblClientName",
                      QString::fromStdString(Trim(Cp1252ToUtf8(ctx_.state.Current().Name.View()))));
    menu_ = AddMenu(this, "frMenu",
                    {{QStringLiteral("Save"),
                      QStringLiteral("SAVE data, close this window and return to Main Menu")},
                     {QStringLiteral("Cancel"),
                      QStringLiteral("DISCARD data, close this window and return to Main Menu")}},
                    msgPanel_, [this](int index) { cmdMenuChoice_Click(index); });
    // A stray Space must not throw away a sheet of keyed answers: only Enter chooses.
    menu_->SetSpaceIgnored(true);

    Result<std::vector<QuestionRow>> questions = ReadQuestions(ctx_);
    if (questions) {
        ranges_ = AnswerRanges::FromQuestions(*questions);
    } else {
        loadError_ = QString::fromStdString(questions.error().message);
    }
    LoadAnswers();
    if (questions) BuildGrids(std::move(*questions));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblClientName, 0, Qt::AlignHCenter);
    layout->addWidget(LayOutGrids(), 1, Qt::AlignHCenter);
    layout->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    layout->addWidget(msgPanel_);
    FitRowsToScreen();
    FitAndCenter(this, grids_.empty() ? nullptr : grids_.front().table);
    // From here on the grids take the window's height, down to a few rows,
    // so that the window may still be made smaller.
    for (const Grid& grid : grids_) {
        grid.table->setMinimumHeight(GridHeight(grid.table, kLeastVisibleRows));
        grid.table->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    setMinimumSize(minimumSizeHint());
}

frmNewEntry::~frmNewEntry() = default;

// Blanks (items whose marks did not scan as one answer) and codes the item
// has no answer for read as not answered, so that what the grid shows is
// what Save stores. A scanned client with such items is warned of them.
void frmNewEntry::LoadAnswers() {
    const std::string_view stored = ctx_.state.Current().Answers.View();
    if (ctx_.state.ScanMode) toKey_ = ItemsToKey(stored);
    answers_ = ranges_.Within(stored);
    shownAnswers_ = answers_;
}

// One grid per section, as the paper sheet is laid out, each as wide as the
// section's item with the most answers: keying a sheet from top to bottom
// goes from item to item whatever the items' answer formats.
void frmNewEntry::BuildGrids(std::vector<QuestionRow> questions) {
    std::ranges::stable_sort(questions, {}, &QuestionRow::ID);
    for (int section = 1; section <= kSectionCount; ++section) {
        const auto inSection = [section](const QuestionRow& q) {
            return SectionOf(q.ID) == section;
        };
        int columns = 0;
        for (const QuestionRow& question : questions | std::views::filter(inSection)) {
            columns = std::max(columns, ranges_.Highest(question.ID));
        }
        if (columns == 0) continue;  // a table without this section's items
        grids_.push_back(
            {MakeGrid(this, static_cast<int>(grids_.size()), columns), section, {}, {}});
        for (const QuestionRow& question : questions | std::views::filter(inSection)) {
            AddItemRow(grids_.back(), question);
        }
    }
    for (Grid& grid : grids_) FinishGrid(grid);
}

void frmNewEntry::AddItemRow(Grid& grid, const QuestionRow& question) {
    QTableWidget* table = grid.table;
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(QString::number(question.ID) + QLatin1Char('.')));
    for (int column = 1; column < table->columnCount(); ++column) {
        table->setItem(row, column, new QTableWidgetItem);
    }
    grid.items.push_back(question.ID);
    grid.types.push_back(ResponseTypeOf(question.Answer[1]));
}

// Every row painted from the answers, and the first item current.
void frmNewEntry::FinishGrid(Grid& grid) {
    QTableWidget* table = grid.table;
    for (int row = 0; row < table->rowCount(); ++row) PaintRow(grid, row, false);
    SizeGrid(grid, kVisibleRows);
    table->setCurrentCell(0, 0);
    table->installEventFilter(this);
    connect(table, &QTableWidget::currentCellChanged, this,
            [this, index = IndexOf(grid)] { HighlightRow(grids_[index]); });
}

// Wide enough for every column, with room for a scroll bar where the grid
// may have to scroll, and high enough for `rows` rows.
void frmNewEntry::SizeGrid(const Grid& grid, int rows) {
    QTableWidget* table = grid.table;
    int width = 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column) {
        width += table->columnWidth(column);
    }
    if (table->rowCount() > kLeastVisibleRows) {
        width += table->verticalScrollBar()->sizeHint().width();
    }
    table->setFixedSize(width, GridHeight(table, rows));
}

// The window opens with as many rows as the screen has room for, so that
// Save, Cancel and the help line are on the screen below the grids. The
// room is the one the kit fits every window to: a window any taller would
// be made to scroll as a whole, the choices and the grids alike.
void frmNewEntry::FitRowsToScreen() {
    if (grids_.empty()) return;
    const int over = sizeHint().height() - ScreenRoom(this).height();
    if (over <= 0) return;
    const int rowHeight = grids_.front().table->verticalHeader()->defaultSectionSize();
    const int rows = std::max(kLeastVisibleRows, kVisibleRows - (over + rowHeight - 1) / rowHeight);
    for (const Grid& grid : grids_) SizeGrid(grid, rows);
    // The window is not shown yet, so its layouts keep the sizes they
    // measured before: they measure again.
    QWidget* frEntry = grids_.front().table->parentWidget();
    frEntry->layout()->invalidate();
    frEntry->updateGeometry();
    layout()->invalidate();
}

// frEntry: each grid under its label "Section <n>", side by side; Tab goes
// from grid to grid and then to the choices.
QWidget* frmNewEntry::LayOutGrids() {
    auto* frEntry = Named<QWidget>(this, "frEntry");
    auto* layout = new QGridLayout(frEntry);
    layout->setHorizontalSpacing(kGridGap);
    QWidget* previous = nullptr;
    for (const Grid& grid : grids_) {
        const int index = IndexOf(grid);
        auto* label = new QLabel(QStringLiteral("Section %1").arg(grid.section), frEntry);
        label->setObjectName(ControlName("lblSection", index));
        layout->addWidget(label, 0, index);
        layout->addWidget(grid.table, 1, index, Qt::AlignHCenter);
        if (previous) setTabOrder(previous, grid.table);
        previous = grid.table;
    }
    if (previous) setTabOrder(previous, menu_->Button(kSave));
    setTabOrder(menu_->Button(kSave), menu_->Button(kCancel));
    return frEntry;
}

void frmNewEntry::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    // Message boxes and closing wait until the window is up and its own
    // event loop runs.
    QMetaObject::invokeMethod(this, &frmNewEntry::Form_Activate, Qt::QueuedConnection);
}

void frmNewEntry::Form_Activate() {
    if (grids_.empty()) {
        ShowLoadError();
        reject();
        return;
    }
    if (!toKey_.empty()) {
        ctx_.platform.MsgBox({.text = QString::fromUtf8(kScannedWarning) +
                                      QStringLiteral("\nItems to key: %1.")
                                          .arg(QString::fromStdString(ItemList(toKey_))),
                              .title = QStringLiteral("Scanned Answers Warning")});
        GoToItem(toKey_.front());
    }
}

void frmNewEntry::GoToItem(int item) {
    for (Grid& grid : grids_) {
        const auto row = std::ranges::find(grid.items, item);
        if (row != grid.items.end()) {
            EnterGrid(grid, static_cast<int>(row - grid.items.begin()));
            return;
        }
    }
}

void frmNewEntry::ShowLoadError() {
    ctx_.platform.MsgBox({.text = QStringLiteral("Client responses cannot be entered:\n") +
                                  loadError_ + QLatin1Char('.'),
                          .icon = MsgIcon::Stop,
                          .title = QStringLiteral("Program Error")});
}

frmNewEntry::Grid* frmNewEntry::GridOf(QObject* object) {
    for (Grid& grid : grids_) {
        if (grid.table == object) return &grid;
    }
    return nullptr;
}

int frmNewEntry::IndexOf(const Grid& grid) const {
    return static_cast<int>(&grid - grids_.data());
}

// The item number cell is always plain; the chosen answer is a green "X";
// the answer cells of the current row are cyan, keeping their "X"; the
// cells of answers the item does not have are grey.
void frmNewEntry::PaintRow(const Grid& grid, int row, bool current) {
    QTableWidget* table = grid.table;
    const int item = grid.items[static_cast<std::size_t>(row)];
    const int code = AnswerValue(answers_[static_cast<std::size_t>(item - 1)]);
    SetGridCellColor(table->item(row, 0), kWhite, kDarkBlue);
    for (int column = 1; column < table->columnCount(); ++column) {
        const bool chosen = column == code;
        QTableWidgetItem* cell = table->item(row, column);
        cell->setText(chosen ? QStringLiteral("X") : QString());
        const QRgb back = column > ranges_.Highest(item) ? kGrey
                          : current                      ? kFocusColor
                          : chosen                       ? kGreen
                                                         : kWhite;
        SetGridCellColor(cell, back, current || chosen ? kBlack : kDarkBlue);
        // Most cells show nothing: a screen reader names each by its item and answer.
        cell->setData(Qt::AccessibleTextRole,
                      QStringLiteral("Item %1, answer %2%3")
                          .arg(item)
                          .arg(column)
                          .arg(chosen ? QStringLiteral(", chosen") : QString()));
    }
}

// The current row, painted and in view, with its own item's help line.
void frmNewEntry::HighlightRow(Grid& grid) {
    const int row = grid.table->currentRow();
    if (grid.highlightedRow >= 0 && grid.highlightedRow != row) {
        PaintRow(grid, grid.highlightedRow, false);
    }
    PaintRow(grid, row, true);
    grid.highlightedRow = row;
    ScrollToRow(grid.table, row);
    msgPanel_->setText(QString::fromUtf8(
        readOnly_ ? kReadOnlyHelp : kHelp[static_cast<std::size_t>(grid.types[row])]));
}

void frmNewEntry::RestoreRow(const Grid& grid) {
    if (grid.highlightedRow >= 0) PaintRow(grid, grid.highlightedRow, false);
}

void frmNewEntry::EnterGrid(Grid& grid, int row) {
    grid.table->setCurrentCell(row, 0);
    grid.table->setFocus(Qt::OtherFocusReason);
}

bool frmNewEntry::eventFilter(QObject* watched, QEvent* event) {
    if (Grid* grid = GridOf(watched)) {
        switch (event->type()) {
            case QEvent::FocusIn:
                HighlightRow(*grid);
                break;
            case QEvent::FocusOut:
                RestoreRow(*grid);
                break;
            case QEvent::KeyPress:
                return grdResponses_KeyDown(*grid, *static_cast<QKeyEvent*>(event));
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Returns true when the key is used up here. Tab and the page keys are the
// window's and the grid's own; every other key is the screen's, so the
// column never moves by keyboard.
bool frmNewEntry::grdResponses_KeyDown(Grid& grid, const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return false;
        case Qt::Key_Up:
            MoveUp(grid);
            return true;
        case Qt::Key_Down:
            AdvanceRow(grid);
            return true;
        default:
            if (!key.text().isEmpty()) grdResponses_KeyPress(grid, key.text().front());
            return true;
    }
}

// A digit of the item's answers (0 for none) stores the item's code and
// moves on; any other character only beeps, as does every key of a locked
// client.
void frmNewEntry::grdResponses_KeyPress(Grid& grid, QChar typed) {
    const int item = grid.items[static_cast<std::size_t>(grid.table->currentRow())];
    const int code = typed.unicode() - u'0';
    if (readOnly_ || !ranges_.Accepts(item, code)) {
        ctx_.platform.Beep();
        return;
    }
    answers_[static_cast<std::size_t>(item - 1)] = static_cast<char>('0' + code);
    AdvanceRow(grid);
}

// One row down; from the last row of a grid to the first of the next. The
// last row of the last grid stays, shown with its new answer, and beeps.
void frmNewEntry::AdvanceRow(Grid& grid) {
    const int row = grid.table->currentRow();
    if (row + 1 < grid.table->rowCount()) {
        grid.table->setCurrentCell(row + 1, grid.table->currentColumn());
        return;
    }
    const int next = IndexOf(grid) + 1;
    if (next < static_cast<int>(grids_.size())) {
        EnterGrid(grids_[next], 0);
        return;
    }
    HighlightRow(grid);
    ctx_.platform.Beep();
}

// One row up; from the first row of a grid to the last of the one before.
void frmNewEntry::MoveUp(Grid& grid) {
    const int row = grid.table->currentRow();
    if (row > 0) {
        grid.table->setCurrentCell(row - 1, grid.table->currentColumn());
        return;
    }
    const int previous = IndexOf(grid) - 1;
    if (previous < 0) {
        ctx_.platform.Beep();
        return;
    }
    Grid& before = grids_[previous];
    EnterGrid(before, before.table->rowCount() - 1);
}

// Cancel, the close box and Alt+F4 all come here. Answers keyed on this
// showing are not thrown away on one slip: No, the default, keeps them on
// the screen.
void frmNewEntry::reject() {
    if (answers_ != shownAnswers_ && !DiscardConfirmed()) return;
    QDialog::reject();
}

bool frmNewEntry::DiscardConfirmed() {
    const int keyed = std::transform_reduce(answers_.begin(), answers_.end(), shownAnswers_.begin(),
                                            0, std::plus<>(), std::not_equal_to<>());
    const QString question =
        keyed == 1 ? QStringLiteral("Discard the answer keyed on this screen?")
                   : QStringLiteral("Discard the %1 answers keyed on this screen?").arg(keyed);
    return ctx_.platform.MsgBox({.text = question,
                                 .buttons = MsgButtons::YesNo,
                                 .icon = MsgIcon::Question,
                                 .defaultButton = 1}) == MsgAnswer::Yes;
}

void frmNewEntry::cmdMenuChoice_Click(int index) {
    if (index == kSave) {
        Save();
    } else {
        reject();
    }
}

// The answers keyed so far stay on the screen until the client is written:
// after a refused write the operator mends the disk and saves again. A
// locked client's answers cannot have changed; what may still be stored is
// the client information confirmed just before, with the edit that reached
// the limit.
void frmNewEntry::Save() {
    const StationState& state = ctx_.state;
    if (readOnly_ &&
        state.Current().ToBytes() == state.StoredRecord(state.CurrentRecord).ToBytes()) {
        accept();
        return;
    }
    const auto enableChoices = [this](bool enabled) {
        for (int index : {kSave, kCancel}) menu_->Button(index)->setEnabled(enabled);
    };
    enableChoices(false);
    if (StoreAnswers(ctx_, answers_,
                     ctx_.state.ScanMode ? AnswerRoute::Scanned : AnswerRoute::Keyed)) {
        accept();
        return;
    }
    enableChoices(true);
    menu_->Focus(kSave);
}

}  // namespace mw
