// The station's start as the operator waits for it: from the main window
// made to its showing with the demo disk loaded and the question database
// open, under the offscreen platform. The splash's fixed hold is taken out,
// so what is left is the station's own work. Its floor is an empty main
// window shown.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <memory>

#include "BenchData.h"
#include "BenchRun.h"
#include "station/app/frmMain.h"
#include "station/screen/QtAudioPlayer.h"
#include "station/screen/QtPlatform.h"
#include "station/screen/StationContext.h"

namespace {

// A program folder holding the question database and settings that name a
// copy of the demo disk, as an earlier run would have left them.
class Site {
public:
    Site() {
        const std::string disk = folder_.Path() + "/disk";
        mwbench::fs::copy(MW_DEMO_DISK_DIR, disk);
        mwbench::fs::copy_file(MW_PROGRAM_DIR "/mw32.db", folder_.Path() + "/mw32.db");
        mwbench::WriteAll(folder_.Path() + "/MW.ini", "[Path]\r\nFilePath=" + disk + "\r\n");
    }

    const std::string& ProgramDir() const { return folder_.Path(); }

private:
    mwbench::TempFolder folder_;
};

struct Station {
    explicit Station(const std::string& programDir)
        : ctx{state,      mw::LocalFileSystem(),       mw::SystemClock(), platform,
              programDir, std::chrono::milliseconds(0)} {}

    mw::StationState state;
    mw::QtPlatform platform;
    mw::StationContext ctx;
    mw::frmMain main{ctx};
};

void StationStart(benchmark::State& bench) {
    const Site site;
    for (auto _ : bench) {
        auto station = std::make_unique<Station>(site.ProgramDir());
        if (!station->main.Load()) std::abort();
        station->main.show();
        QApplication::processEvents();
        bench.PauseTiming();
        station.reset();
        QApplication::processEvents();
        bench.ResumeTiming();
    }
}
BENCHMARK(StationStart)->Unit(benchmark::kMillisecond)->UseRealTime();

void EmptyWindow(benchmark::State& bench) {
    for (auto _ : bench) {
        auto window = std::make_unique<QMainWindow>();
        window->show();
        QApplication::processEvents();
        bench.PauseTiming();
        window.reset();
        QApplication::processEvents();
        bench.ResumeTiming();
    }
}
BENCHMARK(EmptyWindow)->Name("StationStart/floor")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    mw::ChooseMediaBackend();
    QApplication app(argc, argv);
    return mwbench::RunBenchmarks(argc, argv);
}
