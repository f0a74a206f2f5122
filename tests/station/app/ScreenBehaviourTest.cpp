// The menu-choice convention, the shared screen helpers and every screen on
// the smallest screen the station supports.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <map>

#include "station/app/frmAbout.h"
#include "station/app/frmDriveSelect.h"
#include "station/app/frmSelectEntryMethod.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/entry/frmVerify.h"
#include "station/present/frmPresentQA.h"
#include "station/present/frmSelectLanguage.h"
#include "station/report/ReportFixture.h"
#include "station/report/frmPrintSelected.h"
#include "station/report/frmViewReport.h"
#include "station/scan/frmDebugView.h"
#include "station/scan/frmScanSettings.h"
#include "station/scan/frmSheetFile.h"
#include "station/screen/MenuChoices.h"
#include "station/screen/QtPlatform.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/screen/ScreenLook.h"
#include "station/supervisor/frmMyInputBox.h"
#include "station/supervisor/frmSupervisorOptions.h"
#include "support/QtTestSupport.h"
#include "support/TextOnScreen.h"

namespace mw {
namespace {

using mwtest::PressKey;
using mwtest::Scrolling;
using mwtest::TextsWhole;

// A screen with an entry box and a four-choice menu, built as every screen is.
class MenuChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        entry = new QLineEdit(QStringLiteral("some text"), &screen);
        msgPanel = MakeMsgPanel(&screen);
        menu = AddMenu(&screen, "frMenu",
                       {{QStringLiteral("First"), QStringLiteral("Help one.")},
                        {QStringLiteral("Second"), QStringLiteral("Help two.")},
                        {QStringLiteral("Third"), QStringLiteral("Help three.")},
                        {QStringLiteral("Fourth"), QStringLiteral("Help four.")}},
                       msgPanel, [this](int index) { chosen.push_back(index); });
        auto* layout = new QVBoxLayout(&screen);
        layout->addWidget(entry);
        layout->addWidget(menu->Frame());
        layout->addWidget(msgPanel);
        mwtest::ShowActive(&screen);
    }

    // The choices whose panel is cyan; each must also be the only bold caption.
    std::vector<int> Highlighted() const {
        std::vector<int> cyan;
        for (int i = 0; i <= menu->LastIndex(); ++i) {
            const QColor panel = mwtest::Find(&screen, ControlName(kMenuChoicePanel, i))
                                     ->palette()
                                     .color(QPalette::Window);
            EXPECT_EQ(panel == QColor(kFocusColor), menu->Button(i)->font().bold()) << i;
            EXPECT_TRUE(panel == QColor(kFocusColor) || panel == QColor(kMenuColor)) << i;
            if (panel == QColor(kFocusColor)) cyan.push_back(i);
        }
        return cyan;
    }

    QWidget screen;
    QLineEdit* entry;
    QLabel* msgPanel;
    MenuChoices* menu;
    std::vector<int> chosen;
};

TEST_F(MenuChoicesTest, OnlyTheFocusedChoiceIsHighlightedShowsItsHelpAndSelectsNoText) {
    menu->Focus(2);
    EXPECT_EQ(Highlighted(), std::vector<int>{2});
    menu->Focus(0);
    EXPECT_EQ(Highlighted(), std::vector<int>{0});
    EXPECT_EQ(msgPanel->text(), QStringLiteral("Help one."));

    menu->HighlightMenuChoice(1);  // a stale mark left by other code
    menu->ShowFocus();
    EXPECT_EQ(Highlighted(), std::vector<int>{0});
    // Selecting all text on a button leaves the entry's text alone.
    entry->deselect();
    SelectAllText();
    EXPECT_TRUE(menu->Button(0)->hasFocus());
    EXPECT_FALSE(entry->hasSelectedText());

    entry->setFocus();
    EXPECT_TRUE(Highlighted().empty());
    entry->deselect();
    SelectAllText();
    EXPECT_EQ(entry->selectedText(), QStringLiteral("some text"));
}

