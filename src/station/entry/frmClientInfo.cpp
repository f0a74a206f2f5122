#include "station/entry/frmClientInfo.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>
#include <utility>

#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

struct FieldDef {
    const char* name;
    const char* caption;
    const char* help;   // in MsgPanel while the field has the focus
    const char* error;  // the box when the field is confirmed empty or wrong
    int maxLength;      // text boxes only
    // Lists only: the entries in code order and, for each, the start of the
    // text (in upper case) that picks it; the code's digit picks it too.
    std::span<const std::string_view> entries;
    std::span<const char* const> picks;
};

constexpr std::array<const char*, 3> kGenderPicks = {"N", "M", "F"};
// "N" alone would fit both N/A and Native American, so it picks neither.
constexpr std::array<const char*, 7> kRacePicks = {"N/", "C", "B", "H", "A", "NA", "O"};
// Likewise "S" alone: Single or Separated.
constexpr std::array<const char*, 6> kMaritalPicks = {"N", "SI", "M", "D", "SE", "W"};

constexpr std::array<FieldDef, frmClientInfo::kFieldCount> kFields = {{
    {"txtName",
     "Client Name:",
     "Type client's name (up to 25 characters) or N for not available, then press Enter.",
     "Enter client's name. Press Enter to continue.",
     25,
     {},
     {}},
    {"txtIDNumber",
     "ID #:",
     "Type ID number or N for not available, then press Enter.",
     "Enter ID Number or N for Not Available. Press Enter to continue.",
     11,
     {},
     {}},
    {"txtAge",
     "Age:",
     "Enter age (number of years) or N for not available, then press Enter.",
     "Enter age in years or N for Not Available. Press Enter to continue.",
     3,
     {},
     {}},
    {"cmbGender", "Sex:",
     "Use up or down arrow keys to select gender or N/A for not available, then press Enter.",
     "Press down arrow to select gender or N/A for not available. Press Enter to continue.", 0,
     kGenderTexts, kGenderPicks},
    {"cmbRace", "Ethnicity:",
     "Use up or down arrow keys to select ethnicity/race or N/A for not available, then press "
     "Enter.",
     "Press down arrow to select ethnicity or N/A for not available. Press Enter to continue.", 0,
     kRaceTexts, kRacePicks},
    {"txtEducation",
     "Education:",
     "Enter highest grade completed (number of years of education) or N for not available, then "
     "press Enter.",
     "Enter number of years of education or N for not available. Press Enter to continue.",
     2,
     {},
     {}},
    {"cmbMarital", "Marital Status:",
     "Use up or down arrow keys to select marital status or N/A for not available, then press "
     "Enter.",
     "Press down arrow key to select marital status or N/A for not available. Press Enter to "
     "continue.",
     0, kMaritalStatusTexts, kMaritalPicks},
    {"txtDateOfBirth",
     "Date of Birth:",
     "Type date of birth in the form MM/DD/YYYY or N for not available, then press Enter.",
     "Enter Date of Birth month, day, year as MM/DD/YYYY or N for Not Available. Press Enter to "
     "continue.",
     10,
     {},
     {}},
}};

const char* const kOkHelp =
    "If information is correct press Enter or press Tab to change an entry.";
const char* const kOkHelpNameDeleted =
    "This client's name has been deleted. Editing is not permitted.";
const char* const kOkHelpLocked = "Exceeded limits of editing. No further editing is permitted.";
const char* const kCancelHelp = "Cancel information input and return to Main Menu.";

const char* const kFutureBirthError =
    "The date of birth %1 is later than today's date. Enter Date of Birth as MM/DD/YYYY or N "
    "for Not Available. Press Enter to continue.";
const char* const kAgeQuestion =
    "The age %1 does not fit the date of birth %2, by which the client is %3.\n\n"
    "Keep both as they are?";

constexpr int kDateLength = 10;
// A text box's frame and margins beside its text.
constexpr int kBoxPadding = 12;

QString NotAvailable() {
    return QStringLiteral("N");
}

