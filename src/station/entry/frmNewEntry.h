// "Client Responses": the 160 answers of a paper answer sheet keyed into one
// grid per section of the sheet, or an existing client's answers corrected.
// Save stores the client through the client store; Cancel writes nothing
// (the caller puts back what it had prepared), and asks first when answers
// were keyed.
//
// Each grid row is one item, in item order as on the sheet; the keyed answer
// is an "X" in its column. A row takes only its own item's answers: the
// cells beyond them are greyed and their keys beep. The operator only types
// digits: each one stores the item's answer and moves on to the next item,
// from the last item of a grid to the first of the next. A locked client's
// answers are shown but cannot be changed.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "core/data/AnswerRanges.h"

class QKeyEvent;
class QLabel;
class QTableWidget;

namespace mw {

class MenuChoices;
struct StationContext;

class frmNewEntry : public QDialog {
    Q_OBJECT

public:
    enum Choice { kSave = 0, kCancel };

    frmNewEntry(StationContext& ctx, QWidget* parent);
    ~frmNewEntry() override;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One grid of grdResponses: the items of one section, in item order.
    struct Grid {
        QTableWidget* table;
        int section;
        std::vector<int> items;   // the item number of each row
        std::vector<int> types;   // the response type of each row, for its help line
        int highlightedRow = -1;  // the row last painted as the current one
    };

    void LoadAnswers();
    void BuildGrids(std::vector<QuestionRow> questions);
    void AddItemRow(Grid& grid, const QuestionRow& question);
    void FinishGrid(Grid& grid);
    void SizeGrid(const Grid& grid, int rows);
    QWidget* LayOutGrids();
    void FitRowsToScreen();
    void Form_Activate();
    void ShowLoadError();
    void GoToItem(int item);

    Grid* GridOf(QObject* object);
    int IndexOf(const Grid& grid) const;
    void PaintRow(const Grid& grid, int row, bool current);
    void HighlightRow(Grid& grid);
    void RestoreRow(const Grid& grid);
    void EnterGrid(Grid& grid, int row);

    bool grdResponses_KeyDown(Grid& grid, const QKeyEvent& key);
    void grdResponses_KeyPress(Grid& grid, QChar typed);
    void AdvanceRow(Grid& grid);
    void MoveUp(Grid& grid);

    void cmdMenuChoice_Click(int index);
    void Save();
    bool DiscardConfirmed();

    StationContext& ctx_;
    QLabel* msgPanel_;
    MenuChoices* menu_;
    std::vector<Grid> grids_;
    AnswerRanges ranges_;
    // The answer buffer: the code of item n at n - 1.
    std::string answers_;
    // The answers as the screen opened with them.
    std::string shownAnswers_;
    // Why the answers cannot be keyed; empty once the grids are built.
    QString loadError_;
    // A locked client: its answers are only shown.
    bool readOnly_;
    // A scanned client's items whose marks did not scan as one answer: the
    // operator is warned of them and starts on the first.
    std::vector<int> toKey_;
    bool activated_ = false;
};

}  // namespace mw
