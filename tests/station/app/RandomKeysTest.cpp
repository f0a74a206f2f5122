// Random keys on every screen: a seeded stream of the keys a clerk can press
// goes to whatever window holds the keyboard, the screens each opens
// included, and message boxes get random answers. After every key the
// record file is still what the station last loaded or saved, no answer is
// outside its item's range in memory or on the disk, and once the windows
// that were closing are gone a window of the station holds the keyboard.
// MW_RANDOM_KEYS sets the keys per screen (scripts/monkey runs more) and
// MW_RANDOM_SEED the seed; a failure names both and the keys before it.
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <deque>
#include <filesystem>
#include <random>
#include <thread>

#include "core/data/AnswerRanges.h"
#include "core/data/ClientStore.h"
#include "station/app/frmDriveSelect.h"
#include "station/app/frmSelectEntryMethod.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/entry/frmVerify.h"
#include "station/report/ReportFixture.h"
#include "station/report/frmPrintSelected.h"
#include "station/report/frmViewReport.h"
#include "station/scan/frmDebugView.h"
#include "station/scan/frmScanSettings.h"
#include "station/screen/FocusReturn.h"
#include "station/supervisor/frmSupervisorOptions.h"

namespace mwtest {
namespace {

using mw::StationContext;

int EnvNumber(const char* name, int otherwise) {
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? otherwise : value.toInt();
}

struct Key {
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// Weighted towards what moves through a screen and types into it; Escape is
// rare so that a screen is not left before its deeper windows are reached.
Key RandomKey(std::mt19937& random) {
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const int kind = pick(100);
    if (kind < 15) return {Qt::Key_Left + pick(4)};
    if (kind < 23) return {Qt::Key_Tab};
    if (kind < 35) return {Qt::Key_Return};
    if (kind < 41) return {Qt::Key_Space};
    if (kind < 44) return {Qt::Key_Escape};
    if (kind < 50) return {Qt::Key_F1 + pick(12)};
    if (kind < 70) return {Qt::Key_A + pick(26)};
    if (kind < 92) return {Qt::Key_0 + pick(10)};
    return {pick(2) ? Qt::Key_A + pick(26) : Qt::Key_0 + pick(10), Qt::AltModifier};
}

// The station's visible windows, by name.
std::string OpenWindows() {
    std::string names;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            names +=
                " " + window->objectName().toStdString() + "/" + window->metaObject()->className();
        }
    }
    return names.empty() ? " none" : names;
}

struct Screen {
    const char* name;
    // Readies the station's state for the screen, then opens it (modal
    // screens run their own loop; the main window is shown).
    std::function<std::unique_ptr<QWidget>(StationContext&)> open;
};

// The screen's name in test listings, not its bytes.
void PrintTo(const Screen& screen, std::ostream* out) {
    *out << screen.name;
}

template <class T>
std::unique_ptr<QWidget> Open(StationContext& ctx) {
    return std::make_unique<T>(ctx, nullptr);
}

// A client chosen for editing, as the main window does: 1 has no answers,
// 2 half of them, 3 all.
template <class T, int kRecord>
std::unique_ptr<QWidget> Edit(StationContext& ctx) {
    ctx.state.CurrentRecord = kRecord;
    ctx.state.EditMode = true;
    return Open<T>(ctx);
}

const Screen kScreens[] = {
    {"frmMain",
     [](StationContext& ctx) -> std::unique_ptr<QWidget> {
         auto main = std::make_unique<mw::frmMain>(ctx);
         if (!main->Load()) return nullptr;
         return main;
     }},
    {"frmSelectEntryMethod", Open<mw::frmSelectEntryMethod>},
    {"frmClientInfo", Edit<mw::frmClientInfo, 1>},
    {"frmNewEntry", Edit<mw::frmNewEntry, 2>},
    {"frmVerify", Edit<mw::frmVerify, 3>},
    {"frmSupervisorOptions", Open<mw::frmSupervisorOptions>},
    {"frmScanSettings",
     [](StationContext& ctx) -> std::unique_ptr<QWidget> {
         return std::make_unique<mw::frmScanSettings>(ctx, mw::kMaxClients, nullptr);
     }},
    {"frmPrintSelected", Open<mw::frmPrintSelected>},
    {"frmViewReport", Edit<mw::frmViewReport, 3>},
    {"frmDriveSelect", Open<mw::frmDriveSelect>},
    {"frmDebugView", Open<mw::frmDebugView>},
};

class RandomKeysTest : public ReportFixture, public ::testing::WithParamInterface<Screen> {
protected:
    void SetUp() override {
        ReportFixture::SetUp();
        // Whatever path the keys type stays in a folder of the test's own.
        std::filesystem::current_path(workDir.Path());
        programDir.Write("sctest.ini", "[ScanSettings]\r\nImportFolder=" + workDir.Path() + "\r\n");
        std::filesystem::copy_file(MW_PROGRAM_DIR "/mw32.db", programDir.File("mw32.db"));
        fs.drives = {disk.Path()};
        StartDisk();
        UseShippedQuestions();
        ranges = mw::ReadAnswerRanges(ctx.database.get());
        platform.randomAnswers = &random;
    }
    void TearDown() override { std::filesystem::current_path(startDir); }

