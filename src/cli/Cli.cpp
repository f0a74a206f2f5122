#include "cli/Cli.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <variant>

#include "cli/CommandLine.h"
#include "cli/CsvExport.h"
#include "cli/StationFiles.h"
#include "cli/StatsExport.h"
#include "cli/ToolStatus.h"
#include "cli/XlsxExport.h"
#include "cli/archive/ArchiveCli.h"
#include "core/data/AnswerRanges.h"
#include "core/data/AuditLog.h"
#include "core/data/ClientStore.h"
#include "core/data/Cp1252.h"
#include "core/data/DataDisk.h"
#include "core/data/Paradata.h"
#include "core/data/Product.h"
#include "core/data/ScannedSheets.h"
#include "core/data/SiteKey.h"
#include "core/report/PdfWriter.h"
#include "core/report/ScoreAndPrint.h"
#include "core/settings/Settings.h"

namespace mw {
namespace {

const char* const kUsage =
    "usage: mirrorwise-cli list --disk DIR\n"
    "       mirrorwise-cli report [--program-dir DIR] --disk DIR --client N [--summary]\n"
    "                             [--paradata] [--output FILE | --pdf FILE [--paper letter|a4]]\n"
    "       mirrorwise-cli score [--program-dir DIR] --disk DIR --client N [--json]\n"
    "       mirrorwise-cli reports [--program-dir DIR] --disk DIR --output-dir DIR [--summary]\n"
    "                              [--paradata] [--pdf [--paper letter|a4]]\n"
    "       mirrorwise-cli export [--program-dir DIR] --disk DIR [--output FILE]\n"
    "                             [--format csv|sav|dta|xlsx] [--codebook FILE]\n"
    "                             [--anonymised [--dates keep|year|shift]]\n"
    "                             [--keep-invalid-scores] [--missing-kinds] [--excel]\n"
    "       mirrorwise-cli import [--program-dir DIR] --disk DIR --file FILE [--layout NAME]\n"
    "                             [--inmate-column NAME] [--name-column NAME]\n"
    "       mirrorwise-cli audit [--program-dir DIR] --disk DIR\n"
    "       mirrorwise-cli archive add [--program-dir DIR] --archive TARGET [--identified]\n"
    "                              [--pseudonyms] --disk DIR [DIR...]\n"
    "       mirrorwise-cli archive list --archive TARGET\n"
    "       mirrorwise-cli archive export [--program-dir DIR] --archive TARGET [--output FILE]\n"
    "                              [--format csv|sav|dta|xlsx] [--codebook FILE]\n"
    "                              [--anonymised [--dates keep|year|shift]]\n"
    "                              [--keep-invalid-scores] [--missing-kinds] [--excel]\n"
    "       mirrorwise-cli archive norms [--program-dir DIR] --archive TARGET [--min-cell N]\n"
    "                              --output FILE\n"
    "       mirrorwise-cli archive stats [--program-dir DIR] --archive TARGET [--json]\n"
    "       mirrorwise-cli -h | --help | --version\n"
    "An option's value follows it or an equals sign (--client 2, --client=2);\n"
    "an option may be shortened while it names one alone; -- ends the options.\n"
    "A FILE of \"-\" is standard output (standard input for import's --file).\n"
    "An archive's TARGET is an SQLite file or a postgresql:// connection URI.\n"
    "Without --program-dir a command works in the station's program folder: the\n"
    "folder of the executables, or the user's own for an installed station.\n";

// Where a file the user names as "-" goes, or comes from.
constexpr const char* kStandardOutput = "-";
constexpr const char* kStandardInput = "-";

// The program folder a command works in: the one --program-dir names, else
// the one this user's station works in, made and brought up to date from
// the installed data set as the station does it.
Result<std::string> ProgramDir(const Options& o) {
    if (o.values.count("--program-dir")) return o.values.at("--program-dir");
    if (Status st = SeedProgramFolder(LocalFileSystem(), o.programFolder); !st) return st.error();
    return o.programFolder.path;
}

// Events on a data disk, added to its audit log. The command's work is done
// by then and counts: a log that cannot be written is named on stderr, once,
// and leaves the exit status as it is.
class DiskAudit {
public:
    DiskAudit(const Options& o, const std::string& disk, std::ostream& err)
        : log_(LocalFileSystem(), disk, o.Value("--program-dir")), err_(err) {}

