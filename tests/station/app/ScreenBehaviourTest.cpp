// The menu-choice convention, the shared screen helpers and every screen on
// the smallest screen the station supports.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "station/app/frmAbout.h"
#include "station/app/frmDriveSelect.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/entry/frmSelectEntryMethod.h"
#include "station/entry/frmVerify.h"
#include "station/present/frmSelectLanguage.h"
#include "station/report/ReportFixture.h"
#include "station/report/frmPrintSelected.h"
#include "station/report/frmViewReport.h"
#include "station/scan/frmDebugView.h"
#include "station/scan/frmScanSettings.h"
#include "station/screen/MenuChoices.h"
#include "station/screen/QtPlatform.h"
#include "station/screen/ScreenHelpers.h"
#include "station/screen/ScreenKit.h"
#include "station/supervisor/frmMyInputBox.h"
#include "station/supervisor/frmSupervisorOptions.h"
#include "support/QtTestSupport.h"

namespace mw {
namespace {

using mwtest::PressKey;

// A screen with an entry box and a four-choice menu, built as every screen is.
class MenuChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        entry = new QLineEdit(QStringLiteral("some text"), &screen);
        auto* frame = new QWidget(&screen);
        msgPanel = MakeMsgPanel(&screen);
        menu = new MenuChoices(frame,
                               {{QStringLiteral("First"), QStringLiteral("Help one.")},
                                {QStringLiteral("Second"), QStringLiteral("Help two.")},
                                {QStringLiteral("Third"), QStringLiteral("Help three.")},
                                {QStringLiteral("Fourth"), QStringLiteral("Help four.")}},
                               msgPanel);
        QObject::connect(menu, &MenuChoices::Chosen,
                         [this](int index) { chosen.push_back(index); });
        auto* layout = new QVBoxLayout(&screen);
        layout->addWidget(entry);
        layout->addWidget(frame);
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
class EveryScreenFitsTest : public mwtest::ReportFixture {};

TEST_F(EveryScreenFitsTest, OnTheSmallestScreenWithTheirWholeTitles) {
    StartStation({"Ann", "Bob"});
    UseShippedQuestions();
    state.CurrentRecord = 1;
    QWidget* parent = main.get();
    const std::function<std::unique_ptr<QWidget>()> screens[] = {
        [&] { return std::make_unique<frmAbout>(ctx, false, parent); },
        [&] { return std::make_unique<frmDriveSelect>(ctx, parent); },
        [&] { return std::make_unique<frmSelectEntryMethod>(ctx, parent); },
        [&] { return std::make_unique<frmClientInfo>(ctx, parent); },
        [&] { return std::make_unique<frmNewEntry>(ctx, parent); },
        [&] { return std::make_unique<frmVerify>(ctx, parent); },
        [&] { return std::make_unique<frmSelectLanguage>(ctx, parent); },
        [&] { return std::make_unique<frmScanSettings>(ctx, 49, parent); },
        [&] { return std::make_unique<frmDebugView>(ctx, parent); },
        [&] { return std::make_unique<frmSupervisorOptions>(ctx, parent); },
        [&] { return std::make_unique<frmPrintSelected>(ctx, parent); },
        [&] { return std::make_unique<frmViewReport>(ctx, parent); },
        [&] { return std::make_unique<frmMyInputBox>(ctx, parent); },
    };
    ExpectFitsWithItsTitle(main.get());
    for (const auto& make : screens) {
        const std::unique_ptr<QWidget> screen = make();
        screen->show();
        ExpectFitsWithItsTitle(screen.get());
    }

    QtPlatform real;
    mwtest::ModalDriver driver;
    driver.When<QMessageBox>([](QMessageBox* box) {
        ExpectFitsWithItsTitle(box);
        mwtest::PressKey(Qt::Key_Return);
    });
    real.MsgBox({.text = QStringLiteral("Data Verification complete."),
                 .title = QStringLiteral("Data Verification")});
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
        QRect box, around;
        driver.When<QMessageBox>([&](QMessageBox* shown) {
            box = shown->frameGeometry();
            around = QRect(field->mapToGlobal(QPoint(0, 0)), field->size());
            shown->accept();
        });
        platform.MsgBox({.text = QStringLiteral("Wrong."), .anchor = field});
        EXPECT_FALSE(box.intersects(around)) << top;
        EXPECT_TRUE(screen.contains(box)) << top;
    }
}

}  // namespace
}  // namespace mw
