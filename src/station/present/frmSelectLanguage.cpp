#include "station/present/frmSelectLanguage.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/StationContext.h"

namespace mw {

std::vector<QString> PresentationLanguages(const StationContext& ctx) {
    std::vector<QString> languages;
    if (!ctx.database) return languages;
    Result<std::vector<std::string>> tables = ctx.database->TableNames();
    if (!tables) return languages;
    for (const std::string& table : *tables) {
        const QString name = QString::fromStdString(table);
        const QString upper = name.toUpper();
        if (upper == QStringLiteral("ENGLISH") || upper == QStringLiteral("SPANISH")) {
            languages.push_back(name);
        }
    }
    return languages;
}

frmSelectLanguage::frmSelectLanguage(StationContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), languages_(PresentationLanguages(ctx)) {
    setObjectName(QStringLiteral("frmSelectLanguage"));
    setWindowTitle(QStringLiteral("Select Presentation Language"));
    // Table names are unique whatever their case, so two languages at most;
    // the screen has room for three.
    if (languages_.size() > kMaxLanguages) languages_.resize(kMaxLanguages);

    std::vector<MenuChoice> choices;
    for (int i = 0; i < kMaxLanguages; ++i) {
        const QString caption = i < LanguageCount() ? languages_[i] : QString();
        choices.push_back({caption, QStringLiteral("Present in ") + caption});
    }
    choices.push_back(
        {QStringLiteral("Cancel Presentation"), QStringLiteral("Cancel presentation")});

    QLabel* msgPanel = MakeMsgPanel(this);
    menu_ = AddMenu(this, "frMenu", choices, msgPanel,
                    [this](int index) { cmdMenuChoice_Click(index); });
    for (int i = LanguageCount(); i < kMaxLanguages; ++i) menu_->Button(i)->parentWidget()->hide();

    auto* fraSelectMethod =
        Named<QGroupBox>(this, "fraSelectMethod", QStringLiteral("Select Language to Present"));
    auto* column = new QVBoxLayout(fraSelectMethod);
    column->addWidget(menu_->Frame(), 0, Qt::AlignHCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraSelectMethod);
    layout->addWidget(msgPanel);
    // The choices keep every key but Enter and Space to themselves, and one
    // of them always has the focus: Escape would never reach the window.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { cmdMenuChoice_Click(kCancelPresentation); });
    FitAndCenter(this, menu_->Button(LanguageCount() > 0 ? 0 : kCancelPresentation));
}

void frmSelectLanguage::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    menu_->ShowFocus();
}

void frmSelectLanguage::cmdMenuChoice_Click(int index) {
    if (index < LanguageCount()) {
        language_ = languages_[index];
        ctx_.state.ChoiceConfirmed = true;
        accept();
    } else {
        reject();
    }
}

void frmSelectLanguage::done(int result) {
    // Closing the window counts as "Cancel Presentation", as Escape does.
    if (result == QDialog::Rejected) ctx_.state.ChoiceConfirmed = false;
    QDialog::done(result);
}

}  // namespace mw
