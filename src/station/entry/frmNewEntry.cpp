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

#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "station/entry/StoreAnswers.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

// The answer sheet follows the English question table, whatever the language
// the client would have been tested in.
constexpr const char* kQuestionTable = "English";

// How an item is answered, decided from its second answer text.
enum ResponseType { kTrueFalse = 0, kYesNo, kNumbered, kFrequency, kMostly, kOften };

struct ResponseLayout {
    int answers;  // answer columns, and the highest code a key may give
    const char* help;
};

constexpr std::array<ResponseLayout, 6> kLayouts = {{
    {2, "0=No answer, 1=True, 2=False, Tab=Next grid"},
    {2, "0=No answer, 1=Yes, 2=No, Tab=Next grid"},
    {4, "0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid"},
    {4, "0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, 4=Very Often, Tab=Next grid"},
    {5,
     "0=No answer, 1=True, 2=Mostly True, 3=Can't Decide, 4=Mostly False, 5=False, Tab=Next "
     "grid"},
    {5, "0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very Often, Tab=Next grid"},
}};

// The tests are made in this order; "No" must be the whole text.
int ResponseTypeOf(std::string_view answer2) {
    if (answer2.starts_with("False")) return kTrueFalse;
    if (answer2.starts_with("Somet")) return kFrequency;
    if (answer2.starts_with("Mostl")) return kMostly;
    if (answer2.starts_with("Often")) return kOften;
    if (answer2 == "No") return kYesNo;
    return kNumbered;
}

// Item rows shown at once; the scrolling below is made for this many.
constexpr int kVisibleRows = 17;
// Room between two grids.
constexpr int kGridGap = 13;

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kDarkBlue = qRgb(0, 0, 128);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kBlack = qRgb(0, 0, 0);

const char* const kScannedWarning =
    "Scanned answers being populated for editing but\n"
    "some answers did not scan correctly.\n"
    "Check responses carefully.";

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
    Result<std::vector<QuestionRow>> rows = ctx.database->ReadQuestionTable(kQuestionTable);
    if (!rows) return rows;
    std::erase_if(*rows, [](const QuestionRow& row) { return row.ID < 1 || row.ID > kItemCount; });
    if (rows->empty()) {
        return MakeError(errc::BadData, std::string("the question table ") + kQuestionTable +
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
    const QRgb buttonFace = table->palette().color(QPalette::Button).rgb();
    for (int column = 0; column <= answers; ++column) {
        SetGridCellColor(table->horizontalHeaderItem(column), buttonFace, kBlack);
    }
    return table;
}

// Shows the row above `row` at the top when `row` is out of view, never
// scrolling past the last row.
void ScrollToRow(QTableWidget* table, int row) {
    QScrollBar* bar = table->verticalScrollBar();
    if (row >= bar->value() && row < bar->value() + kVisibleRows) return;
    bar->setValue(std::max(row - 1, 0));
}

}  // namespace

frmNewEntry::frmNewEntry(StationContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmNewEntry"));
    setWindowTitle(QStringLiteral("Client Responses"));
    msgPanel_ = MakeMsgPanel(this);
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

    LoadAnswers();
    if (Result<std::vector<QuestionRow>> questions = ReadQuestions(ctx_)) {
        BuildGrids(*questions);
    } else {
        loadError_ = QString::fromStdString(questions.error().message);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblClientName, 0, Qt::AlignHCenter);
    layout->addWidget(LayOutGrids(), 1, Qt::AlignHCenter);
    layout->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    layout->addWidget(msgPanel_);
    FitAndCenter(this, grids_.empty() ? nullptr : grids_.front().table);
}

frmNewEntry::~frmNewEntry() = default;

// A scanned client may come with fewer than 160 answers, or with blanks for
// items whose mark did not scan (none, or several); they read as not answered.
void frmNewEntry::LoadAnswers() {
    answers_ = std::string(ctx_.state.Current().Answers.View());
    if (!ctx_.state.ScanMode) return;
    scannedShort_ = answers_.find(' ') != std::string::npos;
    std::replace(answers_.begin(), answers_.end(), ' ', '0');
}

// Items of one type always go to one grid, in table order, whatever the
// order of the types in the table; the grids follow the order in which
// their types first appear.
void frmNewEntry::BuildGrids(const std::vector<QuestionRow>& questions) {
    for (const QuestionRow& question : questions) {
        AddItemRow(GridOfType(ResponseTypeOf(question.Answer[1])), question.ID);
    }
    for (Grid& grid : grids_) FinishGrid(grid);
}

frmNewEntry::Grid& frmNewEntry::GridOfType(int type) {
    for (Grid& grid : grids_) {
        if (grid.type == type) return grid;
    }
    const int index = static_cast<int>(grids_.size());
    grids_.push_back({MakeGrid(this, index, kLayouts[type].answers), type, {}});
    return grids_.back();
}

