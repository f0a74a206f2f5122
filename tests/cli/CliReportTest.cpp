#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "cli/CliRun.h"
#include "core/data/AuditLog.h"
#include "core/data/ClientStore.h"
#include "core/data/Paradata.h"
#include "core/data/Sha256.h"
#include "core/data/SiteKey.h"
#include "support/AuditLogChanges.h"
#include "support/TempDir.h"

namespace mw {
namespace {

namespace fs = std::filesystem;

using mwtest::Cli;
using mwtest::CliRun;
using mwtest::Golden;

using CliReportTest = mwtest::CliFixture;

TEST_F(CliReportTest, WritesReportPrnTheOutputFileOrOneFilePerClient) {
    CliRun r = Run("report", {"--client", "2", "--summary"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(program.Read("REPORT.PRN"), Golden("client-2-alcohol-summary"));
    EXPECT_FALSE(program.Exists("REPORT.PRN.tmp"));
    // The next report is written over it in its own blocks, as the station does.
    struct stat before {
    }, after{};
    ASSERT_EQ(stat(program.File("REPORT.PRN").c_str(), &before), 0);
    ASSERT_EQ(Run("report", {"--client", "5"}).status, 0);
    ASSERT_EQ(stat(program.File("REPORT.PRN").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(program.Read("REPORT.PRN"), Golden("client-5-invalid"));

    r = Run("report", {"--client", "6", "--output", output.File("six.prn")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(output.Read("six.prn"), Golden("client-6-truthfulness-90s"));

    const std::string dir = output.File("all");
    r = Run("reports", {"--output-dir", dir});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(output.Read("all/2"), Golden("client-2-alcohol"));
    EXPECT_EQ(output.Read("all/5"), Golden("client-5-invalid"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 8);
}

TEST_F(CliReportTest, ABrokenOrMissingDataFileFailsNamingIt) {
    // Without a paragraph file the report is still written.
    fs::remove(program.File("MWRE.txt"));
    CliRun r = Run("report", {"--client", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("MWRE.txt"), std::string::npos);
    EXPECT_NE(program.Read("REPORT.PRN").find("Resistance SCALE: LOW RISK RANGE"),
              std::string::npos);

    // Without scoring tables or report texts no report is written.
    program.Write("REPORT.PRN", "the previous report");
    std::string mwb = program.Read("MWB.TXT");
    mwb.replace(mwb.find("\n13,") + 1, 2, "xx");
    program.Write("MWB.TXT", mwb);
    r = Run("report", {"--client", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("MWB.TXT:2:1: expected significant item 1"), std::string::npos) << r.err;
    EXPECT_EQ(program.Read("REPORT.PRN"), "the previous report");
    fs::remove(program.File("MW_rpt.TXT"));
    r = Run("report", {"--client", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("MW_rpt.TXT"), std::string::npos);
}

// A client tested on the screen: its effort index, and the annex page only when asked for.
TEST_F(CliReportTest, HowTheTestWasTakenOnlyWhereAskedFor) {
    Paradata paradata;
    paradata.items[1].ms = 900;
    paradata.items[2].ms = 4100;
    ASSERT_TRUE(WriteParadata(LocalFileSystem(), disk.Path(), 2, paradata));
    CliRun json = Run("score", {"--client", "2", "--json"});
    EXPECT_NE(json.out.find(",\"effortIndex\":0.50}"), std::string::npos) << json.out;

    EXPECT_EQ(Run("report", {"--client", "2", "--summary"}).status, 0);
    EXPECT_EQ(program.Read("REPORT.PRN"), Golden("client-2-alcohol-summary"));
    for (const std::string client : {"2", "1"}) {
        EXPECT_EQ(Run("report", {"--client", client, "--paradata"}).status, 0);
        const std::string report = program.Read("REPORT.PRN");
        const std::size_t annex = report.rfind("\f\r\n");
        ASSERT_NE(annex, std::string::npos);
        if (client == "2") {
            EXPECT_EQ(report.substr(0, annex), Golden("client-2-alcohol"));
        }
        EXPECT_NE(report.find("HOW THE TEST WAS TAKEN", annex), std::string::npos);
        EXPECT_NE(report.find(client == "2" ? "Effort index: 0.50 (1 of 2 answers"
                                            : "How the test was taken: not recorded",
                              annex),
                  std::string::npos)
            << report.substr(annex);
    }
}

// An option's value after a blank or an equals sign, "-" for standard
// output, help and version on standard output, each usage problem named in
// one line, scores as JSON and as a
// table, client numbers checked against the disk, and options that do not go
// together.
TEST_F(CliReportTest, OptionSpellingsStandardOutputHelpVersionAndClientNumbers) {
    const std::string csv = Run("export", {}).out;
    const std::string pdf = output.File("r.pdf");
    const std::string nowhere = output.File("missing/r.pdf");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;  // a part of standard output (all of it when whole)
        bool whole;
        std::string err = {};  // a part of standard error
    };
    const Case cases[] = {
        {{"--help"}, 0, "usage: mirrorwise-cli list --disk DIR\n", false},
        {Args("report", {"--client", "2", "--help"}), 0, "usage: ", false},
        {{"--version"}, 0, "mirrorwise-cli (Mirrorwise) v4.01\n", true},
        {Args("report", {"--client=2", "--output=-"}), 0, Golden("client-2-alcohol"), true},
        {Args("report", {"--client", "2", "--pdf", "-", "--paper=a4"}), 0, "%PDF-", false},
        {Args("export", {"--output", "-"}), 0, csv, true},
        {{"score", "--program-dir=" + program.Path(), "--disk=" + disk.Path(), "--client=1",
          "--json"},
         0,
         "{\"raw\":[2,",
         false},
        {Args("score", {"--client", "1", "--json"}), 0,
         "{\"raw\":[2,0,0,0,0,0,0,1,236],\"percentile\":[21,0,0,0,0,0,0,11,2],"
         "\"omitted\":[0,0,0,0,0,0,0,0,0],\"scored\":[2,0,0,0,0,0,0,9,9],"
         "\"effortIndex\":\"not recorded\"}\n",
         true},
        {Args("score", {"--client", "1"}), 0, "Stress Coping      236          2        0       9",
         false},
        {Args("score", {"--client", "1", "--json=yes"}), 2, "", true,
         "mirrorwise-cli: option '--json' doesn't allow an argument\n"
         "Try 'mirrorwise-cli --help' for more information.\n"},
        {{}, 2, "", true, "no command given"},
        {{"-h"}, 0, "usage: ", false},
        {{"frobnicate"}, 2, "", true, "unknown command 'frobnicate'"},
        {{"--dsk"}, 2, "", true, "unrecognized option '--dsk'"},
        {Args("score", {"--client", "1", "--dsk=x"}), 2, "", true, "unrecognized option '--dsk'"},
        {Args("score", {"--client", "1", "-x"}), 2, "", true, "invalid option -- 'x'"},
        {Args("score", {"--cl", "1", "--js"}), 0, "{\"raw\":[2,", false},  // abbreviations
        {Args("report", {"--client", "1", "--p", "x"}), 2, "", true, "option '--p' is ambiguous"},
        {Args("score", {"--client"}), 2, "", true, "option '--client' requires an argument"},
        {{"score", "--disk", "x"}, 2, "", true, "score: missing option '--client'"},
        {{"list"}, 2, "", true, "list: missing option '--disk'"},
        {Args("score", {"--client", "1", "--", "--json"}), 2, "", true, "extra operand '--json'"},
        {Args("score", {"--client", "1", "extra"}), 2, "", true, "extra operand 'extra'"},
        {Args("report", {"--client", "9"}), 1, "", true},
        {Args("report", {"--client", "0"}), 1, "", true, "no client 0"},
        {Args("report", {"--client", "two"}), 2, "", true,
         "option '--client' needs a number, not 'two'"},
        {Args("report", {"--summary"}), 2, "", true},
        {Args("report", {"--client", "1", "--pdf", pdf, "--output", pdf}), 2, "", true,
         "options '--pdf' and '--output' do not go together"},
        {Args("report", {"--client", "1", "--paper", "a4"}), 2, "", true,
         "option '--paper' goes with '--pdf'"},
        {Args("report", {"--client", "1", "--pdf", pdf, "--paper", "b5"}), 2, "", true,
         "option '--paper' takes letter or a4, not 'b5'"},
        {Args("reports", {"--output-dir", output.Path(), "--pdf", pdf}), 2, "", true},
        {Args("export", {"--client", "1"}), 2, "", true},
        {Args("export", {"--codebook", "-"}), 2, "", true,  // two files on standard output
         "options '--codebook' and '--output' name the same file"},
        {{"export", "--program-dir", program.Path()}, 2, "", true},
        {{"archive"}, 2, "", true, "archive takes add, list, export, norms or stats"},
        {{"archive", "frobnicate"}, 2, "", true, "archive takes add"},
        {{"archive", "--help"}, 0, "mirrorwise-cli archive norms", false},
        {{"archive", "add", "--archive", "x"}, 2, "", true, "archive add: missing option '--disk'"},
        {{"archive", "list", "--archive", "x", "extra"}, 2, "", true, "extra operand 'extra'"},
        {{"archive", "norms", "--archive", "x", "--output", "y", "--min-cell", "many"},
         2,
         "",
         true,
         "option '--min-cell' needs a number of clients, not 'many'"},
        {{"archive", "list", "--archive", output.File("none.db")}, 1, "", true, "no archive there"},
        {{"archive", "add", "--program-dir", program.Path(), "--archive", program.File("mwscan.db"),
          "--disk", disk.Path()},
         1,
         "",
         true,
         "mwscan.db"},
        {Args("report", {"--client", "1", "--pdf", nowhere}), 1, "", true, nowhere},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_TRUE(c.whole ? r.out == c.out : r.out.find(c.out) != std::string::npos) << r.out;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_FALSE(program.Exists("REPORT.PRN") || output.Exists("r.pdf"));
}

TEST_F(CliReportTest, NeverWritesOverAFileTheStationKeeps) {
    program.Write("mirrorwise", "#!/bin/sh\n");
    fs::permissions(program.File("mirrorwise"), fs::perms::owner_exec, fs::perm_options::add);
    fs::create_symlink(disk.File("DATA401.MW"), output.File("link.prn"));
    const std::string programAgain =
        program.File("../" + fs::path(program.Path()).filename().string() + "/MWB.TXT");
    const auto programBefore = program.Snapshot();
    const auto diskBefore = disk.Snapshot();
    for (const auto& [command, more] :
         std::initializer_list<std::pair<const char*, std::vector<std::string>>>{
             {"report", {"--client", "2", "--output", disk.File("DATA401.MW")}},
             {"report", {"--client", "2", "--pdf=" + disk.File("tid")}},
             {"export", {"--output", program.File("MW.ini")}},  // not there yet
             {"export", {"--output", disk.File("DATA401.RCV")}},
             {"export", {"--codebook", program.File("MWSITE.KEY")}},
             {"report", {"--client", "2", "--output", programAgain}},
             {"report", {"--client", "2", "--output", output.File("link.prn")}},
             {"export", {"--output", program.File("mirrorwise")}},
         }) {
        const CliRun r = Run(command, more);
        EXPECT_EQ(r.status, 1) << more.back();
        EXPECT_NE(r.err.find("will not write over"), std::string::npos) << r.err;
    }
    EXPECT_EQ(program.Snapshot(), programBefore);
    EXPECT_EQ(disk.Snapshot(), diskBefore);
}

// Without --program-dir the tool works where this user's installed station
// works: the user's own folder, made and seeded from the installed data set
// as the station makes it (list and audit need none, and make none). The
// installed set itself is only read, whichever folder a command names.
TEST_F(CliReportTest, WorksInTheUsersFolderAndNeverWritesIntoTheInstalledDataSet) {
    mwtest::TempDir installed, home;
    mwtest::CopyDataSet(installed.Path());
    const ProgramFolder users{home.File("mirrorwise"), installed.Path()};
    const auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--disk", disk.Path()});
        return Cli(args, users);
    };
    EXPECT_EQ(cli({"list"}).status, 0);
    EXPECT_EQ(cli({"audit"}).status, 0);
    EXPECT_FALSE(home.Exists("mirrorwise"));

    CliRun r = cli({"report", "--client", "2", "--summary"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(home.Read("mirrorwise/REPORT.PRN"), Golden("client-2-alcohol-summary"));
    EXPECT_EQ(fs::status(home.File("mirrorwise")).permissions() & fs::perms::all,
              fs::perms::owner_all);
    EXPECT_EQ(cli({"score", "--client", "1", "--json"}).status, 0);
    EXPECT_EQ(cli({"reports", "--output-dir", output.File("all")}).status, 0);
    r = cli({"export", "--anonymised", "--output", output.File("clients.csv")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(home.Exists("mirrorwise/MWSITE.KEY"));

    fs::create_directory_symlink(installed.Path(), output.File("link"));
    const auto before = installed.Snapshot();
    const std::string inInstalled = "--program-dir=" + installed.Path();
    for (const std::vector<std::string>& args : std::initializer_list<std::vector<std::string>>{
             {"report", inInstalled, "--client", "2"},
             {"report", "--client", "2", "--output", installed.File("2.prn")},
             {"report", "--client", "2", "--pdf", output.File("link/2.pdf")},
             {"reports", inInstalled, "--output-dir", installed.File("reports")},
             {"export", inInstalled, "--anonymised"},
             {"export", "--codebook",
              installed.File("../" + fs::path(installed.Path()).filename().string() + "/book.csv")},
         }) {
        SCOPED_TRACE(::testing::PrintToString(args));
        r = cli(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(installed.Path() + " holds the installed data set"), std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("without --program-dir it works in " + users.path), std::string::npos)
            << r.err;
    }
    EXPECT_EQ(installed.Snapshot(), before);
    // Read from there, and written elsewhere, a report is what it always was.
    r = cli({"report", inInstalled, "--client", "6", "--output", output.File("six.prn")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(output.Read("six.prn"), Golden("client-6-truthfulness-90s"));

    // A folder that cannot be made is named.
    home.Write("file", "");
    r = Cli({"score", "--disk", disk.Path(), "--client", "1"},
            {home.File("file/mirrorwise"), installed.Path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(home.File("file/mirrorwise")), std::string::npos) << r.err;
}

// Takes what is written and fails when flushed, as standard output does
// when its buffer meets a full disk.
class FailingWhenFlushed : public std::stringbuf {
    int sync() override { return -1; }
};

TEST_F(CliReportTest, AStandardOutputThatCannotBeWrittenIsAnError) {
    for (const std::vector<std::string>& args :
         {Args("export", {}), Args("score", {"--client", "1"}),
          Args("report", {"--client", "2", "--output", "-"}),
          std::vector<std::string>{"list", "--disk", disk.Path()}}) {
        FailingWhenFlushed buffer;
        std::ostream out(&buffer);
        std::ostringstream err;
        EXPECT_EQ(RunCli(args, out, err, mwtest::UsersProgramFolder()), 1) << args[0];
        EXPECT_NE(err.str().find("cannot write to standard output"), std::string::npos) << args[0];
    }
}

// What reads a client's data off the disk is logged, without a name or ID;
// the audit command lists the events and names the first line that was
// changed, removed or moved.
TEST_F(CliReportTest, AuditListsTheEventsAndFindsEachAlteredLine) {
    const auto audit = [&] { return Cli({"audit", "--disk", disk.Path()}); };
    EXPECT_EQ(audit().out, "no audit log on " + disk.Path() + "\n");
    ASSERT_EQ(Run("report", {"--client", "2"}).status, 0);
    ASSERT_EQ(Run("export", {"--output", output.File("all.csv")}).status, 0);
    ASSERT_EQ(Run("reports", {"--output-dir", output.Path()}).status, 0);
    const CliRun whole = audit();
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_NE(whole.out.find("     2  exported: text report\n"), std::string::npos) << whole.out;
    EXPECT_NE(whole.out.find("     -  exported: CSV table of 8 clients\n"), std::string::npos);

    const std::string log = disk.Read(kAuditLogFileName);
    for (const char* value : {"Maria Lopez", "412-77-0981", "Kim Tran", "660-41-2208"}) {
        EXPECT_EQ(log.find(value), std::string::npos) << value;
    }
    const std::vector<std::string> lines = mwtest::LogLines(log);
    ASSERT_EQ(lines.size(), 10u);
    // Line 2 written anew with a hash that fits it: the line after it no longer does.
    std::vector<std::string> rehashed = lines;
    const std::string text = lines[1].substr(0, lines[1].rfind('\t')) + " (anonymised)";
    rehashed[1] = text + '\t' + Sha256Hex(lines[0].substr(lines[0].rfind('\t') + 1) + text);
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        int broken;
    };
    std::vector<Case> cases = {
        {"a detail changed", lines, 3},
        {"the first line removed", {lines.begin() + 1, lines.end()}, 1},
        {"a line removed", lines, 4},
        {"two lines swapped", lines, 5},
        {"a line rewritten with its own hash", rehashed, 3},
    };
    cases[0].lines[2].replace(lines[2].find("text"), 4, "PDF ");
    cases[2].lines.erase(cases[2].lines.begin() + 3);
    std::swap(cases[3].lines[4], cases[3].lines[5]);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string altered;
        for (const std::string& line : c.lines) altered += line + '\n';
        disk.Write(kAuditLogFileName, altered);
        const CliRun r = audit();
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("line " + std::to_string(c.broken) + " of " +
                             JoinPath(disk.Path(), kAuditLogFileName) + " breaks the chain"),
                  std::string::npos)
            << r.err;
    }
}

// Files beside the record file neither block the tool nor pass for
// something else: a damaged PARA401.MW costs the export its effort index,
// named, not its rows; a recovery file grown far beyond its size or a link at
// its name is named and passed by, never taken for more than 51 clients.
TEST_F(CliReportTest, SideFilesOfTheDiskNeitherBlockNorMislead) {
    const std::string recovery = disk.File(kRecordRecoveryFileName);
    struct Case {
        const char* what;
        std::function<void()> make;
        const char* named;  // the file the tool names on stderr
        int exportStatus;
    };
    const Case cases[] = {
        {"a damaged PARA401.MW",
         [&] { disk.Write(kParadataFileName, "Mirrorwise paradata 1\n3=damaged\n"); },
         "PARA401.MW:2: ", 1},
        {"a recovery file of 65 MiB",
         [&] { disk.Write(kRecordRecoveryFileName, std::string(65 << 20, 'x')); },
         "DATA401.RCV is not a recovery file", 0},
        {"a link at the recovery file's name",
         [&] { fs::create_symlink(disk.File(kRecordFileName), recovery); },
         "DATA401.RCV is not a recovery file", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(disk.File(kParadataFileName));
        fs::remove(recovery);
        c.make();
        const CliRun list = Cli({"list", "--disk", disk.Path()});
        EXPECT_EQ(list.status, 0) << list.err;
        EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 8);
        const CliRun table = Run("export", {"--output", output.File("all.csv")});
        EXPECT_EQ(table.status, c.exportStatus) << table.err;
        EXPECT_NE(table.err.find(c.named), std::string::npos) << table.err;
        EXPECT_EQ(table.err.find("more than 51"), std::string::npos) << table.err;
        const std::string csv = output.Read("all.csv");
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 9);
    }
}

// With a site key in the program folder the chain is keyed: a line made
// anew with a plain hash that fits is found where the key is, and a program
// folder without the key lists the keyed lines as not checked rather than
// as altered. (What the program folder's note of the last line finds, a log
// cut short or written anew, is the start-up's to show; the tool prints the
// same list of problems.)
TEST_F(CliReportTest, WithASiteKeyTheChainIsKeyed) {
    ASSERT_TRUE(SiteKey(LocalFileSystem(), program.Path()));
    ASSERT_EQ(Run("report", {"--client", "2"}).status, 0);
    ASSERT_EQ(Run("report", {"--client", "3"}).status, 0);
    const std::string log = JoinPath(disk.Path(), kAuditLogFileName);
    EXPECT_EQ(Run("audit", {}).status, 0);
    const CliRun elsewhere = Cli({"audit", "--disk", disk.Path()});
    EXPECT_EQ(elsewhere.status, 0) << elsewhere.err;
    EXPECT_NE(elsewhere.out.find("2 of them are keyed with a site key this program folder does "
                                 "not hold"),
              std::string::npos)
        << elsewhere.out;

    const std::vector<std::string> lines = mwtest::LogLines(mwtest::ReadLog(log));
    const std::string head = lines[1].substr(0, lines[1].rfind('\t'));
    const std::string previous = lines[0].substr(lines[0].rfind('\t') + 1);
    mwtest::WriteLog(log, lines[0] + '\n' + head + '\t' + Sha256Hex(previous + head) + '\n');
    const CliRun r = Run("audit", {});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 2 of " + log + " breaks the chain"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace mw
