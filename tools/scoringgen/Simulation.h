// A simulated population of clients whose answer strings the norms are
// built from. Each client has latent traits (standard units) drawn around
// the means of his norm set; each answer follows from the traits of the
// item's scales, so scales that share causes correlate as real ones do.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ItemDesign.h"

namespace mwtools {

enum Trait {
    kDefensive,
    kResist,
    kViolent,
    kAlcohol,
    kDrugs,
    kDistress,
    kMorale,
    kSelfEsteem,
    kStress,
    kTraits
};

struct NormSet {
    int sex = 1;
    int group = 1;
    int clients = 0;
    std::array<double, kTraits> means{};
};

std::vector<NormSet> ReadPopulation(const std::string& path);

// A deterministic generator: the same seed gives the same population on every machine.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    double Uniform();  // [0, 1)
    double Normal();   // mean 0, sd 1
    bool Chance(double p) { return Uniform() < p; }

private:
    std::uint64_t state_;
};

// The answer strings of one norm set's simulated clients.
std::vector<std::string> SimulateAnswers(const Design& design, const NormSet& set, Random& random);

}  // namespace mwtools
