#include "station/report/frmPrintSelected.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/data/Cp1252.h"
#include "station/report/ReportOutput.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

constexpr int kInstructionColumns = 40;
const char* const kListHelp = "Use up or down arrow keys or mouse to select client.";
const char* const kInstructions =
    "Select the clients whose reports you want to print: move with the arrow keys and press "
    "Space, or click the names. Names scrolled out of view stay selected.\n\n"
    "\"Select All\" selects every client.\n\n"
    "\"Print Selected\" prints the reports of the selected clients.\n\n"
    "\"Return to Main Menu\" cancels the selections and returns without printing.";

}  // namespace

frmPrintSelected::frmPrintSelected(StationContext& ctx, QWidget* parent, bool summary)
    : QDialog(parent), ctx_(ctx), summary_(summary) {
    setObjectName(QStringLiteral("frmPrintSelected"));
    setWindowTitle(QStringLiteral("Print Selected Reports"));
    msgPanel_ = MakeMsgPanel(this);

    auto* fraClient = Named<QGroupBox>(this, "fraClient", QStringLiteral("Client List"));
    lbNameDisplay_ = AddNameList(fraClient, this, 32);
    lbNameDisplay_->setSelectionMode(QAbstractItemView::MultiSelection);
    connect(lbNameDisplay_, &QListWidget::currentRowChanged, this,
            &frmPrintSelected::UpdatePrintChoice);
    (new QVBoxLayout(fraClient))->addWidget(lbNameDisplay_);

    auto* txtInstructions =
        Named<QLabel>(this, "txtInstructions", QString::fromUtf8(kInstructions));
    txtInstructions->setWordWrap(true);
    // A width in characters of its own type, and the height its lines take
    // at that width: the window asks a wrapped text only for its width.
    const int width = txtInstructions->fontMetrics().averageCharWidth() * kInstructionColumns;
    txtInstructions->setFixedWidth(width);
    txtInstructions->setMinimumHeight(txtInstructions->heightForWidth(width));

    menu_ = AddMenu(
        this, "frMenu",
        {{QStringLiteral("Print Selected"), QStringLiteral("Print selected client reports")},
         {QStringLiteral("Select All"), QStringLiteral("Select all client reports for printing")},
         {QStringLiteral("Return to Main Menu"),
          QStringLiteral("Cancel selections and printing.")}},
        msgPanel_, [this](int index) { cmdMenuChoice_Click(index); });

    auto* side = new QVBoxLayout;
    side->addWidget(txtInstructions);
    side->addStretch(1);
    side->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    auto* fraAll = new QHBoxLayout;
    fraAll->addWidget(fraClient, 1);
    fraAll->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fraAll, 1);
    layout->addWidget(msgPanel_);

    FillList();
    FitAndCenter(this, ctx_.state.RecordCount > 0 ? static_cast<QWidget*>(lbNameDisplay_)
                                                  : menu_->Button(kReturnToMainMenu));
}

// One entry per client in client order: its number, "-" and the full name field.
void frmPrintSelected::FillList() {
    for (int n = 1; n <= ctx_.state.RecordCount; ++n) {
        lbNameDisplay_->addItem(
            QString::number(n) + QLatin1Char('-') +
            QString::fromStdString(Cp1252ToUtf8(ctx_.state.ClientRecords[n].Name.View())));
    }
    // The cursor starts on the second entry, nothing selected yet.
    if (lbNameDisplay_->count() > 0) {
        lbNameDisplay_->setCurrentRow(std::min(1, lbNameDisplay_->count() - 1),
                                      QItemSelectionModel::NoUpdate);
    }
    UpdatePrintChoice();
}

void frmPrintSelected::UpdatePrintChoice() {
    const QListWidgetItem* current = lbNameDisplay_->currentItem();
    menu_->Button(kPrintSelected)->setEnabled(current && !current->text().isEmpty());
}

bool frmPrintSelected::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbNameDisplay_) {
        if (event->type() == QEvent::FocusIn) msgPanel_->setText(QString::fromUtf8(kListHelp));
        if (event->type() == QEvent::FocusOut) msgPanel_->clear();
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrintSelected::cmdMenuChoice_Click(int index) {
    switch (index) {
        case kPrintSelected:
            PrintSelected();
            break;
        case kSelectAll:
            lbNameDisplay_->selectAll();
            return;
        default:
            break;
    }
    close();
}

void frmPrintSelected::PrintSelected() {
    std::vector<int> records;
    for (int row = 0; row < lbNameDisplay_->count(); ++row) {
        if (lbNameDisplay_->item(row)->isSelected()) records.push_back(row + 1);
    }
    if (!records.empty()) PrintReports(ctx_, this, records, summary_);
}

}  // namespace mw