// "n" alone is the not-available mark too.
void MarkNotAvailable(QLineEdit* box) {
    if (box->text() == QStringLiteral("n")) box->setText(NotAvailable());
}

// A date as keyed, month first; leading zeros may be left out.
QDate ReadDate(const QString& text) {
    return QDate::fromString(text, QStringLiteral("M/d/yyyy"));
}

// Whole years from `born` up to `on`.
int YearsOld(const QDate& born, const QDate& on) {
    const int years = on.year() - born.year();
    return on.month() < born.month() || (on.month() == born.month() && on.day() < born.day())
               ? years - 1
               : years;
}

// 1 to 99 years; 0 for anything else. The box holds at most two characters.
int YearsOfEducation(const QString& text) {
    bool number = false;
    const int years = text.toInt(&number);
    return number && years > 0 ? years : 0;
}

// A key that types a character (Backspace and Ctrl+letter included), as
// opposed to one that moves the cursor or the focus.
bool TypesCharacter(const QKeyEvent& key) {
    if (key.text().isEmpty()) return false;
    return key.text().front().isPrint() || key.key() == Qt::Key_Backspace ||
           key.modifiers().testFlag(Qt::ControlModifier);
}

bool IsDigitBelow(QChar c, int limit) {
    return c >= QLatin1Char('0') && c.unicode() < QLatin1Char('0').unicode() + limit;
}

// The entry that a list's text picks, or -1 when none does.
int PickedEntry(const QComboBox* list, const QString& text) {
    const QString upper = text.toUpper();
    for (int i = 0; i < list->count(); ++i) {
        if (text == QString::number(i) || upper.startsWith(list->itemData(i).toString())) return i;
    }
    return -1;
}

// A trimmed record field as the screen shows it.
QString Shown(std::string_view field) {
    return QString::fromStdString(Cp1252ToUtf8(Trim(field)));
}

// Screen text as the record file holds it; `field`, the value it was shown
// from, gives back the bytes the screen could only show as U+FFFD.
std::string Stored(const QString& text, std::string_view field = {}) {
    return Utf8ToCp1252(text.toStdString(), field);
}

// The next mouse press on a control that then has not kept the focus it
// gave (a refused field took it back) goes no further: it neither chooses
// nor opens a list. Only the press being delivered, if any, is looked at:
// the filter is gone after one press, or once the event loop runs again.
class RefusedPress : public QObject {
public:
    explicit RefusedPress(QObject* parent) : QObject(parent) {
        QCoreApplication::instance()->installEventFilter(this);
        QTimer::singleShot(0, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* pressed = qobject_cast<const QWidget*>(watched);
        if (!pressed || (event->type() != QEvent::MouseButtonPress &&
                         event->type() != QEvent::MouseButtonDblClick)) {
            return false;
        }
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
        return !pressed->hasFocus();
    }
};

}  // namespace

frmClientInfo::frmClientInfo(StationContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("frmClientInfo"));
    setWindowTitle(QStringLiteral("Client Information"));

    QWidget* frClient = BuildFields();
    msgPanel_ = MakeMsgPanel(this);
    // As wide as the longest help line, so that the window keeps its size.
    int widest = 0;
    for (const FieldDef& def : kFields) {
        widest = std::max(widest,
                          msgPanel_->fontMetrics().horizontalAdvance(QString::fromUtf8(def.help)));
    }
    msgPanel_->setMinimumWidth(widest + 2 * (msgPanel_->indent() + msgPanel_->frameWidth()));

    // The help line of "Information OK" depends on the client, so the screen
    // sets both help lines itself.
    menu_ = AddMenu(this, "frMenu",
                    {{QStringLiteral("Information OK"), QString()},
                     {QStringLiteral("Cancel Input"), QString()}},
                    nullptr, [this](int index) { cmdMenuChoice_Click(index); });
    for (int i : {kInformationOk, kCancelInput}) menu_->Button(i)->installEventFilter(this);

    lblEditCount_ = Named<QLabel>(this, "lblEditCount");
    lblEditCount_->setVisible(ctx_.state.EditMode);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblEditCount_, 0, Qt::AlignHCenter);
    layout->addWidget(frClient, 0, Qt::AlignHCenter);
    layout->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(msgPanel_);
    Form_Load();
}

