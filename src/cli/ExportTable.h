// The clients of a data disk, their answers and their scale results as one
// table for sites that analyse their results in a statistics package: the
// variables with their labels, types, value labels and kinds of missing
// value, and a row of cells per client. Every file the export writes (CSV,
// SPSS, Stata, spreadsheet, codebook) is written from this one description,
// so they cannot tell different stories.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/data/Paradata.h"
#include "core/data/QuestionDatabase.h"
#include "core/data/StationState.h"
#include "core/report/ScoreAndPrint.h"

namespace mw {

// What an anonymised table does with the test date, which with the
// demographic fields can single a client out.
enum class DateChoice {
    Keep,   // the exact date
    Year,   // the year only
    Shift,  // moved by one offset per person, so intervals within a person are kept
};

// Reads "keep", "year" or "shift"; none for any other word.
std::optional<DateChoice> DateChoiceNamed(const std::string& name);

struct ExportOptions {
    // Rows leave out the name, ID number and date of birth and carry a
    // pseudonym made from them with the site key.
    bool anonymised = false;
    std::string siteKey;
    DateChoice dates = DateChoice::Keep;
    // The scale results of an invalid protocol, and the scores of a scale the
    // report shows as not scored, are written all the same.
    bool keepInvalidScores = false;
    // Each variable that has kinds of missing value is followed by a text
    // variable "<name>_status" naming the kind of each missing cell.
    bool missingKinds = false;
    // A CSV file starts with a byte order mark, by which a spreadsheet knows
    // that it is UTF-8.
    bool excel = false;
};

enum class VariableType { Integer, Decimal, Text, Date };

// Why a cell is empty, where the disk records why. A cell that is empty for
// any other reason is plainly missing (SPSS system-missing, Stata ".").
enum class MissingKind { None, NotAnswered, NotAvailable, NotScored, InvalidProtocol };

struct MissingKindInfo {
    MissingKind kind;
    const char* name;   // as a status cell holds it
    const char* label;  // as a value label says it
    int spssCode;       // the user-missing value of an SPSS file
    char stataTag;      // the extended missing value of a Stata file (.a, .b, ...)
};

const MissingKindInfo& InfoOf(MissingKind kind);

struct ValueLabel {
    int value;
    std::string label;
};

struct ExportVariable {
    std::string name;
    std::string label;
    VariableType type;
    // The codes of a coded variable; none for a count, a date or a text.
    std::vector<ValueLabel> valueLabels;
    // The values allowed, as the codebook says them where the variable has
    // no value labels ("0-99", "yyyy-mm-dd"); "" for any.
    std::string range;
    std::string missing;  // when the cell is empty, as the codebook says it
    std::vector<MissingKind> kinds;
};

struct ExportCell {
    // As the CSV holds it: digits, "0.97", "yyyy-mm-dd" or the text; "" when missing.
    std::string text;
    MissingKind missing = MissingKind::None;
};

struct ExportTable {
    std::vector<ExportVariable> variables;
    std::vector<std::vector<ExportCell>> rows;  // a row per client, in test-number order
};

// The table of every client on the disk. The last variable is the effort
// index of a test taken on the screen, from `paradata` by record number.
// Item labels and answer texts come from `questions`; an item it lacks is
// described by its number and its section's codes.
ExportTable MakeExportTable(const StationState& state, const ReportData& data,
                            const ExportOptions& options, const std::map<int, Paradata>& paradata,
                            const std::vector<QuestionRow>& questions);

// One client of a table: its record, its test number on its disk and how
// it took the test on the screen (none for answers keyed or scanned).
struct ExportClient {
    const ClientRecord& record;
    int testNumber;
    const Paradata* paradata;
};

// The table of these clients, in the order given.
ExportTable MakeExportTable(const std::vector<ExportClient>& clients, const ReportData& data,
                            const ExportOptions& options,
                            const std::vector<QuestionRow>& questions);

// The pseudonym of an anonymised table: the client's name, ID number and
// date of birth, as one person writes them on any disk, keyed with the site key.
std::string Pseudonym(const std::string& siteKey, const ClientRecord& record);

// The values of a coded variable as the codebook writes them: "1=True; 2=False".
std::string ValueLabelsText(const std::vector<ValueLabel>& labels);

// Days since 1970-01-01 of a "yyyy-mm-dd" cell.
int DaysSince1970(const std::string& isoDate);

}  // namespace mw