TEST_F(MenuChoicesTest, LettersAreIgnoredEnterRunsSpacePressesAndArrowsMove) {
    menu->Focus(1);
    for (int key : {Qt::Key_A, Qt::Key_X, Qt::Key_Escape, Qt::Key_Delete, Qt::Key_F1})
        PressKey(key);
    EXPECT_TRUE(chosen.empty());
    EXPECT_TRUE(menu->Button(1)->hasFocus());

    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Enter, Qt::KeypadModifier);
    PressKey(Qt::Key_Space);
    EXPECT_EQ(chosen, (std::vector<int>{1, 1, 1}));

    menu->SetSpaceIgnored(true);
    PressKey(Qt::Key_Space);
    EXPECT_EQ(chosen.size(), 3u);

    // Arrows move round the menu, skipping disabled choices, and run nothing.
    chosen.clear();
    menu->Button(2)->setEnabled(false);
    PressKey(Qt::Key_Down);
    EXPECT_TRUE(menu->Button(3)->hasFocus());
    PressKey(Qt::Key_Down);
    EXPECT_TRUE(menu->Button(0)->hasFocus());
    PressKey(Qt::Key_Up);
    EXPECT_TRUE(menu->Button(3)->hasFocus());
    EXPECT_EQ(Highlighted(), std::vector<int>{3});
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(entry->hasFocus());
    EXPECT_TRUE(chosen.empty());
}

// The window lies on the screen with a title bar above it, and it is wide
// enough for its whole title beside the title bar's buttons.
void ExpectFitsWithItsTitle(QWidget* window) {
    SCOPED_TRACE(window->windowTitle().toStdString());
    const int line = window->fontMetrics().height();
    const QRect frame = window->frameGeometry();
    EXPECT_TRUE(window->screen()->availableGeometry().contains(
        QRect(frame.topLeft(), frame.size() + QSize(0, 2 * line))));
    QFont bold = window->font();
    bold.setBold(true);
    EXPECT_GE(window->width(),
              QFontMetrics(bold).horizontalAdvance(window->windowTitle()) + 7 * line);
}

// A window taller than the screen scrolls: it fits, its help line stays in
// sight, and a control that gets the focus is scrolled into view. Its title,
// given once it is made, widens it.
TEST(ScreenFitTest, AWindowTallerThanTheScreenScrollsAndWidensForItsTitle) {
    QDialog window;
    auto* layout = new QVBoxLayout(&window);
    std::vector<QLineEdit*> entries;
    for (int i = 0; i < 60; ++i) layout->addWidget(entries.emplace_back(new QLineEdit(&window)));
    QLabel* msgPanel = MakeMsgPanel(&window);
    layout->addWidget(msgPanel);
    FitAndCenter(&window, entries.front());
    window.setWindowTitle(QStringLiteral("A title longer than any entry box is wide"));
    mwtest::ShowActive(&window);

    ExpectFitsWithItsTitle(&window);
    EXPECT_TRUE(window.rect().contains(msgPanel->geometry()));
    auto* area = mwtest::Find<QScrollArea>(&window, "scrContents");
    const auto inView = [area](QWidget* control) {
        return area->viewport()->rect().contains(
            QRect(control->mapTo(area->viewport(), QPoint(0, 0)), control->size()));
    };
    EXPECT_FALSE(inView(entries.back()));
    entries.back()->setFocus();
    EXPECT_TRUE(inView(entries.back()));
}

// Every screen, and a message box with a short text, on the tests' screen of
// 800x600, the smallest the station supports.
class EveryScreenFitsTest : public mwtest::ReportFixture {
protected:
    void SetUp() override {
        ReportFixture::SetUp();
        StartStation({"Ann", "Bob"});
        UseShippedQuestions();
        state.CurrentRecord = 1;
    }

