// Norms and scale statistics drawn from an archive, on samples whose
// results are known without computing them the way the tool does.
#include <gtest/gtest.h>

#include <regex>

#include "cli/archive/ArchiveSupport.h"
#include "core/scoring/ScoreSheet.h"
#include "core/scoring/ScoringTables.h"

namespace mwtest {
namespace {

class ArchiveNormsTest : public ArchiveFixture {
protected:
    mw::ScoringTables Shipped() const {
        return mw::ParseScoringTables("MWB.TXT", ReadAll(program.File("MWB.TXT"))).value();
    }

    // The shipped scoring data file with its norm sections replaced by `sections`.
    std::string Candidate(const std::string& sections) const {
        const std::string shipped = ReadAll(program.File("MWB.TXT"));
        const auto from = shipped.find("NORMS:");
        const auto to = shipped.find("STRESS COPING BOUNDS");
        return shipped.substr(0, from) + sections + shipped.substr(to);
    }

    // Answers of a valid protocol, from a generated disk.
    std::string ValidAnswers() const {
        const auto tables = Shipped();
        for (const mw::ClientRecord& r : RecordsOf(SharedDisk(1, 0))) {
            if (mw::IsValidProtocol(mw::ScoreClient(r, tables)))
                return std::string(r.Answers.View());
        }
        return "";
    }
};

// Every client of a norm set with the same answers: each percentile below
// their raw score is 0, at it 50 (half of them), above it 99; a set of too
// few clients, and one of none, keep the shipped norms; invalid protocols
// do not count.
TEST_P(ArchiveNormsTest, DrawsEachLargeEnoughNormSetFromItsValidProtocols) {
    const std::string answers = ValidAnswers();
    ASSERT_FALSE(answers.empty());
    const std::string allTrue(93, '1');
    WriteDisk(disks.File("a"),
              {ReturnedClient("1", "5", answers), ReturnedClient("0", "1", answers),
               ReturnedClient("1", "1", allTrue + answers.substr(93)),
               ReturnedClient("2", "3", answers)});
    ASSERT_EQ(Add({disks.File("a")}).status, 0);
    const CliRun run = Run("norms", {"--min-cell", "2", "--output", files.File("norms.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("sex 1 group 1 (Male, Caucasian): 2 clients\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("sex 2 group 3 (Female, Hispanic): 1 clients, fewer than 2: the "
                           "shipped norms are kept"),
              std::string::npos);

    auto parsed = mw::ParseScoringTables("candidate", Candidate(ReadAll(files.File("norms.txt"))));
    ASSERT_TRUE(parsed) << parsed.error().message;
    const mw::ScoringTables shipped = Shipped();
    const mw::ScoreSheet raw = mw::ScoreRawPoints(answers, shipped);
    for (int scale = 1; scale <= mw::kSelfEsteem; ++scale) {
        const std::vector<int>& norm = parsed->Norms[1][1][scale];
        ASSERT_EQ(norm.size(), shipped.Norms[1][1][scale].size());
        for (int r = 1; r <= static_cast<int>(norm.size()); ++r) {
            const int R = raw.RawScore[scale];
            EXPECT_EQ(norm[static_cast<std::size_t>(r - 1)], r < R    ? 0
                                                             : r == R ? 50
                                                                      : 99)
                << "scale " << scale << " raw " << r;
        }
        EXPECT_EQ(parsed->Norms[2][3][scale], shipped.Norms[2][3][scale]);
        EXPECT_EQ(parsed->Norms[1][2][scale], shipped.Norms[1][2][scale]);
    }
    const int stress = raw.RawScore[mw::kStressCoping];
    for (int k = 1; k <= mw::kStressIntervals; ++k) {
        const int expected = stress <= shipped.StressBounds[k]       ? 0
                             : stress <= shipped.StressBounds[k + 1] ? 50
                                                                     : 99;
        EXPECT_EQ(parsed->StressNorms[1][1][k], expected) << "interval " << k;
    }
    EXPECT_EQ(parsed->StressNorms[2][3], shipped.StressNorms[2][3]);

    // The shifts, largest first.
    int last = 100;
    const std::regex shift(R"(: (\d+) -> (\d+) \(([-+]\d+)\))");
    for (std::sregex_iterator i(run.out.begin(), run.out.end(), shift), end; i != end; ++i) {
        const int size = std::abs(std::stoi((*i)[3]));
        EXPECT_LE(size, last);
        EXPECT_EQ(std::stoi((*i)[2]) - std::stoi((*i)[1]), std::stoi((*i)[3]));
        last = size;
    }
    EXPECT_LT(last, 100) << "no shift printed";
}

double JsonValue(const std::string& json, const std::string& pattern) {
    std::smatch found;
    if (!std::regex_search(json, found, std::regex(pattern + "([-0-9.]+)"))) return -99;
    return std::stod(found[1]);
}

// Stress Coping's items answered at one level by each client: every item
// measures the same, so alpha and each corrected item-total correlation are 1.
// A client leaving an item out gives it its missing rate.
TEST_P(ArchiveNormsTest, StatisticsOfItemsThatAgreeCompletely) {
    std::string answers = ValidAnswers();
    std::vector<mw::ClientRecord> clients;
    for (char level : {'1', '2', '3'}) {
        for (int item : mw::kCopingItems) answers[static_cast<std::size_t>(item - 1)] = level;
        for (int item : mw::kStressItems) {
            answers[static_cast<std::size_t>(item - 1)] = static_cast<char>('5' - (level - '0'));
        }
        clients.push_back(ReturnedClient("1", "1", answers));
    }
    WriteDisk(disks.File("a"), clients);
    ASSERT_EQ(Add({disks.File("a")}).status, 0);
    CliRun run = Run("stats", {"--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string all = run.out.substr(0, run.out.find("\"group\":\"language"));
    const std::string coping = all.substr(all.find("\"scale\":9"));
    EXPECT_NEAR(JsonValue(coping, "\"alpha\":"), 1.0, 1e-9);
    EXPECT_NEAR(JsonValue(coping, "\"item\":94,\"itemTotal\":"), 1.0, 1e-9);
    EXPECT_NEAR(JsonValue(coping, "\"item\":122,\"itemTotal\":"), 1.0, 1e-9);
    EXPECT_NE(run.out.find("{\"group\":\"route not recorded\",\"clients\":3"), std::string::npos);
    EXPECT_NE(run.out.find("{\"group\":\"route keyed\",\"clients\":0"), std::string::npos);

    answers[93] = '0';  // item 94 left out
    WriteDisk(disks.File("b"), {ReturnedClient("1", "1", answers)});
    ASSERT_EQ(Add({disks.File("b")}).status, 0);
    run = Run("stats", {"--json"});
    EXPECT_NEAR(JsonValue(run.out, "\"item\":94,\"itemTotal\":[-0-9.]+,\"missing\":"), 0.25, 1e-9);
    EXPECT_NEAR(JsonValue(run.out, "\"item\":96,\"itemTotal\":[-0-9.]+,\"missing\":"), 0.0, 1e-9);
    EXPECT_EQ(Run("stats", {}).status, 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveNormsTest,
                         testing::Values(Engine::Sqlite, Engine::Postgres), EngineName);

}  // namespace
}  // namespace mwtest
