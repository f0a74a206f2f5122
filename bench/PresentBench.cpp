// How quickly the on-screen test answers the client: from Enter on an answer
// to the next item on the screen (its text set, painted and its sound
// started). Runs on the offscreen platform with the program's question
// database; the sounds go to a player that plays nothing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "BenchRun.h"
#include "QuietPlatform.h"
#include "core/data/CodeTables.h"
#include "station/present/frmPresentQA.h"
#include "station/screen/StationContext.h"

namespace {

void Key(Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &press);
}

// The journal kept after every answer is written here (and timed with the
// answer), never into the program folder, where a next start would offer it.
std::string JournalFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "mw-present-bench";
    std::filesystem::create_directories(folder);
    return folder.string();
}

// The test on item 1 of the program's English table, the question focused.
struct Presentation {
    Presentation() {
        auto db = mw::Database::Open(MW_PROGRAM_DIR "/mw32.db", true);
        if (!db) std::abort();
        ctx.database = std::move(*db);
        state.SoundPath = MW_PROGRAM_DIR;
        auto questions = mw::frmPresentQA::ReadQuestions(ctx, QStringLiteral("English"));
        if (!questions) std::abort();
        screen = std::make_unique<mw::frmPresentQA>(ctx, QStringLiteral("English"),
                                                    std::move(*questions), nullptr);
        screen->show();
        QApplication::processEvents();
        Key(Qt::Key_Return);  // the general instructions
        Key(Qt::Key_Return);  // the first section's
        QApplication::processEvents();
    }

    mw::StationState state;
    mwbench::QuietPlatform platform;
    mw::StationContext ctx{state, mw::LocalFileSystem(), mw::SystemClock(), platform,
                           JournalFolder()};
    std::unique_ptr<mw::frmPresentQA> screen;
};

void NextItem(benchmark::State& bench) {
    auto test = std::make_unique<Presentation>();
    int item = 1;
    for (auto _ : bench) {
        // Within the first section, so that no note or instruction screen comes between.
        bench.PauseTiming();
        if (item == mw::SectionBounds[1]) {
            test = std::make_unique<Presentation>();
            item = 1;
        }
        Key(Qt::Key_Down);
        QApplication::processEvents();
        bench.ResumeTiming();
        Key(Qt::Key_Return);
        QApplication::processEvents();
        ++item;
    }
}
BENCHMARK(NextItem)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    return mwbench::RunBenchmarks(argc, argv);
}