    // Three clients: one with no answers, one half answered, one complete.
    void StartDisk() {
        MakeDisk(disk, {"Ann Alder", "Bob Birch", "Cy Cedar"});
        RememberDrive(disk.Path());
        state.DataPath = disk.Path();
        ASSERT_TRUE(ctx.Store().LoadRecords());
        const std::string complete = mw::AnswerRanges().Within(std::string(mw::kItemCount, '2'));
        state.ClientRecords[2].Answers = complete.substr(0, 80);
        state.ClientRecords[3].Answers = complete;
        ASSERT_TRUE(ctx.Store().SaveRecord(2));
        ASSERT_TRUE(ctx.Store().SaveRecord(3));
    }

    // What must hold after every key; empty when it does.
    std::string Broken() {
        const std::string path = mw::JoinPath(state.DataPath, mw::kRecordFileName);
        if (mw::LocalFileSystem().FileExists(path)) {
            mw::Result<std::string> onDisk = mw::LocalFileSystem().ReadFile(path);
            if (!onDisk) return "the record file cannot be read: " + onDisk.error().message;
            if (*onDisk != state.DiskImage) return "the record file changed without a Save";
        }
        for (int n = 0; n <= mw::kMaxClients; ++n) {
            if (!AnswersInRange(ranges, state.ClientRecords[n].Answers.View())) {
                return "record " + std::to_string(n) + " holds an answer out of range in memory";
            }
            if (n >= 1 && !AnswersInRange(ranges, state.StoredRecord(n).Answers.View())) {
                return "record " + std::to_string(n) + " holds an answer out of range on the disk";
            }
        }
        return {};
    }

    // Presses the next key on whatever holds the keyboard, once the effects
    // of the last one have run; the next press is queued first, so that it
    // reaches a modal window the press opens. A station window that holds no
    // keyboard for many turns in a row has lost it.
    void Turn(int ofRound) {
        if (stopped || ofRound != round) return;
        if (const std::string broken = Broken(); !broken.empty()) return Fail(broken);
        QWidget* target = QApplication::focusWidget();
        if (!target) target = QApplication::activeWindow();
        // The offscreen platform makes a drop-down list the active window
        // and, having no window manager, activates none when the list closes
        // by Escape; on a display the list never takes the keyboard from its
        // window (the Xvfb test checks what a window manager does).
        if (!target && popupHeldKeyboard) {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->activateWindow();
            target = QApplication::focusWidget();
        }
        popupHeldKeyboard = target && target->window()->windowType() == Qt::Popup;
        if (!target) {
            if (++turnsWithoutKeyboard > 100) {
                return Fail("no window of the station holds the keyboard; open:" + OpenWindows());
            }
            QTimer::singleShot(2, [this, ofRound] { Turn(ofRound); });
            return;
        }
        turnsWithoutKeyboard = 0;
        if (keysLeft <= 0) return Stop();
        --keysLeft;
        const Key key = RandomKey(random);
        recent.push_back(QKeySequence(QKeyCombination(key.modifiers, Qt::Key(key.key))).toString());
        if (recent.size() > 20) recent.pop_front();
        ++pressed;
        QTimer::singleShot(0, [this, ofRound] { Turn(ofRound); });
        QTest::keyClick(target, static_cast<Qt::Key>(key.key), key.modifiers);
    }

    void Fail(const std::string& what) {
        std::string keys;
        for (const QString& k : recent) keys += " " + k.toStdString();
        ADD_FAILURE() << what << " after key " << pressed << " (seed " << seed
                      << "); the last keys:" << keys;
        Stop();
    }

    // Closes every window the keys left open, from the top down.
    void Stop() {
        stopped = true;
        QTimer::singleShot(0, [this, ofRound = round] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || ofRound != round) return;
            modal->close();
            Stop();
        });
    }

    TempDir workDir;
    std::filesystem::path startDir = std::filesystem::current_path();
    mw::AnswerRanges ranges;
    int seed = EnvNumber("MW_RANDOM_SEED", 22);
    std::mt19937 random{static_cast<unsigned>(seed)};
    int keysLeft = EnvNumber("MW_RANDOM_KEYS", 5000);
    std::atomic<int> pressed = 0;
    int turnsWithoutKeyboard = 0;
    bool popupHeldKeyboard = false;  // before the last key
    bool stopped = false;
    int round = 0;  // one per opening of the screen
    std::deque<QString> recent;
};

TEST_P(RandomKeysTest, TheStationKeepsItsRecordsItsRangesAndTheKeyboard) {
    mw::FocusReturn focusReturn;  // as the station runs it
    std::atomic<bool> finished = false;
    // A key that never returns is a hang: the run ends with what was pressed.
    std::thread watchdog([&] {
        int stillFor = 0;
        for (int last = -1; !finished;
             std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
            const int now = pressed;
            stillFor = now == last ? stillFor + 1 : 0;
            last = now;
            if (stillFor > 200) {
                std::fprintf(stderr, "hang after key %d (seed %d)\n", now, seed);
                std::abort();
            }
        }
    });
    while (keysLeft > 0 && !HasFailure()) {
        stopped = false;
        std::unique_ptr<QWidget> screen = GetParam().open(ctx);
        ASSERT_NE(screen, nullptr) << "the screen did not open";
        QTimer::singleShot(0, [this, ofRound = round] { Turn(ofRound); });
        if (auto* dialog = qobject_cast<QDialog*>(screen.get())) {
            dialog->exec();
        } else {
            ShowActive(screen.get());
            QPointer<QWidget> window(screen.get());
            WaitUntil([&] { return stopped || !window || !window->isVisible(); }, 600000);
        }
        Stop();
        WaitUntil([] { return !QApplication::activeModalWidget(); });
        ++round;
    }
    finished = true;
    watchdog.join();
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, RandomKeysTest, ::testing::ValuesIn(kScreens),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mwtest
