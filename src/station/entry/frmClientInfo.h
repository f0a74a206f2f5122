// "Client Information": a client's name, ID number, age, sex, ethnicity,
// education, marital status and date of birth, keyed one field at a time.
//
// Three modes, read from the station state when the screen is made (the
// caller sets EditMode and ScanMode first):
// - a new client: empty fields; "Information OK" fills the free slot
//   RecordCount + 1 and makes it current;
// - edit (EditMode): the current client's data, corrected; every changed
//   field counts as an edit, and three edits lock the client for good. A
//   locked client (three edits, or its name deleted) is shown to be
//   confirmed as it is: "Information OK" then changes nothing;
// - scan (ScanMode): the values read from an answer sheet, left in the free
//   slot by the scan, are confirmed and stored there as a new client.
// A new or scanned client needs a free slot: the caller checks first that
// the disk has room.
//
// The screen never writes to the disk: it fills the record in memory and
// sets ChoiceConfirmed when it is left with "Information OK" (cleared on
// "Cancel Input"); the caller stores the client.
#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <array>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace mw {

class MenuChoices;
struct ClientRecord;
struct StationContext;

class frmClientInfo : public QDialog {
    Q_OBJECT

public:
    enum Choice { kInformationOk = 0, kCancelInput };
    // The fields in tab order; lblInfo_<field> is the caption of each.
    enum Field { kName = 0, kIDNumber, kAge, kGender, kRace, kEducation, kMarital, kDateOfBirth };
    static constexpr int kFieldCount = kDateOfBirth + 1;

    frmClientInfo(StationContext& ctx, QWidget* parent);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildFields();
    void BuildField(Field field, QWidget* frame);
    void Form_Load();
    void Form_Activate();
    void Field_GotFocus(Field field);
    void Field_LostFocus(Field field);
    bool LeaveVisitedField(QWidget* next);
    bool Field_KeyPress(Field field, const QKeyEvent& key);
    bool Accepts(Field field, const QKeyEvent& key) const;
    void RefuseKey(Field field);
    void FocusNextField(Field field);
    void cmbList_Change(Field field, const QString& text);
    void cmdMenuChoice_GotFocus(int index);
    void cmdMenuChoice_Click(int index);

    void RecordToScreen();
    void ShowRecord(const ClientRecord& record);
    void RecordToDB();
    void StartNewRecord();
    void SetEnable(bool enabled);
    void LockOutEdit();
    void EditLimitMessage();
    void LastEditMessage();
    void ShowEditCount();
    void LostFocusProcess(Field field);
    bool GoodDate(const QString& text) const;

    bool ConfirmField(Field field);
    bool CheckField(Field field);
    bool ConfirmRequired(Field field);
    bool ConfirmEducation();
    bool ConfirmDateOfBirth();
    bool AgeFitsDateOfBirth();
    // Says what is wrong with the field (`text`, else the field's own error) and returns to it.
    bool Refuse(Field field, bool beep = true, const QString& text = {});
    bool AllFieldsConfirmed();
    void InformationOk();

    QLineEdit* Text(Field field) const;
    QComboBox* List(Field field) const;
    int ListPosition(Field field) const;
    QString FieldValue(Field field) const;
    int FieldOf(const QObject* object) const;
    QDate Today() const;
    QDate TestDate() const;

    StationContext& ctx_;
    QWidget* frClient_;
    std::array<QWidget*, kFieldCount> fields_{};
    std::array<QLabel*, kFieldCount> lblInfo_{};
    // Each field's value when it was last left (or shown), for counting edits.
    std::array<QString, kFieldCount> reference_{};
    // The field entered last, checked once the focus lands elsewhere; -1 for none.
    int visited_ = -1;
    // A field's check is running: the moves of the focus it makes leave nothing.
    bool checking_ = false;
    MenuChoices* menu_;
    QLabel* msgPanel_;
    // In edit mode, which counted change comes next.
    QLabel* lblEditCount_;
    int editCount_ = 0;
    bool nameDeleted_ = false;
    // Locked before this visit: nothing can change, so nothing is rewritten.
    bool lockedAtOpen_ = false;
    // The age and date of birth the clerk chose to keep though they disagree.
    QString keptAgeAndBirth_;
};

}  // namespace mw