    std::vector<std::function<std::unique_ptr<QWidget>()>> Screens() {
        QWidget* parent = main.get();
        return {
            [this, parent] { return std::make_unique<frmAbout>(ctx, false, parent); },
            [this, parent] { return std::make_unique<frmDriveSelect>(ctx, parent); },
            [this, parent] { return std::make_unique<frmSelectEntryMethod>(ctx, parent); },
            [this, parent] { return std::make_unique<frmClientInfo>(ctx, parent); },
            [this, parent] { return std::make_unique<frmNewEntry>(ctx, parent); },
            [this, parent] { return std::make_unique<frmVerify>(ctx, parent); },
            [this, parent] { return std::make_unique<frmSelectLanguage>(ctx, parent); },
            [this, parent] { return std::make_unique<frmScanSettings>(ctx, 49, parent); },
            [this, parent] { return std::make_unique<frmDebugView>(ctx, parent); },
            [this, parent] {
                return std::make_unique<frmSheetFile>(ctx, "/scans/Results.csv", SheetFile(),
                                                      parent);
            },
            [this, parent] { return std::make_unique<frmSupervisorOptions>(ctx, parent); },
            [this, parent] { return std::make_unique<frmPrintSelected>(ctx, parent); },
            [this, parent] { return std::make_unique<frmViewReport>(ctx, parent); },
            [this, parent] { return std::make_unique<frmMyInputBox>(ctx, parent); },
            [this, parent] {
                auto questions = frmPresentQA::ReadQuestions(ctx, QStringLiteral("English"));
                return std::make_unique<frmPresentQA>(ctx, QStringLiteral("English"),
                                                      std::move(*questions), parent);
            },
        };
    }

    // A reader's file of one sheet, every item answered.
    static std::string SheetFile() {
        std::string header = "\"file_id\",\"input_path\",\"output_path\",\"score\"";
        std::string sheet = "\"40117-052.png\",\"in/40117-052.png\",\"out/40117-052.png\",\"0\"";
        for (int item = 1; item <= kItemCount; ++item) {
            header += ",\"q" + std::to_string(item) + "\"";
            sheet += ",\"A\"";
        }
        return header + "\n" + sheet + "\n";
    }
};

// Every control that takes the focus tells a screen reader its name and role.
void ExpectNamedForReaders(const QWidget& window) {
    for (QWidget* control : window.findChildren<QWidget*>()) {
        // A control with a focus proxy hands the focus on to it.
        if (control->focusPolicy() == Qt::NoFocus || control->focusProxy() ||
            !control->isVisibleTo(&window)) {
            continue;
        }
        SCOPED_TRACE(control->objectName().toStdString());
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(reader, nullptr);
        EXPECT_FALSE(reader->text(QAccessible::Name).trimmed().isEmpty());
        EXPECT_NE(reader->role(), QAccessible::NoRole);
    }
}

TEST_F(EveryScreenFitsTest, OnTheSmallestScreenWithTheirWholeTitlesAndNamedForReaders) {
    ExpectFitsWithItsTitle(main.get());
    ExpectNamedForReaders(*main);
    for (const auto& make : Screens()) {
        const std::unique_ptr<QWidget> screen = make();
        screen->show();
        SCOPED_TRACE(screen->objectName().toStdString());
        // The on-screen test covers the whole screen.
        if (!screen->isFullScreen()) ExpectFitsWithItsTitle(screen.get());
        ExpectNamedForReaders(*screen);
    }

    // A short text, and a note of a test in large type, in the station's usual type.
    QtPlatform real;
    mwtest::ModalDriver driver;
    for (const MessageBox& box :
         {MessageBox{.text = QStringLiteral("Data Verification complete."),
         .title = QStringLiteral("Data Verification")},
          MessageBox{.text = QStringLiteral("Usted ha terminado esta parte de la prueba. Oprima "
                                            "la tecla «Enter» para seguir."),
          .title = QStringLiteral("Nota de Presentación"),
          .largeType = true}}) {
        driver.When<QMessageBox>([&box](QMessageBox* shown) {
            if (box.largeType) {
                EXPECT_EQ(shown->font(), LargeTypeFont());
            }
            ExpectFitsWithItsTitle(shown);
            mwtest::PressKey(Qt::Key_Return);
        });
        real.MsgBox(box);
    }
}

