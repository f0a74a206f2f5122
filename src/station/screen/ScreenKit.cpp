#include "station/screen/ScreenKit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QResizeEvent>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenLook.h"

namespace mw {

MenuChoices* AddMenu(QWidget* parent, const char* frameName, const std::vector<MenuChoice>& choices,
                     QLabel* msgPanel, std::function<void(int)> onChosen) {
    auto* frame = Named<QWidget>(parent, frameName);
    auto* menu = new MenuChoices(frame, choices, msgPanel);
    QObject::connect(menu, &MenuChoices::Chosen, parent, std::move(onChosen));
    return menu;
}

namespace {

// Runs `refit` when its control's type changes, as the look changes under
// an open window.
class FontFollower : public QObject {
public:
    FontFollower(QWidget* control, std::function<void()> refit)
        : QObject(control), refit_(std::move(refit)) {
        control->installEventFilter(this);
        refit_();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FontChange) refit_();
        return false;
    }

private:
    std::function<void()> refit_;
};

}  // namespace

QListWidget* AddNameList(QWidget* parent, QObject* keyFilter, int columns) {
    auto* list = Named<QListWidget>(parent, "lbNameDisplay");
    UseFixedPitch(list);
    new FontFollower(list, [list, columns] {
        list->setMinimumWidth(
            list->fontMetrics().horizontalAdvance(QString(columns, QLatin1Char('M'))));
    });
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
    // The keys go to the window's controls; the area follows the focus.
    area->setFocusPolicy(Qt::NoFocus);
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

// The label with text laid out just before `control` in `layout` (in its
// row, in a grid), searched through the layouts nested in it; empty when
// there is none.
QString CaptionInLayout(const QLayout* layout, const QWidget* control, bool* found) {
    const auto* grid = qobject_cast<const QGridLayout*>(layout);
    for (int i = 0; i < layout->count() && !*found; ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->layout()) {
            const QString caption = CaptionInLayout(item->layout(), control, found);
            if (*found) return caption;
            continue;
        }
        if (item->widget() != control) continue;
        *found = true;
        int row = 0, column = 0, rows = 0, columns = 0;
        if (grid) grid->getItemPosition(i, &row, &column, &rows, &columns);
        for (int before = i - 1; before >= 0; --before) {
            int beforeRow = row, unused = 0;
            if (grid) grid->getItemPosition(before, &beforeRow, &unused, &unused, &unused);
            const auto* label = qobject_cast<const QLabel*>(layout->itemAt(before)->widget());
            if (beforeRow == row && label && !label->text().isEmpty()) return label->text();
        }
    }
    return QString();
}

// What names a control that shows no text of its own: the label laid out
// before it, or else the group it lies in, or else its window's title.
QString CaptionOf(const QWidget* control) {
    bool found = false;
    QString caption;
    if (const QLayout* layout = control->parentWidget()->layout()) {
        caption = CaptionInLayout(layout, control, &found);
    }
    for (const QWidget* up = control->parentWidget(); caption.isEmpty() && up;
         up = up->parentWidget()) {
        if (const auto* group = qobject_cast<const QGroupBox*>(up)) caption = group->title();
        if (up->isWindow()) caption = up->windowTitle();
    }
    return caption.remove(QLatin1Char('&'));
}

}  // namespace

void ForScreenReaders(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        // A button says its own caption; a control named by its screen keeps that name.
        if (control->focusPolicy() == Qt::NoFocus || qobject_cast<QAbstractButton*>(control) ||
            !control->accessibleName().isEmpty()) {
            continue;
        }
        control->setAccessibleName(CaptionOf(control));
    }
    auto* msgPanel = window->findChild<QLabel*>(QStringLiteral("MsgPanel"));
    if (!msgPanel) return;
    // Runs after the control's own focus handling has put its help line up.
    QObject::connect(qApp, &QApplication::focusChanged, msgPanel,
                     [window, msgPanel](QWidget*, QWidget* now) {
                         if (now && window->isAncestorOf(now) && !msgPanel->text().isEmpty()) {
                             now->setAccessibleDescription(msgPanel->text());
                         }
                     });
}

namespace {

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

// The help line keeps the height of the tallest text it will show at its
// width, whatever fitting the window to the screen makes that, so that
// nothing on the screen moves as the focus changes what it says.
class HelpLineRoom : public QObject {
public:
    HelpLineRoom(QLabel* msgPanel, QStringList texts)
        : QObject(msgPanel),
          msgPanel_(msgPanel),
          texts_(std::move(texts)),
          oneLine_(msgPanel->minimumHeight()) {
        msgPanel->installEventFilter(this);
        Keep();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize &&
            static_cast<QResizeEvent*>(event)->oldSize().width() != msgPanel_->width()) {
            Keep();
        }
        return false;
    }

private:
    void Keep() {
        const QString shown = msgPanel_->text();
        int tallest = 0;
        for (const QString& text : texts_) {
            msgPanel_->setText(text);
            tallest = std::max(tallest, msgPanel_->heightForWidth(msgPanel_->width()));
        }
        msgPanel_->setText(shown);
        msgPanel_->setMinimumHeight(std::max(tallest, oneLine_));
    }

    QLabel* msgPanel_;
    QStringList texts_;
    int oneLine_;
};

void KeepHelpLineRoom(QWidget* window) {
    auto* msgPanel = window->findChild<QLabel*>(QStringLiteral("MsgPanel"));
    if (!msgPanel) return;
    QStringList texts = HelpTexts(msgPanel);
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->statusTip().isEmpty()) texts << control->statusTip();
    }
    new HelpLineRoom(msgPanel, std::move(texts));
    window->adjustSize();
}

}  // namespace

void FitAndCenter(QWidget* window, QWidget* firstFocus) {
    window->adjustSize();
    KeepHelpLineRoom(window);
    window->setMinimumSize(window->minimumSizeHint().expandedTo(window->minimumSize()));
    KeepTitleWhole(window);
    ForScreenReaders(window);
    FitOnScreen(window);
    CenterForm(window);
    if (firstFocus) firstFocus->setFocus(Qt::OtherFocusReason);
}

}  // namespace mw