QWidget* frmClientInfo::BuildFields() {
    frClient_ = Named<QWidget>(this, "frClient");
    auto* grid = new QGridLayout(frClient_);
    for (int f = kName; f < kFieldCount; ++f) {
        BuildField(static_cast<Field>(f), frClient_);
        grid->addWidget(lblInfo_[f], f, 0, Qt::AlignRight);
        grid->addWidget(fields_[f], f, 1, Qt::AlignLeft);
    }
    return frClient_;
}

void frmClientInfo::Form_Load() {
    StationState& state = ctx_.state;
    if (state.EditMode) {
        RecordToScreen();
    } else if (state.ScanMode) {
        state.CurrentRecord = static_cast<std::int16_t>(state.RecordCount + 1);
        ShowRecord(state.Current());
    }
    // What is there to confirm is confirmed at once; a new client starts with the name.
    FitAndCenter(this,
                 state.EditMode || state.ScanMode ? menu_->Button(kInformationOk) : fields_[kName]);
}

void frmClientInfo::BuildField(Field field, QWidget* frame) {
    const FieldDef& def = kFields[field];
    lblInfo_[field] = new QLabel(QString::fromUtf8(def.caption), frame);
    lblInfo_[field]->setObjectName(ControlName("lblInfo", field));
    // Bold while its field has the focus, without moving the fields.
    lblInfo_[field]->setMinimumWidth(BoldCaptionWidth(lblInfo_[field], lblInfo_[field]->text()));
    if (def.entries.empty()) {
        auto* box = Named<QLineEdit>(frame, def.name);
        box->setMaxLength(def.maxLength);
        box->setFixedWidth(
            box->fontMetrics().horizontalAdvance(QString(def.maxLength + 1, QLatin1Char('0'))) +
            kBoxPadding);
        fields_[field] = box;
    } else {
        auto* list = Named<QComboBox>(frame, def.name);
        // A typed digit or letter picks an entry; no completion of its own.
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        for (std::size_t i = 0; i < def.entries.size(); ++i) {
            const std::string_view entry = def.entries[i];
            list->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())),
                          QString::fromUtf8(def.picks[i]));
        }
        list->setCurrentIndex(-1);
        connect(list, &QComboBox::editTextChanged, this,
                [this, field](const QString& text) { cmbList_Change(field, text); });
        fields_[field] = list;
    }
    fields_[field]->installEventFilter(this);
}

void frmClientInfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The boxes come once the screen is up, not before it.
    if (!event->spontaneous()) QTimer::singleShot(0, this, &frmClientInfo::Form_Activate);
}

void frmClientInfo::Form_Activate() {
    if (nameDeleted_) {
        ctx_.platform.MsgBox({.text = QStringLiteral("This client's name has been deleted.\n"
                                                     "Editing this information is no longer "
                                                     "permitted."),
                              .icon = MsgIcon::Information,
                              .title = QStringLiteral("Name Deleted")});
    } else if (editCount_ >= kEditLimit) {
        EditLimitMessage();
    }
}

void frmClientInfo::done(int result) {
    // Closing the window or Escape counts as "Cancel Input".
    if (result == QDialog::Rejected) ctx_.state.ChoiceConfirmed = false;
    QDialog::done(result);
}

