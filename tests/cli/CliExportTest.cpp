// The CSV export and its codebook. Each folder under golden-export/ is one
// case: args.txt holds the export's options, one to a line, MWSITE.KEY (when
// there) the site key, expected.csv and codebook.csv what the export writes.
// Run with MW_UPDATE_GOLDEN=1 to rewrite the expected files after a
// deliberate change, and review the difference before committing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/CliRun.h"
#include "core/data/ClientRecord.h"
#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"
#include "core/data/SiteKey.h"

namespace mw {
namespace {

namespace fs = std::filesystem;
using mwtest::Cli;
using mwtest::CliRun;
using mwtest::ReadAll;

const fs::path kGoldenDir = fs::path(MW_SOURCE_DIR) / "tests" / "cli" / "golden-export";

// The rows of a CSV text and the cells of each, its quotes undone.
std::vector<std::vector<std::string>> CsvRows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    bool quoted = false;
    std::string cell;
    std::vector<std::string> row;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (c == '"') {
            if (quoted && i + 1 < csv.size() && csv[i + 1] == '"')
                cell += csv[++i];
            else
                quoted = !quoted;
        } else if (!quoted && (c == ',' || c == '\n')) {
            row.push_back(std::move(cell));
            cell.clear();
            if (c == '\n') rows.push_back(std::move(row)), row.clear();
        } else {
            cell += c;
        }
    }
    return rows;
}

// A client answering True throughout, of the name and date of birth given.
ClientRecord Client(const std::string& name, const std::string& birth = "01/02/1990") {
    ClientRecord r;
    r.Name = name;
    r.DateOfBirth = birth;
    r.Answers = std::string(kItemCount, '1');
    r.Gender = "1";
    r.DeleteFlag = "0";
    return r;
}

class CliExportTest : public mwtest::CliFixture {
protected:
    CliRun Export(const std::vector<std::string>& more) const { return Run("export", more); }

    // The cells of one column by test number (index 0 is the header's name).
    std::vector<std::string> Column(const std::string& csv, const std::string& variable) const {
        std::vector<std::vector<std::string>> rows = CsvRows(csv);
        const auto& header = rows.at(0);
        const auto at = std::find(header.begin(), header.end(), variable) - header.begin();
        std::vector<std::string> cells;
        for (const auto& row : rows) cells.push_back(row.at(static_cast<std::size_t>(at)));
        return cells;
    }
};

TEST_F(CliExportTest, GoldenTablesAndCodebooks) {
    std::vector<fs::path> cases;
    for (const auto& dir : fs::directory_iterator(kGoldenDir)) cases.push_back(dir.path());
    ASSERT_GE(cases.size(), 3u);
    for (const fs::path& dir : cases) {
        fs::remove(program.File(kSiteKeyFileName));
        if (fs::exists(dir / kSiteKeyFileName)) {
            fs::copy_file(dir / kSiteKeyFileName, program.File(kSiteKeyFileName));
        }
        std::vector<std::string> args = {"--output", output.File("t.csv"), "--codebook",
                                         output.File("c.csv")};
        std::istringstream options(ReadAll((dir / "args.txt").string()));
        for (std::string option; std::getline(options, option);) args.push_back(option);
        const CliRun r = Export(args);
        ASSERT_EQ(r.status, 0) << dir << r.err;
        for (const auto& [written, expected] :
             {std::pair{"t.csv", "expected.csv"}, {"c.csv", "codebook.csv"}}) {
            if (std::getenv("MW_UPDATE_GOLDEN")) {
                std::ofstream(dir / expected, std::ios::binary) << output.Read(written);
            }
            EXPECT_TRUE(output.Read(written) == ReadAll((dir / expected).string()))
                << "the export differs from " << dir / expected;
        }
    }
}

// Cells of a typed field as a statistics package and a spreadsheet must read
// them: formulas kept inert, IDs as text, dates ISO or missing; and the kind
// of each missing cell, where the record tells it, in the status column.
TEST_F(CliExportTest, TypedFieldsAsTheTableHoldsThem) {
    struct Case {
        const char* variable;
        std::string stored;
        std::string cell;
        std::string status = "";
    };
    const Case cases[] = {
        {"name", "=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
        {"name", "+1", "'+1"},
        {"name", "-1", "'-1"},
        {"name", "@SUM(A1)", "'@SUM(A1)"},
        {"name", "Lee, \"Al\"", "Lee, \"Al\""},
        {"name", "A=B", "A=B"},
        {"id_number", "007", "007"},
        {"id_number", "-007", "'-007"},
        {"date_of_birth", "02/29/2000", "2000-02-29"},
        {"date_of_birth", "02/29/1900", ""},
        {"date_of_birth", "13/01/1990", ""},
        {"date_of_birth", "01/01/199", ""},
        {"date_of_birth", "N", "", "not_available"},
        {"age", "N", "", "not_available"},
        {"age", "x", ""},
        {"age", "031", "31"},
        {"sex", "0", "", "not_available"},
        {"sex", "7", ""},
        {"sex", "2", "2"},
        {"item_001", "0", "", "not_answered"},
        {"item_001", "2", "2"},
    };
    std::string records;
    for (const Case& c : cases) {
        ClientRecord r = Client("Ann", "");
        const std::string variable = c.variable;
        const std::string stored = Utf8ToCp1252(c.stored);
        if (variable == "name") r.Name = stored;
        if (variable == "id_number") r.IDNumber = stored;
        if (variable == "date_of_birth") r.DateOfBirth = stored;
        if (variable == "age") r.Age = stored;
        if (variable == "sex") r.Gender = stored;
        if (variable == "item_001") r.Answers[0] = stored[0];
        records += r.ToBytes();
    }
    disk.Write("DATA401.MW", records);
    const CliRun r = Export({"--excel", "--missing-kinds"});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.out.rfind("\xEF\xBB\xBFtest_number,", 0), 0u);
    const std::string csv = r.out.substr(3);
    for (std::size_t n = 1; n <= std::size(cases); ++n) {
        const Case& c = cases[n - 1];
        EXPECT_EQ(Column(csv, c.variable).at(n), c.cell) << c.stored;
        const std::string variable = c.variable;
        if (variable != "name" && variable != "id_number") {
            EXPECT_EQ(Column(csv, variable + "_status").at(n), c.status) << c.stored;
        }
    }
}

