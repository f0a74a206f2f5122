#include "station/screen/ScreenKit.h"

#include <QFontDatabase>
#include <QListWidget>

#include "station/screen/ScreenHelpers.h"

namespace mw {

MenuChoices* AddMenu(QWidget* parent, const char* frameName, const std::vector<MenuChoice>& choices,
                     QLabel* msgPanel, std::function<void(int)> onChosen) {
    auto* frame = Named<QWidget>(parent, frameName);
    auto* menu = new MenuChoices(frame, choices, msgPanel);
    QObject::connect(menu, &MenuChoices::Chosen, parent, std::move(onChosen));
    return menu;
}

QListWidget* AddNameList(QWidget* parent, QObject* keyFilter, int columns) {
    auto* list = Named<QListWidget>(parent, "lbNameDisplay");
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setMinimumWidth(
        list->fontMetrics().horizontalAdvance(QString(columns, QLatin1Char('M'))));
    list->installEventFilter(keyFilter);
    return list;
}

void FitAndCenter(QWidget* window, QWidget* firstFocus) {
    window->adjustSize();
    window->setMinimumSize(window->minimumSizeHint().expandedTo(window->minimumSize()));
    CenterForm(window);
    if (firstFocus) firstFocus->setFocus(Qt::OtherFocusReason);
}

}  // namespace mw
