#include "station/screen/ScreenKit.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

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

namespace {

// Moves the window's contents into a scroll area that fills the window. The
// help line stays below it, in sight; the control that gets the focus is
// scrolled into view, whichever key or screen moved the focus there.
void ScrollContents(QWidget* window) {
    QLayout* layout = window->layout();
    auto* msgPanel = window->findChild<QLabel*>(QStringLiteral("MsgPanel"));
    if (msgPanel && layout->indexOf(msgPanel) >= 0) {
        layout->removeWidget(msgPanel);
    } else {
        msgPanel = nullptr;
    }
    auto* contents = new QWidget;
    contents->setLayout(layout);  // taken from the window with the controls it lays out
    auto* area = Named<QScrollArea>(window, "scrContents");
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(contents);
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area, 1);
    if (msgPanel) outer->addWidget(msgPanel);
    QObject::connect(qApp, &QApplication::focusChanged, area,
                     [area, contents](QWidget*, QWidget* now) {
                         if (now && contents->isAncestorOf(now)) area->ensureWidgetVisible(now);
                     });
}

bool Fits(const QSize& size, const QSize& room) {
    return size.width() <= room.width() && size.height() <= room.height();
}

// A window larger than its screen lays out smaller where its controls allow
// it, and scrolls where they need more than the screen.
void FitOnScreen(QWidget* window) {
    const QSize room = ScreenRoom(window);
    const QSize wanted = window->size();
    if (Fits(wanted, room) || !window->layout()) return;
    if (Fits(window->minimumSize(), room)) {
        window->resize(wanted.boundedTo(room));
        return;
    }
    ScrollContents(window);
    window->setMinimumSize(window->minimumSizeHint().boundedTo(room));
    // Room for a scroll bar beside and below what the window held.
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    window->resize((wanted + QSize(bar, bar)).boundedTo(room));
}

// A window is never narrower than its title, now and whenever the title changes.
void KeepTitleWhole(QWidget* window) {
    auto widen = [window] {
        const int width = std::min(TitleBarWidth(window), ScreenRoom(window).width());
        if (window->minimumWidth() >= width) return;
        window->setMinimumWidth(width);
        CenterForm(window);
    };
    widen();
    QObject::connect(window, &QWidget::windowTitleChanged, window, widen);
}

}  // namespace

void FitAndCenter(QWidget* window, QWidget* firstFocus) {
    window->adjustSize();
    window->setMinimumSize(window->minimumSizeHint().expandedTo(window->minimumSize()));
    KeepTitleWhole(window);
    FitOnScreen(window);
    CenterForm(window);
    if (firstFocus) firstFocus->setFocus(Qt::OtherFocusReason);
}

}  // namespace mw