// A control that the focus reached only to be sent back to a refused field
// takes no note of it (it returns true for the focus event).
bool frmClientInfo::eventFilter(QObject* watched, QEvent* event) {
    const int field = FieldOf(watched);
    if (field < 0) {
        // "Cancel Input" keeps nothing, so the field left for it is not checked.
        if (event->type() == QEvent::FocusIn) {
            const int index =
                watched == menu_->Button(kInformationOk) ? kInformationOk : kCancelInput;
            if (index == kInformationOk && !LeaveVisitedField(menu_->Button(index))) return true;
            cmdMenuChoice_GotFocus(index);
        }
        return QDialog::eventFilter(watched, event);
    }
    // A list opening its own drop-down, or a message box over the screen,
    // does not enter or leave a field.
    switch (event->type()) {
        case QEvent::FocusIn:
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) break;
            if (!LeaveVisitedField(fields_[field])) return true;
            Field_GotFocus(static_cast<Field>(field));
            break;
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                Field_LostFocus(static_cast<Field>(field));
            }
            break;
        }
        case QEvent::KeyPress:
            return Field_KeyPress(static_cast<Field>(field), *static_cast<QKeyEvent*>(event));
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmClientInfo::Field_GotFocus(Field field) {
    visited_ = field;
    SetBold(lblInfo_[field], true);
    SelectAllText();
    msgPanel_->setText(QString::fromUtf8(kFields[field].help));
}

void frmClientInfo::Field_LostFocus(Field field) {
    SetBold(lblInfo_[field], false);
}

// The focus has landed on `next`: the field visited before it has been
// left, by whatever key or click, and gets the check "Information OK" would
// give it. Only a change that passes counts as an edit; a refused field
// takes the focus back. (The check waits until the focus has landed, so
// that a move to "Cancel Input" checks nothing.) Returns whether `next`
// still has the focus; when it has not, the mouse press that gave it the
// focus, if any, is dropped.
bool frmClientInfo::LeaveVisitedField(QWidget* next) {
    if (visited_ < 0 || fields_[visited_] == next || checking_) return true;
    const auto field = static_cast<Field>(std::exchange(visited_, -1));
    checking_ = true;
    if (CheckField(field)) LostFocusProcess(field);
    checking_ = false;
    if (next->hasFocus()) return true;
    new RefusedPress(this);
    return false;
}

// Enter or Tab confirms the field and moves on; a character the field does
// not take is refused. Returns true when the key is used up here.
bool frmClientInfo::Field_KeyPress(Field field, const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Tab:
            if (ConfirmField(field) && (field != kDateOfBirth || AgeFitsDateOfBirth())) {
                FocusNextField(field);
            }
            return true;
        default:
            break;
    }
    if (!TypesCharacter(key) || Accepts(field, key)) return false;
    RefuseKey(field);
    return true;
}

// Age takes digits; a list takes the digits of its codes. "N" is taken everywhere.
bool frmClientInfo::Accepts(Field field, const QKeyEvent& key) const {
    const QChar typed = key.text().front();
    if (typed.toUpper() == NotAvailable().front()) return true;
    if (const QComboBox* list = List(field)) return IsDigitBelow(typed, list->count());
    return field != kAge || IsDigitBelow(typed, 10) || key.key() == Qt::Key_Backspace;
}

// A list starts afresh, without a box; age says what it wants.
void frmClientInfo::RefuseKey(Field field) {
    if (QComboBox* list = List(field)) {
        list->clearEditText();
        ctx_.platform.Beep();
    } else {
        Refuse(field);
    }
}

void frmClientInfo::FocusNextField(Field field) {
    if (field == kDateOfBirth) {
        menu_->Focus(kInformationOk);
    } else {
        fields_[field + 1]->setFocus(Qt::TabFocusReason);
    }
}

// A typed or chosen text is set to the entry it picks; when it picks none,
// the list opens to choose from.
void frmClientInfo::cmbList_Change(Field field, const QString& text) {
    if (text.isEmpty()) return;
    QComboBox* list = List(field);
    const int entry = PickedEntry(list, text);
    if (entry < 0) {
        list->showPopup();
        return;
    }
    if (list->currentIndex() == entry && text == list->itemText(entry)) return;
    list->setCurrentIndex(entry);
    // The next digit replaces the entry rather than adding to it.
    list->lineEdit()->selectAll();
}