double Luminance(const QColor& color) {
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
           0.0722 * linear(color.blueF());
}

double Contrast(const QColor& one, const QColor& other) {
    const double a = Luminance(one);
    const double b = Luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// What a control's text is drawn on: its own background, or that of the
// nearest control under it that fills its own. Tabs draw their pages in
// the button colour.
QColor Behind(const QWidget* control) {
    while (!control->autoFillBackground() && !control->isWindow()) {
        if (qobject_cast<const QTabWidget*>(control)) {
            return control->palette().color(QPalette::Button);
        }
        control = control->parentWidget();
    }
    return control->palette().color(control->backgroundRole());
}

// The text colour of every control that shows text, and the colour under it.
std::vector<std::pair<QColor, QColor>> TextColours(const QWidget& window) {
    std::vector<std::pair<QColor, QColor>> pairs;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const QPalette& palette = control->palette();
        if (qobject_cast<const QPushButton*>(control)) {
            pairs.emplace_back(palette.color(QPalette::ButtonText),
                               palette.color(QPalette::Button));
        } else if (qobject_cast<const QAbstractItemView*>(control) ||
                   qobject_cast<const QPlainTextEdit*>(control) ||
                   qobject_cast<const QLineEdit*>(control)) {
            pairs.emplace_back(palette.color(QPalette::Text), palette.color(QPalette::Base));
        } else if (qobject_cast<const QLabel*>(control) ||
                   qobject_cast<const QAbstractButton*>(control) ||
                   qobject_cast<const QGroupBox*>(control)) {
            pairs.emplace_back(palette.color(QPalette::WindowText), Behind(control));
        }
    }
    for (const QTableWidget* grid : window.findChildren<QTableWidget*>()) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            const QTableWidgetItem* header = grid->horizontalHeaderItem(column);
            pairs.emplace_back(header->foreground().color(), header->background().color());
            for (int row = 0; row < grid->rowCount(); ++row) {
                const QTableWidgetItem* cell = grid->item(row, column);
                if (!cell->text().isEmpty()) {
                    pairs.emplace_back(cell->foreground().color(), cell->background().color());
                }
            }
        }
    }
    return pairs;
}

// Where a place to answer shows its bounds: a check box's or option
// button's indicator, the frame of any other input.
QRect InputBounds(const QWidget* input) {
    const auto* button = qobject_cast<const QAbstractButton*>(input);
    if (!button) return input->rect();
    QStyleOptionButton option;
    option.initFrom(button);
    const auto indicator = qobject_cast<const QRadioButton*>(input)
                               ? QStyle::SE_RadioButtonIndicator
                               : QStyle::SE_CheckBoxIndicator;
    return button->style()->subElementRect(indicator, &option, button);
}

