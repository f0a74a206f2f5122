#include "cli/archive/ArchiveCli.h"

#include <cstdio>
#include <ostream>

#include "cli/ToolStatus.h"
#include "cli/archive/ArchiveNorms.h"
#include "cli/archive/ArchiveStats.h"
#include "core/data/Clock.h"
#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "core/data/FileSystem.h"
#include "core/data/Sha256.h"
#include "core/data/SiteKey.h"
#include "core/report/ScoreAndPrint.h"
#include "core/scoring/ScoringTables.h"

namespace mw {
namespace {

// A norm set drawn from fewer clients than this keeps the shipped one.
constexpr std::int64_t kDefaultMinCell = 100;

std::string Timestamp(const DateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.date.year, t.date.month,
                  t.date.day, t.hour, t.minute, t.second);
    return text;
}

// The scoring data of the program folder, and the short hash by which the
// archive tells one data set from another.
struct LoadedScoring {
    ScoringTables tables;
    std::string dataSet;
};

Result<LoadedScoring> ReadScoring(const std::string& programDir) {
    const std::string path = JoinPath(programDir, kScoringFileName);
    Result<std::string> text = LocalFileSystem().ReadFile(path);
    if (!text) return text.error();
    Result<ScoringTables> tables = ParseScoringTables(path, *text);
    if (!tables) return tables.error();
    return LoadedScoring{std::move(*tables), Sha256Hex(*text).substr(0, 16)};
}

struct AddTotals {
    int disks = 0;
    int newVersions = 0;
    int unchanged = 0;
    int refused = 0;
    int added = 0;
    int skipped = 0;
};

void Describe(std::ostream& out, const std::string& path, const AddResult& r, AddTotals& totals) {
    out << path << ": ";
    if (r.outcome == DiskOutcome::AlreadyArchived) {
        ++totals.unchanged;
        out << "already in the archive, nothing added\n";
        return;
    }
    if (r.outcome == DiskOutcome::NewVersion) {
        ++totals.newVersions;
        out << "changed since it was added: version " << r.version << " added, ";
    } else {
        out << "added, ";
    }
    out << r.added << " clients";
    if (r.skipped) out << ", " << r.skipped << " skipped (names not deleted)";
    out << "\n";
    totals.added += r.added;
    totals.skipped += r.skipped;
}

std::string CellName(int sex, int group) {
    return "sex " + std::to_string(sex) + " group " + std::to_string(group) + " (" +
           std::string(kGenderTexts[static_cast<std::size_t>(sex)]) + ", " +
           std::string(kRaceTexts[static_cast<std::size_t>(group)]) + ")";
}

std::string ScaleName(const ReportData& data, int scale) {
    return Cp1252ToUtf8(Trim(data.texts.ScaleNames[scale]));
}

// The archive to read and the scoring data and texts of the program folder.
struct ReadingArchive {
    Archive archive;
    ReportData data;
};

Result<ReadingArchive> OpenForReading(const Options& o) {
    Result<ReportData> data =
        ScoreAndPrint(LocalFileSystem(), o.values.at("--program-dir")).ReadData();
    if (!data) return data.error();
    Result<Archive> archive = Archive::OpenExisting(o.values.at("--archive"));
    if (!archive) return archive.error();
    return ReadingArchive{std::move(*archive), std::move(*data)};
}

void PrintShifts(std::ostream& out, const ReportData& data, const std::vector<NormShift>& shifts) {
    if (shifts.empty()) {
        out << "No percentile moved from the shipped norms.\n";
        return;
    }
    out << "Percentiles moved from the shipped norms, largest shift first:\n";
    for (const NormShift& s : shifts) {
        out << "  " << CellName(s.sex, s.group) << "  " << ScaleName(data, s.scale)
            << (s.scale == kStressCoping ? " interval " : " raw ") << s.raw << ": " << s.shipped
            << " -> " << s.candidate << " (" << (s.candidate > s.shipped ? "+" : "")
            << s.candidate - s.shipped << ")\n";
    }
}

}  // namespace

std::vector<std::string> DisksOf(const Options& o) {
    std::vector<std::string> disks;
    if (o.values.count("--disk")) disks.push_back(o.values.at("--disk"));
    disks.insert(disks.end(), o.operands.begin(), o.operands.end());
    return disks;
}

