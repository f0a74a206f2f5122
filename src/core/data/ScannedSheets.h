// Answer sheets read by an optical mark reader, as the reader exports them:
// a CSV file, UTF-8 or plain ASCII, one line per sheet.
//
//   InmateNumber,Age,Sex,Race,Education,MaritalStatus,DateOfBirth,1,2,...,160
//
// A first line whose first cell is "InmateNumber" names the columns and is
// skipped. A client field the reader did not capture is left empty and reads
// as not available. An item's cell holds the answer marked ("1" to the
// item's highest answer). An empty cell (no mark), several marks ("13", or
// "*" where the reader only flags them) and a mark the item has no answer
// for (a stray mark beside a Yes/No item) leave the item unanswered, to be
// keyed when the sheet is reviewed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/data/AnswerRanges.h"
#include "core/data/ClientRecord.h"
#include "core/data/Clock.h"
#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

inline constexpr int kSheetClientColumns = 7;
inline constexpr int kSheetColumns = kSheetClientColumns + kItemCount;
// Marks the reader writes for an item that holds more than one.
inline constexpr char kSeveralMarks = '*';

struct ScannedSheet {
    int line = 0;  // in the sheet file, from 1
    // Client fields as the record holds them (Windows-1252); "N" or code 0
    // when the reader did not capture them.
    std::string InmateNumber;
    std::string Age = "N";
    int Gender = 0;
    int Race = 0;
    std::string Education = "N";
    int MaritalStatus = 0;
    std::string DateOfBirth = "N";
    // One character per item: the answer marked, or a blank where the item
    // had no mark, several, or one outside its answers.
    std::string Answers;

    bool AllMarksRead() const { return Answers.find(' ') == std::string::npos; }
};

// Every sheet of the file, marks read against `ranges`, or the first fault
// found, naming the file and the line: a file in another encoding, a wrong
// number of columns, a field the sheet cannot hold, a cell that is no mark,
// the same inmate number twice, no lines at all.
Result<std::vector<ScannedSheet>> ParseScannedSheets(std::string_view text,
                                                     const std::string& fileName,
                                                     const AnswerRanges& ranges);
Result<std::vector<ScannedSheet>> ReadScannedSheets(FileSystem& fs, const std::string& path,
                                                    const AnswerRanges& ranges);

// The sheet as a new client named `name`, tested `today`: the items without
// a single mark are not answered.
ClientRecord ScannedClient(const ScannedSheet& sheet, std::string_view name, const Date& today);

}  // namespace mw