void frmClientInfo::cmdMenuChoice_GotFocus(int index) {
    const char* help = kCancelHelp;
    if (index == kInformationOk) {
        help = nameDeleted_              ? kOkHelpNameDeleted
               : editCount_ < kEditLimit ? kOkHelp
                                         : kOkHelpLocked;
    }
    msgPanel_->setText(QString::fromUtf8(help));
}

void frmClientInfo::cmdMenuChoice_Click(int index) {
    if (index == kInformationOk) {
        InformationOk();
    } else {
        reject();
    }
}

void frmClientInfo::RecordToScreen() {
    const ClientRecord& record = ctx_.state.Current();
    ShowRecord(record);
    nameDeleted_ = record.NameDeleted();
    editCount_ = record.TimesEdited();
    lockedAtOpen_ = record.Locked();
    if (lockedAtOpen_) LockOutEdit();
    for (int f = kName; f < kFieldCount; ++f) reference_[f] = FieldValue(static_cast<Field>(f));
    ShowEditCount();
}

void frmClientInfo::ShowRecord(const ClientRecord& record) {
    Text(kName)->setText(Shown(record.Name.View()));
    Text(kIDNumber)->setText(Shown(record.IDNumber.View()));
    Text(kAge)->setText(Shown(record.Age.View()));
    List(kGender)->setCurrentIndex(CodeValue(record.Gender.View()));
    List(kRace)->setCurrentIndex(CodeValue(record.Race.View()));
    Text(kEducation)->setText(Shown(record.Education.View()));
    List(kMarital)->setCurrentIndex(CodeValue(record.MaritalStatus.View()));
    Text(kDateOfBirth)->setText(Shown(record.DateOfBirth.View()));
}

void frmClientInfo::RecordToDB() {
    ClientRecord& record = ctx_.state.Current();
    record.Name = Stored(Text(kName)->text(), record.Name.View());
    record.IDNumber = Stored(Text(kIDNumber)->text(), record.IDNumber.View());
    record.Age = Stored(Text(kAge)->text().toUpper());
    record.Gender = std::to_string(ListPosition(kGender));
    record.Race = std::to_string(ListPosition(kRace));
    // Years are written as a plain number ("01" as "1").
    const QString education = Text(kEducation)->text();
    record.Education = education == NotAvailable() ? Stored(education)
                                                   : std::to_string(YearsOfEducation(education));
    record.MaritalStatus = std::to_string(ListPosition(kMarital));
    record.DateOfBirth = Stored(Text(kDateOfBirth)->text());
}

// A new client always takes the free slot, starting afresh whatever the slot
// held before (a disk with more clients may have been in use earlier).
void frmClientInfo::StartNewRecord() {
    StationState& state = ctx_.state;
    state.CurrentRecord = static_cast<std::int16_t>(state.RecordCount + 1);
    ClientRecord& record = state.Current();
    record = ClientRecord();
    record.Answers = std::string(kItemCount, '0');
    record.DeleteFlag = "0";
    record.TodayDate = FormatDate(ctx_.clock.Today());
    record.timeseditted = "0";
}

void frmClientInfo::SetEnable(bool enabled) {
    for (QWidget* field : fields_) field->setEnabled(enabled);
}

// The keyboard stays on the screen: the focus goes to "Information OK"
// before the fields are disabled. No field is visited any more.
void frmClientInfo::LockOutEdit() {
    visited_ = -1;
    menu_->Focus(kInformationOk);
    SetEnable(false);
}

// The next counted change, so that nobody spends the last one unawares.
void frmClientInfo::ShowEditCount() {
    lblEditCount_->setText(
        nameDeleted_ || editCount_ >= kEditLimit
            ? QStringLiteral("No further edits are permitted.")
            : QStringLiteral("Edit %1 of %2").arg(editCount_ + 1).arg(kEditLimit));
}

void frmClientInfo::EditLimitMessage() {
    ctx_.platform.MsgBox({.text = QStringLiteral("This client's information has been edited\n"
                                                 "3 times already. Further editing of this\n"
                                                 "information is no longer permitted."),
                          .icon = MsgIcon::Information,
                          .title = QStringLiteral("Edit Limit Reached")});
}

