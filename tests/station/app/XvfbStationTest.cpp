// The real station on a real X server: started on a temporary program folder
// and data disk under Xvfb and worked with keys sent by xdotool. Skipped when
// Xvfb or xdotool is not installed. Also stages a program folder the way
// scripts/run does, over a station that is running from it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/data/Clock.h"
#include "core/data/CodeTables.h"
#include "support/StationFixture.h"
#include "support/TempDir.h"

#ifdef MW_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace {

using mwtest::TempDir;

// Polls `done` until it holds or a generous deadline passes.
bool Eventually(const std::function<bool()>& done, int deadlineMs = 30000) {
    QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    return true;
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class XvfbStationTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            GTEST_SKIP() << "Xvfb and xdotool are needed to drive the station on a real X server";
        }
        // Xvfb picks a free display itself and names it on its standard output.
        // Without -noreset the server resets whenever its last client leaves:
        // each xdotool call that ends before the station has connected would
        // reset it and could drop the station's connection half made.
        xvfb_.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("1024x768x24")});
        ASSERT_TRUE(xvfb_.waitForStarted());
        ASSERT_TRUE(Eventually([&] {
            xvfb_.waitForReadyRead(100);
            return xvfb_.canReadLine();
        }));
        display_ = QStringLiteral(":") + QString::fromLatin1(xvfb_.readLine().trimmed());

        // The program folder is wherever the executable lies.
        station_ = QString::fromStdString(programDir_.File("mirrorwise"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(MW_STATION_EXE), station_));
        mwtest::MakeDisk(disk_, {"Ann", "Bob", "Lee"});
        programDir_.Write("MW.ini", "[Path]\r\nFilePath=" + disk_.Path() + "\r\n");
    }

    void TearDown() override {
        // Terminated rather than killed, so that Xvfb removes its display lock.
        for (QProcess* process : {&first_, &xvfb_}) {
            if (process->state() == QProcess::NotRunning) continue;
            process->terminate();
            if (!process->waitForFinished(5000)) process->kill();
        }
    }

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display_);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

    void StartStation(QProcess& process) {
        process.setProcessEnvironment(Environment());
        // What the station says on standard error, sanitizer reports among
        // it, shows in the test's output.
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setProgram(station_);
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }

    // xdotool's output; empty when it failed.
    QString Xdotool(const QStringList& args) {
        QProcess xdotool;
        xdotool.setProcessEnvironment(Environment());
        xdotool.start(QStringLiteral("xdotool"), args);
        if (!xdotool.waitForFinished(10000) || xdotool.exitCode() != 0) return {};
        return QString::fromLocal8Bit(xdotool.readAllStandardOutput()).trimmed();
    }

    // The visible windows whose title is exactly `title`.
    QStringList FindWindows(const QString& title) {
        return Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--name"), QStringLiteral("^%1$").arg(title)})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // The first of them; empty when there is none.
    QString FindWindow(const QString& title) { return FindWindows(title).value(0); }
    QString WaitForWindow(const QString& title) {
        QString id;
        Eventually([&] { return !(id = FindWindow(title)).isEmpty(); });
        return id;
    }
    bool WindowGone(const QString& title) {
        return Eventually([&] { return FindWindow(title).isEmpty(); });
    }

    // Without a window manager nothing gives a window the keyboard: the test does.
    bool Focus(const QString& window) {
        return Eventually([&] {
            Xdotool({QStringLiteral("windowfocus"), window});
            return Xdotool({QStringLiteral("getwindowfocus")}) == window;
        });
    }

    // Keys named as xdotool names them, separated by blanks ("Tab Down Return").
    void Keys(const QString& keys) {
        Xdotool(QStringList{QStringLiteral("key")} + keys.split(QLatin1Char(' ')));
    }

    // Stages the build's program folder into the test's program folder with
    // scripts/lib.sh, as scripts/run does. Empty on success, else what failed.
    std::string Stage() {
        QProcess bash;
        bash.start(QStringLiteral("bash"),
                   {QStringLiteral("-c"), QStringLiteral("source \"$1\" && mw_stage \"$2\" \"$3\""),
                    QStringLiteral("stage"), QStringLiteral(MW_SOURCE_DIR "/scripts/lib.sh"),
                    QStringLiteral(MW_PROGRAM_DIR), QString::fromStdString(programDir_.Path())});
        if (!bash.waitForFinished(60000)) return "staging did not finish";
        if (bash.exitStatus() == QProcess::NormalExit && bash.exitCode() == 0) return {};
        return "staging failed: " + bash.readAllStandardError().toStdString();
    }

    std::optional<bool> NumLock() const {
#ifdef MW_HAVE_X11
        Display* x = XOpenDisplay(display_.toLocal8Bit().constData());
        if (!x) return std::nullopt;
        XkbStateRec state;
        std::optional<bool> on;
        if (XkbGetState(x, XkbUseCoreKbd, &state) == 0) {
            on = (state.locked_mods & XkbKeysymToModifiers(x, XK_Num_Lock)) != 0;
        }
        XCloseDisplay(x);
        return on;
#else
        return std::nullopt;
#endif
    }

    TempDir programDir_;
    TempDir disk_;
    QProcess xvfb_;
    QProcess first_;
    QString display_;
    QString station_;
};

