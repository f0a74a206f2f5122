// "Client Responses": the 160 answers of a paper answer sheet keyed into one
// grid per answer format, or an existing client's answers corrected. Save
// stores the client through the client store; Cancel of a new client blanks
// the slot and writes nothing.
//
// Each grid row is one item; the keyed answer is an "X" in its column. The
// operator only types digits: each one stores the item's answer and moves on
// to the next item, from the last item of a grid to the first of the next.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class QKeyEvent;
class QLabel;
class QTableWidget;

namespace mw {

class MenuChoices;
struct QuestionRow;
struct StationContext;

class frmNewEntry : public QDialog {
    Q_OBJECT

public:
    enum Choice { kSave = 0, kCancel };

    frmNewEntry(StationContext& ctx, QWidget* parent);
    ~frmNewEntry() override;

    // Closing the window counts as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One grid of grdResponses: the items of one response type, in table order.
    struct Grid {
        QTableWidget* table;
        int type;
        std::vector<int> items;   // the item number of each row
        int highlightedRow = -1;  // the row last painted as the current one
    };

    void LoadAnswers();
    void BuildGrids(const std::vector<QuestionRow>& questions);
    Grid& GridOfType(int type);
    void AddItemRow(Grid& grid, int item);
    void FinishGrid(Grid& grid);
    QWidget* LayOutGrids();
    void Form_Activate();
    void ShowLoadError();

    Grid* GridOf(QObject* object);
    int IndexOf(const Grid& grid) const;
    void PaintRow(const Grid& grid, int row, bool current);
    void HighlightRow(Grid& grid);
    void RestoreRow(const Grid& grid);
    void EnterGrid(Grid& grid, int row);

    void grdResponses_GotFocus(Grid& grid);
    bool grdResponses_KeyDown(Grid& grid, const QKeyEvent& key);
    void grdResponses_KeyPress(Grid& grid, QChar typed);
    void AdvanceRow(Grid& grid);
    void MoveUp(Grid& grid);

    void cmdMenuChoice_Click(int index);
    void Save();

    StationContext& ctx_;
    QLabel* msgPanel_;
    MenuChoices* menu_;
    std::vector<Grid> grids_;
    // The answer buffer: the code of item n at n - 1.
    std::string answers_;
    // Why the answers cannot be keyed; empty once the grids are built.
    QString loadError_;
    // A scanned client with answers that did not scan: the operator is warned.
    bool scannedShort_ = false;
    bool activated_ = false;
};

}  // namespace mw
