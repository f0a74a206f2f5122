// The real station on a real X server of the smallest screen it supports,
// 800x600, with a window manager: started on a temporary program folder and
// data disk under Xvfb and openbox and worked with keys sent by xdotool to
// whichever window the window manager gave the keyboard. Skipped when Xvfb,
// openbox or xdotool is not installed (the one that plays sounds also
// without PulseAudio). Also stages a program folder the way scripts/run
// does, over a station that is running from it, and asks the station for its
// usage and version where there is no display at all.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <random>
#include <set>

#include "core/data/Clock.h"
#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "core/data/Product.h"
#include "station/screen/ScreenHelpers.h"
#include "station/supervisor/PASSWORD.h"
#include "support/SoundServer.h"
#include "support/StationFixture.h"
#include "support/WaveBytes.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

using mwtest::TempDir;

QString Str(const char* text) {
    return QString::fromUtf8(text);
}
QString Str(const std::string& text) {
    return QString::fromStdString(text);
}

// Polls `done` until it holds or a generous deadline passes.
bool Eventually(const std::function<bool()>& done, int deadlineMs = 30000) {
    QDeadlineTimer deadline(deadlineMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    return true;
}

bool Installed(std::initializer_list<const char*> programs) {
    for (const char* program : programs) {
        if (QStandardPaths::findExecutable(Str(program)).isEmpty()) return false;
    }
    return true;
}

// What the program wrote on its standard output; nothing when it failed.
// With `errors` forwarded, what it says on standard error shows in the
// test's output; polled tools keep theirs to themselves.
std::optional<QByteArray> Output(const QString& program, const QStringList& args,
                                 QProcess::ProcessChannelMode errors = QProcess::SeparateChannels) {
    QProcess process;
    process.setProcessChannelMode(errors);
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

// The number of pages of a whole PDF file; 0 while it is not (yet) one.
int PdfPageCount(const QString& path) {
    if (!QFile::exists(path)) return 0;
    const QByteArray info = Output(QStringLiteral("pdfinfo"), {path}).value_or(QByteArray());
    for (const QByteArray& line : info.split('\n')) {
        if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
    }
    return 0;
}

// Where `color` is painted on the screen: the rectangle round all of it, and
// how many boxes of it lie one under the other (a line down its left edge
// crosses each once).
struct Paint {
    QRect bounds;
    int boxes = 0;
};
Paint PaintOf(const QImage& screen, QRgb color) {
    Paint paint;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if (screen.pixel(x, y) == color) paint.bounds |= QRect(x, y, 1, 1);
        }
    }
    bool inBox = false;
    for (int y = paint.bounds.top(); y <= paint.bounds.bottom(); ++y) {
        const bool painted = screen.pixel(paint.bounds.left(), y) == color;
        if (painted && !inBox) ++paint.boxes;
        inBox = painted;
    }
    return paint;
}

// A connection to an X server, closed when it goes; null when there is none.
using XDisplay = std::unique_ptr<Display, int (*)(Display*)>;
XDisplay Connect(const QByteArray& display) {
    return {XOpenDisplay(display.constData()), XCloseDisplay};
}

// A window's property of `type` as it is kept (a number as a long); empty
// when the window has none.
QByteArray Property(Display* x, Window window, const char* name, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QByteArray bytes;
    if (XGetWindowProperty(x, window, XInternAtom(x, name, False), 0, 1 << 16, False, type, &actual,
                           &format, &count, &after, &data) == Success &&
        data) {
        bytes = QByteArray(reinterpret_cast<const char*>(data),
                           static_cast<qsizetype>(count * (format == 32 ? sizeof(long) : 1)));
    }
    if (data) XFree(data);
    return bytes;
}

// Where a window's frame lies on the screen: the window with the borders and
// the title bar the window manager put round it. None for a window that is
// gone: an X error is no failure here.
std::optional<QRect> FrameOf(Display* x, Window window) {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XWindowAttributes attributes;
    Window child = 0;
    int left = 0, top = 0;
    if (!XGetWindowAttributes(x, window, &attributes) ||
        !XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &left, &top, &child)) {
        return std::nullopt;
    }
    QRect frame(left, top, attributes.width, attributes.height);
    const QByteArray extents = Property(x, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (extents.size() == 4 * sizeof(long)) {
        const auto* side = reinterpret_cast<const long*>(extents.constData());
        frame.adjust(static_cast<int>(-side[0]), static_cast<int>(-side[2]),
                     static_cast<int>(side[1]), static_cast<int>(side[3]));
    }
    return frame;
}