TEST_F(XvfbStationTest, TheStationRunsOnARealXServer) {
    StartStation(first_);
    const QString main = WaitForWindow(QStringLiteral("Mirrorwise"));
    ASSERT_FALSE(main.isEmpty()) << "the main window never appeared";

    // "Num Lock Always On" is on by default: the station switches Num Lock on.
    if (NumLock().has_value()) {
        EXPECT_TRUE(Eventually([&] { return NumLock() == true; }));
    }

    // The About window from the menu bar, closed with Enter on its OK.
    ASSERT_TRUE(Focus(main));
    Keys(QStringLiteral("alt+a"));
    const QString about = WaitForWindow(QStringLiteral("About Mirrorwise"));
    ASSERT_FALSE(about.isEmpty()) << "Alt+A did not open the About window";
    ASSERT_TRUE(Focus(about));
    Keys(QStringLiteral("Return"));
    EXPECT_TRUE(WindowGone(QStringLiteral("About Mirrorwise")));

    // Clearing the option from the Options menu: it is stored, and the
    // station now keeps Num Lock off.
    ASSERT_TRUE(Focus(main));
    Keys(QStringLiteral("alt+o"));
    Keys(QStringLiteral("n"));
    EXPECT_TRUE(Eventually(
        [&] { return programDir_.Read("MW.ini").find("NumLock=False") != std::string::npos; }));
    if (NumLock().has_value()) {
        EXPECT_TRUE(Eventually([&] { return NumLock() == false; }));
    }

    // "E&xit!" ends the program.
    ASSERT_TRUE(Focus(main));
    Keys(QStringLiteral("alt+x"));
    ASSERT_TRUE(first_.waitForFinished(30000));
    EXPECT_EQ(first_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first_.exitCode(), 0);
}

TEST_F(XvfbStationTest, StagingOverARunningStationWorksAndTheNextStartDefersToIt) {
    namespace fs = std::filesystem;
    // A whole program folder on a copy of the demo disk, as scripts/run stages it.
    ASSERT_EQ(Stage(), "");
    for (const fs::directory_entry& entry : fs::directory_iterator(MW_DEMO_DISK_DIR)) {
        fs::copy_file(entry.path(), disk_.File(entry.path().filename().string()),
                      fs::copy_options::overwrite_existing);
    }
    StartStation(first_);
    ASSERT_FALSE(WaitForWindow(QStringLiteral("Mirrorwise")).isEmpty())
        << "the main window never appeared";

    // Staging again while the station runs from that folder replaces its
    // files, the executable among them, and leaves no partial copies behind.
    ASSERT_EQ(Stage(), "");
    for (const fs::directory_entry& entry : fs::directory_iterator(programDir_.Path())) {
        EXPECT_EQ(entry.path().filename().string().find(".staging."), std::string::npos)
            << entry.path();
    }
    EXPECT_TRUE(Bytes(station_) == Bytes(QStringLiteral(MW_STATION_EXE)))
        << "the staged executable is not the built one";

    // The staged station started again finds the running one and ends.
    QProcess second;
    StartStation(second);
    ASSERT_TRUE(second.waitForFinished(30000)) << "the second start kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(FindWindows(QStringLiteral("Mirrorwise")).size(), 1);
    EXPECT_EQ(first_.state(), QProcess::Running);
}