void frmNewEntry::AddItemRow(Grid& grid, int item) {
    QTableWidget* table = grid.table;
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(QString::number(item) + QLatin1Char('.')));
    for (int column = 1; column < table->columnCount(); ++column) {
        table->setItem(row, column, new QTableWidgetItem);
    }
    grid.items.push_back(item);
}

// Every row painted from the answers, the grid sized to show kVisibleRows
// rows, and the first item current.
void frmNewEntry::FinishGrid(Grid& grid) {
    QTableWidget* table = grid.table;
    for (int row = 0; row < table->rowCount(); ++row) PaintRow(grid, row, false);
    const int frame = 2 * table->frameWidth();
    int width = frame;
    for (int column = 0; column < table->columnCount(); ++column) {
        width += table->columnWidth(column);
    }
    if (table->rowCount() > kVisibleRows) width += table->verticalScrollBar()->sizeHint().width();
    table->setFixedSize(width, frame + table->horizontalHeader()->sizeHint().height() +
                                   kVisibleRows * table->verticalHeader()->defaultSectionSize());
    table->setCurrentCell(0, 0);
    table->installEventFilter(this);
    connect(table, &QTableWidget::currentCellChanged, this,
            [this, index = IndexOf(grid)] { HighlightRow(grids_[index]); });
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
        auto* label = new QLabel(QStringLiteral("Section %1").arg(index + 1), frEntry);
        label->setObjectName(ControlName("lblSection", index));
        layout->addWidget(label, 0, index);
        layout->addWidget(grid.table, 1, index, Qt::AlignTop);
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
        // Nothing was keyed, so nothing is discarded: the caller's record stays as it was.
        QDialog::reject();
        return;
    }
    if (scannedShort_) {
        ctx_.platform.MsgBox({.text = QString::fromUtf8(kScannedWarning),
                              .title = QStringLiteral("Scanned Answers Warning")});
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
// the answer cells of the current row are cyan, keeping their "X".
void frmNewEntry::PaintRow(const Grid& grid, int row, bool current) {
    QTableWidget* table = grid.table;
    const int code = AnswerValue(answers_[grid.items[row] - 1]);
    SetGridCellColor(table->item(row, 0), kWhite, kDarkBlue);
    for (int column = 1; column < table->columnCount(); ++column) {
        const bool chosen = column == code;
        QTableWidgetItem* cell = table->item(row, column);
        cell->setText(chosen ? QStringLiteral("X") : QString());
        const QRgb back = current ? kFocusColor : (chosen ? kGreen : kWhite);
        SetGridCellColor(cell, back, current || chosen ? kBlack : kDarkBlue);
    }
}

void frmNewEntry::HighlightRow(Grid& grid) {
    const int row = grid.table->currentRow();
    if (grid.highlightedRow >= 0 && grid.highlightedRow != row) {
        PaintRow(grid, grid.highlightedRow, false);
    }
    PaintRow(grid, row, true);
    grid.highlightedRow = row;
    ScrollToRow(grid.table, row);
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
                grdResponses_GotFocus(*grid);
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

void frmNewEntry::grdResponses_GotFocus(Grid& grid) {
    msgPanel_->setText(QString::fromUtf8(kLayouts[grid.type].help));
    HighlightRow(grid);
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

// A digit up to the grid's highest answer stores the item's code and moves
// on; any other character only beeps.
void frmNewEntry::grdResponses_KeyPress(Grid& grid, QChar typed) {
    const int code = typed.unicode() - u'0';
    if (code < 0 || code > kLayouts[grid.type].answers) {
        ctx_.platform.Beep();
        return;
    }
    answers_[grid.items[grid.table->currentRow()] - 1] = static_cast<char>('0' + code);
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

void frmNewEntry::cmdMenuChoice_Click(int index) {
    if (index == kSave) {
        Save();
    } else {
        reject();
    }
}

// The answers keyed so far stay on the screen until the client is written:
// after a refused write the operator mends the disk and saves again.
void frmNewEntry::Save() {
    const auto enableChoices = [this](bool enabled) {
        for (int index : {kSave, kCancel}) menu_->Button(index)->setEnabled(enabled);
    };
    enableChoices(false);
    if (StoreAnswers(ctx_, answers_)) {
        accept();
        return;
    }
    enableChoices(true);
    menu_->Focus(kSave);
}

// A new client abandoned here leaves no half-entered record in its slot.
// Nothing is written; an existing client stays as it was stored.
void frmNewEntry::reject() {
    if (AddingNewClient(ctx_)) {
        ctx_.Store().ClearRecord();
        ctx_.state.CurrentRecord = 1;
    }
    QDialog::reject();
}

}  // namespace mw