// Every entry box, list, grid, check box and option button of the window
// shows its bounds: at three points of each side, a pixel of its outer
// edge as drawn stands out from what lies under it by `ratio` at least.
::testing::AssertionResult InputBoundsStandOut(QWidget& window, double ratio) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QImage drawn = window.grab().toImage();
    for (QWidget* input : window.findChildren<QWidget*>()) {
        // The entry box of a combo box lies within the combo box's bounds; a
        // scroll area holding a screen is no input.
        const bool isInput =
            (qobject_cast<QLineEdit*>(input) && !qobject_cast<QComboBox*>(input->parentWidget())) ||
            qobject_cast<QComboBox*>(input) ||
            (qobject_cast<QAbstractScrollArea*>(input) && !qobject_cast<QScrollArea*>(input)) ||
            qobject_cast<QCheckBox*>(input) || qobject_cast<QRadioButton*>(input);
        if (!isInput || input->focusPolicy() == Qt::NoFocus || !input->isVisible()) continue;
        const QRect bounds = InputBounds(input).translated(input->mapTo(&window, QPoint()));
        // What a scroll area shows of it, within the window.
        QRect seen = bounds & window.rect();
        for (const QWidget* w = input; w != &window; w = w->parentWidget()) {
            seen &= w->rect().translated(w->mapTo(&window, QPoint()));
        }
        const QColor under = Behind(input);
        const auto standsOut = [&](QPoint edge, QPoint inward) {
            for (int depth = 0; depth < 3; ++depth) {
                const QPoint at = edge + depth * inward;
                if (drawn.rect().contains(at) && Contrast(drawn.pixelColor(at), under) >= ratio) {
                    return true;
                }
            }
            return false;
        };
        for (const double share : {0.25, 0.5, 0.75}) {
            const int x = seen.left() + static_cast<int>(share * seen.width());
            const int y = seen.top() + static_cast<int>(share * seen.height());
            // A side scrolled out of view is not looked at.
            const auto side = [&](int edge, int inView, QPoint at, QPoint inward) {
                return edge != inView || standsOut(at, inward);
            };
            if (!side(bounds.top(), seen.top(), {x, bounds.top()}, {0, 1}) ||
                !side(bounds.bottom(), seen.bottom(), {x, bounds.bottom()}, {0, -1}) ||
                !side(bounds.left(), seen.left(), {bounds.left(), y}, {1, 0}) ||
                !side(bounds.right(), seen.right(), {bounds.right(), y}, {-1, 0})) {
                return ::testing::AssertionFailure()
                       << input->metaObject()->className() << " "
                       << input->objectName().toStdString() << " has no visible bounds on "
                       << under.name().toStdString();
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The on-screen test sizes its type to the whole screen once it covers it.
std::unique_ptr<QWidget> Shown(std::unique_ptr<QWidget> screen) {
    screen->show();
    QCoreApplication::processEvents();
    return screen;
}

// What a window lays out: the contents of its scroll area when it scrolls.
QWidget* Contents(QWidget& window) {
    auto* area = window.findChild<QScrollArea*>(QStringLiteral("scrContents"));
    return area ? area->widget() : &window;
}

// The size of the type of every control the screen names.
std::map<QString, int> TypeSizes(const QWidget& window) {
    std::map<QString, int> sizes;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || control->objectName().startsWith(u"qt_")) continue;
        sizes[control->objectName()] = QFontInfo(control->font()).pixelSize();
    }
    return sizes;
}

// Large type makes every control's type half as large again and the screen
// still fits; high contrast gives every text and the focus 7:1 at least and
// the bounds of every input 3:1, while the menu keeps its cyan and blue panels.
TEST_F(EveryScreenFitsTest, InLargeTypeAndHighContrast) {
    struct UsualLook {
        ~UsualLook() { ApplyScreenLook({}); }
    } restore;
    for (const auto& make : Screens()) {
        ApplyScreenLook({});
        const std::map<QString, int> usual = TypeSizes(*Shown(make()));
        ApplyScreenLook({.largeType = true, .highContrast = true});
        const std::unique_ptr<QWidget> screen = Shown(make());
        SCOPED_TRACE(screen->objectName().toStdString());
        std::map<QString, int> large = TypeSizes(*screen);
        for (const auto& [name, size] : usual) {
            // The test's instructions and item grow as far as their boxes
            // allow, and the report's lines as far as the screen's width.
            const bool fitted =
                name == u"txtInstructions" || name == u"txtQuestion" || name == u"Text1";
            EXPECT_GE(large[name], fitted ? size : kLargeTypeScale * size - 1)
                << name.toStdString();
        }
        // A screen of 1024x768 holds it whole with its title bar; the
        // on-screen test covers whichever screen it is on.
        const QSize frame =
            screen->frameGeometry().size() + QSize(0, 2 * screen->fontMetrics().height());
        EXPECT_TRUE(screen->isFullScreen() || (frame.width() <= 1024 && frame.height() <= 768));
        // Each text whole in its box, also where the window scrolls; the
        // report's lines, whose type fits the box, without a sideways scroll.
        EXPECT_TRUE(
            TextsWhole(Contents(*screen), Contents(*screen)->rect(), Scrolling::ShownByItsBar));
        if (auto* report = screen->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))) {
            EXPECT_EQ(report->horizontalScrollBar()->maximum(), 0);
        }

        const QPalette& palette = screen->palette();
        EXPECT_GE(Contrast(palette.color(QPalette::Highlight), Behind(screen.get())), 7);
        EXPECT_GE(
            Contrast(palette.color(QPalette::Highlight), palette.color(QPalette::HighlightedText)),
            7);
        EXPECT_GE(Contrast(QColor(kFocusColor), Behind(screen.get())), 7);
        for (const auto& [text, under] : TextColours(*screen)) {
            EXPECT_GE(Contrast(text, under), 7)
                << text.name().toStdString() << " on " << under.name().toStdString();
        }
        EXPECT_TRUE(InputBoundsStandOut(*screen, 3));
        for (int i = 0;
             QWidget* panel = screen->findChild<QWidget*>(ControlName(kMenuChoicePanel, i)); ++i) {
            const QColor back = panel->palette().color(QPalette::Window);
            EXPECT_TRUE(back == QColor(kMenuColor) || back == QColor(kFocusColor)) << i;
        }
    }
}