void frmClientInfo::LastEditMessage() {
    ctx_.platform.MsgBox({.text = QStringLiteral("This is the third and last change allowed to "
                                                 "this client's information.\nIt is kept, and "
                                                 "no further editing of this information is "
                                                 "permitted."),
                          .icon = MsgIcon::Information,
                          .title = QStringLiteral("Edit Limit Reached")});
}

// In edit mode, a field left with a checked value other than the one it
// was entered with counts as one edit. The edit that reaches the limit stays
// on the screen, and the fields are locked.
void frmClientInfo::LostFocusProcess(Field field) {
    if (!ctx_.state.EditMode) return;
    const QString value = FieldValue(field);
    if (value == reference_[field]) return;
    if (++editCount_ >= kEditLimit) {
        editCount_ = kEditLimit;
        LastEditMessage();
        LockOutEdit();
    } else {
        reference_[field] = value;
    }
    ShowEditCount();
}

// A calendar date from 1890 up to today.
bool frmClientInfo::GoodDate(const QString& text) const {
    const QDate date = ReadDate(text);
    return date.isValid() && date.year() >= kEarliestBirthYear && date <= Today();
}

// The Enter handling of a field: false, after a box, when it cannot be taken.
bool frmClientInfo::ConfirmField(Field field) {
    switch (field) {
        case kEducation:
            return ConfirmEducation();
        case kDateOfBirth:
            return ConfirmDateOfBirth();
        case kGender:
        case kRace:
        case kMarital:
            return ListPosition(field) >= 0 || Refuse(field);
        default:
            return ConfirmRequired(field);
    }
}

bool frmClientInfo::ConfirmRequired(Field field) {
    QLineEdit* box = Text(field);
    if (box->text().trimmed().isEmpty()) return Refuse(field);
    if (field != kName) MarkNotAvailable(box);
    return true;
}

bool frmClientInfo::ConfirmEducation() {
    QLineEdit* box = Text(kEducation);
    box->setText(box->text().trimmed());
    MarkNotAvailable(box);
    if (box->text() == NotAvailable() || YearsOfEducation(box->text()) > 0) return true;
    box->clear();
    return Refuse(kEducation);
}

bool frmClientInfo::ConfirmDateOfBirth() {
    QLineEdit* box = Text(kDateOfBirth);
    box->setText(box->text().trimmed());
    MarkNotAvailable(box);
    if (box->text() == NotAvailable()) return true;
    // A short date is kept, to be completed; no beep for it.
    if (box->text().size() < kDateLength) return Refuse(kDateOfBirth, false);
    if (GoodDate(box->text())) return true;
    // A date to come is kept in view: most likely one digit of its year is wrong.
    if (ReadDate(box->text()) > Today()) {
        return Refuse(kDateOfBirth, true, QString::fromUtf8(kFutureBirthError).arg(box->text()));
    }
    box->clear();
    return Refuse(kDateOfBirth);
}

// An age more than a year off the one the date of birth gives on the test
// date is most likely a slip of the keys: the clerk keeps both as they are,
// or goes back to the age. A pair that was kept is not asked about again;
// an age or a date not given ("N") fits anything.
bool frmClientInfo::AgeFitsDateOfBirth() {
    bool isNumber = false;
    const int age = Text(kAge)->text().toInt(&isNumber);
    const QString dateOfBirth = Text(kDateOfBirth)->text();
    const QString pair = Text(kAge)->text() + QLatin1Char('|') + dateOfBirth;
    if (!isNumber || !GoodDate(dateOfBirth) || !Text(kAge)->isEnabled() ||
        pair == keptAgeAndBirth_) {
        return true;
    }
    const int years = YearsOld(ReadDate(dateOfBirth), TestDate());
    if (std::abs(age - years) <= 1) return true;
    const MsgAnswer keep = ctx_.platform.MsgBox(
        {.text = QString::fromUtf8(kAgeQuestion).arg(age).arg(dateOfBirth).arg(years),
         .buttons = MsgButtons::YesNo,
         .icon = MsgIcon::Question,
         .defaultButton = 1,
         .anchor = frClient_});
    if (keep == MsgAnswer::Yes) {
        keptAgeAndBirth_ = pair;
        return true;
    }
    fields_[kAge]->setFocus(Qt::OtherFocusReason);
    SelectAllText();
    return false;
}

