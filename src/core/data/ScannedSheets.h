// Answer sheets read by an optical mark reader, from the sheet file the
// reader's program writes: one line per sheet under a header that names the
// columns (SheetLayouts.h says which program names them how).
//
// The text is UTF-8, with or without its byte order mark, or Windows-1252;
// cells are separated by commas, semicolons or tabs, whichever the header
// uses, and may be quoted. Every column is found by its name, so a file
// whose columns come in another order reads the same. A header that lacks
// the inmate number or an item, names one twice, or has a column the layout
// does not know, and a value that cannot be (a date that does not exist, an
// age of 0, a character the record cannot hold) are refused, naming the
// file, the line and the column: nothing of such a file is imported.
//
// An item's cell holds the answer marked, as a number or a letter (A is 1).
// A cell without a mark leaves the item unanswered. Several marks, and a
// mark the item has no answer for, leave it to be keyed when the sheet is
// reviewed (a blank in the sheet's answers).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/data/AnswerRanges.h"
#include "core/data/ClientRecord.h"
#include "core/data/Clock.h"
#include "core/data/Error.h"
#include "core/data/FileSystem.h"
#include "core/data/SheetLayouts.h"
#include "core/data/StationState.h"

namespace mw {

struct ScannedSheet {
    int line = 0;  // in the sheet file, from 1
    // The client as the sheet gives it: the inmate number in IDNumber, the
    // client's fields ("N" or code 0 where the station's own file leaves a
    // cell empty, blank where the file has no such column, to be typed at
    // review) and the answers. Name and test date are blank.
    ClientRecord client;
};

// What a column of the sheet file holds.
struct SheetColumn {
    enum Use { Unused, Inmate, Age, Sex, Race, Education, MaritalStatus, DateOfBirth, Item };
    Use use = Unused;
    int item = 0;               // for Item
    bool fromFileName = false;  // for Inmate: the column holds a scanned page's file name
};

struct SheetFile {
    const SheetLayout* layout = nullptr;
    bool layoutFromHeader = false;  // chosen from the header, not named by the office
    std::string encoding;           // "UTF-8" or "Windows-1252"
    char delimiter = ',';
    std::vector<std::string> columns;  // the header's names, UTF-8
    std::vector<SheetColumn> uses;     // one per column
    std::vector<ScannedSheet> sheets;
};

// The sheets of a sheet file's bytes, read with the office's choice of
// layout and inmate number column; dates of birth after `today` cannot be.
Result<SheetFile> ParseSheetFile(std::string_view bytes, const std::string& fileName,
                                 const AnswerRanges& ranges, const Date& today,
                                 const SheetChoice& choice);
Result<SheetFile> ReadSheetFile(FileSystem& fs, const std::string& path, const AnswerRanges& ranges,
                                const Date& today, const SheetChoice& choice);
// The header's column names, UTF-8, for choosing the inmate number's
// column; none when the file has no readable header.
std::vector<std::string> SheetHeader(std::string_view bytes);

// Items whose mark must be keyed at review (a blank among `answers`).
std::vector<int> ItemsToKey(std::string_view answers);
// "17, 40-42, 102".
std::string ItemList(const std::vector<int>& items);

// The record number of the client on the disk that came from this sheet
// (the same inmate number and, where the sheet's marks were read, the same
// answers); 0 when the sheet is not on the disk.
int StoredSheet(const StationState& state, const ClientRecord& sheet);

// The sheet as a new client named `name`, tested `today`, for review: what
// the file lacked stays blank and the items to key stay blank.
ClientRecord ScannedClient(const ClientRecord& sheet, std::string_view name, const Date& today);
// As ScannedClient, for storing without review: what the file lacked is not
// available and the items to key are not answered.
ClientRecord UnreviewedClient(const ClientRecord& sheet, std::string_view name, const Date& today);

// The name a scanned client gets without being typed: "Test#" and its
// record number, or its inmate number.
std::string AutomaticName(int nameSetting, const ClientRecord& sheet, int recordNumber);

// What became of a batch of sheets.
struct ScanBatchSummary {
    int read = 0;
    int stored = 0;
    std::vector<std::string> skipped{};  // inmate numbers already on the disk (UTF-8)
    int waiting = 0;                     // not stored yet
};
std::string SummaryText(const ScanBatchSummary& summary);

}  // namespace mw
