// Synthetic returned data disks: clients drawn from the simulated norm
// population (answers that follow from latent traits, as real ones do),
// their names deleted as the supervisor deletes them before a disk goes
// back, each with the audit log a station writes and the timings of the
// tests taken on the screen. Tests and benchmarks pool thousands of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scoringgen/ItemDesign.h"
#include "scoringgen/Simulation.h"

namespace mwtools {

struct DiskPlan {
    int clients = 40;            // 1-51
    double namedShare = 0;       // the share of clients whose names were not deleted
    double onScreenShare = 0.6;  // tested on the screen; the rest keyed or scanned
    std::uint64_t seed = 1;
};

class ReturnedDiskMaker {
public:
    ReturnedDiskMaker(Design design, std::vector<NormSet> population)
        : design_(std::move(design)), population_(std::move(population)) {}

    // Reads the item design, the question table and the population as
    // mw-scoringgen does.
    static ReturnedDiskMaker FromFiles(const std::string& itemsTsv, const std::string& questionsTsv,
                                       const std::string& populationTsv);

    // Writes a returned disk into the folder `dir`, made when missing. The
    // same plan gives the same disk. Throws std::runtime_error naming what
    // could not be written.
    void Write(const std::string& dir, const DiskPlan& plan) const;

private:
    const NormSet& DrawSet(Random& random) const;

    Design design_;
    std::vector<NormSet> population_;
};

}  // namespace mwtools
