#include "station/scan/frmSheetFile.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/data/SheetDescription.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/ScreenLook.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

// Wide enough for a sheet's answers and high enough for the columns and the
// first sheet without scrolling on most files.
constexpr int kMappingColumns = 78;
constexpr int kMappingLines = 24;

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

frmSheetFile::frmSheetFile(StationContext& ctx, std::string path, std::string bytes,
                           QWidget* parent)
    : QDialog(parent),
      ctx_(ctx),
      path_(std::move(path)),
      bytes_(std::move(bytes)),
      ranges_(ReadAnswerRanges(ctx.database.get())) {
    setObjectName(QStringLiteral("frmSheetFile"));
    setWindowTitle(QStringLiteral("Answer Sheet File"));
    msgPanel_ = MakeMsgPanel(this);

    auto* lblFile =
        Named<QLabel>(this, "lblFile", QFileInfo(QString::fromStdString(path_)).fileName());
    cmbLayout_ = Named<QComboBox>(this, "cmbLayout");
    cmbLayout_->setStatusTip(QStringLiteral(
        "Choose the program that wrote the file, or let the station choose it from the header."));
    cmbInmateColumn_ = Named<QComboBox>(this, "cmbInmateColumn");
    cmbInmateColumn_->setStatusTip(QStringLiteral(
        "Choose the column that holds the inmate number (file name, barcode or ID)."));
    cmbNameColumn_ = Named<QComboBox>(this, "cmbNameColumn");
    cmbNameColumn_->setStatusTip(QStringLiteral(
        "Choose the column that holds the client's name, or name clients as the batch settings "
        "say."));
    txtMapping_ = Named<QPlainTextEdit>(this, "txtMapping");
    txtMapping_->setReadOnly(true);
    txtMapping_->setLineWrapMode(QPlainTextEdit::NoWrap);
    UseFixedPitch(txtMapping_);
    const QFontMetrics metrics(txtMapping_->font());
    txtMapping_->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * kMappingColumns,
                                metrics.lineSpacing() * kMappingLines);
    txtMapping_->setStatusTip(
        QStringLiteral("How the file is read, and its first sheet as it will be stored."));
    for (QWidget* control :
         {static_cast<QWidget*>(cmbLayout_), static_cast<QWidget*>(cmbInmateColumn_),
          static_cast<QWidget*>(cmbNameColumn_), static_cast<QWidget*>(txtMapping_)}) {
        control->installEventFilter(this);
    }

    menu_ = AddMenu(this, "frMenu",
                    {{QStringLiteral("&Import Sheets"),
                      QStringLiteral("Import the sheets of this file as shown.")},
                     {QStringLiteral("Cancel Import"),
                      QStringLiteral("Import nothing and return to Main Menu.")}},
                    msgPanel_, [this](int index) { cmdMenuChoice_Click(index); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File:"), lblFile);
    form->addRow(QStringLiteral("&Layout:"), cmbLayout_);
    form->addRow(QStringLiteral("Inmate &number from:"), cmbInmateColumn_);
    form->addRow(QStringLiteral("Client na&me from:"), cmbNameColumn_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(txtMapping_, 1);
    layout->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    layout->addWidget(msgPanel_);

    // The mapping scrolls itself: on a screen too small for all of it, it
    // takes what the other rows leave, and the window opens whole.
    const QSize others = layout->totalMinimumSize() - txtMapping_->minimumSize();
    txtMapping_->setMinimumSize(txtMapping_->minimumSize().boundedTo(ScreenRoom(this) - others));

    FillChoices(ctx_.Ini().GetSheetChoice());
    ReadFile();
    for (QComboBox* box : {cmbLayout_, cmbInmateColumn_, cmbNameColumn_}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { ReadFile(); });
    }
    FitAndCenter(this, menu_->Button(read_ ? kImportSheets : kCancelImport));
}

// The layouts, and the header's columns, with the office's last choice
// selected; a column the office named stays offered even when this file
// lacks it, so that the file says so.
void frmSheetFile::FillChoices(const SheetChoice& stored) {
    cmbLayout_->addItem(QStringLiteral("Chosen from the header"), QString());
    for (const SheetLayout& layout : SheetLayouts()) {
        cmbLayout_->addItem(FromUtf8(layout.title), FromUtf8(layout.name));
    }
    const int layout = cmbLayout_->findData(QString::fromStdString(stored.layout));
    cmbLayout_->setCurrentIndex(std::max(layout, 0));

    FillColumns(cmbInmateColumn_, QStringLiteral("The layout's own"), stored.inmateColumn);
    FillColumns(cmbNameColumn_, QStringLiteral("None: as the batch settings say"),
                stored.nameColumn);
}

void frmSheetFile::FillColumns(QComboBox* box, const QString& none, const std::string& stored) {
    box->addItem(none, QString());
    for (const std::string& column : SheetHeader(bytes_)) {
        box->addItem(QString::fromStdString(column), QString::fromStdString(column));
    }
    const QString named = QString::fromStdString(stored);
    if (!named.isEmpty() && box->findData(named) < 0) box->addItem(named, named);
    box->setCurrentIndex(std::max(box->findData(named), 0));
}

SheetChoice frmSheetFile::Chosen() const {
    return {cmbLayout_->currentData().toString().toStdString(),
            cmbInmateColumn_->currentData().toString().toStdString(),
            cmbNameColumn_->currentData().toString().toStdString()};
}

void frmSheetFile::ReadFile() {
    Result<SheetFile> file = ParseSheetFile(bytes_, path_, ranges_, ctx_.clock.Today(), Chosen());
    read_.reset();
    if (file) {
        read_ = std::move(*file);
        txtMapping_->setPlainText(QString::fromStdString(DescribeSheetFile(*read_)));
    } else {
        txtMapping_->setPlainText(QStringLiteral("This file cannot be imported as chosen:\n") +
                                  QString::fromStdString(file.error().message));
    }
    menu_->Button(kImportSheets)->setEnabled(read_.has_value());
}

// Enter in a list moves on, as on every other screen.
bool frmSheetFile::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::FocusIn) msgPanel_->setText(control->statusTip());
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSheetFile::cmdMenuChoice_Click(int index) {
    if (index != kImportSheets) {
        reject();
        return;
    }
    if (Status saved = ctx_.Ini().SaveSheetChoice(Chosen()); !saved) {
        ShowError(ctx_.platform, saved.error());
    }
    imported_ = std::move(read_);
    accept();
}

}  // namespace mw
