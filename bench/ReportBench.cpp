// How long a report takes as the station makes it (reading every data file
// afresh, scoring and composing) against reading the files it reads, which
// is the least a report can cost: on the shipped data, on paragraph files of
// about 180 KB each, and for the 51 clients of a full disk. A case named
// "X/floor" is the floor of case "X". ReportPdf is a client's full report
// saved as a PDF file would be, without the writing.
#include <benchmark/benchmark.h>

#include "BenchData.h"
#include "BenchRun.h"
#include "core/data/ClientStore.h"
#include "core/report/PdfWriter.h"
#include "core/report/ScoreAndPrint.h"

namespace {

mw::StationState DemoDisk() {
    mw::StationState state;
    state.DataPath = MW_DEMO_DISK_DIR;
    if (!mw::ClientStore(state, mw::LocalFileSystem(), {}).LoadRecordsReadOnly()) std::abort();
    return state;
}

const mw::StationState& Disk() {
    static const mw::StationState state = DemoDisk();
    return state;
}

// One report of a client on the demo disk; `reports` reports per iteration.
void Reports(benchmark::State& bench, const std::string& programDir, int reports) {
    const mw::StationState& state = Disk();
    const mw::ScoreAndPrint composer(mw::LocalFileSystem(), programDir);
    for (auto _ : bench) {
        for (int n = 1; n <= reports; ++n) {
            const int record = reports == 1 ? 2 : 1 + (n - 1) % state.RecordCount;
            auto report = composer.Compose(state.ClientRecords[record], n, true);
            if (!report || !report->problems.empty()) std::abort();
            benchmark::DoNotOptimize(report);
        }
    }
}

// Reading the files of `reports` reports, each whole, as a report reads them.
void ReadInputs(benchmark::State& bench, const std::string& programDir, int reports) {
    const std::vector<std::string> inputs = mwbench::ReportInputs(programDir);
    for (auto _ : bench) {
        for (int n = 1; n <= reports; ++n) {
            for (const std::string& path : inputs) {
                auto bytes = mw::LocalFileSystem().ReadFile(path);
                if (!bytes) std::abort();
                benchmark::DoNotOptimize(bytes);
            }
        }
    }
}

// Client 2's five-page report composed and made into a PDF: the font read
// and cut down to the report's characters, every stream compressed.
void ReportPdf(benchmark::State& bench) {
    const mw::ScoreAndPrint composer(mw::LocalFileSystem(), MW_PROGRAM_DIR);
    for (auto _ : bench) {
        auto report = composer.Compose(Disk().ClientRecords[2], 2, false);
        if (!report) std::abort();
        auto pdf = mw::ReportPdf(mw::LocalFileSystem(), report->bytes, mw::kLetterPaper, {});
        if (!pdf) std::abort();
        benchmark::DoNotOptimize(pdf);
    }
}

void Register(const std::string& name, const std::string& programDir, int reports) {
    benchmark::RegisterBenchmark(name.c_str(), Reports, programDir, reports)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/floor").c_str(), ReadInputs, programDir, reports)
        ->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    const mwbench::TempFolder longFolder;
    mwbench::MakeLongProgramFolder(MW_PROGRAM_DIR, longFolder.Path());
    Register("Report/shipped", MW_PROGRAM_DIR, 1);
    Register("Report/long", longFolder.Path(), 1);
    Register("FullDisk", MW_PROGRAM_DIR, mw::kMaxClients);
    benchmark::RegisterBenchmark("ReportPdf", ReportPdf)->Unit(benchmark::kMillisecond);
    return mwbench::RunBenchmarks(argc, argv);
}