// A private print server whose default queue turns every job into a PDF file
// in <dir>/out (tests/support/pdf-print-queue.sh); stopped when it goes.
struct PdfPrintQueue {
    // The print server, its PDF backend and the tools to set them up, and
    // root, which the backend requires.
    static bool Available() {
        return Installed({"cupsd", "lpadmin"}) &&
               QFile::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")) && geteuid() == 0;
    }
    explicit PdfPrintQueue(const std::string& path) : dir(Str(path)) {}
    ~PdfPrintQueue() { Script("stop"); }
    bool Script(const char* command, const QStringList& options = {}) const {
        return Output(QStringLiteral(MW_SOURCE_DIR "/tests/support/pdf-print-queue.sh"),
                      QStringList{Str(command), dir} << options)
            .has_value();
    }
    QString Name() const {
        QFile file(dir + QStringLiteral("/queue"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }
    // The first PDF file the queue printed, once it is whole; empty till then.
    QString Printed() const {
        const QDir out(dir + QStringLiteral("/out"));
        const QString pdf = out.filePath(out.entryList({QStringLiteral("*.pdf")}).value(0));
        return QFileInfo(pdf).isFile() && PdfPageCount(pdf) > 0 ? pdf : QString();
    }
    const QString dir;
};

// A session bus of the test's own, on which the station's accessibility
// bridge and a screen reader's walk of its windows meet; `missing` says why
// there is none.
struct AccessibilityBus {
    // The system's Python, for which python3-pyatspi is installed.
    static constexpr const char* kPython = "/usr/bin/python3";

    AccessibilityBus() {
        if (!Installed({"dbus-daemon"}) ||
            !Output(Str(kPython), {QStringLiteral("-c"), QStringLiteral("import pyatspi")})) {
            missing =
                "dbus-daemon, at-spi2-core and python3-pyatspi are needed for a screen "
                "reader's walk";
            return;
        }
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--print-address=1")});
        if (!daemon.waitForStarted() || !Eventually(
                                            [&] {
                                                daemon.waitForReadyRead(100);
                                                return daemon.canReadLine();
                                            },
                                            10000)) {
            missing = "the session bus could not start";
            return;
        }
        qputenv("DBUS_SESSION_BUS_ADDRESS", daemon.readLine().trimmed());
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }
    ~AccessibilityBus() {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");
        daemon.terminate();
        if (!daemon.waitForFinished(5000)) daemon.kill();
    }
    QProcess daemon;
    std::string missing;
};

// A window that must get the keyboard, the keys to press there (xdotool's
// names, separated by blanks: "Tab Down Return") and then the text to type,
// each line ended by Enter. `another`: a window other than the previous
// step's, of the same title.
struct Step {
    const char* window;
    std::string keys;
    std::string typed{};
    bool another = false;
};
// The titles of the main window and of a box titled as the station is.
const char* const kMainWindow = mw::kProductName;
const char* const kProductBox = "a box titled as the station";
// Typed into "Client Information": each field and Enter, then Enter on "Information OK".
// The age is not available: any age would disagree with the birth date some year.
const char* const kClientFields = "Cy Dee\nN\nN\n1\n1\n12\n1\n01/02/1980\n\n";
// At "Enter Secret Code": the code, Enter to "OK", and OK.
const std::string kSecretCodeKeys = std::string(1, mw::kSecretCode) + " Return Return";

// A terminal may have no display: the station answers --help and --version
// on its standard output without one.
TEST(StationCommandLineTest, HelpAndVersionNeedNoDisplay) {
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        noDisplay.remove(Str(name));
    }
    for (const auto& [option, answer] :
         {std::pair{"--help", "usage: mirrorwise [-h | --help | --version]\n"},
          std::pair{"-h", "usage: mirrorwise [-h | --help | --version]\n"},
          std::pair{"--version", "mirrorwise (Mirrorwise) v4.01\n"}}) {
        SCOPED_TRACE(option);
        QProcess station;
        station.setProcessEnvironment(noDisplay);
        station.start(QStringLiteral(MW_STATION_EXE), {Str(option)});
        ASSERT_TRUE(station.waitForFinished(60000));
        EXPECT_EQ(station.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(station.exitCode(), 0);
        EXPECT_TRUE(station.readAllStandardOutput().startsWith(answer));
    }
}

class XvfbStationTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Installed({"Xvfb", "openbox", "xdotool"})) {
            GTEST_SKIP() << "Xvfb, openbox and xdotool are needed to drive the station on a real "
                            "X server";
        }
        // Xvfb picks a free display itself and names it on its standard output.
        // Without -noreset the server resets whenever its last client leaves:
        // each xdotool call that ends before the station has connected would
        // reset it and could drop the station's connection half made.
        xvfb_.start(QStringLiteral("Xvfb"), QStringList{"-displayfd", "1", "-noreset", "-nolisten",
                                                        "tcp", "-screen", "0", screen_});
        ASSERT_TRUE(xvfb_.waitForStarted());
        ASSERT_TRUE(Eventually([&] {
            xvfb_.waitForReadyRead(100);
            return xvfb_.canReadLine();
        }));
        display_ = ":" + xvfb_.readLine().trimmed();
        // Every program the test starts works on that display, the station
        // on the system's print server unless a test sets up its own.
        qputenv("DISPLAY", display_);
        qputenv("QT_QPA_PLATFORM", "xcb");
        qunsetenv("CUPS_SERVER");
        // The window manager hands the keyboard from window to window, as on
        // an office's computer; it runs its start-up command once it does.
        const std::string ready = programDir_.File("window-manager-ready");
        windowManager_.start(QStringLiteral("openbox"),
                             {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                              QStringLiteral("touch ") + Str(ready)});
        ASSERT_TRUE(windowManager_.waitForStarted());
        ASSERT_TRUE(Eventually([&] { return QFile::exists(Str(ready)); }));