// Each disk is read and checked whole before anything of it is stored, and
// stored in one transaction: a disk that fails, or an add cut short, leaves
// nothing of that disk in the archive, and the next add takes it again.
int ArchiveAdd(const Options& o, std::ostream& out, std::ostream& err) {
    const std::string& programDir = o.values.at("--program-dir");
    Result<LoadedScoring> scoring = ReadScoring(programDir);
    if (!scoring) return Fail(err, scoring.error());
    std::string siteKey;
    if (o.flags.count("--pseudonyms")) {
        Result<std::string> key = SiteKey(LocalFileSystem(), programDir);
        if (!key) return Fail(err, key.error());
        siteKey = *key;
    }
    Result<Archive> archive =
        Archive::Open(o.values.at("--archive"), o.flags.count("--identified") > 0);
    if (!archive) return Fail(err, archive.error());
    if (o.flags.count("--identified") && !archive->Identified()) {
        return Fail(err, MakeError(errc::BadData, o.values.at("--archive") +
                                                      ": the archive keeps no names; it was not "
                                                      "created --identified"));
    }
    const ArchiveScoring use{&scoring->tables, scoring->dataSet};
    AddTotals totals;
    for (const std::string& path : DisksOf(o)) {
        ++totals.disks;
        Result<ReturnedDisk> disk = ReadReturnedDisk(path, programDir, siteKey);
        Result<AddResult> added =
            disk ? archive->Add(*disk, use, Timestamp(SystemClock().Now())) : disk.error();
        if (!added) {
            ++totals.refused;
            out << path << ": refused: " << added.error().message << "\n";
            continue;
        }
        Describe(out, path, *added, totals);
    }
    out << totals.disks << " disks: " << totals.disks - totals.refused - totals.unchanged
        << " added (" << totals.newVersions << " of them new versions), " << totals.unchanged
        << " already in the archive, " << totals.refused << " refused; " << totals.added
        << " clients added, " << totals.skipped << " skipped\n";
    return totals.refused ? kDataError : kOk;
}

int ArchiveList(const Options& o, std::ostream& out, std::ostream& err) {
    Result<Archive> archive = Archive::OpenExisting(o.values.at("--archive"));
    if (!archive) return Fail(err, archive.error());
    out << o.values.at("--archive") << ": an archive "
        << (archive->Identified() ? "with names (identified)" : "without names") << "\n";
    if (Status st = archive->List(out); !st) return Fail(err, st.error());
    return kOk;
}

// The candidate norms are written only whole: the norm sections of the
// scoring data file, to be set into a copy of it and tried on a station.
int ArchiveNorms(const Options& o, std::ostream& out, std::ostream& err,
                 const OutputWriter& write) {
    std::int64_t minCell = kDefaultMinCell;
    if (o.values.count("--min-cell")) {
        char* end = nullptr;
        const std::string& text = o.values.at("--min-cell");
        minCell = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || minCell < 1) {
            return Usage(err, "option '--min-cell' needs a number of clients, not '" + text + "'");
        }
    }
    Result<ReadingArchive> reading = OpenForReading(o);
    if (!reading) return Fail(err, reading.error());
    Result<NormCells> cells = CountNormCells(reading->archive, reading->data.tables);
    if (!cells) return Fail(err, cells.error());
    const CandidateNorms norms = MakeCandidateNorms(reading->data.tables, *cells, minCell);
    if (Status st = write(o.values.at("--output"), NormSections(norms.tables)); !st) {
        return Fail(err, st.error());
    }
    out << "Valid protocols per norm set:\n";
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            const std::int64_t n = (*cells)[sex][group].clients;
            out << "  " << CellName(sex, group) << ": " << n << " clients";
            if (n < minCell) out << ", fewer than " << minCell << ": the shipped norms are kept";
            out << "\n";
        }
    }
    PrintShifts(out, reading->data, norms.shifts);
    return kOk;
}

Result<ExportTable> ArchiveExportTable(Archive& archive, const ReportData& data,
                                       const ExportOptions& options,
                                       const std::vector<QuestionRow>& questions) {
    std::vector<std::pair<int, ArchivedClient>> clients;
    Status st = archive.ForEachClient(
        [&clients](int disk, const ArchivedClient& c) { clients.emplace_back(disk, c); });
    if (!st) return st.error();
    std::vector<ExportClient> rows;
    rows.reserve(clients.size());
    for (const auto& [disk, c] : clients) {
        rows.push_back({c.record, c.testNumber, c.paradata ? &*c.paradata : nullptr});
    }
    ExportTable table = MakeExportTable(rows, data, options, questions);
    const ExportVariable diskVariable{
        "disk",
        "The entry of the client's disk in the archive (archive list)",
        VariableType::Integer,
        {},
        "1-",
        "never empty",
        {}};
    const ExportVariable routeVariable{
        "route",
        "How the answers reached the disk: on-screen, keyed, scanned or sample client",
        VariableType::Text,
        {},
        "",
        "empty where the disk's audit log does not say",
        {}};
    table.variables.insert(table.variables.begin(), {diskVariable, routeVariable});
    for (std::size_t i = 0; i < clients.size(); ++i) {
        const ArchivedClient& c = clients[i].second;
        table.rows[i].insert(table.rows[i].begin(), {ExportCell{std::to_string(clients[i].first)},
                                                     ExportCell{c.route.value_or("")}});
    }
    return table;
}

int ArchiveStats(const Options& o, std::ostream& out, std::ostream& err) {
    Result<ReadingArchive> reading = OpenForReading(o);
    if (!reading) return Fail(err, reading.error());
    Result<ArchiveStatistics> stats = GatherStatistics(reading->archive, reading->data.tables);
    if (!stats) return Fail(err, stats.error());
    ScaleNames names;
    for (int scale = 1; scale <= kScaleCount; ++scale)
        names[scale] = ScaleName(reading->data, scale);
    PrintStatistics(out, *stats, ScaleItemsOf(reading->data.tables), names,
                    o.flags.count("--json") > 0);
    return kOk;
}

}  // namespace mw
