// "Answer Sheet File": how the reader's sheet file is read, shown before
// anything of it is imported: the layout (chosen from the header, or the one
// the office names), the column that holds the inmate number and, where the
// reader writes names, the one the client's name is taken from, what every
// column holds and the first sheet as it will be stored.
//
// Changing the layout or a column reads the file again.
// "&Import Sheets" keeps the choice in sctest.ini for the next file;
// "Cancel Import" imports nothing. A file that cannot be read as chosen says
// why, naming the line and column, and cannot be imported.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "core/data/ScannedSheets.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace mw {

class MenuChoices;
struct StationContext;

class frmSheetFile : public QDialog {
    Q_OBJECT

public:
    enum Choice { kImportSheets = 0, kCancelImport };

    // `bytes`: the file at `path` as read.
    frmSheetFile(StationContext& ctx, std::string path, std::string bytes, QWidget* parent);

    // The file as read with the confirmed choice; none unless imported.
    const std::optional<SheetFile>& File() const { return imported_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillChoices(const SheetChoice& stored);
    void FillColumns(QComboBox* box, const QString& none, const std::string& stored);
    SheetChoice Chosen() const;
    void ReadFile();
    void cmdMenuChoice_Click(int index);

    StationContext& ctx_;
    const std::string path_;
    const std::string bytes_;
    const AnswerRanges ranges_;
    QComboBox* cmbLayout_;
    QComboBox* cmbInmateColumn_;
    QComboBox* cmbNameColumn_;
    QPlainTextEdit* txtMapping_;
    MenuChoices* menu_;
    QLabel* msgPanel_;
    std::optional<SheetFile> read_;
    std::optional<SheetFile> imported_;
};

}  // namespace mw
