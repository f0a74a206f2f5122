// Writes any number of synthetic returned data disks, names deleted, each
// with a valid audit log, for pooling in an archive.
//
//   mw-returneddisks items.tsv English.tsv population.tsv OUTPUT_DIR DISKS
//                    [CLIENTS_PER_DISK [SEED]]
//
// The disks are OUTPUT_DIR/disk00001, disk00002, ...; the same seed gives the same disks.
#include <cstdio>
#include <iostream>
#include <string>

#include "archivegen/ReturnedDisks.h"

int main(int argc, char** argv) {
    if (argc < 6 || argc > 8) {
        std::cerr
            << "usage: mw-returneddisks items.tsv English.tsv population.tsv OUTPUT_DIR DISKS "
               "[CLIENTS_PER_DISK [SEED]]\n";
        return 2;
    }
    try {
        const auto maker = mwtools::ReturnedDiskMaker::FromFiles(argv[1], argv[2], argv[3]);
        const int disks = std::stoi(argv[5]);
        mwtools::DiskPlan plan;
        if (argc > 6) plan.clients = std::stoi(argv[6]);
        const std::uint64_t seed = argc > 7 ? std::stoull(argv[7]) : 1;
        if (plan.clients < 1 || plan.clients > 51)
            throw std::runtime_error("a disk holds 1 to 51 clients");
        for (int d = 1; d <= disks; ++d) {
            char name[32];
            std::snprintf(name, sizeof name, "/disk%05d", d);
            plan.seed = seed * 1'000'003 + static_cast<std::uint64_t>(d);
            maker.Write(argv[4] + std::string(name), plan);
        }
    } catch (const std::exception& e) {
        std::cerr << "mw-returneddisks: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
