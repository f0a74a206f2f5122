#include "station/scan/frmScanSettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

struct NameOption {
    const char* caption;
    const char* help;
};

constexpr std::array<NameOption, kLastNameSetting + 1> kNameOptions = {{
    {"Manually enter names", "Manually enter each parolee name before scanning."},
    {"Use Inmate Number as name",
     "Automatically insert the scanned Inmate Number into the name field."},
    {"Use \"Test#\" as name",
     "Automatically insert the test number of this disk into the name field."},
}};

const char* const kNumberHelp = "Enter number of tests to scan in this batch, then press Enter.";
const char* const kNumberRefused =
    "Enter number of tests to scan in this batch. Press Enter to continue.";

// The leading whole number of a text ("12 sheets" is 12); 0 when it has none.
int NumericValue(const QString& text) {
    qsizetype end = 0;
    if (end < text.size() && (text[end] == QLatin1Char('-') || text[end] == QLatin1Char('+'))) {
        ++end;
    }
    while (end < text.size() && text[end].isDigit() && end < 10) ++end;
    return text.left(end).toInt();
}

bool IsEnterOrTab(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Tab;
}

}  // namespace

frmScanSettings::frmScanSettings(StationContext& ctx, int largest, QWidget* parent)
    : QDialog(parent), ctx_(ctx), largest_(largest) {
    setObjectName(QStringLiteral("frmScanSettings"));
    setWindowTitle(QStringLiteral("Batch Scan Settings"));

    msgPanel_ = MakeMsgPanel(this);
    QWidget* frSettings = BuildSettings();
    menu_ = AddMenu(this, "frMenu",
                    {{QStringLiteral("Information &OK"),
                      QStringLiteral("If information is correct press Enter or press Tab to "
                                     "change an entry.")},
                     {QStringLiteral("Cancel Input"),
                      QStringLiteral("Cancel information input and return to Main Menu.")}},
                    msgPanel_, [this](int index) { cmdMenuChoice_Click(index); });
    // As wide as the longest help line, so that the window keeps its size.
    int widest = 0;
    for (QWidget* control : frSettings->findChildren<QWidget*>()) {
        widest = std::max(widest, msgPanel_->fontMetrics().horizontalAdvance(control->statusTip()));
    }
    msgPanel_->setMinimumWidth(widest + 2 * (msgPanel_->indent() + msgPanel_->frameWidth()));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frSettings, 0, Qt::AlignHCenter);
    layout->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addWidget(msgPanel_);
    SettingsToScreen();
    FitAndCenter(this, txtNumberToScan_);
}

