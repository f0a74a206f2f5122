#include "Simulation.h"

#include <algorithm>
#include <cmath>

#include "common/TextTable.h"
#include "core/data/CodeTables.h"
#include "core/data/SampleClient.h"
#include "core/scoring/ScoreSheet.h"

namespace mwtools {
namespace {

constexpr double kOmitRate = 0.004;
// How strongly defensiveness hides a problem in the answers.
constexpr double kMinimizing = 0.4;

constexpr std::array<int, 10> kTableAItems = {123, 125, 128, 130, 132, 134, 137, 139, 142, 146};
using mw::kCopingItems;
using mw::kStressItems;

template <std::size_t N>
bool Contains(const std::array<int, N>& items, int item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

double Logistic(double x) {
    return 1.0 / (1.0 + std::exp(-1.7 * x));
}

using Traits = std::array<double, kTraits>;

// Traits share a general factor and a factor of their family (antisocial,
// substance, negative feeling); defensiveness stands alone.
Traits DrawTraits(const NormSet& set, Random& r) {
    const double general = r.Normal();
    const double antisocial = r.Normal();
    const double substance = r.Normal();
    const double feeling = r.Normal();
    auto trait = [&](int t, double family) {
        return set.means[t] + 0.45 * general + 0.55 * family + 0.7 * r.Normal();
    };
    Traits t{};
    t[kDefensive] = set.means[kDefensive] + r.Normal();
    t[kResist] = trait(kResist, antisocial);
    t[kViolent] = trait(kViolent, antisocial);
    t[kAlcohol] = trait(kAlcohol, substance);
    t[kDrugs] = trait(kDrugs, substance);
    t[kDistress] = trait(kDistress, feeling);
    t[kMorale] = trait(kMorale, feeling);
    t[kSelfEsteem] = trait(kSelfEsteem, feeling);
    t[kStress] = trait(kStress, feeling);
    return t;
}

// The trait behind an item on scales 2-7, with the client's minimizing.
double ItemTrait(const ItemDesign& d, const Traits& t) {
    static constexpr std::array<int, 8> kTraitOfScale = {0,        0,      kResist,   kViolent,
                                                         kAlcohol, kDrugs, kDistress, kMorale};
    double sum = 0;
    for (int scale : d.scales) sum += t[kTraitOfScale[scale]];
    return sum / static_cast<double>(d.scales.size()) - kMinimizing * t[kDefensive];
}

// A rating category 1..n from a latent value: higher is more of the trait.
int Category(double latent, int n, Random& r) {
    const double y = latent + 0.8 * r.Normal();
    const double step = 1.8 / (n - 1);
    int category = 1;
    for (int k = 1; k < n; ++k) category += y > -0.45 + step * (k - 1);
    return category;
}

int HighestPoints(const ItemDesign& d) {
    return *std::max_element(d.points.begin(), d.points.end());
}

// An item keyed by its points: a problem answer with a probability that
// grows with the trait, the worst one the more likely the higher the trait.
int KeyedAnswer(const ItemDesign& d, double trait, Random& r) {
    const int highest = HighestPoints(d);
    const double difficulty = 0.5 + 0.45 * highest;
    std::vector<int> problem, other;
    for (int a = 1; a <= d.answerCount; ++a) (d.points[a] > 0 ? problem : other).push_back(a);
    if (!problem.empty() && r.Chance(Logistic(trait - difficulty))) {
        std::sort(problem.begin(), problem.end(),
                  [&](int x, int y) { return d.points[x] > d.points[y]; });
        if (problem.size() == 1 || r.Chance(Logistic(trait - difficulty - 0.5)))
            return problem.front();
        return problem[1 + static_cast<std::size_t>(r.Uniform() *
                                                    static_cast<double>(problem.size() - 1))];
    }
    const int healthy = mw::kNonDeviantAnswers[d.item - 1] - '0';
    if (other.empty() || r.Chance(0.75)) return healthy;
    return other[static_cast<std::size_t>(r.Uniform() * static_cast<double>(other.size()))];
}

// A frequency rating 1-4; reversed when Very Often is the healthy end.
int RatingAnswer(const ItemDesign& d, const Traits& t, Random& r) {
    double latent = 0;
    bool reversed = false;
    if (Contains(kCopingItems, d.item) && d.scales.empty()) {
        latent = t[kStress], reversed = true;
    } else if (Contains(kStressItems, d.item) && d.scales.empty()) {
        latent = t[kStress];
    } else {
        latent = ItemTrait(d, t);
        reversed = d.points[1] > d.points[4];
    }
    int category = Category(latent - 0.2 * HighestPoints(d), 4, r);
    return reversed ? 5 - category : category;
}

int SelfEsteemAnswer(int item, const Traits& t, Random& r) {
    double latent = t[kSelfEsteem] - kMinimizing * t[kDefensive];
    if (item == 124) latent = (latent + t[kResist]) / 2;
    int category = Category(latent, 5, r);
    return Contains(kTableAItems, item) ? category : 6 - category;
}

// Items 148 and 149 name alcohol (1), drugs (2), both (3) or neither (4).
int SubstanceAnswer(const Traits& t, Random& r) {
    bool alcohol = r.Chance(Logistic(t[kAlcohol] - kMinimizing * t[kDefensive] - 1.0));
    bool drugs = r.Chance(Logistic(t[kDrugs] - kMinimizing * t[kDefensive] - 1.0));
    return alcohol && drugs ? 3 : alcohol ? 1 : drugs ? 2 : 4;
}

// Item 157: thoughts of suicide (1), of hurting someone (2), both (3) or neither (4).
int ThoughtsAnswer(const Traits& t, Random& r) {
    bool suicide = r.Chance(Logistic(t[kDistress] - kMinimizing * t[kDefensive] - 2.0));
    bool homicide = r.Chance(Logistic(t[kViolent] - kMinimizing * t[kDefensive] - 2.2));
    return suicide && homicide ? 3 : suicide ? 1 : homicide ? 2 : 4;
}

// Truthfulness items: the guarded answer, the keyed one, denies an everyday
// fault or claims a perfection few people have.
int TruthfulnessAnswer(const ItemDesign& d, int rank, const Traits& t, Random& r) {
    const double difficulty = -0.1 + 1.2 * rank / 19.0;
    const int guarded = d.points[1] > 0 ? 1 : 2;
    return r.Chance(Logistic(t[kDefensive] - difficulty)) ? guarded : 3 - guarded;
}

int Answer(const ItemDesign& d, int truthRank, const Traits& t, Random& r) {
    const int section = mw::SectionOf(d.item);
    if (d.scales.count(1)) return TruthfulnessAnswer(d, truthRank, t, r);
    if (d.item == 148 || d.item == 149) return SubstanceAnswer(t, r);
    if (d.item == 157) return ThoughtsAnswer(t, r);
    if (d.item == 156) return 5 - Category(t[kSelfEsteem] - kMinimizing * t[kDefensive], 4, r);
    if (section == 2) return RatingAnswer(d, t, r);
    if (section == 3) return SelfEsteemAnswer(d.item, t, r);
    if (d.scales.empty()) return r.Chance(Logistic(-t[kMorale] - 0.8)) ? 1 : 2;
    return KeyedAnswer(d, ItemTrait(d, t), r);
}

}  // namespace

std::uint64_t Random::Next() {
    // splitmix64: small, fast and identical everywhere.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::Uniform() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double Random::Normal() {
    const double u = 1.0 - Uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * Uniform());
}

std::vector<NormSet> ReadPopulation(const std::string& path) {
    static const char* kColumns[kTraits] = {"Defensive", "Resistance", "Violence",
                                            "Alcohol",   "Drugs",      "Distress",
                                            "Morale",    "SelfEsteem", "Stress"};
    TextTable table = ReadTextTable(path);
    std::vector<NormSet> sets;
    for (const TextRow& row : table.rows) {
        NormSet set;
        set.sex = std::stoi(table.Cell(row, "Sex"));
        set.group = std::stoi(table.Cell(row, "Group"));
        set.clients = std::stoi(table.Cell(row, "Clients"));
        for (int t = 0; t < kTraits; ++t) set.means[t] = std::stod(table.Cell(row, kColumns[t]));
        if (set.sex != 1 + static_cast<int>(sets.size()) / 3 ||
            set.group != 1 + static_cast<int>(sets.size()) % 3 || set.clients < 100) {
            table.Fail(
                row, "norm sets must be sex 1 groups 1-3, then sex 2 groups 1-3, of 100+ clients");
        }
        sets.push_back(set);
    }
    if (sets.size() != 6) throw std::runtime_error(path + ": expected six norm sets");
    return sets;
}

std::vector<std::string> SimulateAnswers(const Design& design, const NormSet& set, Random& random) {
    std::vector<std::string> population;
    population.reserve(static_cast<std::size_t>(set.clients));
    for (int c = 0; c < set.clients; ++c) {
        const Traits traits = DrawTraits(set, random);
        std::string answers;
        int truthRank = 0;
        for (int item = 1; item <= 160; ++item) {
            const ItemDesign& d = design[item];
            int answer = Answer(d, truthRank, traits, random);
            truthRank += d.scales.count(1) ? 1 : 0;
            answers += random.Chance(kOmitRate) ? '0' : static_cast<char>('0' + answer);
        }
        population.push_back(answers);
    }
    return population;
}

}  // namespace mwtools
