#include "cli/archive/ArchiveNorms.h"

#include <algorithm>
#include <cstdlib>

#include "core/scoring/ScoreSheet.h"

namespace mw {

Result<NormCells> CountNormCells(Archive& archive, const ScoringTables& tables) {
    NormCells cells{};
    const std::string sql = std::string("SELECT answers, norm_sex, norm_group FROM ") +
                            kCurrentClients + " WHERE valid = 1";
    Status st = archive.Db().Query(sql, {}, [&](const SqlRow& row) {
        const int sex = std::atoi(row[1].value_or("1").c_str());
        const int group = std::atoi(row[2].value_or("1").c_str());
        if (sex < 1 || sex > 2 || group < 1 || group > 3) return true;
        NormCell& cell = cells[sex][group];
        const ScoreSheet sheet = ScoreRawPoints(row[0].value_or(""), tables);
        ++cell.clients;
        for (int scale = 1; scale <= kScaleCount; ++scale)
            ++cell.raws[scale][sheet.RawScore[scale]];
        return true;
    });
    if (!st) return st.error();
    return cells;
}

namespace {

void NoteShifts(const std::vector<int>& shipped, const std::vector<int>& candidate, NormShift where,
                std::vector<NormShift>& shifts, int firstRaw) {
    for (std::size_t i = 0; i < std::min(shipped.size(), candidate.size()); ++i) {
        if (shipped[i] == candidate[i]) continue;
        where.raw = firstRaw + static_cast<int>(i);
        where.shipped = shipped[i];
        where.candidate = candidate[i];
        shifts.push_back(where);
    }
}

}  // namespace

CandidateNorms MakeCandidateNorms(const ScoringTables& shipped, const NormCells& cells,
                                  std::int64_t minCell) {
    CandidateNorms result{shipped, {}, {}};
    ScoringTables& t = result.tables;
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            const NormCell& cell = cells[sex][group];
            if (cell.clients < minCell || cell.clients == 0) {
                result.keptCells.emplace_back(sex, group);
                continue;
            }
            for (int scale = 1; scale <= kSelfEsteem; ++scale) {
                std::vector<int>& norm = t.Norms[sex][group][scale];
                const std::vector<int> before = norm;
                norm = MidRankNorm(cell.raws[scale], static_cast<int>(before.size()));
                NoteShifts(before, norm, {sex, group, scale}, result.shifts, 1);
            }
            auto& stress = t.StressNorms[sex][group];
            const std::vector<int> before(stress.begin() + 1, stress.end());
            stress = StressCopingNorm(cell.raws[kStressCoping], t.StressBounds);
            NoteShifts(before, std::vector<int>(stress.begin() + 1, stress.end()),
                       {sex, group, kStressCoping}, result.shifts, 1);
        }
    }
    std::stable_sort(
        result.shifts.begin(), result.shifts.end(), [](const NormShift& a, const NormShift& b) {
            return std::abs(a.candidate - a.shipped) > std::abs(b.candidate - b.shipped);
        });
    return result;
}

}  // namespace mw
