// The menu-choice convention and the shared screen helpers.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "station/screen/MenuChoices.h"
#include "station/screen/QtPlatform.h"
#include "station/screen/ScreenHelpers.h"
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

TEST_F(MenuChoicesTest, OnlyTheFocusedChoiceIsHighlightedAndShowsItsHelp) {
    menu->Focus(2);
    EXPECT_EQ(Highlighted(), std::vector<int>{2});
    menu->Focus(0);
    EXPECT_EQ(Highlighted(), std::vector<int>{0});
    EXPECT_EQ(msgPanel->text(), QStringLiteral("Help one."));

    menu->HighlightMenuChoice(1);  // a stale mark left by other code
    menu->ShowFocus();
    EXPECT_EQ(Highlighted(), std::vector<int>{0});
    entry->setFocus();
    EXPECT_TRUE(Highlighted().empty());
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

TEST_F(MenuChoicesTest, SelectAllTextSelectsAnEntryAndLeavesAButtonAlone) {
    entry->setFocus();
    entry->deselect();
    SelectAllText();
    EXPECT_EQ(entry->selectedText(), QStringLiteral("some text"));

    entry->deselect();
    menu->Focus(0);
    SelectAllText();
    EXPECT_TRUE(menu->Button(0)->hasFocus());
    EXPECT_FALSE(entry->hasSelectedText());
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
