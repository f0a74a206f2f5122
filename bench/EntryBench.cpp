// How quickly the answer grid answers the operator: opening it on the
// 160-item question table (every grid built, painted and on the screen), and
// one keystroke in a grid (the answer stored, the cursor moved on, the grid
// painted again). Runs on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTableWidget>
#include <cstdlib>

#include "BenchRun.h"
#include "QuietPlatform.h"
#include "core/data/CodeTables.h"
#include "station/entry/frmNewEntry.h"
#include "station/screen/StationContext.h"

namespace {

// A new client on an empty disk, with the program's question database.
struct Station {
    Station() {
        auto db = mw::Database::Open(MW_PROGRAM_DIR "/mw32.db", true);
        if (!db) std::abort();
        ctx.database = std::move(*db);
        state.CurrentRecord = 1;
        state.Current().Answers = std::string(mw::kItemCount, '0');
    }

    mw::StationState state;
    mwbench::QuietPlatform platform;
    mw::StationContext ctx{state, mw::LocalFileSystem(), mw::SystemClock(), platform,
                           MW_PROGRAM_DIR};
};

void OpenAnswerGrid(benchmark::State& bench) {
    Station station;
    for (auto _ : bench) {
        mw::frmNewEntry screen(station.ctx, nullptr);
        screen.show();
        QApplication::processEvents();
    }
}
BENCHMARK(OpenAnswerGrid)->Unit(benchmark::kMillisecond);

void KeyInAGrid(benchmark::State& bench) {
    Station station;
    mw::frmNewEntry screen(station.ctx, nullptr);
    screen.show();
    QApplication::processEvents();
    auto* grid = screen.findChild<QTableWidget*>(QStringLiteral("grdResponses_0"));
    for (auto _ : bench) {
        if (grid->currentRow() + 1 == grid->rowCount()) {
            bench.PauseTiming();
            grid->setCurrentCell(0, 0);
            QApplication::processEvents();
            bench.ResumeTiming();
        }
        QKeyEvent key(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
        QApplication::sendEvent(grid, &key);
        QApplication::processEvents();
    }
}
BENCHMARK(KeyInAGrid)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return mwbench::RunBenchmarks(argc, argv);
}
