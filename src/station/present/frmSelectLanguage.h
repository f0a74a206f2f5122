// "Select Presentation Language": the languages in which the test can be
// given on the screen, one per question table of the question database named
// English or Spanish (in any case), in the database's order. A language's
// name is its table's name as stored; it also names the folder of its sounds.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

namespace mw {

class MenuChoices;
struct StationContext;

class frmSelectLanguage : public QDialog {
    Q_OBJECT

public:
    // Language buttons 0 to 2, then "Cancel Presentation".
    static constexpr int kMaxLanguages = 3;
    static constexpr int kCancelPresentation = kMaxLanguages;

    frmSelectLanguage(StationContext& ctx, QWidget* parent);

    // How many languages there are; only those have a button.
    std::int16_t LanguageCount() const { return static_cast<std::int16_t>(languages_.size()); }
    // The language of button `index` (the first one when the screen is skipped).
    QString Caption(int index) const { return languages_.at(index); }
    // The language chosen; empty until one is.
    QString Language() const { return language_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdMenuChoice_Click(int index);

    StationContext& ctx_;
    std::vector<QString> languages_;
    MenuChoices* menu_;
    QString language_;
};

// The languages of the question database in its own order; none when there
// is no database or it cannot be read.
std::vector<QString> PresentationLanguages(const StationContext& ctx);

}  // namespace mw
