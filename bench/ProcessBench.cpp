// A report as a whole process: `mirrorwise-cli report` of a demo client
// against one `cat` process reading the same input files (the data disk's
// TID and records, the report texts, the scoring data and the nine paragraph
// files), on the shipped data and on paragraph files of about 180 KB each.
// Run with --benchmark_enable_random_interleaving and repetitions, so that
// the two alternate. The report goes where a user's run puts it, REPORT.PRN
// in the program folder, both of which are in the build tree: on the disk,
// not in a memory-backed folder. Each report adds a line to the audit log of
// the disk it reads, so the runs read a copy of the demo disk beside it,
// never the one the tests copy.
#include <benchmark/benchmark.h>

#include "BenchData.h"
#include "BenchRun.h"

namespace {

struct DataSet {
    std::vector<std::string> cli;
    std::vector<std::string> cat;
};

DataSet MakeDataSet(const std::string& programDir, const std::string& disk) {
    DataSet d{{}, {"cat", disk + "/TID", disk + "/DATA401.MW"}};
    d.cli = {MW_PROGRAM_DIR "/mirrorwise-cli",
             "report",
             "--program-dir",
             programDir,
             "--disk",
             disk,
             "--client",
             "2"};
    for (const std::string& path : mwbench::ReportInputs(programDir)) d.cat.push_back(path);
    return d;
}

}  // namespace

int main(int argc, char** argv) {
    const mwbench::TempFolder longFolder(mwbench::fs::path(MW_PROGRAM_DIR).parent_path());
    mwbench::MakeLongProgramFolder(MW_PROGRAM_DIR, longFolder.Path());
    const mwbench::TempFolder disk(mwbench::fs::path(MW_DEMO_DISK_DIR).parent_path());
    for (const char* name : {"TID", "DATA401.MW"}) {
        mwbench::fs::copy_file(mwbench::fs::path(MW_DEMO_DISK_DIR) / name,
                               mwbench::fs::path(disk.Path()) / name);
    }
    const DataSet sets[] = {MakeDataSet(MW_PROGRAM_DIR, disk.Path()),
                            MakeDataSet(longFolder.Path(), disk.Path())};
    const std::string names[] = {"Cli/shipped", "Cli/long"};
    for (int i = 0; i < 2; ++i) {
        for (const auto& [name, args] :
             {std::pair{names[i], sets[i].cli}, std::pair{names[i] + "/floor", sets[i].cat}}) {
            mwbench::RegisterTimed(name, 5, mwbench::RunEach, args);
        }
    }
    return mwbench::RunBenchmarks(argc, argv);
}