        // The program folder is wherever the executable lies.
        station_ = Str(programDir_.File("mirrorwise"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(MW_STATION_EXE), station_));
        mwtest::MakeDisk(disk_, {"Ann", "Bob", "Lee"});
        programDir_.Write("MW.ini", "[Path]\r\nFilePath=" + disk_.Path() + "\r\n");
    }

    // The screen's size and depth, as Xvfb takes them.
    QString screen_ = QStringLiteral("800x600x24");

    void TearDown() override {
        // Terminated rather than killed, so that Xvfb removes its display lock.
        for (QProcess* process : {&first_, &windowManager_, &xvfb_}) {
            if (process->state() == QProcess::NotRunning) continue;
            process->terminate();
            if (!process->waitForFinished(5000)) process->kill();
        }
    }

    void StartStation(QProcess& process) {
        // What the station says on standard error, sanitizer reports among
        // it, shows in the test's output.
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setProgram(station_);
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }

    // Starts the station and waits for its main window.
    void StartMain() {
        StartStation(first_);
        ASSERT_TRUE(Eventually([&] {
            return !(main_ = FindWindows(kMainWindow).value(0)).isEmpty();
        })) << "the main window never appeared";
    }

    static void ExpectCleanEnd(QProcess& process) {
        ASSERT_TRUE(process.waitForFinished(30000)) << "the station kept running";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    // "E&xit!" from the main window ends the station.
    void ExitStation() {
        ASSERT_TRUE(Walk({{kMainWindow, "alt+x"}}));
        ExpectCleanEnd(first_);
    }

    // xdotool's output; empty when it failed.
    QString Xdotool(const QStringList& args) {
        return QString::fromLocal8Bit(Output(QStringLiteral("xdotool"), args).value_or(""))
            .trimmed();
    }
    void Keys(const std::string& keys) {
        if (!keys.empty()) Xdotool(QStringList{"key", "--delay", "5"} + Str(keys).split(u' '));
    }
    void Type(const std::string& text) {
        const QStringList lines = Str(text).split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!lines[i].isEmpty()) Xdotool({"type", "--delay", "5", lines[i]});
            if (i + 1 < lines.size()) Keys("Return");
        }
    }

    // The visible windows whose title is exactly `title`.
    QStringList FindWindows(const char* title) {
        return Xdotool(
                   {"search", "--onlyvisible", "--name", QStringLiteral("^%1$").arg(Str(title))})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool WindowGone(const char* title) {
        return Eventually([&] { return FindWindows(title).isEmpty(); });
    }
    // Waits until the window manager has given the keyboard to a window of
    // `step`'s title; that window, empty when none got it.
    QString WaitForKeyboard(const Step& step, const QString& previous) {
        const bool box = step.window == kProductBox;
        const QString title = Str(box ? mw::kProductName : step.window);
        QString window;
        const bool got = Eventually([&] {
            window = Xdotool({QStringLiteral("getactivewindow")});
            if (window.isEmpty() || (step.another && window == previous) ||
                (step.window == kMainWindow ? window != main_ : box && window == main_)) {
                return false;
            }
            return Xdotool({QStringLiteral("getwindowname"), window}) == title;
        });
        if (!got) return {};
        CheckOnScreen(window, title);
        return window;
    }

    // Works through the steps in turn; fails naming the window of the first
    // step that never got the keyboard.
    ::testing::AssertionResult Walk(const std::vector<Step>& steps) {
        QString previous;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            const QString previousWindow = previous;
            previous = WaitForKeyboard(step, previous);
            if (previous.isEmpty()) {
                const QString active = Xdotool({QStringLiteral("getactivewindow")});
                return ::testing::AssertionFailure()
                       << "step " << i + 1 << ": " << step.window
                       << " never got the keyboard; it stayed with \""
                       << Xdotool({QStringLiteral("getwindowname"), active}).toStdString() << '"'
                       << (active == previousWindow ? ", the previous step's window" : "");
            }
            Keys(step.keys);
            Type(step.typed);
        }
        return ::testing::AssertionSuccess();
    }

    // The keyboard is back at the main window: Alt+A there opens the About
    // window, and closing it gives the keyboard back again.
    void ExpectKeyboardAtMain() {
        EXPECT_TRUE(
            Walk({{kMainWindow, "alt+a"}, {"About Mirrorwise", "Return"}, {kMainWindow, ""}}));
        EXPECT_TRUE(WindowGone("About Mirrorwise"));
    }

    // A window the station shows lies wholly on the screen, its title bar
    // included; each title's first showing in a test is kept as a picture.
    void CheckOnScreen(const QString& window, const QString& title) {
        if (const XDisplay x = Connect(display_)) {
            const QRect screen(0, 0, DisplayWidth(x.get(), 0), DisplayHeight(x.get(), 0));
            // A window can take the keyboard while the window manager is still
            // placing it; only where it settles counts.
            std::optional<QRect> frame;
            Eventually(
                [&] {
                    frame = FrameOf(x.get(), window.toULong());
                    return frame && screen.contains(*frame);
                },
                15000);
            EXPECT_TRUE(frame && screen.contains(*frame))
                << title.toStdString() << " is off screen: "
                << (frame ? QDebug::toString(*frame).toStdString() : std::string("no frame"));
        }
        if (pictured_.insert(title).second) SavePicture(title);
    }

    // The whole screen as it looks now.
    QImage Screen() const {
        QImage picture;
        const XDisplay x = Connect(display_);
        if (!x) return picture;
        const int width = DisplayWidth(x.get(), 0);
        const int height = DisplayHeight(x.get(), 0);
        if (XImage* image = XGetImage(x.get(), DefaultRootWindow(x.get()), 0, 0, width, height,
                                      AllPlanes, ZPixmap)) {
            picture = QImage(reinterpret_cast<const uchar*>(image->data), width, height,
                             image->bytes_per_line, QImage::Format_RGB32)
                          .copy();
            XDestroyImage(image);
        }
        return picture;
    }

    // Keeps a picture of the whole screen as <name>.png in the build's
    // xvfb-screens folder, to be looked at; returns it.
    QImage SavePicture(const QString& name) const {
        const QImage picture = Screen();
        if (!picture.isNull() && QDir().mkpath(QStringLiteral(MW_XVFB_SCREENS))) {
            picture.save(QStringLiteral(MW_XVFB_SCREENS "/%1.png").arg(name));
        }
        return picture;
    }

    // From the client list, Tab to the menu and Down to "Add New Client" (or
    // `mainKeys`), the entry method chosen with `entryKeys`, and the client's
    // details keyed into "Client Information", then "Information OK".
    ::testing::AssertionResult AddNewClient(const std::string& entryKeys,
                                            const std::string& mainKeys = "Tab Down Return") {
        return Walk({{kMainWindow, mainKeys},
                     {"Entry Method", entryKeys},
                     {"Client Information", "", kClientFields}});
    }
    // The record of that client with `answers`, registered today.
    static mw::ClientRecord KeyedClient(const std::string& answers) {
        mw::ClientRecord client;
        client.Name = "Cy Dee";
        client.IDNumber = "N";
        client.Age = "N";
        client.Gender = client.Race = client.MaritalStatus = "1";
        client.Education = "12";
        client.DateOfBirth = "01/02/1980";
        client.TodayDate = mw::FormatDate(mw::SystemClock().Today());
        client.Answers = answers;
        client.timeseditted = "0";
        client.DeleteFlag = "0";
        return client;
    }

    // Stages the build's program folder into the test's program folder with
    // scripts/lib.sh, as scripts/run does, and adds `settings` to its MW.ini.
    bool Stage(const std::string& settings = {}) {
        programDir_.Write("MW.ini", programDir_.Read("MW.ini") + settings);
        const QStringList args =
            QStringList{"-c", "source \"$1\" && mw_stage \"$2\" \"$3\"", "stage",
                        MW_SOURCE_DIR "/scripts/lib.sh", MW_PROGRAM_DIR}
            << Str(programDir_.Path());
        return Output(QStringLiteral("bash"), args, QProcess::ForwardedErrorChannel).has_value();
    }

    // The demo clients as the data disk.
    void UseDemoDisk() {
        namespace fs = std::filesystem;
        fs::copy(MW_DEMO_DISK_DIR, disk_.Path(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }

    std::optional<bool> NumLock() const {
        const XDisplay x = Connect(display_);
        XkbStateRec state;
        if (!x || XkbGetState(x.get(), XkbUseCoreKbd, &state) != 0) return std::nullopt;
        return (state.locked_mods & XkbKeysymToModifiers(x.get(), XK_Num_Lock)) != 0;
    }
    void ExpectNumLock(bool on) const {
        EXPECT_TRUE(Eventually([&] { return NumLock() == on; }));
    }

    TempDir programDir_;
    TempDir disk_;
    QProcess xvfb_;
    QProcess windowManager_;
    QProcess first_;
    QByteArray display_;
    QString station_;
    QString main_;  // the main window's id
    std::set<QString> pictured_;
};

TEST_F(XvfbStationTest, StagingOverARunningStationWorksAndTheNextStartDefersToIt) {
    namespace fs = std::filesystem;
    // A whole program folder on a copy of the demo disk, as scripts/run stages it.
    ASSERT_TRUE(Stage());
    UseDemoDisk();
    StartMain();

    // Staging again while the station runs from that folder replaces its
    // files, the executable among them, and leaves no partial copies behind.
    ASSERT_TRUE(Stage());
    for (const fs::directory_entry& entry : fs::directory_iterator(programDir_.Path())) {
        EXPECT_EQ(entry.path().filename().string().find(".staging."), std::string::npos)
            << entry.path();
    }
    EXPECT_TRUE(Output(QStringLiteral("cmp"), {station_, QStringLiteral(MW_STATION_EXE)}))
        << "the staged executable is not the built one";

    // The staged station started again finds the running one and ends.
    QProcess second;
    StartStation(second);
    ExpectCleanEnd(second);
    EXPECT_EQ(FindWindows("Mirrorwise").size(), 1);
    EXPECT_EQ(first_.state(), QProcess::Running);
}

// The current client's report printed from Supervisor Options with the
// keyboard alone, through the real print path: to a PDF print queue when one
// can be set up here (its PDFs keep no text to read back, so their pages are
// counted), else the station finds no printer and offers a PDF instead,
// which is saved.
TEST_F(XvfbStationTest, TheSupervisorPrintsTheCurrentClientsReport) {
    if (!Installed({"pdfinfo"})) {
        GTEST_SKIP() << "pdfinfo (poppler-utils) is needed to read the PDFs";
    }
    // Through the page renderer: raw text would reach the PDF queue unreadable.
    ASSERT_TRUE(Stage("[Settings]\r\nPrintDOS=False\r\n"));
    UseDemoDisk();
    TempDir spool;
    std::optional<PdfPrintQueue> queue;
    if (PdfPrintQueue::Available()) {
        queue.emplace(spool.Path());
        ASSERT_TRUE(queue->Script("start")) << "the PDF print queue could not be set up";
        qputenv("CUPS_SERVER", (queue->dir + QStringLiteral("/cups.sock")).toLocal8Bit());
    } else {
        std::cout << "No PDF print queue (cups, cups-client, cups-pdf as root): the report "
                     "goes through the no-printer offer of a PDF.\n";
        qputenv("CUPS_SERVER", QByteArray::fromStdString(spool.File("no-server")));
    }
    StartMain();
    // From the tabs past the report choices, whose first is checked, to "Execute Selection".
    ASSERT_TRUE(Walk({{kMainWindow, "Tab Down Down Return"},
                      {"Supervisor Options", "Tab Tab Tab Tab Return"},
                      {"Enter Secret Code", kSecretCodeKeys},
                      {"Client Report", "alt+p"}}));
    const QString report = Str(mw::Cp1252ToUtf8(programDir_.Read("REPORT.PRN")));
    ASSERT_FALSE(report.isEmpty()) << "the report viewer wrote no REPORT.PRN";
    if (queue) {
        QString printed;
        ASSERT_TRUE(Eventually([&] { return !(printed = queue->Printed()).isEmpty(); }, 60000))
            << "nothing arrived from the print queue";
        EXPECT_EQ(PdfPageCount(printed), report.count(QLatin1Char('\f')) + 1);
        ASSERT_TRUE(Walk({{"Client Report", "alt+d"}}));
    } else {
        ASSERT_TRUE(Walk({{"Print Report", "alt+y"}})) << "no printer went unsaid";
    }
    const QString pdf = Str(spool.File("report.pdf"));
    ASSERT_TRUE(Walk({{"Save Report as PDF", "ctrl+a", pdf.toStdString() + "\n"}}));
    ASSERT_TRUE(Eventually([&] { return PdfPageCount(pdf) > 0; })) << "no PDF was saved";
    EXPECT_EQ(PdfPageCount(pdf), report.count(QLatin1Char('\f')) + 1);
}

// A print queue set up but not chosen as the default, which the print
// command alone would answer with "No default destination.": the supervisor
// picks it from the keyboard and the report prints there. Once the queue
// takes no more jobs, the raw text for the DOS port is refused, and the
// report is offered as a PDF file instead.
TEST_F(XvfbStationTest, WithoutADefaultQueueTheSupervisorPicksOneAndARefusalOffersAPdf) {
    if (!PdfPrintQueue::Available() || !Installed({"pdfinfo", "cupsreject"})) {
        GTEST_SKIP() << "a PDF print queue (cups, cups-client, cups-pdf as root) and pdfinfo "
                        "(poppler-utils) are needed";
    }
    ASSERT_TRUE(Stage("[Settings]\r\nPrintDOS=False\r\n"));
    UseDemoDisk();
    TempDir spool;
    PdfPrintQueue queue(spool.Path());
    ASSERT_TRUE(queue.Script("start", {QStringLiteral("--not-default")}));
    qputenv("CUPS_SERVER", (queue.dir + QStringLiteral("/cups.sock")).toLocal8Bit());
    StartMain();
    // From "Supervisor Options" to the current client's report, printed.
    const Step print[] = {{"Supervisor Options", "Tab Tab Tab Tab Return"},
                          {"Enter Secret Code", kSecretCodeKeys},
                          {"Client Report", "alt+p"},
                          {"Print Report", "Return"}};  // the only queue
    std::vector<Step> steps{{kMainWindow, "Tab Down Down Return"}};
    steps.insert(steps.end(), std::begin(print), std::end(print));
    ASSERT_TRUE(Walk(steps));
    EXPECT_TRUE(Eventually([&] { return !queue.Printed().isEmpty(); }, 60000))
        << "nothing arrived from the print queue";

    ASSERT_TRUE(Output(QStringLiteral("cupsreject"), {queue.Name()}));
    const QString pdf = Str(spool.File("refused.pdf"));
    // Back at the main window, its focus on "Supervisor Options".
    steps = {{"Client Report", "alt+c"}, {kMainWindow, "alt+o p"}, {kMainWindow, "Return"}};
    steps.insert(steps.end(), std::begin(print), std::end(print));
    steps.push_back({"Print Report", "alt+y", {}, true});  // save it as a PDF file instead
    steps.push_back({"Save Report as PDF", "ctrl+a", pdf.toStdString() + "\n"});
    ASSERT_TRUE(Walk(steps));
    EXPECT_TRUE(Eventually([&] { return PdfPageCount(pdf) > 0; })) << "no PDF was saved";
    EXPECT_NE(programDir_.Read("MW.ini").find("PrintDOS=True"), std::string::npos);
}

// Boxes on the screens and the dialogs they open, closed from the keyboard:
// afterwards the window that opened them has the keyboard again, with the
// focus where it was, so that the next key acts. Among them the flows that
// once left no window active: the secret code after an aborted test, a sheet
// file refused on import, "Data Verification complete.", the overwrite question
// of Print Selected and "Process complete" after Delete Names. One station
// works through them in turn; each ends at the main window, whose focus is
// back on the choice that started it, and the About window opens there and
// gives it back. First of all "Num Lock Always On", on by default, is
// cleared from the Options menu: it is stored, and the station keeps Num
// Lock off.
TEST_F(XvfbStationTest, AfterEveryBoxAndDialogTheKeyboardIsBack) {
    // Question tables, scan table and report texts.
    ASSERT_TRUE(Stage("[Settings]\r\nPrintDOS=False\r\n"));
    TempDir files;
    qputenv("CUPS_SERVER", QByteArray::fromStdString(files.File("no-server")));  // no printer
    files.Write("sheets.csv", "not,a,sheet\r\n");
    // The PDF files of a batch are named by the data disk's folder and the client.
    const auto pdf = [this](int client) {
        return std::filesystem::path(disk_.Path()).filename().string() + " - Client " +
               std::to_string(client) + " report.pdf";
    };
    const auto olderReports = [&] {
        return std::ranges::count_if(std::array{1, 2, 3}, [&](int client) {
            return files.Read(pdf(client)) == "an older report";
        });
    };
    for (int client : {1, 2, 3}) files.Write(pdf(client), "an older report");
    const std::string ones(mw::kItemCount, '1');  // differs from every stored answer, all "0"
    const struct {
        const char* flow;
        std::vector<Step> steps;
    } flows[] = {
        {"Num Lock Always On cleared", {{kMainWindow, "alt+o n"}}},
        {"the drive list's help, then no other drive",
         {{kMainWindow, "alt+o d"},
          {"Select Drive", "Tab space"},  // "Help"
          {kProductBox, "Return"},
          {"Select Drive", "Escape"}}},  // backing out asks nothing
        {"a refused name, then Cancel on the answer grid",
         {{kMainWindow, "Tab Down Return"},  // "Add New Client"
          {"Entry Method", "Down Return"},
          {"Client Information", "Return"},
          {kProductBox, "Return"},
          {"Client Information", "", kClientFields},
          {"Client Responses", "", std::string(mw::kItemCount, '0')},  // every item unanswered
          {"Client Responses", "Tab Down Return"}}},                   // "Cancel"
        {"a wrong secret code, then the right one after an aborted test",
         {{kMainWindow, "Return"},
          {"Entry Method", "Return"},
          {"Client Information", "", kClientFields},
          {"Select Presentation Language", "Return"},
          {kProductBox, "Return"},
          {"Question Presentation", "alt+shift+F10"},
          {"Enter Secret Code", "x Return Return"},
          {"Incorrect Secret Code", "Return"},
          {"Enter Secret Code", kSecretCodeKeys}}},
        {"a refused batch size, then a file that holds no answer sheet",
         {{kMainWindow, "Return"},
          {"Entry Method", "Down Down Return"},
          {"Batch Scan Settings", "0 Return"},
          {kProductBox, "Return"},
          {"Batch Scan Settings", "1 alt+o"},
          {"Import Scanned Answer Sheets", "ctrl+a", files.File("sheets.csv") + "\n"},
          {"Answer Sheet File", "Return"}}},  // "Cancel Import": no layout fits
        {"corrections, then \"Data Verification complete.\"",
         {{kMainWindow, "Down Return"},  // "Supervisor Options"
          {"Supervisor Options", "Right Tab Return"},
          {"Enter Secret Code", kSecretCodeKeys},
          {"Test Data Input Verification", "", ones},
          {"Data Corrections", "Return"},
          {"Test Data Input Verification", "", ones},
          {"Data Verification", "Return"}}},
        {"Print Selected saving over an older PDF",
         {{kMainWindow, "Return"},
          {"Supervisor Options", "Tab Down Tab Tab Tab Return"},
          {"Enter Secret Code", kSecretCodeKeys},
          {"Print Selected Reports", "space Tab Return"},
          {"Print Report", "alt+y"},  // no printer: PDF files instead
          {"Save Reports as PDF Files", "ctrl+a", files.Path() + "\n"},
          {"Print Report", "alt+y", {}, true},  // replace the older file
          {"Print Report", "Return", {}, true}}},
        {"Delete Names and \"Process complete\"",
         {{kMainWindow, "Return"},
          {"Supervisor Options", "Right Right Tab Return"},
          {"Enter Secret Code", kSecretCodeKeys},
          {"WARNING!", "alt+y"},
          {kProductBox, "Return"}}},
    };
    StartMain();
    ExpectNumLock(true);
    for (const auto& [flow, steps] : flows) {
        SCOPED_TRACE(flow);
        ASSERT_TRUE(Walk(steps));
        ExpectKeyboardAtMain();
        if (HasFailure()) return;
    }
    EXPECT_NE(programDir_.Read("MW.ini").find("NumLock=False"), std::string::npos);
    ExpectNumLock(false);
    EXPECT_EQ(olderReports(), 2);  // the selected client's was replaced
    EXPECT_NE(disk_.Read("DATA401.MW").find(ones), std::string::npos);
    ExitStation();
}

// Random keys on the real station under the window manager: after every few
// keys a window of the station holds the keyboard (or it ended, by Alt+X,
// and starts again). What the keys store is checked offscreen, screen by
// screen.
TEST_F(XvfbStationTest, RandomKeysLeaveTheKeyboardWithTheStation) {
    ASSERT_TRUE(Stage());
    TempDir files;
    qputenv("CUPS_SERVER", QByteArray::fromStdString(files.File("no-server")));  // no printer
    const int seed = qEnvironmentVariableIntValue("MW_RANDOM_SEED");
    std::mt19937 random(static_cast<unsigned>(seed));
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto key = [&]() -> std::string {
        const int kind = pick(100);
        const std::string letter(1, static_cast<char>('a' + pick(26)));
        const std::string digit(1, static_cast<char>('0' + pick(10)));
        if (kind < 15) return std::array{"Left", "Right", "Up", "Down"}[pick(4)];
        if (kind < 23) return "Tab";
        if (kind < 35) return "Return";
        if (kind < 41) return "space";
        if (kind < 44) return "Escape";
        if (kind < 50) return "F" + std::to_string(1 + pick(12));
        if (kind < 70) return letter;
        if (kind < 92) return digit;
        return "alt+" + (pick(2) ? letter : digit);
    };
    StartMain();
    std::vector<std::string> pressed;
    for (int batch = 0; batch < 40 && !HasFailure(); ++batch) {
        std::string keys;
        for (int n = 0; n < 8; ++n) pressed.push_back(key()), keys += " " + pressed.back();
        Keys(keys.substr(1));
        SCOPED_TRACE("seed " + std::to_string(seed) + ", keys:" + keys);
        const QString pid = QString::number(first_.processId());
        const auto ended = [&] { return first_.state() == QProcess::NotRunning; };
        const auto holds = [&] { return Xdotool({"getactivewindow", "getwindowpid"}) == pid; };
        const bool held = Eventually([&] { return ended() || holds(); }, 10000) && !ended();
        // A station told to end (Alt+X, "Exit Application") gives up the
        // keyboard while it exits, which takes a while under the sanitizers.
        if (!held && (ended() || first_.waitForFinished(30000))) {
            EXPECT_EQ(first_.exitStatus(), QProcess::NormalExit) << "the station crashed";
            EXPECT_EQ(first_.exitCode(), 0);
            StartMain();
            continue;
        }
        EXPECT_TRUE(held) << "no window of the station holds the keyboard";
    }
}

// Two new clients registered and keyed from the keyboard alone, through the
// real windows: one from an answer sheet, the other taking the whole test on
// the screen (the client's details, the language, every item, and then the
// secret code gives the station back). Each lands byte for byte in the record
// file, the station ends cleanly, and the command-line tool writes a report
// to REPORT.PRN.
TEST_F(XvfbStationTest, NewClientsKeyedFromTheKeyboardAloneAreStoredAndReported) {
    ASSERT_TRUE(Stage());  // the question tables and data files beside the station
    const std::string before = disk_.Read("DATA401.MW");
    StartMain();
    ASSERT_TRUE(AddNewClient("Down Return"));  // "Enter Test Data from Answer Sheet"
    // "1" is an answer in every grid; each key moves on to the next item,
    // and Tab past the last grid to "Save".
    ASSERT_TRUE(Walk({{"Client Responses", ""}}));
    Xdotool({"type", "--delay", "5", QString(mw::kItemCount, QLatin1Char('1'))});
    Keys("Tab Return");
    ASSERT_TRUE(WindowGone("Client Responses"));
    ASSERT_TRUE(Eventually([&] { return disk_.Read("DATA401.MW").size() > before.size(); }));
    const std::string keyed = before + KeyedClient(std::string(mw::kItemCount, '1')).ToBytes();
    EXPECT_EQ(disk_.Read("DATA401.MW"), keyed);

    // "Add New Client" has the focus again: "Administer Test to Client".
    ASSERT_TRUE(AddNewClient("Return", "Return"));
    // English, the first language, "Press the Enter key to begin the test.",
    // and the general and the first section's instructions.
    ASSERT_TRUE(Walk({{"Select Presentation Language", "Return"},
                      {kProductBox, "Return"},
                      {"Question Presentation", "Return Return"}}));
    std::string answers;
    for (int section = 1; section <= mw::kSectionCount; ++section) {
        // Every answer of the section, highlighted with Down and chosen with
        // Enter: the first or the second, which every item has.
        std::string keys;
        for (int item = mw::SectionBounds[section - 1] + 1; item <= mw::SectionBounds[section];
             ++item) {
            answers += static_cast<char>('0' + item % 2 + 1);
            keys += item % 2 ? " Down Down Return" : " Down Return";
        }
        Keys(keys.substr(1));
        ASSERT_TRUE(Walk({{"Presentation Note", "Return"}}))
            << "section " << section << " ended without its note";
        ASSERT_TRUE(WindowGone("Presentation Note"));
        // The next section's instructions.
        if (section == mw::kSectionCount) break;
        ASSERT_TRUE(Walk({{"Question Presentation", "Return"}}));
    }
    ASSERT_TRUE(Walk({{"Enter Secret Code", kSecretCodeKeys}}))
        << "the finished test left the station unlocked";
    // Answers keyed this fast are rapid guesses: the supervisor is told.
    ASSERT_TRUE(Walk({{"How the test was taken", "Return"}}));
    ASSERT_TRUE(WindowGone("How the test was taken"));
    EXPECT_EQ(disk_.Read("DATA401.MW"), keyed + KeyedClient(answers).ToBytes());
    // Back at the main window, which the client could not reach before.
    ExitStation();

    const QStringList args = QStringList{"report", "--client", "4", "--program-dir"}
                             << Str(programDir_.Path()) << "--disk" << Str(disk_.Path());
    EXPECT_TRUE(
        Output(Str(programDir_.File("mirrorwise-cli")), args, QProcess::ForwardedErrorChannel));
    EXPECT_NE(programDir_.Read("REPORT.PRN").find("NAME: Cy Dee\r\n"), std::string::npos);
}

// A test the station stopped in the middle of is resumed at the next start,
// over a screen of its own, before the main window was ever shown. Once the
// staff end it, the main window comes up wholly on the screen, its title bar
// included, in the usual type and in large type.
TEST_F(XvfbStationTest, AfterAResumedTestTheMainWindowIsWhollyOnTheScreen) {
    ASSERT_TRUE(Stage());
    const std::string staged = programDir_.Read("MW.ini");
    for (const char* type : {"False", "True"}) {
        SCOPED_TRACE(::testing::Message() << "large type " << type);
        programDir_.Write("MW.ini", staged + "[Settings]\r\nLargeType=" + type + "\r\n");
        StartMain();
        ASSERT_TRUE(AddNewClient("Return", "Tab Down Return"));
        ASSERT_TRUE(Walk({{"Select Presentation Language", "Return"},
                          {kProductBox, "Return"},
                          {"Question Presentation", "Return Return Down Return Down Return"}}));
        // Killed once the second answer is being kept: the first is kept for
        // good, whatever the kill takes back of the second.
        ASSERT_TRUE(Eventually(
            [&] { return programDir_.Read("MWTEST.JNL").find("Item=3") != std::string::npos; }));
        first_.kill();
        ASSERT_TRUE(first_.waitForFinished());
        // The next start once the window manager has let go of the killed
        // station's windows, whose ids the new station's windows may get.
        ASSERT_TRUE(WindowGone("Question Presentation"));
        main_.clear();
        StartStation(first_);
        // The note of the unfinished test, the code, "Resume the test at item
        // 2 (or 3)?": Yes, the box before the test; then the staff's abort and the code.
        ASSERT_TRUE(Walk({{kProductBox, "Return"},
                          {"Enter Secret Code", kSecretCodeKeys},
                          {kProductBox, "Return"},
                          {kProductBox, "Return", {}, true},
                          {"Question Presentation", "alt+shift+F10"},
                          {"Enter Secret Code", kSecretCodeKeys}}));
        ASSERT_TRUE(WindowGone("Question Presentation"));
        ASSERT_TRUE(Eventually([&] {
            const QStringList shown = FindWindows(kMainWindow);
            main_ = shown.value(0);
            return shown.size() == 1 && Xdotool({QStringLiteral("getactivewindow")}) == main_;
        })) << "the main window never came back";
        CheckOnScreen(main_, QStringLiteral("Main window after a resumed test"));
        ExitStation();
        if (HasFailure()) return;
    }
}

// Large type must fit the common screen of 1024x768.
class XvfbLargeScreenTest : public XvfbStationTest {
protected:
    XvfbLargeScreenTest() { screen_ = QStringLiteral("1024x768x24"); }
};

// A screen reader walking the station's windows on the AT-SPI bus finds a
// name and a role for every control that takes the focus: the main window,
// Supervisor Options, Client Information, the grid of answers, the box
// before the test and the on-screen test, in large type and high contrast,
// each window wholly on the screen (its pictures are kept).
TEST_F(XvfbLargeScreenTest, AScreenReaderFindsANameAndARoleForEveryControl) {
    AccessibilityBus bus;
    if (!bus.missing.empty()) GTEST_SKIP() << bus.missing;
    ASSERT_TRUE(Stage("[Settings]\r\nLargeType=True\r\nHighContrast=True\r\n"));
    StartMain();
    // What the walk found amiss; it waits for the station to join the bus.
    const auto faults = [&] {
        std::optional<QByteArray> found;
        Eventually(
            [&] {
                found = Output(Str(AccessibilityBus::kPython),
                               {QStringLiteral(MW_SOURCE_DIR "/tests/support/atspi-walk.py"),
                                QString::number(first_.processId())});
                return found.has_value();
            },
            10000);
        return found.value_or("the station never joined the bus").toStdString();
    };
    EXPECT_EQ(faults(), "") << "main";
    ASSERT_TRUE(Walk({{kMainWindow, "Tab Down Down Return"}, {"Supervisor Options", ""}}));
    EXPECT_EQ(faults(), "") << "supervisor";
    // "Go to Main Menu", then a test given on the screen.
    ASSERT_TRUE(Walk({{"Supervisor Options", "Tab Tab Tab Tab Down Return"},
                      {kMainWindow, "Up Return"},
                      {"Entry Method", "Return"},
                      {"Client Information", ""}}));
    EXPECT_EQ(faults(), "") << "client information";
    ASSERT_TRUE(Walk({{"Client Information", "", kClientFields},
                      {"Select Presentation Language", "Return"},
                      {kProductBox, ""}}));
    EXPECT_EQ(faults(), "") << "begin box";
    ASSERT_TRUE(Walk({{kProductBox, "Return"}, {"Question Presentation", "Return"}}));
    EXPECT_EQ(faults(), "") << "test";
    // The staff's abort, the code, and answers keyed from a sheet.
    ASSERT_TRUE(Walk({{"Question Presentation", "alt+shift+F10"},
                      {"Enter Secret Code", kSecretCodeKeys},
                      {kMainWindow, "Return"},
                      {"Entry Method", "Down Return"},
                      {"Client Information", "", kClientFields},
                      {"Client Responses", ""}}));
    EXPECT_EQ(faults(), "") << "grid";
}

// The test window covers the screen and its instructions are scaled to it
// each time it comes up, however the window manager's placing of the full
// screen and the station's first layout fall: the instructions' box, framed
// in the focus colour in high contrast, spans most of the screen's width.
TEST_F(XvfbStationTest, TheTestWindowIsScaledToTheScreenAtEveryShowing) {
    ASSERT_TRUE(Stage("[Settings]\r\nHighContrast=True\r\n"));
    StartMain();
    constexpr int kShowings = 20;
    for (int showing = 1; showing <= kShowings; ++showing) {
        SCOPED_TRACE(::testing::Message() << "showing " << showing);
        // "Add New Client", which keeps the focus after each test.
        ASSERT_TRUE(AddNewClient("Return", showing == 1 ? "Tab Down Return" : "Return"));
        ASSERT_TRUE(Walk({{"Select Presentation Language", "Return"},
                          {kProductBox, "Return"},
                          {"Question Presentation", ""}}));
        // The window manager may show the window a moment before it covers the
        // screen; what counts is that it ends up scaled, not left small.
        QImage shown;
        Paint instructions;
        const bool scaled = Eventually([&] {
            shown = Screen();
            instructions = PaintOf(shown, mw::kFocusColor);
            return !shown.isNull() && instructions.bounds.width() > shown.width() * 8 / 10;
        });
        EXPECT_TRUE(scaled) << "the test stays unscaled: "
                            << QDebug::toString(instructions.bounds).toStdString();
        if (HasFailure()) SavePicture(QStringLiteral("Unscaled test"));
        ASSERT_TRUE(Walk({{"Question Presentation", "alt+shift+F10"},
                          {"Enter Secret Code", kSecretCodeKeys},
                          {kMainWindow, ""}}));
        if (HasFailure()) return;
    }
    ExitStation();
}

// A Spanish client on the smallest screen, whose first question's sound file
// the station's own player cannot play (24-bit samples), on a private sound
// server. The client is told once, and neither the box's closing nor going
// back to the item brings it back: the keys go on to act. The next item and
// its answers read whole on the screen (kept as a picture).
TEST_F(XvfbStationTest, ASpanishClientReadsWholeItemsAndIsToldOnceOfAnUnplayableSound) {
    mwtest::SoundServer server;
    if (!server.missingTool.empty()) {
        GTEST_SKIP() << server.missingTool << " is needed for a sound server to play on";
    }
    ASSERT_TRUE(server.started) << "the sound server did not start";
    ASSERT_TRUE(Stage("SndPath=" + programDir_.Path() + "\r\n"));  // English and Spanish tables
    std::filesystem::create_directories(programDir_.File("MWTEST/sound/Spanish"));
    programDir_.Write("MWTEST/sound/Spanish/Q001.wav",
                      mwtest::WaveFile(mwtest::FormatChunk(1, 1, 8000, 24) +
                                       mwtest::Chunk("data", std::string(3000, '\x40'))));
    StartMain();
    const char* const presentation = "Presentación de preguntas";
    ASSERT_TRUE(AddNewClient("Return"));  // "Administer Test to Client"
    ASSERT_TRUE(
        Walk({{"Select Presentation Language", "Down Return"},  // Spanish, the second table
              {kProductBox, "Return"},
              {presentation, "Return Return"},  // the general and the first section's instructions
              {"Sonido", "Return"},
              // "Falso", then back to item 1 with F10 for "Verdadero"
              {presentation, "Down Down Return F10 Down Return"}}));
    // Every key reached the test: the answers kept so far are item 1's second.
    const std::string kept = "Item=2\nAnswers=1" + std::string(mw::kItemCount - 1, '0') + "\n";
    ASSERT_TRUE(Eventually([&] {
        return programDir_.Read("MWTEST.JNL").find(kept) != std::string::npos;
    })) << "the client is stuck at item 1";
    // Item 2 once the screen has settled: its text in the light blue box of
    // the question that has the keyboard, each answer framed in blue, all of
    // them inside the screen.
    QImage shown;
    ASSERT_TRUE(Eventually([&] {
        const QImage before = shown;
        shown = Screen();
        return shown == before;
    }));
    SavePicture(QStringLiteral("Spanish item"));
    const QRect inside = shown.rect().adjusted(1, 1, -1, -1);
    const Paint question = PaintOf(shown, mw::kFocusColor);
    const Paint answers = PaintOf(shown, mw::kMenuColor);
    EXPECT_EQ(question.boxes, 1);
    EXPECT_EQ(answers.boxes, 2);  // "Verdadero" and "Falso"
    EXPECT_TRUE(inside.contains(question.bounds) && inside.contains(answers.bounds))
        << "the item runs off the screen";

    // The staff's abort, the code and the list of the sounds not heard.
    ASSERT_TRUE(Walk({{presentation, "alt+shift+F10"},
                      {"Enter Secret Code", kSecretCodeKeys},
                      {kProductBox, "Return"}}));
    ExitStation();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
