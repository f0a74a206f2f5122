// A batch of 51 answer sheets, a full data disk's worth, imported by
// `mirrorwise-cli import` as a whole process, once for each reader's layout:
// the sheets of each are its golden sample's first sheet under 51 inmate
// numbers. "Import/<layout>" runs on a disk that already holds them, so that
// every sheet is read and matched against 51 clients and none stored: the
// import's own work, against one `cat` of the sheet file and the disk's
// records. "Import/store" starts from an empty disk every time: 51 clients
// stored in one save, whole or not at all.
#include <benchmark/benchmark.h>

#include "BenchData.h"
#include "BenchRun.h"
#include "core/data/StationState.h"

namespace {

struct Reader {
    const char* name;
    const char* sample;  // under tests/core/data/golden
    const char* inmate;  // the first sheet's inmate number
};

constexpr Reader kReaders[] = {
    {"mirrorwise", "mirrorwise/batch.csv", "40117-052"},
    {"formscanner", "formscanner/results.csv", "40117-052"},
    {"sdaps", "sdaps/data_1.csv", "7001"},
    {"omrchecker", "omrchecker/Results_08PM.csv", "40124-201"},
    {"amc", "amc/export.csv", "40126-500"},
    {"remark", "remark/remark.csv", "40140-001"},
};

// The sample's header and its first sheet 51 times, each with an inmate
// number of its own (the last two characters numbered) and the sample's
// line ends.
std::string FullBatch(const Reader& reader) {
    const std::string text =
        mwbench::ReadAll(MW_SOURCE_DIR "/tests/core/data/golden/" + std::string(reader.sample));
    const std::size_t headerEnd = text.find('\n') + 1;
    const std::string sheet = text.substr(headerEnd, text.find('\n', headerEnd) + 1 - headerEnd);
    const std::string inmate = reader.inmate;
    std::string batch = text.substr(0, headerEnd);
    for (int n = 0; n < mw::kMaxClients; ++n) {
        std::string numbered =
            inmate.substr(0, inmate.size() - 2) + (n < 10 ? "0" : "") + std::to_string(n);
        std::string line = sheet;
        for (std::size_t at = line.find(inmate); at != std::string::npos;
             at = line.find(inmate, at + numbered.size())) {
            line.replace(at, inmate.size(), numbered);
        }
        batch += line;
    }
    return batch;
}

// A data disk in `path` without clients.
std::string MakeDisk(const std::string& path) {
    mwbench::fs::create_directory(path);
    mwbench::fs::copy_file(MW_DEMO_DISK_DIR "/TID", path + "/TID");
    mwbench::WriteAll(path + "/DATA401.MW", "");
    return path;
}

std::vector<std::string> ImportArgs(const std::string& disk, const std::string& file) {
    return {MW_PROGRAM_DIR "/mirrorwise-cli",
            "import",
            "--program-dir",
            MW_PROGRAM_DIR,
            "--disk",
            disk,
            "--file",
            file};
}

// Each time on a disk emptied first, out of the time.
void StoreEach(benchmark::State& bench, std::vector<std::string> args) {
    const std::string records = args[5] + "/DATA401.MW";
    for (auto _ : bench) {
        bench.PauseTiming();
        mwbench::WriteAll(records, "");
        bench.ResumeTiming();
        mwbench::RunQuietly(args);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const mwbench::TempFolder work(mwbench::fs::path(MW_PROGRAM_DIR).parent_path());
    for (const Reader& reader : kReaders) {
        const std::string file = work.Path() + "/" + reader.name + ".csv";
        mwbench::WriteAll(file, FullBatch(reader));
        const std::string disk = MakeDisk(work.Path() + "/" + reader.name);
        const std::vector<std::string> import = ImportArgs(disk, file);
        mwbench::RunQuietly(import);
        const std::string name = std::string("Import/") + reader.name;
        mwbench::RegisterTimed(name, 5, mwbench::RunEach, import);
        mwbench::RegisterTimed(name + "/floor", 5, mwbench::RunEach,
                               std::vector<std::string>{"cat", file, disk + "/DATA401.MW"});
    }
    mwbench::RegisterTimed("Import/store", 5, StoreEach,
                           ImportArgs(MakeDisk(work.Path() + "/store"), work.Path() + "/amc.csv"));
    return mwbench::RunBenchmarks(argc, argv);
}
