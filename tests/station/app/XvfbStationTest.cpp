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
#include <string>
#include <vector>

#include "core/data/Clock.h"
#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "core/report/PageLayout.h"
#include "station/supervisor/PASSWORD.h"
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

bool Installed(const QStringList& programs) {
    for (const QString& program : programs) {
        if (QStandardPaths::findExecutable(program).isEmpty()) return false;
    }
    return true;
}

// What the program wrote on its standard output; nothing when it failed.
std::optional<QByteArray> Output(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

// The number of pages of a whole PDF file; 0 while it is not (yet) one.
int PdfPageCount(const QString& path) {
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
// in OutDir() (tests/support/pdf-print-queue.sh); stopped when it goes.
class PdfPrintQueue {
public:
    // The print server, its PDF backend and the tools to set them up, and
    // root, which the backend requires.
    static bool Available() {
        return Installed({QStringLiteral("cupsd"), QStringLiteral("lpadmin")}) &&
               QFile::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")) && geteuid() == 0;
    }
    explicit PdfPrintQueue(const std::string& dir) : dir_(QString::fromStdString(dir)) {}
    ~PdfPrintQueue() { Script(QStringLiteral("stop")); }
    PdfPrintQueue(const PdfPrintQueue&) = delete;
    PdfPrintQueue& operator=(const PdfPrintQueue&) = delete;

    bool Start() { return Script(QStringLiteral("start")); }
    // For CUPS_SERVER.
    QString Server() const { return dir_ + QStringLiteral("/cups.sock"); }
    QString OutDir() const { return dir_ + QStringLiteral("/out"); }

private:
    bool Script(const QString& command) const {
        return Output(QStringLiteral(MW_SOURCE_DIR "/tests/support/pdf-print-queue.sh"),
                      {command, dir_})
            .has_value();
    }
    QString dir_;
};

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
        if (!cupsServer_.isEmpty()) env.insert(QStringLiteral("CUPS_SERVER"), cupsServer_);
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
    // Waits for the window titled `title` and gives it the keyboard.
    bool FocusWindow(const QString& title) {
        const QString id = WaitForWindow(title);
        return !id.isEmpty() && Focus(id);
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

    // The demo clients as the data disk.
    void UseDemoDisk() {
        namespace fs = std::filesystem;
        for (const fs::directory_entry& entry : fs::directory_iterator(MW_DEMO_DISK_DIR)) {
            fs::copy_file(entry.path(), disk_.File(entry.path().filename().string()),
                          fs::copy_options::overwrite_existing);
        }
    }

    // The client's details as the tests key them into "Client Information",
    // then "Information OK".
    void KeyClientInformation() {
        for (const char* field : {"Cy Dee", "N", "40", "1", "1", "12", "1", "01/02/1980"}) {
            Xdotool({QStringLiteral("type"), QString::fromUtf8(field)});
            Keys(QStringLiteral("Return"));
        }
        Keys(QStringLiteral("Return"));
    }
    // The record of that client with `answers`, registered today.
    static mw::ClientRecord KeyedClient(const std::string& answers) {
        mw::ClientRecord client;
        client.Name = "Cy Dee";
        client.IDNumber = "N";
        client.Age = "40";
        client.Gender = client.Race = client.MaritalStatus = "1";
        client.Education = "12";
        client.DateOfBirth = "01/02/1980";
        client.TodayDate = mw::FormatDate(mw::SystemClock().Today());
        client.Answers = answers;
        client.timeseditted = "0";
        client.DeleteFlag = "0";
        return client;
    }

    TempDir programDir_;
    TempDir disk_;
    QProcess xvfb_;
    QProcess first_;
    QString display_;
    QString station_;
    QString cupsServer_;  // the print server the station uses; the system's when empty
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
    ASSERT_TRUE(FocusWindow(QStringLiteral("About Mirrorwise"))) << "Alt+A opened no About window";
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
    UseDemoDisk();
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
    // From the client list: Tab to the menu, Down to "Add New Client".
    ASSERT_TRUE(FocusWindow(QStringLiteral("Mirrorwise"))) << "the main window never appeared";
    Keys(QStringLiteral("Tab Down Return"));
    ASSERT_TRUE(FocusWindow(QStringLiteral("Entry Method"))) << "Add New Client opened nothing";
    Keys(QStringLiteral("Down Return"));  // "Enter Test Data from Answer Sheet"
    ASSERT_TRUE(FocusWindow(QStringLiteral("Client Information")))
        << "the answer-sheet route did not ask for the client";
    KeyClientInformation();

    ASSERT_TRUE(FocusWindow(QStringLiteral("Client Responses")))
        << "the confirmed client did not open the answer grid";
    // "1" is an answer in every grid; each key moves on to the next item.
    Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"),
             QString(mw::kItemCount, QLatin1Char('1'))});
    Keys(QStringLiteral("Tab Return"));  // past the last grid to "Save"
    ASSERT_TRUE(WindowGone(QStringLiteral("Client Responses")));

    ASSERT_TRUE(Eventually([&] { return disk_.Read("DATA401.MW").size() > before.size(); }));
    EXPECT_EQ(disk_.Read("DATA401.MW"),
              before + KeyedClient(std::string(mw::kItemCount, '1')).ToBytes());

    QProcess cli;
    cli.start(
        QString::fromStdString(programDir_.File("mirrorwise-cli")),
        {QStringLiteral("report"), QStringLiteral("--program-dir"),
         QString::fromStdString(programDir_.Path()), QStringLiteral("--disk"),
         QString::fromStdString(disk_.Path()), QStringLiteral("--client"), QStringLiteral("4")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_NE(programDir_.Read("REPORT.PRN").find("NAME: Cy Dee\r\n"), std::string::npos);
}

// The current client's report printed from Supervisor Options with the
// keyboard alone, through the real print path: to a PDF print queue when one
// can be set up here (its PDFs keep no text to read back, so their pages are
// counted), else the station finds no printer and offers a PDF instead. The
// report saved as a PDF holds the report's lines, page by page.
TEST_F(XvfbStationTest, TheSupervisorPrintsTheCurrentClientsReport) {
    if (!Installed({QStringLiteral("pdfinfo"), QStringLiteral("pdftotext")})) {
        GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are needed to read the PDFs";
    }
    ASSERT_EQ(Stage(), "");
    UseDemoDisk();
    // Through the page renderer: raw text would reach the PDF queue unreadable.
    programDir_.Write("MW.ini", programDir_.Read("MW.ini") + "[Settings]\r\nPrintDOS=False\r\n");
    TempDir spool;
    std::optional<PdfPrintQueue> queue;
    if (PdfPrintQueue::Available()) {
        queue.emplace(spool.Path());
        ASSERT_TRUE(queue->Start()) << "the PDF print queue could not be set up";
        cupsServer_ = queue->Server();
    } else {
        std::cout << "No PDF print queue (cups, cups-client, cups-pdf as root): the report "
                     "goes through the no-printer offer of a PDF.\n";
        cupsServer_ = QString::fromStdString(spool.File("no-server"));
    }
    StartStation(first_);

    ASSERT_TRUE(FocusWindow(QStringLiteral("Mirrorwise"))) << "the main window never appeared";
    Keys(QStringLiteral("Tab Down Down Return"));
    ASSERT_TRUE(FocusWindow(QStringLiteral("Supervisor Options")));
    // From the tabs past the report choices, whose first is checked, to "Execute Selection".
    Keys(QStringLiteral("Tab Tab Tab Return"));
    ASSERT_TRUE(FocusWindow(QStringLiteral("Enter Secret Code")));
    Xdotool({QStringLiteral("type"), QString(QLatin1Char(mw::kSecretCode))});
    Keys(QStringLiteral("Return Return"));
    const QString viewer = WaitForWindow(QStringLiteral("Client Report"));
    ASSERT_FALSE(viewer.isEmpty()) << "the secret code opened no report";
    ASSERT_TRUE(Focus(viewer));
    const QString report = QString::fromStdString(mw::Cp1252ToUtf8(programDir_.Read("REPORT.PRN")));
    ASSERT_FALSE(report.isEmpty()) << "the report viewer wrote no REPORT.PRN";

    Keys(QStringLiteral("alt+p"));
    if (queue) {
        QString printed;
        ASSERT_TRUE(Eventually(
            [&] {
                const QStringList pdfs = QDir(queue->OutDir()).entryList({QStringLiteral("*.pdf")});
                printed = pdfs.isEmpty() ? QString() : queue->OutDir() + QLatin1Char('/') + pdfs[0];
                return !printed.isEmpty() && PdfPageCount(printed) > 0;
            },
            60000))
            << "nothing arrived from the print queue";
        EXPECT_EQ(PdfPageCount(printed), report.count(QLatin1Char('\f')) + 1);
        ASSERT_TRUE(Focus(viewer));
        Keys(QStringLiteral("alt+d"));
    } else {
        ASSERT_TRUE(FocusWindow(QStringLiteral("Print Report"))) << "no printer went unsaid";
        Keys(QStringLiteral("alt+y"));
    }
    ASSERT_TRUE(FocusWindow(QStringLiteral("Save Report as PDF")));
    const QString pdf = QString::fromStdString(spool.File("report.pdf"));
    Keys(QStringLiteral("ctrl+a"));
    Xdotool({QStringLiteral("type"), pdf});
    Keys(QStringLiteral("Return"));
    ASSERT_TRUE(Eventually([&] { return PdfPageCount(pdf) > 0; })) << "no PDF was saved";
    const std::optional<QByteArray> text =
        Output(QStringLiteral("pdftotext"),
               // At the report's pitch the columns come back as they were:
               // a fixed-pitch character is 0.6 of the font's size wide.
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
    ASSERT_EQ(Stage(), "");  // the question tables beside the station
    const std::string before = disk_.Read("DATA401.MW");
    StartStation(first_);
    const QString main = WaitForWindow(QStringLiteral("Mirrorwise"));
    ASSERT_TRUE(!main.isEmpty() && Focus(main)) << "the main window never appeared";
    Keys(QStringLiteral("Tab Down Return"));
    ASSERT_TRUE(FocusWindow(QStringLiteral("Entry Method"))) << "Add New Client opened nothing";
    Keys(QStringLiteral("Return"));  // "Administer Test to Client"
    ASSERT_TRUE(FocusWindow(QStringLiteral("Client Information")));
    KeyClientInformation();
    ASSERT_TRUE(FocusWindow(QStringLiteral("Select Presentation Language")));
    Keys(QStringLiteral("Return"));  // English, the first table
    // "Press the Enter key to begin the test.", titled as the main window is.
    QString begin;
    ASSERT_TRUE(Eventually([&] {
        for (const QString& window : FindWindows(QStringLiteral("Mirrorwise"))) {
            if (window != main) begin = window;
        }
        return !begin.isEmpty();
    }));
    ASSERT_TRUE(Focus(begin));
    Keys(QStringLiteral("Return"));

    ASSERT_TRUE(FocusWindow(QStringLiteral("Question Presentation")));
    Keys(QStringLiteral("Return Return"));  // the general and the first section's instructions
    std::string answers;
    for (int section = 1; section <= mw::kSectionCount; ++section) {
        // Every answer of the section, highlighted with Down and chosen with
        // Enter: the first or the second, which every item has.
        QStringList keys = {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("5")};
        for (int item = mw::SectionBounds[section - 1] + 1; item <= mw::SectionBounds[section];
             ++item) {
            const int answer = item % 2 + 1;
            answers += static_cast<char>('0' + answer);
            for (int k = 0; k < answer; ++k) keys << QStringLiteral("Down");
            keys << QStringLiteral("Return");
        }
        Xdotool(keys);
        ASSERT_TRUE(FocusWindow(QStringLiteral("Presentation Note")))
            << "section " << section << " ended without its note";
        Keys(QStringLiteral("Return"));
        ASSERT_TRUE(WindowGone(QStringLiteral("Presentation Note")));
        if (section == mw::kSectionCount) break;
        ASSERT_TRUE(FocusWindow(QStringLiteral("Question Presentation")));
        Keys(QStringLiteral("Return"));  // the next section's instructions
    }
    ASSERT_TRUE(FocusWindow(QStringLiteral("Enter Secret Code")))
        << "the finished test left the station unlocked";
    Xdotool({QStringLiteral("type"), QString(QLatin1Char(mw::kSecretCode))});
    Keys(QStringLiteral("Return Return"));  // to "OK", and OK
    ASSERT_TRUE(WindowGone(QStringLiteral("Enter Secret Code")));
    EXPECT_EQ(disk_.Read("DATA401.MW"), before + KeyedClient(answers).ToBytes());

    // Back at the main window, which the client could not reach before.
    ASSERT_TRUE(Focus(main));
    Keys(QStringLiteral("alt+x"));
    ASSERT_TRUE(first_.waitForFinished(30000));
    EXPECT_EQ(first_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first_.exitCode(), 0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