// On the common screen of 1024x768, which large type promises to fit, every
// screen opens whole and as it was made: each text in its box and on the
// screen, no text box scrolled sideways, the window at its top and the
// control with the focus in sight. The tests' screen is smaller: the test
// runs again on a screen of that size.
TEST_F(EveryScreenFitsTest, InLargeTypeOnTheCommonScreenEveryTextIsWhole) {
    if (!mwtest::ScreenIs({1024, 768})) {
        EXPECT_TRUE(mwtest::PassesOnScreenOf("1024x768"));
        return;
    }
    struct UsualLook {
        ~UsualLook() { ApplyScreenLook({}); }
    } restore;
    ApplyScreenLook({.largeType = true});
    for (const auto& make : Screens()) {
        const std::unique_ptr<QWidget> screen = Shown(make());
        SCOPED_TRACE(screen->objectName().toStdString());
        if (!screen->isFullScreen()) ExpectFitsWithItsTitle(screen.get());
        const QRect onScreen(screen->mapFromGlobal(screen->screen()->geometry().topLeft()),
                             screen->screen()->size());
        EXPECT_TRUE(TextsWhole(screen.get(), onScreen, Scrolling::ShownByItsBar));
        for (const QPlainTextEdit* box : screen->findChildren<QPlainTextEdit*>()) {
            if (!box->isVisible()) continue;
            EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0) << box->objectName().toStdString();
        }
        if (auto* report = screen->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))) {
            EXPECT_EQ(QFontInfo(report->font()).pixelSize(),
                      QFontInfo(LargeTypeFont()).pixelSize());
        }
        if (auto* area = screen->findChild<QScrollArea*>(QStringLiteral("scrContents"))) {
            EXPECT_EQ(area->verticalScrollBar()->value(), 0);
        }
        if (const QWidget* focus = screen->focusWidget()) {
            EXPECT_EQ(mwtest::Seen(focus, screen.get()) & onScreen,
                      focus->rect().translated(focus->mapTo(screen.get(), QPoint())))
                << focus->objectName().toStdString();
        }
    }
}

