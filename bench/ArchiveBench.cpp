// The archive of returned disks: adding full disks (clients per second) into
// SQLite and into a private PostgreSQL server, and `norms` and `stats` over a
// large archive (MW_ARCHIVE_CLIENTS clients, 1,000,000 unless set), each with
// the process's peak memory, which must not grow with the archive.
//
// The disks are generated once into shared memory; the large archive is
// grown from them in SQL (copies of the added disks under other identities)
// and kept as build/bench/archive-<clients>.db for the next run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <sstream>

#include "BenchData.h"
#include "BenchRun.h"
#include "archivegen/ReturnedDisks.h"
#include "cli/Cli.h"
#include "cli/archive/ArchiveDb.h"
#include "support/PostgresServer.h"

namespace {

constexpr int kDisks = 200;
constexpr int kClientsPerDisk = 51;

std::vector<std::string> MakeDisks(const std::string& folder) {
    const auto maker =
        mwtools::ReturnedDiskMaker::FromFiles(MW_SOURCE_DIR "/instrument/scoring/items.tsv",
                                              MW_SOURCE_DIR "/instrument/questions/English.tsv",
                                              MW_SOURCE_DIR "/instrument/scoring/population.tsv");
    std::vector<std::string> disks;
    for (int d = 1; d <= kDisks; ++d) {
        disks.push_back(folder + "/disk" + std::to_string(d));
        maker.Write(disks.back(),
                    {.clients = kClientsPerDisk, .seed = static_cast<std::uint64_t>(d)});
    }
    return disks;
}

int Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = mw::RunCli(args, out, err, {MW_PROGRAM_DIR, MW_PROGRAM_DIR});
    if (status != 0) std::fprintf(stderr, "%s%s", out.str().c_str(), err.str().c_str());
    return status;
}

void PeakMemory(benchmark::State& bench) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    bench.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

// Every disk added to a new archive at each run; the target made by `fresh`.
void Add(benchmark::State& bench, const std::vector<std::string>& disks,
         const std::function<std::string()>& fresh) {
    std::vector<std::string> args = {"archive",   "add", "--program-dir", MW_PROGRAM_DIR,
                                     "--archive", "",    "--disk"};
    args.insert(args.end(), disks.begin(), disks.end());
    for (auto _ : bench) {
        bench.PauseTiming();
        args[5] = fresh();
        bench.ResumeTiming();
        if (Cli(args) != 0) bench.SkipWithError("the add failed");
    }
    bench.counters["clients_per_s"] =
        benchmark::Counter(static_cast<double>(disks.size() * kClientsPerDisk * bench.iterations()),
                           benchmark::Counter::kIsRate);
}

// The archive of `clients` clients: the disks added once, then copied under
// other identities in the database until it holds that many.
std::string LargeArchive(const std::vector<std::string>& disks, long clients) {
    const std::string path = MW_PROGRAM_DIR "/../bench/archive-" + std::to_string(clients) + ".db";
    if (mwbench::fs::exists(path)) return path;
    std::vector<std::string> args = {"archive",   "add",          "--program-dir", MW_PROGRAM_DIR,
                                     "--archive", path + ".part", "--disk"};
    args.insert(args.end(), disks.begin(), disks.end());
    if (Cli(args) != 0) std::abort();
    auto db = mw::OpenArchiveDb(path + ".part");
    const long copies = clients / (kDisks * kClientsPerDisk);
    for (long k = 1; k < copies; ++k) {
        const std::string offset = std::to_string(k * kDisks);
        const std::string sql =
            "BEGIN; INSERT INTO disk SELECT disk_id + " + offset + ", identity || '/" + offset +
            "', version, is_current, record_sha256, source, audit_lines, audit_last_hash, "
            "data_set, added_at, clients, skipped FROM disk WHERE disk_id <= " +
            std::to_string(kDisks) + "; INSERT INTO client SELECT disk_id + " + offset +
            ", test_number, name, id_number, pseudonym, name_deleted, date_of_birth, age, sex, "
            "ethnicity, education, marital_status, test_date, times_edited, route, language, "
            "answers, valid, norm_sex, norm_group, " +
            [] {
                std::string scores;
                for (const char* kind : {"raw", "percentile", "omitted", "scored"}) {
                    for (int s = 1; s <= 9; ++s)
                        scores += std::string(kind) + "_" + std::to_string(s) + ", ";
                }
                return scores;
            }() +
            "effort_index FROM client WHERE disk_id <= " + std::to_string(kDisks) +
            "; INSERT INTO client_timing SELECT disk_id + " + offset +
            ", test_number, paradata FROM client_timing WHERE disk_id <= " +
            std::to_string(kDisks) + "; COMMIT";
        if (!(*db)->Execute(sql)) std::abort();
    }
    db->reset();
    mwbench::fs::rename(path + ".part", path);
    return path;
}

void ReadArchive(benchmark::State& bench, std::vector<std::string> args) {
    for (auto _ : bench) {
        if (Cli(args) != 0) bench.SkipWithError("the command failed");
    }
    PeakMemory(bench);
}

}  // namespace

int main(int argc, char** argv) {
    const mwbench::TempFolder shared(mwbench::fs::exists("/dev/shm") ? "/dev/shm" : "/tmp");
    const mwbench::TempFolder archives;
    const std::vector<std::string> disks = MakeDisks(shared.Path());
    int made = 0;
    mwbench::RegisterTimed("Archive/add-sqlite", 3, Add, disks,
                           [&] { return archives.Path() + "/a" + std::to_string(++made) + ".db"; });
    mwtest::PostgresServer& server = mwtest::PostgresServer::Get();
    if (server.Unavailable().empty()) {
        mwbench::RegisterTimed("Archive/add-postgres", 3, Add, disks,
                               [&] { return server.NewDatabase(); });
    } else {
        std::fprintf(stderr, "archive_bench: no PostgreSQL: %s\n", server.Unavailable().c_str());
    }
    const char* wanted = std::getenv("MW_ARCHIVE_CLIENTS");
    const std::string large = LargeArchive(disks, wanted ? std::atol(wanted) : 1'000'000);
    mwbench::RegisterTimed(
        "Archive/norms", 1, ReadArchive,
        std::vector<std::string>{"archive", "norms", "--program-dir", MW_PROGRAM_DIR, "--archive",
                                 large, "--output", archives.Path() + "/norms.txt"});
    mwbench::RegisterTimed("Archive/stats", 1, ReadArchive,
                           std::vector<std::string>{"archive", "stats", "--program-dir",
                                                    MW_PROGRAM_DIR, "--archive", large, "--json"});
    return mwbench::RunBenchmarks(argc, argv);
}