    void Add(const AuditEntry& entry) { Add(std::span(&entry, 1)); }
    void Add(std::span<const AuditEntry> entries) {
        const Status st = log_.AppendAll(SystemClock().Now(), entries);
        if (st || warned_) return;
        warned_ = true;
        err_ << "mirrorwise-cli: audit log not written: " << st.error().message << "\n";
    }

private:
    AuditLog log_;
    std::ostream& err_;
    bool warned_ = false;
};

// A folder is read as a data disk only when its TID says it is one.
Status CheckDataDisk(const std::string& folder) {
    Result<bool> marked = HasDataDiskIdentity(LocalFileSystem(), folder);
    if (marked && *marked) return {};
    const std::string why =
        marked ? "its TID does not read " + std::string(kIdentityMark) : marked.error().message;
    return MakeError(errc::BadData, folder + " is not a data disk: " + why);
}

// What a load found out of the way on the disk goes to stderr.
Notify NoteTo(std::ostream& err) {
    return [&err](const std::string& note) { err << "mirrorwise-cli: " << note << "\n"; };
}

// The disk's records, read without creating or changing anything there.
Result<StationState> LoadDisk(const Options& o, std::ostream& err) {
    StationState state;
    state.DataPath = o.values.at("--disk");
    if (Status st = CheckDataDisk(state.DataPath); !st) return st.error();
    if (Status st = ClientStore(state, LocalFileSystem(), NoteTo(err)).LoadRecordsReadOnly(); !st) {
        return st.error();
    }
    return state;
}

std::optional<int> ParseNumber(const std::string& text) {
    int n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return n;
}

Status CheckClient(const StationState& state, int n) {
    if (n >= 1 && n <= state.RecordCount) return {};
    return MakeError(errc::BadRecordNumber, "no client " + std::to_string(n) + " in " +
                                                JoinPath(state.DataPath, kRecordFileName) +
                                                ", which holds " +
                                                std::to_string(state.RecordCount) + " clients");
}

// The disk and the client of a one-client command; the exit status when
// --client is not a number (usage) or not a client of the disk (data).
std::optional<int> LoadClient(const Options& o, std::ostream& err, StationState& state, int& n) {
    std::optional<int> number = ParseNumber(o.values.at("--client"));
    if (!number) {
        return Usage(err,
                     "option '--client' needs a number, not '" + o.values.at("--client") + "'");
    }
    Result<StationState> disk = LoadDisk(o, err);
    if (!disk) return Fail(err, disk.error());
    if (Status st = CheckClient(*disk, *number); !st) return Fail(err, st.error());
    state = std::move(*disk);
    n = *number;
    return std::nullopt;
}

// Missing paragraphs: the report was written, but the caller must know.
int ReportProblems(const std::vector<std::string>& problems, std::ostream& err) {
    for (const std::string& p : problems) err << "mirrorwise-cli: " << p << "\n";
    return problems.empty() ? kOk : kDataError;
}

int List(const Options& o, std::ostream& out, std::ostream& err) {
    Result<StationState> state = LoadDisk(o, err);
    if (!state) return Fail(err, state.error());
    for (int n = 1; n <= state->RecordCount; ++n) {
        out << n << "-" << Cp1252ToUtf8(Printable(state->ClientRecords[n].Name.View())) << "\n";
    }
    return kOk;
}

// The paper of a PDF: the system's unless --paper names one. A --paper that
// names no paper or comes without a PDF gets none, and `problem` says why.
std::optional<Paper> PaperOf(const Options& o, bool pdf, std::string& problem) {
    const auto given = o.values.find("--paper");
    if (given == o.values.end()) return SystemPaper(LocalFileSystem());
    const std::optional<Paper> paper = pdf ? PaperNamed(given->second) : std::nullopt;
    if (!pdf) problem = "option '--paper' goes with '--pdf'";
    if (pdf && !paper) problem = "option '--paper' takes letter or a4, not '" + given->second + "'";
    return paper;
}

// Writes a file the user named, or standard output for "-". A file of the
// station's own is refused; any other is replaced whole, unsynced, as the
// tool can make it again.
Status WriteOutput(const Options& o, const std::string& path, std::string_view bytes,
                   std::ostream& out) {
    if (path == kStandardOutput) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return {};
    }
    if (Status st = CheckOutsideInstalledData(path, o.programFolder); !st) return st;
    if (Status st = CheckNotStationFile(path, o.Value("--program-dir"), o.Value("--disk")); !st) {
        return st;
    }
    // REPORT.PRN is overwritten in its own blocks, as the station does: no
    // earlier client's report goes to the free space, and a run cut short
    // leaves no temporary copy beside it.
    if (path == ScoreAndPrint(LocalFileSystem(), o.Value("--program-dir")).ReportPath()) {
        return OverwriteFile(LocalFileSystem(), path, bytes);
    }
    return LocalFileSystem().ReplaceRemakeableFile(path, bytes);
}

// Where a report goes: its text to a file, or its sheets, as the printer
// lays them out, to a PDF.
struct ReportTarget {
    std::string path;
    std::optional<Paper> pdf;
};

Result<std::vector<std::string>> WriteClientReport(const Options& o, const ScoreAndPrint& reports,
                                                   const ClientRecord& record, int n,
                                                   const ReportTarget& target, std::ostream& out,
                                                   DiskAudit& audit) {
    std::optional<std::vector<std::string>> paradata;
    if (o.flags.count("--paradata")) {
        auto lines = ParadataLines(LocalFileSystem(), o.values.at("--disk"), n);
        if (!lines) return lines.error();
        paradata = std::move(*lines);
    }
    Result<ComposedReport> report =
        reports.Compose(record, n, o.flags.count("--summary") > 0, paradata ? &*paradata : nullptr);
    if (!report) return report.error();
    if (target.pdf) {
        Result<std::string> pdf =
            ReportPdf(LocalFileSystem(), report->bytes, *target.pdf, SystemClock().Now());
        if (!pdf) return pdf.error();
        report->bytes = std::move(*pdf);
    }
    if (Status st = WriteOutput(o, target.path, report->bytes, out); !st) return st.error();
    audit.Add({AuditEvent::Exported, n, target.pdf ? "PDF report" : "text report"});
    return report->problems;
}

int Report(const Options& o, std::ostream& out, std::ostream& err) {
    const bool pdf = o.values.count("--pdf") > 0;
    std::string problem;
    const std::optional<Paper> paper = PaperOf(o, pdf, problem);
    if (!paper) return Usage(err, problem);
    if (pdf && o.values.count("--output")) {
        return Usage(err, "options '--pdf' and '--output' do not go together");
    }
    StationState state;
    int n = 0;
    if (std::optional<int> status = LoadClient(o, err, state, n)) return *status;
    ScoreAndPrint reports(LocalFileSystem(), o.values.at("--program-dir"));
    const ReportTarget target =
        pdf ? ReportTarget{o.values.at("--pdf"), paper}
            : ReportTarget{
                  o.values.count("--output") ? o.values.at("--output") : reports.ReportPath(),
                  std::nullopt};
    DiskAudit audit(o, state.DataPath, err);
    auto problems = WriteClientReport(o, reports, state.ClientRecords[n], n, target, out, audit);
    if (!problems) return Fail(err, problems.error());
    return ReportProblems(*problems, err);
}

int Reports(const Options& o, std::ostream& out, std::ostream& err) {
    const bool pdf = o.flags.count("--pdf") > 0;
    std::string problem;
    const std::optional<Paper> paper = PaperOf(o, pdf, problem);
    if (!paper) return Usage(err, problem);
    Result<StationState> state = LoadDisk(o, err);
    if (!state) return Fail(err, state.error());
    const std::string& outputDir = o.values.at("--output-dir");
    if (Status st = CheckOutsideInstalledData(outputDir, o.programFolder); !st) {
        return Fail(err, st.error());
    }
    std::error_code ec;
    std::filesystem::create_directories(outputDir, ec);
    ScoreAndPrint reports(LocalFileSystem(), o.values.at("--program-dir"));
    std::vector<std::string> all;
    DiskAudit audit(o, state->DataPath, err);
    for (int n = 1; n <= state->RecordCount; ++n) {
        const ReportTarget target{JoinPath(outputDir, std::to_string(n) + (pdf ? ".pdf" : "")),
                                  pdf ? paper : std::nullopt};
        auto problems =
            WriteClientReport(o, reports, state->ClientRecords[n], n, target, out, audit);
        if (!problems) return Fail(err, problems.error());
        for (const std::string& p : *problems)
            all.push_back("client " + std::to_string(n) + ": " + p);
    }
    return ReportProblems(all, err);
}

void PrintJsonArray(std::ostream& out, const char* key, const std::array<int, kScaleCount + 1>& v) {
    out << "\"" << key << "\":[";
    for (int scale = 1; scale <= kScaleCount; ++scale) out << (scale > 1 ? "," : "") << v[scale];
    out << "]";
}

// A number, or the string "not recorded" for a client whose answers were not given on the screen.
std::string JsonEffortIndex(const std::map<int, Paradata>& paradata, int record) {
    const std::string index = EffortIndexOf(paradata, record);
    return paradata.count(record) ? index : "\"" + index + "\"";
}

int Score(const Options& o, std::ostream& out, std::ostream& err) {
    StationState state;
    int n = 0;
    if (std::optional<int> status = LoadClient(o, err, state, n)) return *status;
    ScoreAndPrint reports(LocalFileSystem(), o.values.at("--program-dir"));
    Result<ReportData> data = reports.ReadData();
    if (!data) return Fail(err, data.error());
    const ClientRecord& record = state.ClientRecords[n];
    const ScoreSheet sheet = ScoreClient(record, data->tables);
    if (o.flags.count("--json")) {
        Result<std::map<int, Paradata>> paradata = ReadParadata(LocalFileSystem(), state.DataPath);
        if (!paradata) return Fail(err, paradata.error());
        out << "{";
        PrintJsonArray(out, "raw", sheet.RawScore);
        out << ",";
        PrintJsonArray(out, "percentile", sheet.Percentile);
        out << ",";
        PrintJsonArray(out, "omitted", sheet.OmittedCount);
        out << ",";
        PrintJsonArray(out, "scored", sheet.ScoredItemCount);
        out << ",\"effortIndex\":" << JsonEffortIndex(*paradata, n) << "}\n";
        return kOk;
    }
    char row[128];
    std::snprintf(row, sizeof row, "%-16s %5s %10s %8s %7s\n", "Scale", "Raw", "Percentile",
                  "Omitted", "Scored");
    out << row;
    for (int scale = 1; scale <= kScaleCount; ++scale) {
        std::snprintf(row, sizeof row, "%-16s %5d %10d %8d %7d\n",
                      Cp1252ToUtf8(data->texts.ScaleNames[scale]).c_str(), sheet.RawScore[scale],
                      sheet.Percentile[scale], sheet.OmittedCount[scale],
                      sheet.ScoredItemCount[scale]);
        out << row;
    }
    return kOk;
}

// The question table that labels the items and their answers; none when the
// database cannot be read, and the items are described by their sections.
std::vector<QuestionRow> CodebookQuestions(const std::string& programDir) {
    auto database = Database::Open(JoinPath(programDir, kQuestionDatabaseName), true);
    if (!database) return {};
    Result<std::vector<QuestionRow>> rows = (*database)->ReadQuestionTable(kAnswerSheetTable);
    return rows ? *rows : std::vector<QuestionRow>();
}

// What the export's flags ask for; an anonymised table needs the site key,
// made here on the first anonymised export.
Result<ExportOptions> ExportOptionsOf(const Options& o, DateChoice dates) {
    ExportOptions options;
    options.anonymised = o.flags.count("--anonymised") > 0;
    options.keepInvalidScores = o.flags.count("--keep-invalid-scores") > 0;
    options.missingKinds = o.flags.count("--missing-kinds") > 0;
    options.excel = o.flags.count("--excel") > 0;
    options.dates = dates;
    if (!options.anonymised) return options;
    const std::string& programDir = o.values.at("--program-dir");
    // The key is made at the first anonymised export: never in the installed data set.
    const std::string keyPath = JoinPath(programDir, kSiteKeyFileName);
    if (Status st = CheckOutsideInstalledData(keyPath, o.programFolder); !st) return st.error();
    Result<std::string> key = SiteKey(LocalFileSystem(), programDir);
    if (!key) return key.error();
    options.siteKey = *key;
    return options;
}

// The formats of `export --format`, by name, and the name an audit line gives each.
enum class ExportFormat { Csv, Spss, Stata, Xlsx };

struct ExportFormatName {
    ExportFormat format;
    const char* option;
    const char* audited;
};

constexpr std::array<ExportFormatName, 4> kExportFormats = {{
    {ExportFormat::Csv, "csv", "CSV"},
    {ExportFormat::Spss, "sav", "SPSS"},
    {ExportFormat::Stata, "dta", "Stata"},
    {ExportFormat::Xlsx, "xlsx", "spreadsheet"},
}};

const ExportFormatName* ExportFormatNamed(const std::string& name) {
    for (const ExportFormatName& f : kExportFormats) {
        if (name == f.option) return &f;
    }
    return nullptr;
}

Result<std::string> ExportFile(const ExportTable& table, const ExportOptions& options,
                               ExportFormat format, const std::string& path) {
    switch (format) {
        case ExportFormat::Spss:
            return StatsFile(table, StatsFormat::Spss, path);
        case ExportFormat::Stata:
            return StatsFile(table, StatsFormat::Stata, path);
        case ExportFormat::Xlsx:
            return XlsxFile(table, path);
        case ExportFormat::Csv:
            break;
    }
    return ClientsCsv(table, options);
}

// What an export's options ask for, read before anything is.
struct ExportRequest {
    std::string path;  // of the table; "-" standard output
    const ExportFormatName* format = nullptr;
    DateChoice dates = DateChoice::Keep;
};

// The request, or the exit status of a usage error.
std::variant<ExportRequest, int> ReadExportRequest(const Options& o, std::ostream& err) {
    ExportRequest request;
    request.path = o.values.count("--output") ? o.Value("--output") : kStandardOutput;
    request.format = ExportFormatNamed(o.values.count("--format") ? o.Value("--format") : "csv");
    if (!request.format)
        return Usage(err, "option '--format' takes csv, sav, dta or xlsx, not '" +
                              o.Value("--format") + "'");
    // The table and its codebook are two files: one place cannot hold both.
    if (o.values.count("--codebook") && o.Value("--codebook") == request.path) {
        return Usage(err, "options '--codebook' and '--output' name the same file");
    }
    // Dates are only made less exact for a table without names.
    const std::optional<DateChoice> dates =
        DateChoiceNamed(o.values.count("--dates") ? o.Value("--dates") : "keep");
    if (!dates) {
        return Usage(
            err, "option '--dates' takes keep, year or shift, not '" + o.Value("--dates") + "'");
    }
    if (*dates != DateChoice::Keep && !o.flags.count("--anonymised")) {
        return Usage(err, "option '--dates' goes with '--anonymised'");
    }
    request.dates = *dates;
    return request;
}

// The codebook first: a table is only written with the codebook asked for.
Status WriteExport(const Options& o, const ExportRequest& request, const ExportTable& table,
                   const ExportOptions& options, std::ostream& out) {
    if (o.values.count("--codebook")) {
        if (Status st = WriteOutput(o, o.Value("--codebook"), CodebookCsv(table, options), out);
            !st) {
            return st;
        }
    }
    Result<std::string> file = ExportFile(table, options, request.format->format, request.path);
    if (!file) return file.error();
    return WriteOutput(o, request.path, *file, out);
}

int Export(const Options& o, std::ostream& out, std::ostream& err) {
    std::variant<ExportRequest, int> request = ReadExportRequest(o, err);
    if (const int* status = std::get_if<int>(&request)) return *status;
    const ExportRequest& r = std::get<ExportRequest>(request);
    Result<StationState> state = LoadDisk(o, err);
    if (!state) return Fail(err, state.error());
    const std::string& programDir = o.values.at("--program-dir");
    Result<ReportData> data = ScoreAndPrint(LocalFileSystem(), programDir).ReadData();
    if (!data) return Fail(err, data.error());
    Result<ExportOptions> options = ExportOptionsOf(o, r.dates);
    if (!options) return Fail(err, options.error());
    // Damaged timings cost the effort index, not the table: it is left empty,
    // the file named, and the command ends with a data error.
    Result<std::map<int, Paradata>> paradata = ReadParadata(LocalFileSystem(), state->DataPath);
    std::vector<std::string> problems;
    if (!paradata) {
        problems.push_back(paradata.error().message + "; the effort index is left empty");
        paradata = std::map<int, Paradata>();
    }
    const ExportTable table =
        MakeExportTable(*state, *data, *options, *paradata, CodebookQuestions(programDir));
    if (Status st = WriteExport(o, r, table, *options, out); !st) return Fail(err, st.error());
    DiskAudit(o, state->DataPath, err)
        .Add({AuditEvent::Exported, 0,
              std::string(options->anonymised ? "anonymised " : "") + r.format->audited +
                  " table of " + std::to_string(state->RecordCount) + " clients"});
    return ReportProblems(problems, err);
}

// The pooled clients of an archive as one table, in every format the
// disk's export writes. No disk is touched, so no audit log is written.
int ArchiveExport(const Options& o, std::ostream& out, std::ostream& err) {
    std::variant<ExportRequest, int> request = ReadExportRequest(o, err);
    if (const int* status = std::get_if<int>(&request)) return *status;
    const ExportRequest& r = std::get<ExportRequest>(request);
    const std::string& programDir = o.values.at("--program-dir");
    Result<ReportData> data = ScoreAndPrint(LocalFileSystem(), programDir).ReadData();
    if (!data) return Fail(err, data.error());
    Result<ExportOptions> options = ExportOptionsOf(o, r.dates);
    if (!options) return Fail(err, options.error());
    Result<Archive> archive = Archive::OpenExisting(o.Value("--archive"));
    if (!archive) return Fail(err, archive.error());
    Result<ExportTable> table =
        ArchiveExportTable(*archive, *data, *options, CodebookQuestions(programDir));
    if (!table) return Fail(err, table.error());
    if (Status st = WriteExport(o, r, *table, *options, out); !st) return Fail(err, st.error());
    return kOk;
}

int ArchiveNormsCommand(const Options& o, std::ostream& out, std::ostream& err) {
    return ArchiveNorms(o, out, err, [&o, &out](const std::string& path, std::string_view bytes) {
        return WriteOutput(o, path, bytes, out);
    });
}

// An archive file is none of the station's own (its scan database is an
// SQLite file too, which opening as an archive would change) and lies
// outside the installed data set.
Status CheckArchiveTarget(const Options& o) {
    const std::string& target = o.Value("--archive");
    if (IsPostgresTarget(target)) return {};
    if (Status st = CheckOutsideInstalledData(target, o.programFolder); !st) return st;
    const std::string programDir =
        o.values.count("--program-dir") ? o.Value("--program-dir") : o.programFolder.path;
    for (const std::string& disk : DisksOf(o)) {
        if (Status st = CheckNotStationFile(target, programDir, disk); !st) return st;
    }
    return CheckNotStationFile(target, programDir, "");
}

using CommandRun = std::function<int(const Options&, std::ostream&, std::ostream&)>;

// An archive command, run once its target is checked.
CommandRun OnArchive(CommandRun run) {
    return [run](const Options& o, std::ostream& out, std::ostream& err) {
        if (Status st = CheckArchiveTarget(o); !st) return Fail(err, st.error());
        return run(o, out, err);
    };
}

// A file's bytes; "-" reads standard input.
Result<std::string> ReadInput(const std::string& path) {
    if (path != kStandardInput) return LocalFileSystem().ReadFile(path);
    std::ostringstream bytes;
    bytes << std::cin.rdbuf();
    if (std::cin.bad()) return MakeError(errc::DeviceIo, "standard input could not be read");
    return bytes.str();
}

// The reader's sheets stored as new clients, as the station stores them
// without review: an item to key is stored unanswered and named, a sheet
// already on the disk is skipped. A sheet with the inmate number of a client
// whose answers differ is not stored: it may be a second test of that inmate
// or a number misread, only a person can tell, and a record once stored
// cannot be taken off the disk; the station's scan route asks. The client
// store checks every save, so a disk changed meanwhile is never written over.
int Import(const Options& o, std::ostream& out, std::ostream& err) {
    const std::string& programDir = o.values.at("--program-dir");
    StationState state;
    state.DataPath = o.values.at("--disk");
    ClientStore store(state, LocalFileSystem(), NoteTo(err));
    if (Status st = CheckDataDisk(state.DataPath); !st) return Fail(err, st.error());
    // The whole batch is one turn on the disk: no other program stores a
    // client between two of its sheets.
    auto lock = LockDisk(LocalFileSystem(), state.DataPath, LockMode::Exclusive);
    if (!lock) return Fail(err, lock.error());
    if (Status st = store.LoadRecords(); !st) return Fail(err, st.error());
    const Settings ini(LocalFileSystem(), programDir);
    SheetChoice choice = ini.GetSheetChoice();
    for (const auto& [option, value] :
         {std::pair{"--layout", &choice.layout}, std::pair{"--inmate-column", &choice.inmateColumn},
          std::pair{"--name-column", &choice.nameColumn}}) {
        if (o.values.count(option)) *value = o.values.at(option);
    }
    auto questions = Database::Open(JoinPath(programDir, kQuestionDatabaseName), true);
    const Date today = SystemClock().Today();
    const std::string& path = o.values.at("--file");
    Result<std::string> bytes = ReadInput(path);
    if (!bytes) return Fail(err, bytes.error());
    Result<SheetFile> file =
        ParseSheetFile(*bytes, path == kStandardInput ? "standard input" : path,
                       ReadAnswerRanges(questions ? questions->get() : nullptr), today, choice);
    if (!file) return Fail(err, file.error());
    for (const std::string& warning : SheetFileWarnings(*file)) out << warning << "\n";
    const int nameSetting = ini.GetScanSettings().NameSetting;
    ScanBatchSummary summary{.read = static_cast<int>(file->sheets.size())};
    std::vector<ClientRecord> added;
    std::vector<AuditEntry> events;
    std::string notStored;
    for (const ScannedSheet& sheet : file->sheets) {
        if (const SheetMatch match = MatchSheet(state, sheet.client, added);
            match.kind != SheetMatch::New) {
            NoteNotStored(summary, sheet, match);
            continue;
        }
        const int number = state.RecordCount + static_cast<int>(added.size()) + 1;
        if (number > kMaxClients) {
            ++summary.waiting;
            notStored += (notStored.empty() ? "" : ", ") + SheetName(sheet.client, sheet.line);
            continue;
        }
        added.push_back(UnreviewedClient(sheet.client,
                                         AutomaticName(nameSetting, sheet.client, number), today));
        events.push_back({AuditEvent::ClientAdded, number, "scanned"});
        NoteStored(summary, sheet, number, false);
    }
    // The new clients are one save: every one of them is stored, or none.
    if (Status st = store.AddClients(added); !st) return Fail(err, st.error());
    out << SummaryText(summary) << "\n";
    if (!summary.otherAnswers.empty()) {
        out << "Import the sheets with another client's inmate number on the station, which "
               "asks whether each is a new client.\n";
    }
    events.push_back({AuditEvent::ScanBatchImported, 0, BatchDetails(summary)});
    DiskAudit(o, state.DataPath, err).Add(events);
    if (notStored.empty()) return kOk;
    return Fail(err, MakeError(errc::DiskFull, "the data disk is full; not stored: " + notStored));
}

// The disk's events, one to a line, and whether each line follows from the
// one before it and the log still holds the line the program folder last
// added. The last line's hash is printed, to be noted down: it shows later
// whether lines were cut off the end or the log was written anew.
int Audit(const Options& o, std::ostream& out, std::ostream& err) {
    const std::string& disk = o.values.at("--disk");
    if (Status st = CheckDataDisk(disk); !st) return Fail(err, st.error());
    // The program folder's note and site key, wherever they are; none made.
    const std::string programDir =
        o.values.count("--program-dir") ? o.Value("--program-dir") : o.programFolder.path;
    const AuditLog log(LocalFileSystem(), disk, programDir);
    Result<AuditReading> reading = log.Read();
    if (!reading) return Fail(err, reading.error());
    for (const AuditLine& line : reading->lines) {
        char head[64];
        std::snprintf(head, sizeof head, "%5d  %-19s  %4s  ", line.number, line.time.c_str(),
                      line.record.c_str());
        out << head << line.event << (line.details.empty() ? "" : ": ") << line.details << "\n";
    }
    const std::vector<std::string> problems = AuditProblems(log.Path(), *reading);
    if (!problems.empty()) return ReportProblems(problems, err);
    if (!reading->present) {
        out << "no audit log on " << disk << "\n";
        return kOk;
    }
    out << log.Path() << ": " << reading->lines.size() << " lines, each following from the one "
        << "before it; last hash " << reading->lastHash << "\n";
    if (reading->unchecked > 0) {
        out << reading->unchecked << " of them are keyed with a site key this program folder "
            << "does not hold and could not be checked\n";
    }
    return kOk;
}

// A command: the options it takes, those it needs, and what runs it.
struct Command {
    std::vector<std::string> values;
    std::vector<std::string> flags;
    std::vector<std::string> required;
    std::function<int(const Options&, std::ostream&, std::ostream&)> run;
    // Whether the command works in a program folder, made when missing; one
    // that only reads what a folder may hold finds it in programFolder.
    bool makesProgramDir = true;
    // Words after the options are more of what the command works on.
    bool operands = false;
};

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"list", {{"--disk"}, {}, {"--disk"}, List}},
        {"report",
         {{"--program-dir", "--disk", "--client", "--output", "--pdf", "--paper"},
          {"--summary", "--paradata"},
          {"--disk", "--client"},
          Report}},
        {"score",
         {{"--program-dir", "--disk", "--client"}, {"--json"}, {"--disk", "--client"}, Score}},
        {"reports",
         {{"--program-dir", "--disk", "--output-dir", "--paper"},
          {"--summary", "--pdf", "--paradata"},
          {"--disk", "--output-dir"},
          Reports}},
        {"export",
         {{"--program-dir", "--disk", "--output", "--codebook", "--format", "--dates"},
          {"--anonymised", "--keep-invalid-scores", "--missing-kinds", "--excel"},
          {"--disk"},
          Export}},
        {"import",
         {{"--program-dir", "--disk", "--file", "--layout", "--inmate-column", "--name-column"},
          {},
          {"--disk", "--file"},
          Import}},
        {"audit", {{"--disk", "--program-dir"}, {}, {"--disk"}, Audit, false}},
        {"archive add",
         {{"--program-dir", "--archive", "--disk"},
          {"--identified", "--pseudonyms"},
          {"--archive", "--disk"},
          OnArchive(ArchiveAdd),
          true,
          true}},
        {"archive list", {{"--archive"}, {}, {"--archive"}, OnArchive(ArchiveList)}},
        {"archive export",
         {{"--program-dir", "--archive", "--output", "--codebook", "--format", "--dates"},
          {"--anonymised", "--keep-invalid-scores", "--missing-kinds", "--excel"},
          {"--archive"},
          OnArchive(ArchiveExport)}},
        {"archive norms",
         {{"--program-dir", "--archive", "--min-cell", "--output"},
          {},
          {"--archive", "--output"},
          OnArchive(ArchiveNormsCommand)}},
        {"archive stats",
         {{"--program-dir", "--archive"}, {"--json"}, {"--archive"}, OnArchive(ArchiveStats)}},
    };
    return commands;
}