// A new client registered and keyed from the keyboard alone, through the
// real windows: it lands byte for byte in the record file, and the
// command-line tool writes its report to REPORT.PRN.
TEST_F(XvfbStationTest, ANewClientKeyedFromTheKeyboardAloneIsStoredAndReported) {
    ASSERT_EQ(Stage(), "");  // the question database and data files beside the station
    const std::string before = disk_.Read("DATA401.MW");
    StartStation(first_);
    const QString main = WaitForWindow(QStringLiteral("Mirrorwise"));
    ASSERT_FALSE(main.isEmpty()) << "the main window never appeared";

    // From the client list: Tab to the menu, Down to "Add New Client".
    ASSERT_TRUE(Focus(main));
    Keys(QStringLiteral("Tab Down Return"));
    const QString method = WaitForWindow(QStringLiteral("Entry Method"));
    ASSERT_FALSE(method.isEmpty()) << "Add New Client did not open the entry method";
    ASSERT_TRUE(Focus(method));
    Keys(QStringLiteral("Down Return"));  // "Enter Test Data from Answer Sheet"

    const QString info = WaitForWindow(QStringLiteral("Client Information"));
    ASSERT_FALSE(info.isEmpty()) << "the answer-sheet route did not ask for the client";
    ASSERT_TRUE(Focus(info));
    for (const char* field : {"Cy Dee", "N", "40", "1", "1", "12", "1", "01/02/1980"}) {
        Xdotool({QStringLiteral("type"), QString::fromUtf8(field)});
        Keys(QStringLiteral("Return"));
    }
    Keys(QStringLiteral("Return"));  // "Information OK"

    const QString grid = WaitForWindow(QStringLiteral("Client Responses"));
    ASSERT_FALSE(grid.isEmpty()) << "the confirmed client did not open the answer grid";
    ASSERT_TRUE(Focus(grid));
    // "1" is an answer in every grid; each key moves on to the next item.
    Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"),
             QString(mw::kItemCount, QLatin1Char('1'))});
    Keys(QStringLiteral("Tab Return"));  // past the last grid to "Save"
    ASSERT_TRUE(WindowGone(QStringLiteral("Client Responses")));

    mw::ClientRecord expected = mw::ClientRecord::FromBytes(std::string(mw::kRecordSize, ' '));
    expected.Name = "Cy Dee";
    expected.IDNumber = "N";
    expected.Age = "40";
    expected.Gender = expected.Race = expected.MaritalStatus = "1";
    expected.Education = "12";
    expected.DateOfBirth = "01/02/1980";
    expected.TodayDate = mw::FormatDate(mw::SystemClock().Today());
    expected.Answers = std::string(mw::kItemCount, '1');
    expected.timeseditted = "0";
    expected.DeleteFlag = "0";
    ASSERT_TRUE(Eventually([&] { return disk_.Read("DATA401.MW").size() > before.size(); }));
    EXPECT_EQ(disk_.Read("DATA401.MW"), before + expected.ToBytes());

    QProcess cli;
    cli.start(
        QString::fromStdString(programDir_.File("mirrorwise-cli")),
        {QStringLiteral("report"), QStringLiteral("--program-dir"),
         QString::fromStdString(programDir_.Path()), QStringLiteral("--disk"),
         QString::fromStdString(disk_.Path()), QStringLiteral("--client"), QStringLiteral("4")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_NE(programDir_.Read("REPORT.PRN").find("NAME: Cy Dee\r\n"), std::string::npos);

    ASSERT_TRUE(Focus(main));
    Keys(QStringLiteral("alt+x"));
    EXPECT_TRUE(first_.waitForFinished(30000));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