// A box about a field leaves the field in view: below it, or above it near
// the foot of the screen.
TEST(QtPlatformTest, ABoxAboutAFieldLeavesTheFieldInView) {
    QtPlatform platform;
    QWidget window;
    auto* field = new QLineEdit(&window);
    const QRect screen = window.screen()->availableGeometry();
    for (int top : {screen.top() + 40, screen.bottom() - 80}) {
        window.setGeometry(screen.left() + 100, top, 300, 40);
        mwtest::ShowActive(&window);
        mwtest::ModalDriver driver;
        driver.When<QMessageBox>([&](QMessageBox* shown) {
            const QRect box = shown->frameGeometry();
            EXPECT_FALSE(box.intersects(QRect(field->mapToGlobal(QPoint(0, 0)), field->size())));
            EXPECT_TRUE(screen.contains(box)) << top;
            shown->accept();
        });
        platform.MsgBox({.text = QStringLiteral("Wrong."), .anchor = field});
        EXPECT_TRUE(driver.Done());
    }
}

// A box shown while the window manager has yet to activate the station's
// window on the screen (the full screen a resumed test starts over) belongs
// to that window, and so opens above it rather than under it.
TEST(QtPlatformTest, ABoxBeforeAnyWindowIsActiveBelongsToTheWindowOnTheScreen) {
    QtPlatform platform;
    QWidget backdrop;
    backdrop.setAttribute(Qt::WA_ShowWithoutActivating);
    backdrop.show();
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    mwtest::ModalDriver driver;
    driver.When<QMessageBox>([&](QMessageBox* shown) {
        EXPECT_EQ(shown->parentWidget(), &backdrop);
        shown->accept();
    });
    platform.MsgBox({.text = QStringLiteral("Begin.")});
    EXPECT_TRUE(driver.Done());
}

// Where each control that takes the focus lies in what its window lays out
// (scrolled or not), and the window's size.
std::map<QString, QRect> Places(QWidget& window) {
    std::map<QString, QRect> places{{QStringLiteral("window"), window.rect()}};
    QWidget* contents = Contents(window);
    for (QWidget* control : contents->findChildren<QWidget*>()) {
        if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(&window)) continue;
        places[control->objectName()] =
            control->rect().translated(control->mapTo(contents, QPoint()));
    }
    return places;
}

// A caption set in bold as the focus comes to it has its room already: as the
// focus goes through a screen, in either type, no window changes its size and
// no control moves.
TEST_F(EveryScreenFitsTest, AsTheFocusMovesNoScreenChangesSizeNorMovesAControl) {
    struct UsualLook {
        ~UsualLook() { ApplyScreenLook({}); }
    } restore;
    // A stored client's fields, which pass their checks as the focus leaves them.
    state.EditMode = true;
    ClientRecord& client = state.Current();
    client.IDNumber = "123-45-6789";
    client.Age = "34";
    client.Education = "12";
    client.Gender = client.Race = client.MaritalStatus = "2";
    client.DateOfBirth = "01/02/1990";
    for (const bool large : {false, true}) {
        ApplyScreenLook({.largeType = large});
        for (const auto& make : Screens()) {
            const std::unique_ptr<QWidget> screen = Shown(make());
            if (screen->isFullScreen()) continue;
            SCOPED_TRACE(screen->objectName().toStdString() + (large ? " large" : ""));
            const std::map<QString, QRect> first = Places(*screen);
            for (const auto& [name, place] : first) {
                auto* control = screen->findChild<QWidget*>(name);
                if (!control) continue;
                control->setFocus(Qt::TabFocusReason);
                QCoreApplication::processEvents();
                const std::map<QString, QRect> now = Places(*screen);
                for (const auto& [other, was] : first) {
                    EXPECT_EQ(now.at(other), was)
                        << other.toStdString() << " with the focus on " << name.toStdString();
                }
            }
        }
    }
}

}  // namespace
}  // namespace mw