constexpr const char* kArchiveCommand = "archive";

int RunNamedCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const ProgramFolder& programFolder);

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const ProgramFolder& programFolder) {
    if (args.empty()) return Usage(err, "no command given");
    std::vector<std::string> named = args;
    // The archive's commands are two words: "archive add".
    if (named[0] == kArchiveCommand) {
        if (named.size() > 1 && (named[1] == "-h" || named[1] == "--help")) {
            out << kUsage;
            return kOk;
        }
        if (named.size() < 2 || !Commands().count(named[0] + " " + named[1])) {
            return Usage(err, "archive takes add, list, export, norms or stats");
        }
        named[0] += " " + named[1];
        named.erase(named.begin() + 1);
    }
    return RunNamedCommand(named, out, err, programFolder);
}

int RunNamedCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const ProgramFolder& programFolder) {
    auto command = Commands().find(args[0]);
    const bool knownCommand = command != Commands().end();
    if (!knownCommand && args[0].rfind('-', 0) != 0) {
        return Usage(err, "unknown command '" + args[0] + "'");
    }
    // Help and version are asked for alone or after a command; before one,
    // the words are read as options of no command.
    const Command none;
    const Command& c = knownCommand ? command->second : none;
    std::vector<std::string> words = args;
    if (!knownCommand) words.insert(words.begin(), "mirrorwise-cli");
    CommandLine line = ParseCommandLine(words, {c.values, c.flags, c.required, c.operands});
    switch (line.asks) {
        case CommandLine::Asks::Help:
            out << kUsage;
            return kOk;
        case CommandLine::Asks::Version:
            out << "mirrorwise-cli (" << kProductName << ") " << kProductVersion << "\n";
            return kOk;
        case CommandLine::Asks::Nothing:
            return Usage(err, line.problem);
        case CommandLine::Asks::Run:
            break;
    }
    if (!knownCommand) return Usage(err, "no command given");
    Options& o = line.options;
    o.programFolder = programFolder;
    // A command that works in a program folder finds it in --program-dir,
    // the default filled in.
    const bool usesProgramDir =
        std::find(c.values.begin(), c.values.end(), "--program-dir") != c.values.end();
    if (usesProgramDir && c.makesProgramDir && !o.values.count("--program-dir")) {
        Result<std::string> dir = ProgramDir(o);
        if (!dir) return Fail(err, dir.error());
        o.values["--program-dir"] = *dir;
    }
    return c.run(o, out, err);
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const ProgramFolder& programFolder) {
    const int status = RunCommand(args, out, err, programFolder);
    // A write that failed leaves the stream failed; the flush catches what
    // was still buffered, such as a table written to a full disk.
    errno = 0;
    out.flush();
    if (out) return status;
    const int reason = errno;
    err << "mirrorwise-cli: cannot write to standard output"
        << (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()) << "\n";
    return status == kOk ? kDataError : status;
}

}  // namespace mw
