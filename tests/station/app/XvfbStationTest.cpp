// The real station on a real X server: started on a temporary program folder
// and data disk under Xvfb and worked with keys sent by xdotool. Skipped when
// Xvfb or xdotool is not installed. Also stages a program folder the way
// scripts/run does, over a station that is running from it.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <filesystem>
#include <functional>
#include <iostream>
#include <limits>
#include <optional>

#include "core/data/Clock.h"
#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "core/report/PageLayout.h"
#include "station/supervisor/PASSWORD.h"
#include "support/StationFixture.h"

#ifdef MW_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

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

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

// Text pages, a page break at each form feed, compared as printed text is
// read back: lines without their trailing blanks, a page without the blank
// lines around its text nor the indentation common to its lines (the paper's
// margin on the one side, the report's on the other), and a run of blank
// lines as one (read back, a run may come out a line shorter).
using Pages = std::vector<QStringList>;
Pages ToPages(const QString& text) {
    Pages pages;
    for (const QString& page : text.split(QLatin1Char('\f'))) {
        QStringList lines;
        qsizetype indent = std::numeric_limits<qsizetype>::max();
        for (QString line : QString(page).remove(QLatin1Char('\r')).split(QLatin1Char('\n'))) {
            while (line.endsWith(QLatin1Char(' '))) line.chop(1);
            if (!line.isEmpty()) indent = std::min(indent, line.size() - line.trimmed().size());
            if (!line.isEmpty() || (!lines.isEmpty() && !lines.last().isEmpty())) lines << line;
        }
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        for (QString& line : lines) line.remove(0, indent);
        pages.push_back(lines);
    }
    return pages;
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
    bool Script(const char* command) const {
        return Output(QStringLiteral(MW_SOURCE_DIR "/tests/support/pdf-print-queue.sh"),
                      {Str(command), dir})
            .has_value();
    }
    const QString dir;
};

// A window to wait for and give the keyboard, and the keys to press there
// (xdotool's names, separated by blanks: "Tab Down Return").
struct Step {
    const char* window;
    std::string keys;
};
// At "Enter Secret Code": the code, Enter to "OK", and OK.
const std::string kSecretCodeKeys = std::string(1, mw::kSecretCode) + " Return Return";

class XvfbStationTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Installed({"Xvfb", "xdotool"})) {
            GTEST_SKIP() << "Xvfb and xdotool are needed to drive the station on a real X server";
        }
        // Xvfb picks a free display itself and names it on its standard output.
        // Without -noreset the server resets whenever its last client leaves:
        // each xdotool call that ends before the station has connected would
        // reset it and could drop the station's connection half made.
        xvfb_.start(QStringLiteral("Xvfb"), QStringList{"-displayfd", "1", "-noreset", "-nolisten",
                                                        "tcp", "-screen", "0", "1024x768x24"});
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

        // The program folder is wherever the executable lies.
        station_ = Str(programDir_.File("mirrorwise"));
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

    void StartStation(QProcess& process) {
        // What the station says on standard error, sanitizer reports among
        // it, shows in the test's output.
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setProgram(station_);
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }

    static void ExpectCleanEnd(QProcess& process) {
        ASSERT_TRUE(process.waitForFinished(30000)) << "the station kept running";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }

    // "E&xit!" from the main window ends the station.
    void ExitStation() {
        ASSERT_EQ(Walk({{"Mirrorwise", "alt+x"}}), "");
        ExpectCleanEnd(first_);
    }

    // xdotool's output; empty when it failed.
    QString Xdotool(const QStringList& args) {
        return QString::fromLocal8Bit(Output(QStringLiteral("xdotool"), args).value_or(""))
            .trimmed();
    }
    void Keys(const std::string& keys) {
        if (keys.empty()) return;
        Xdotool(QStringList{"key", "--delay", "5"} + Str(keys).split(QLatin1Char(' ')));
    }
    void Type(const QString& text) { Xdotool({"type", text}); }

    // The visible windows whose title is exactly `title`.
    QStringList FindWindows(const char* title) {
        return Xdotool(
                   {"search", "--onlyvisible", "--name", QStringLiteral("^%1$").arg(Str(title))})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // The first of them, once there is one; empty when none came.
    QString WaitForWindow(const char* title) {
        QString id;
        Eventually([&] { return !(id = FindWindows(title).value(0)).isEmpty(); });
        return id;
    }
    bool WindowGone(const char* title) {
        return Eventually([&] { return FindWindows(title).isEmpty(); });
    }
    // Without a window manager nothing gives a window the keyboard: the test does.
    bool Focus(const QString& window) {
        return !window.isEmpty() && Eventually([&] {
            Xdotool({"windowfocus", window});
            return Xdotool(QStringList{"getwindowfocus"}) == window;
        });
    }

    // Works through the steps in turn; the window of the first step whose
    // window never came, empty when all did.
    std::string Walk(std::initializer_list<Step> steps) {
        for (const Step& step : steps) {
            if (!Focus(WaitForWindow(step.window))) return step.window;
            Keys(step.keys);
        }
        return {};
    }

    // From the client list, Tab to the menu and Down to "Add New Client", the
    // entry method chosen with `entryKeys`, and the client's details keyed
    // into "Client Information", then "Information OK".
    std::string AddNewClient(const std::string& entryKeys) {
        const std::string missing = Walk({{"Mirrorwise", "Tab Down Return"},
                                          {"Entry Method", entryKeys},
                                          {"Client Information", ""}});
        if (!missing.empty()) return missing;
        for (const char* field : {"Cy Dee", "N", "N", "1", "1", "12", "1", "01/02/1980"}) {
            Type(Str(field));
            Keys("Return");
        }
        Keys("Return");
        return {};
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
    // scripts/lib.sh, as scripts/run does.
    bool Stage() {
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
#ifdef MW_HAVE_X11
        Display* x = XOpenDisplay(display_.constData());
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
    void ExpectNumLock(bool on) const {
        EXPECT_TRUE(!NumLock().has_value() || Eventually([&] { return NumLock() == on; }));
    }

    TempDir programDir_;
    TempDir disk_;
    QProcess xvfb_;
    QProcess first_;
    QByteArray display_;
    QString station_;
};

TEST_F(XvfbStationTest, TheStationRunsOnARealXServer) {
    StartStation(first_);
    ASSERT_FALSE(WaitForWindow("Mirrorwise").isEmpty()) << "the main window never appeared";
    // "Num Lock Always On" is on by default: the station switches Num Lock on.
    ExpectNumLock(true);

    // The About window from the menu bar, closed with Enter on its OK.
    ASSERT_EQ(Walk({{"Mirrorwise", "alt+a"}, {"About Mirrorwise", "Return"}}), "");
    EXPECT_TRUE(WindowGone("About Mirrorwise"));

    // Clearing the option from the Options menu: it is stored, and the
    // station now keeps Num Lock off.
    ASSERT_EQ(Walk({{"Mirrorwise", "alt+o"}}), "");
    Keys("n");
    EXPECT_TRUE(Eventually(
        [&] { return programDir_.Read("MW.ini").find("NumLock=False") != std::string::npos; }));
    ExpectNumLock(false);
    ExitStation();
}

TEST_F(XvfbStationTest, StagingOverARunningStationWorksAndTheNextStartDefersToIt) {
    namespace fs = std::filesystem;
    // A whole program folder on a copy of the demo disk, as scripts/run stages it.
    ASSERT_TRUE(Stage());
    UseDemoDisk();
    StartStation(first_);
    ASSERT_FALSE(WaitForWindow("Mirrorwise").isEmpty()) << "the main window never appeared";

    // Staging again while the station runs from that folder replaces its
    // files, the executable among them, and leaves no partial copies behind.
    ASSERT_TRUE(Stage());
    for (const fs::directory_entry& entry : fs::directory_iterator(programDir_.Path())) {
        EXPECT_EQ(entry.path().filename().string().find(".staging."), std::string::npos)
            << entry.path();
    }
    EXPECT_TRUE(Bytes(station_) == Bytes(QStringLiteral(MW_STATION_EXE)))
        << "the staged executable is not the built one";

    // The staged station started again finds the running one and ends.
    QProcess second;
    StartStation(second);
    ExpectCleanEnd(second);
    EXPECT_EQ(FindWindows("Mirrorwise").size(), 1);
    EXPECT_EQ(first_.state(), QProcess::Running);
}

// A new client registered and keyed from the keyboard alone, through the
// real windows: it lands byte for byte in the record file, and the
// command-line tool writes its report to REPORT.PRN.
TEST_F(XvfbStationTest, ANewClientKeyedFromTheKeyboardAloneIsStoredAndReported) {
    ASSERT_TRUE(Stage());  // the question database and data files beside the station
    const std::string before = disk_.Read("DATA401.MW");
    StartStation(first_);
    ASSERT_EQ(AddNewClient("Down Return"), "");  // "Enter Test Data from Answer Sheet"
    // "1" is an answer in every grid; each key moves on to the next item,
    // and Tab past the last grid to "Save".
    ASSERT_EQ(Walk({{"Client Responses", ""}}), "");
    Xdotool({"type", "--delay", "5", QString(mw::kItemCount, QLatin1Char('1'))});
    Keys("Tab Return");
    ASSERT_TRUE(WindowGone("Client Responses"));
    ASSERT_TRUE(Eventually([&] { return disk_.Read("DATA401.MW").size() > before.size(); }));
    EXPECT_EQ(disk_.Read("DATA401.MW"),
              before + KeyedClient(std::string(mw::kItemCount, '1')).ToBytes());

    const QStringList args = QStringList{"report", "--client", "4", "--program-dir"}
                             << Str(programDir_.Path()) << "--disk" << Str(disk_.Path());
    EXPECT_TRUE(
        Output(Str(programDir_.File("mirrorwise-cli")), args, QProcess::ForwardedErrorChannel));
    EXPECT_NE(programDir_.Read("REPORT.PRN").find("NAME: Cy Dee\r\n"), std::string::npos);
}

// The current client's report printed from Supervisor Options with the
// keyboard alone, through the real print path: to a PDF print queue when one
// can be set up here (its PDFs keep no text to read back, so their pages are
// counted), else the station finds no printer and offers a PDF instead. The
// report saved as a PDF holds the report's lines, page by page.
TEST_F(XvfbStationTest, TheSupervisorPrintsTheCurrentClientsReport) {
    if (!Installed({"pdfinfo", "pdftotext"})) {
        GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are needed to read the PDFs";
    }
    ASSERT_TRUE(Stage());
    UseDemoDisk();
    // Through the page renderer: raw text would reach the PDF queue unreadable.
    programDir_.Write("MW.ini", programDir_.Read("MW.ini") + "[Settings]\r\nPrintDOS=False\r\n");
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
    StartStation(first_);
    // From the tabs past the report choices, whose first is checked, to "Execute Selection".
    ASSERT_EQ(Walk({{"Mirrorwise", "Tab Down Down Return"},
                    {"Supervisor Options", "Tab Tab Tab Return"},
                    {"Enter Secret Code", kSecretCodeKeys},
                    {"Client Report", "alt+p"}}),
              "");
    const QString report = Str(mw::Cp1252ToUtf8(programDir_.Read("REPORT.PRN")));
    ASSERT_FALSE(report.isEmpty()) << "the report viewer wrote no REPORT.PRN";
    if (queue) {
        const QDir out(queue->dir + QStringLiteral("/out"));
        QString printed;
        ASSERT_TRUE(Eventually(
            [&] {
                const QStringList pdfs = out.entryList({QStringLiteral("*.pdf")});
                printed = pdfs.isEmpty() ? QString() : out.filePath(pdfs[0]);
                return !printed.isEmpty() && PdfPageCount(printed) > 0;
            },
            60000))
            << "nothing arrived from the print queue";
        EXPECT_EQ(PdfPageCount(printed), report.count(QLatin1Char('\f')) + 1);
        ASSERT_EQ(Walk({{"Client Report", "alt+d"}}), "");
    } else {
        ASSERT_EQ(Walk({{"Print Report", "alt+y"}}), "") << "no printer went unsaid";
    }
    const QString pdf = Str(spool.File("report.pdf"));
    ASSERT_EQ(Walk({{"Save Report as PDF", "ctrl+a"}}), "");
    Type(pdf);
    Keys("Return");
    ASSERT_TRUE(Eventually([&] { return PdfPageCount(pdf) > 0; })) << "no PDF was saved";
    // At the report's pitch the columns come back as they were: a fixed-pitch
    // character is 0.6 of the font's size wide.
    const std::optional<QByteArray> text =
        Output(QStringLiteral("pdftotext"),
               {QStringLiteral("-fixed"), QString::number(0.6 * mw::kReportFontPoints), pdf,
                QStringLiteral("-")});
    ASSERT_TRUE(text.has_value());
    Pages saved = ToPages(QString::fromUtf8(*text));
    if (!saved.empty() && saved.back().isEmpty()) saved.pop_back();  // after the last page's break
    const Pages expected = ToPages(report);
    ASSERT_EQ(saved.size(), expected.size());
    for (std::size_t page = 0; page < saved.size(); ++page) {
        EXPECT_EQ(saved[page].join(QLatin1Char('\n')).toStdString(),
                  expected[page].join(QLatin1Char('\n')).toStdString())
            << "page " << page + 1;
    }
}

// A client takes the whole test on the screen from the keyboard alone: Add
// New Client, the client's details, the language, every item, and then the
// secret code gives the station back. What was keyed lands byte for byte in
// the record file, and the station ends cleanly.
TEST_F(XvfbStationTest, ATestTakenOnTheScreenFromTheKeyboardAloneIsStored) {
    ASSERT_TRUE(Stage());  // the question tables beside the station
    const std::string before = disk_.Read("DATA401.MW");
    StartStation(first_);
    const QString main = WaitForWindow("Mirrorwise");
    ASSERT_EQ(AddNewClient("Return"), "");  // "Administer Test to Client"
    ASSERT_EQ(Walk({{"Select Presentation Language", "Return"}}), "");  // English, the first
    // "Press the Enter key to begin the test.", titled as the main window is.
    QString begin;
    ASSERT_TRUE(Eventually([&] {
        for (const QString& window : FindWindows("Mirrorwise")) {
            if (window != main) begin = window;
        }
        return !begin.isEmpty();
    }));
    ASSERT_TRUE(Focus(begin));
    Keys("Return");

    // The general and the first section's instructions.
    ASSERT_EQ(Walk({{"Question Presentation", "Return Return"}}), "");
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
        ASSERT_EQ(Walk({{"Presentation Note", "Return"}}), "")
            << "section " << section << " ended without its note";
        ASSERT_TRUE(WindowGone("Presentation Note"));
        // The next section's instructions.
        if (section == mw::kSectionCount) break;
        ASSERT_EQ(Walk({{"Question Presentation", "Return"}}), "");
    }
    ASSERT_EQ(Walk({{"Enter Secret Code", kSecretCodeKeys}}), "")
        << "the finished test left the station unlocked";
    ASSERT_TRUE(WindowGone("Enter Secret Code"));
    EXPECT_EQ(disk_.Read("DATA401.MW"), before + KeyedClient(answers).ToBytes());
    // Back at the main window, which the client could not reach before.
    ExitStation();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
