// How long a report takes as the station makes it: reading every data file
// afresh, scoring and composing; and the whole 51-client disk.
#include <benchmark/benchmark.h>

#include "core/data/ClientStore.h"
#include "core/report/ScoreAndPrint.h"

namespace {

mw::StationState DemoDisk() {
    mw::StationState state;
    state.DataPath = MW_DEMO_DISK_DIR;
    if (!mw::ClientStore(state, mw::LocalFileSystem()).LoadRecordsReadOnly()) std::abort();
    return state;
}

void OneClientReport(benchmark::State& bench) {
    const mw::StationState state = DemoDisk();
    const mw::ScoreAndPrint reports(mw::LocalFileSystem(), MW_PROGRAM_DIR);
    for (auto _ : bench) {
        auto report = reports.Compose(state.ClientRecords[2], 2, true);
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(OneClientReport)->Unit(benchmark::kMillisecond);

// A full disk: the demo clients repeated to 51.
void FullDiskReports(benchmark::State& bench) {
    const mw::StationState state = DemoDisk();
    const mw::ScoreAndPrint reports(mw::LocalFileSystem(), MW_PROGRAM_DIR);
    for (auto _ : bench) {
        for (int n = 1; n <= mw::kMaxClients; ++n) {
            auto report =
                reports.Compose(state.ClientRecords[1 + (n - 1) % state.RecordCount], n, true);
            benchmark::DoNotOptimize(report);
        }
    }
}
BENCHMARK(FullDiskReports)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