// One person has one pseudonym however the name and ID were spelled, in
// every export with the site's key, which is made on first use for its owner
// only; a deleted name has none. Another site's key gives another.
TEST_F(CliExportTest, AnonymisedRowsCarryThePseudonymOfTheSitesKey) {
    struct Person {
        const char* name;
        const char* id;
        const char* birth;
        const char* deleted;
    };
    const Person people[] = {
        {"Ann  Lee", "000-12", "01/02/1990", "0"}, {"ann lee", "00012 ", "01/02/1990", "0"},
        {"Ann Lee", "000-12", "01/03/1990", "0"},  {"Ann Lee", "000-13", "01/02/1990", "0"},
        {"Ann Lee", "000-12", "01/02/1990", "1"},
    };
    std::string records;
    for (const Person& p : people) {
        ClientRecord r = Client(p.name, p.birth);
        r.IDNumber = p.id;
        r.DeleteFlag = p.deleted;
        records += r.ToBytes();
    }
    disk.Write("DATA401.MW", records);
    const CliRun first = Export({"--anonymised"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(fs::status(program.File(kSiteKeyFileName)).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Export({"--anonymised"}).out, first.out);
    const std::vector<std::string> pseudonym = Column(first.out, "pseudonym");
    EXPECT_EQ(pseudonym[1].size(), 64u);
    EXPECT_EQ(pseudonym[2], pseudonym[1]);
    EXPECT_NE(pseudonym[3], pseudonym[1]);
    EXPECT_NE(pseudonym[4], pseudonym[1]);
    EXPECT_EQ(pseudonym[5], "");
    EXPECT_EQ(Column(first.out, "name_deleted")[5], "1");

    program.Write(kSiteKeyFileName, std::string(64, 'a') + "\n");
    EXPECT_NE(Column(Export({"--anonymised"}).out, "pseudonym")[1], pseudonym[1]);
    program.Write(kSiteKeyFileName, "\n");  // a key cut short is refused, not used
    const CliRun emptyKey = Export({"--anonymised"});
    EXPECT_EQ(emptyKey.status, 1);
    EXPECT_NE(emptyKey.err.find(program.File(kSiteKeyFileName)), std::string::npos) << emptyKey.err;
}

// An anonymised table keeps the test date, its year only, or the date moved
// by one offset per person within half a year either way: the time between
// a person's tests is kept, another person is moved by another offset. The
// dates are only made less exact in a table without names.
TEST_F(CliExportTest, AnonymisedTestDatesKeptToTheYearOrShiftedPerPerson) {
    std::string records;
    for (const char* name : {"Ann Lee", "Bo Ray"}) {
        for (const char* tested : {"01/10/2026", "03/15/2026"}) {
            ClientRecord r = Client(name);
            r.TodayDate = tested;
            records += r.ToBytes();
        }
    }
    disk.Write("DATA401.MW", records);
    program.Write(kSiteKeyFileName, std::string(64, 'b') + "\n");
    const auto days = [](const std::string& iso) {
        using namespace std::chrono;
        const year_month_day date{year(std::stoi(iso.substr(0, 4))),
                                  month(static_cast<unsigned>(std::stoi(iso.substr(5, 2)))),
                                  day(static_cast<unsigned>(std::stoi(iso.substr(8, 2))))};
        return sys_days(date).time_since_epoch().count();
    };
    const std::vector<std::string> kept = {"test_date", "2026-01-10", "2026-03-15", "2026-01-10",
                                           "2026-03-15"};
    EXPECT_EQ(Column(Export({"--anonymised", "--dates", "keep"}).out, "test_date"), kept);
    const CliRun year = Export({"--anonymised", "--dates=year"});
    EXPECT_EQ(Column(year.out, "test_year"),
              std::vector<std::string>({"test_year", "2026", "2026", "2026", "2026"}));
    EXPECT_EQ(year.out.find("2026-"), std::string::npos);

    const std::vector<std::string> shifted =
        Column(Export({"--anonymised", "--dates", "shift"}).out, "test_date");
    std::vector<int> offsets;
    for (std::size_t n = 1; n < shifted.size(); ++n) {
        offsets.push_back(days(shifted[n]) - days(kept[n]));
        EXPECT_LE(std::abs(offsets.back()), 182) << shifted[n];
    }
    EXPECT_EQ(offsets[0], offsets[1]);
    EXPECT_EQ(offsets[2], offsets[3]);
    EXPECT_NE(offsets[0], offsets[2]);
    EXPECT_EQ(Column(Export({"--anonymised", "--dates", "shift"}).out, "test_date"), shifted);

    for (const std::vector<std::string>& usage : std::initializer_list<std::vector<std::string>>{
             {"--dates", "year"}, {"--anonymised", "--dates", "month"}, {"--format", "pdf"}}) {
        EXPECT_EQ(Export(usage).status, 2) << ::testing::PrintToString(usage);
    }
}

}  // namespace
}  // namespace mw
