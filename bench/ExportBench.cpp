// `mirrorwise-cli export` of a full disk (51 clients, the demo disk's
// records repeated) as a whole process, in each format, with its codebook.
// Each export adds a line to the audit log of the disk it reads, so
// the runs read a disk of their own.
#include <benchmark/benchmark.h>

#include "BenchData.h"
#include "BenchRun.h"
#include "core/data/ClientStore.h"

namespace {

// A data disk in `folder` holding kMaxClients clients, the demo disk's in turn.
void MakeFullDisk(const std::string& folder) {
    const std::string demo = mwbench::ReadAll(MW_DEMO_DISK_DIR "/DATA401.MW");
    std::string records;
    for (std::size_t n = 0; n < static_cast<std::size_t>(mw::kMaxClients); ++n) {
        const std::size_t at = n * mw::kRecordSize % demo.size();
        records += demo.substr(at, mw::kRecordSize);
    }
    mwbench::WriteAll(folder + "/DATA401.MW", records);
    mwbench::fs::copy_file(MW_DEMO_DISK_DIR "/TID", folder + "/TID");
}

}  // namespace

int main(int argc, char** argv) {
    const mwbench::TempFolder disk(mwbench::fs::path(MW_DEMO_DISK_DIR).parent_path());
    const mwbench::TempFolder output(mwbench::fs::path(MW_DEMO_DISK_DIR).parent_path());
    MakeFullDisk(disk.Path());
    for (const char* format : {"csv", "sav", "dta", "xlsx"}) {
        const std::vector<std::string> args = {MW_PROGRAM_DIR "/mirrorwise-cli",
                                               "export",
                                               "--program-dir",
                                               MW_PROGRAM_DIR,
                                               "--disk",
                                               disk.Path(),
                                               "--format",
                                               format,
                                               "--output",
                                               output.Path() + "/clients." + format,
                                               "--codebook",
                                               output.Path() + "/codebook.csv"};
        mwbench::RegisterTimed(std::string("Export/") + format, 5, mwbench::RunEach, args);
    }
    return mwbench::RunBenchmarks(argc, argv);
}
