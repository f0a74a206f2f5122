// The secret-code prompt and the input box it uses.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "station/supervisor/PASSWORD.h"
#include "station/supervisor/frmMyInputBox.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::PressKey;
using mwtest::TypeText;

QLineEdit* Entry(QWidget* box) {
    return mwtest::Find<QLineEdit>(box, "txtInput");
}
void FocusChoice(QWidget* box, int index) {
    mwtest::Choice(box, index)->setFocus();
}

class SecretCodeTest : public mwtest::StationFixture {
protected:
    // The next prompt, titled as it should be, gets `typed`, then Enter twice:
    // to "Information OK", then on it.
    void Type(const QString& typed) {
        driver.When<frmMyInputBox>([typed](frmMyInputBox* box) {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Enter Secret Code"));
            TypeText(typed);
            PressKey(Qt::Key_Return);
            PressKey(Qt::Key_Return);
        });
    }

    mwtest::ModalDriver driver;
};

// An empty code is asked for again in the same box; a wrong one in a new box.
TEST_F(SecretCodeTest, OnlyTheLetterItselfInEitherCaseIsAccepted) {
    driver.When<frmMyInputBox>([&](frmMyInputBox* box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Enter Secret Code"));
        PressKey(Qt::Key_Return);
        PressKey(Qt::Key_Return);
        EXPECT_TRUE(Entry(box)->hasFocus());
        TypeText(QStringLiteral("Jx"));
        PressKey(Qt::Key_Return);
        PressKey(Qt::Key_Return);
    });
    platform.Next({MsgAnswer::Ok, MsgAnswer::Ok});
    Type(QStringLiteral("J "));
    platform.Next(MsgAnswer::Ok);
    Type(QStringLiteral("j"));
    EXPECT_TRUE(AskSecretCode(ctx, nullptr));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(platform.Texts(),
              (std::vector{QStringLiteral("Please enter the required password."),
                           QStringLiteral("Incorrect secret code.  Please try again."),
                           QStringLiteral("Incorrect secret code.  Please try again.")}));
    EXPECT_EQ(platform.shown[1].title, QStringLiteral("Incorrect Secret Code"));
}

TEST_F(SecretCodeTest, TheCodeShowsAsStarsAndOtherInputPlainInABoxThatKeepsItsChoicesInView) {
    driver.When<frmMyInputBox>([&](frmMyInputBox* box) {
        TypeText(QStringLiteral("abcdefghij"));
        EXPECT_EQ(Entry(box)->text(), QStringLiteral("abcdefgh"));
        EXPECT_EQ(Entry(box)->displayText(), QStringLiteral("********"));
        EXPECT_EQ(mwtest::Find<QLabel>(box, "lblHelpMsg")->text(),
                  QStringLiteral("Enter the secret code to continue.  For security, asterisks "
                                 "(*) will show as you type."));
        FocusChoice(box, frmMyInputBox::kCancelInput);
        PressKey(Qt::Key_Return);
    });
    EXPECT_FALSE(AskSecretCode(ctx, nullptr));

    // The box is sized once its help text is set: a text that wraps to several
    // lines must not push the choices out of the window.
    frmMyInputBox box(ctx, nullptr);
    box.SetInputLength(5);
    box.SetHelpMessage(
        QStringLiteral("A help text long enough to wrap onto a second line and "
                       "then onto a third line in a box of the usual width."));
    driver.When<frmMyInputBox>([&](frmMyInputBox* open) {
        for (int i : {frmMyInputBox::kInformationOk, frmMyInputBox::kCancelInput}) {
            QWidget* panel = mwtest::Choice(open, i)->parentWidget();
            EXPECT_TRUE(
                open->rect().contains(QRect(panel->mapTo(open, QPoint(0, 0)), panel->size())));
        }
        TypeText(QStringLiteral("abc"));
        EXPECT_EQ(Entry(open)->displayText(), QStringLiteral("abc"));
        FocusChoice(open, frmMyInputBox::kCancelInput);
        PressKey(Qt::Key_Space);
        EXPECT_TRUE(open->isVisible());
        FocusChoice(open, frmMyInputBox::kInformationOk);
        PressKey(Qt::Key_Return);
    });
    box.exec();
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(box.Cancelled());
    EXPECT_EQ(box.InputValue(), QStringLiteral("abc"));
}

}  // namespace
}  // namespace mw