bool frmClientInfo::Refuse(Field field, bool beep, const QString& text) {
    if (beep) ctx_.platform.Beep();
    ctx_.platform.MsgBox({.text = text.isEmpty() ? QString::fromUtf8(kFields[field].error) : text,
                          .icon = MsgIcon::Stop,
                          .anchor = fields_[field]});
    fields_[field]->setFocus(Qt::OtherFocusReason);
    // What is typed next replaces what was refused.
    SelectAllText();
    return false;
}

// The check of a field left other than by Enter, and at "Information OK":
// the Enter handling, except that the date of birth may stay empty and a
// good date is written out in full, so 1/2/1950 is stored as 01/02/1950.
bool frmClientInfo::CheckField(Field field) {
    if (field != kDateOfBirth) return ConfirmField(field);
    QLineEdit* dateOfBirth = Text(kDateOfBirth);
    const QString text = dateOfBirth->text().trimmed();
    if (text.isEmpty()) return true;
    if (!GoodDate(text)) return ConfirmDateOfBirth();
    dateOfBirth->setText(ReadDate(text).toString(QStringLiteral("MM/dd/yyyy")));
    return true;
}

// Every field but the date of birth is required, checked in tab order. A
// field holds what the disk holds or a value that passed its check when it
// was left (before a change may lock the fields); only an enabled field can
// have been left empty or passed over, and be put right. A client locked
// before this visit, stored before today's checks or with the ID number the
// supervisor deleted, is thus confirmed as it is.
bool frmClientInfo::AllFieldsConfirmed() {
    for (int f = kName; f < kFieldCount; ++f) {
        if (fields_[f]->isEnabled() && !CheckField(static_cast<Field>(f))) return false;
    }
    return AgeFitsDateOfBirth();
}

// The screen's values are always written: a new client is stored as new
// even when it matches the client selected in the main list. A client that
// was locked when the screen opened is kept exactly as it is.
void frmClientInfo::InformationOk() {
    if (!AllFieldsConfirmed()) return;
    StationState& state = ctx_.state;
    state.ChoiceConfirmed = true;
    if (!lockedAtOpen_) {
        if (!state.EditMode) StartNewRecord();
        RecordToDB();
        if (state.EditMode) state.Current().timeseditted = std::to_string(editCount_);
    }
    accept();
}

QLineEdit* frmClientInfo::Text(Field field) const {
    return qobject_cast<QLineEdit*>(fields_[field]);
}

QComboBox* frmClientInfo::List(Field field) const {
    return qobject_cast<QComboBox*>(fields_[field]);
}

// The code of the entry a list shows; -1 while its text is no entry.
int frmClientInfo::ListPosition(Field field) const {
    return List(field)->findText(List(field)->currentText());
}

// A field's value for counting edits: the text, or a list's code.
QString frmClientInfo::FieldValue(Field field) const {
    return List(field) ? QString::number(ListPosition(field)) : Text(field)->text();
}

int frmClientInfo::FieldOf(const QObject* object) const {
    const auto found = std::find(fields_.begin(), fields_.end(), object);
    return found == fields_.end() ? -1 : static_cast<int>(found - fields_.begin());
}

QDate frmClientInfo::Today() const {
    const Date today = ctx_.clock.Today();
    return QDate(today.year, today.month, today.day);
}

// The day the client was tested: today for a new client.
QDate frmClientInfo::TestDate() const {
    const QDate tested =
        ctx_.state.EditMode ? ReadDate(Shown(ctx_.state.Current().TodayDate.View())) : QDate();
    return tested.isValid() ? tested : Today();
}

}  // namespace mw