QWidget* frmScanSettings::BuildSettings() {
    auto* frSettings = Named<QWidget>(this, "frSettings");
    lblInfo_ = Named<QLabel>(frSettings, "lblInfo");
    txtNumberToScan_ = Named<QLineEdit>(frSettings, "txtNumberToScan");
    txtNumberToScan_->setStatusTip(QString::fromUtf8(kNumberHelp));
    txtNumberToScan_->setMaximumWidth(
        txtNumberToScan_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    lblInfo_->setBuddy(txtNumberToScan_);
    auto* number = new QHBoxLayout;
    number->addWidget(lblInfo_);
    number->addWidget(txtNumberToScan_);

    auto* fraNames = Named<QGroupBox>(frSettings, "fraNames", QStringLiteral("&Client Name"));
    auto* names = new QVBoxLayout(fraNames);
    for (int i = 0; i <= kLastNameSetting; ++i) {
        optNames_[i] = new QRadioButton(QString::fromUtf8(kNameOptions[i].caption), fraNames);
        optNames_[i]->setObjectName(ControlName("optNames", i));
        optNames_[i]->setStatusTip(QString::fromUtf8(kNameOptions[i].help));
        names->addWidget(optNames_[i]);
    }

    const auto check = [frSettings](const char* name, const char* caption, const char* help) {
        auto* box = Named<QCheckBox>(frSettings, name, QString::fromUtf8(caption));
        box->setStatusTip(QString::fromUtf8(help));
        return box;
    };
    chkReview_ = check("chkReview", "Review &data after scanning",
                       "Checked=review scanned data - Not checked=don't review.");
    chkPrint_ = check("chkPrint", "Print &reports after scanning",
                      "Checked=print reports right after scanning - Not checked=don't print.");
    chkPause_ = check("chkPause", "&Pause scanning between pages",
                      "Checked=pause before each scan page - Not checked=don't pause.");

    auto* layout = new QVBoxLayout(frSettings);
    layout->addLayout(number);
    layout->addWidget(fraNames);
    for (QCheckBox* box : {chkReview_, chkPrint_, chkPause_}) layout->addWidget(box);
    for (QWidget* control : frSettings->findChildren<QWidget*>()) {
        if (!control->statusTip().isEmpty()) control->installEventFilter(this);
    }
    return frSettings;
}

// Each showing starts from the settings file, not from the last batch.
void frmScanSettings::SettingsToScreen() {
    settings_ = ctx_.Ini().GetScanSettings();
    txtNumberToScan_->setText(QString::number(settings_.NumberInBatch));
    optNames_[settings_.NameSetting]->setChecked(true);
    chkReview_->setChecked(settings_.ScanReview);
    chkPrint_->setChecked(settings_.ScanPrint);
    chkPause_->setChecked(settings_.ScanPause);
    lblInfo_->setText(
        QStringLiteral("&Number of tests to scan (1 minimum, %1 maximum)").arg(largest_));
}

void frmScanSettings::done(int result) {
    // Closing the window or Escape counts as "Cancel Input".
    if (result == QDialog::Rejected) cancelled_ = true;
    QDialog::done(result);
}

// Every settings control shows its help line and a bold caption while it has
// the focus; Enter moves on as Tab does, and the batch size is checked first.
bool frmScanSettings::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            Control_GotFocus(control, event->type() == QEvent::FocusIn);
            break;
        case QEvent::KeyPress: {
            const auto& key = *static_cast<QKeyEvent*>(event);
            if (!IsEnterOrTab(key)) break;
            if (control == txtNumberToScan_) {
                if (txtNumberToScan_Confirm()) {
                    optNames_[SelectedName()]->setFocus(Qt::TabFocusReason);
                }
                return true;
            }
            if (key.key() == Qt::Key_Tab) break;
            // From the name options Enter goes on to the check boxes.
            if (qobject_cast<QRadioButton*>(control)) {
                chkReview_->setFocus(Qt::TabFocusReason);
            } else {
                focusNextChild();
            }
            return true;
        }
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmScanSettings::Control_GotFocus(QWidget* control, bool focused) {
    if (control != txtNumberToScan_) SetBold(control, focused);
    if (focused) msgPanel_->setText(control->statusTip());
}

// A batch of 1 up to the room left on the data disk; anything else is
// refused, saying what the most is and why, and the field starts afresh.
bool frmScanSettings::txtNumberToScan_Confirm() {
    txtNumberToScan_->setText(txtNumberToScan_->text().trimmed());
    const int value = NumericValue(txtNumberToScan_->text());
    if (value > 0 && value <= largest_) return true;
    txtNumberToScan_->clear();
    ctx_.platform.Beep();
    const QString why =
        QStringLiteral(
            "This data disk has room for %1 more clients today, so a batch takes 1 to "
            "%1 sheets.")
            .arg(largest_);
    ctx_.platform.MsgBox({.text = QString::fromUtf8(kNumberRefused) + QLatin1Char('\n') + why,
                          .icon = MsgIcon::Stop});
    txtNumberToScan_->setFocus(Qt::OtherFocusReason);
    return false;
}

int frmScanSettings::SelectedName() const {
    for (int i = 0; i <= kLastNameSetting; ++i) {
        if (optNames_[i]->isChecked()) return i;
    }
    return kNameTyped;
}

void frmScanSettings::cmdMenuChoice_Click(int index) {
    if (index == kInformationOk) {
        InformationOk();
    } else {
        reject();
    }
}

// The batch size is checked as on Enter, so that a click cannot take 0 or
// more than the disk has room for. The settings are the batch's even when
// the file cannot keep them: the failure is shown and the batch goes on.
void frmScanSettings::InformationOk() {
    if (!txtNumberToScan_Confirm()) return;
    settings_.NumberInBatch = NumericValue(txtNumberToScan_->text().trimmed());
    settings_.NameSetting = SelectedName();
    settings_.ScanReview = chkReview_->isChecked();
    settings_.ScanPrint = chkPrint_->isChecked();
    settings_.ScanPause = chkPause_->isChecked();
    if (Status saved = ctx_.Ini().SaveScanSettings(settings_); !saved) {
        ShowError(ctx_.platform, saved.error());
    }
    accept();
}

}  // namespace mw
