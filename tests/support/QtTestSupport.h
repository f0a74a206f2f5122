// Small helpers for tests of Qt windows run by GoogleTest.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

// Lets GoogleTest print QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QSize& size, std::ostream* os) {
    *os << size.width() << 'x' << size.height();
}
inline void PrintTo(const QRect& rect, std::ostream* os) {
    *os << rect.width() << 'x' << rect.height() << '+' << rect.x() << '+' << rect.y();
}

namespace mwtest {

// The control named `name` under `root`. A control that is missing (renamed,
// or of another class) ends the test with its name, rather than a crash.
template <class T = QWidget>
T* Find(const QObject* root, const QString& name) {
    T* control = root->findChild<T*>(name);
    if (!control) throw std::runtime_error("no control named " + name.toStdString());
    return control;
}
template <class T = QWidget>
T* Find(const QObject* root, const char* name) {
    return Find<T>(root, QLatin1String(name));
}

// Menu choice `index` of a screen (cmdMenuChoice_<index>).
inline QPushButton* Choice(const QObject* screen, int index) {
    return Find<QPushButton>(screen, QStringLiteral("cmdMenuChoice_%1").arg(index));
}

// Lets window events run until `done` holds or a generous deadline passes;
// returns whether it held. Tests wait for effects, never for a time.
inline bool WaitUntil(const std::function<bool()>& done, int deadlineMs = 10000) {
    QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(5);
    }
    return true;
}

// Whether the tests' one screen is of `size`: 800x600 unless the test
// program was started for another (RunOnScreenOf).
inline bool ScreenIs(QSize size) {
    return QGuiApplication::primaryScreen()->size() == size;
}

// Runs the current test again in a test program of its own whose one screen
// is of `size` (WIDTHxHEIGHT, as tests/support has it), its output shown with
// this one's; true when it passed there.
inline bool PassesOnScreenOf(const char* size) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MW_TEST_SCREEN"), QString::fromUtf8(size));
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::ForwardedChannels);
    run.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--gtest_filter=%1.%2")
             .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()))});
    return run.waitForFinished(-1) && run.exitStatus() == QProcess::NormalExit &&
           run.exitCode() == 0;
}

// Presses and releases a key on the control that has the keyboard focus,
// as the user's keyboard would.
inline void PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "no control has the focus";
    QTest::keyClick(focused, static_cast<Qt::Key>(key), modifiers);
}

inline void TypeText(const QString& text) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "no control has the focus";
    QTest::keyClicks(focused, text);
}

// Types `text` into the control with the focus and confirms it with Enter.
inline void Enter(const QString& text) {
    TypeText(text);
    PressKey(Qt::Key_Return);
}

// Each character to whichever control has the focus by then.
inline void TypeKeys(const std::string& keys) {
    for (char key : keys) QTest::keyClick(QApplication::focusWidget(), key);
}

// Runs menu choice `index` of a screen from the keyboard.
inline void Choose(QWidget* screen, int index) {
    Choice(screen, index)->setFocus();
    PressKey(Qt::Key_Return);
}

// Chooses once the current ModalDriver step has returned, so that the windows
// the choice opens are the driver's next steps.
inline void ChooseLater(QWidget* screen, int index) {
    QMetaObject::invokeMethod(
        screen, [screen, index] { Choose(screen, index); }, Qt::QueuedConnection);
}

// Shows a window and waits until it has the keyboard.
inline void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// Works through modal windows as they open: each step waits for a modal
// window of its class and then runs on it, typing and pressing its buttons
// while its own event loop runs. Steps that never found their window fail
// the test, and so does a modal window that no step handles: it is closed
// after a while so that the test ends instead of hanging.
class ModalDriver : public QObject {
public:
    ModalDriver() {
        poll_.setInterval(10);
        connect(&poll_, &QTimer::timeout, this, &ModalDriver::Poll);
        poll_.start();
    }
    ~ModalDriver() override {
        EXPECT_TRUE(steps_.empty()) << steps_.size() << " expected modal window(s) never opened";
    }

    template <class Window>
    void When(std::function<void(Window*)> act) {
        steps_.push_back([act](QWidget* modal) {
            auto* window = qobject_cast<Window*>(modal);
            if (!window) return false;
            act(window);
            return true;
        });
    }

    bool Done() const { return steps_.empty(); }

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (busy_ || !modal || !modal->isActiveWindow()) return;
        if (modal != waitingOn_) {
            waitingOn_ = modal;
            waiting_.start();
        }
        if (modal->property(kHandled).toBool() || steps_.empty() || !Handle(modal)) {
            if (waiting_.elapsed() > kGiveUpMs) {
                ADD_FAILURE() << "no step handled the modal window "
                              << modal->objectName().toStdString();
                modal->close();
            }
        }
    }

    bool Handle(QWidget* modal) {
        busy_ = true;
        QPointer<QWidget> alive(modal);
        const bool handled = steps_.front()(modal);
        if (handled) {
            steps_.pop_front();
            if (alive) alive->setProperty(kHandled, true);
        }
        busy_ = false;
        return handled;
    }

    static constexpr const char* kHandled = "mwtestHandled";
    static constexpr int kGiveUpMs = 10000;
    QTimer poll_;
    QPointer<QWidget> waitingOn_;
    QElapsedTimer waiting_;
    std::deque<std::function<bool(QWidget*)>> steps_;
    bool busy_ = false;
};

}  // namespace mwtest
