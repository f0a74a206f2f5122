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

#include <span>
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
    int line = 0;  // in the sheet file, from 1; 0 for a sheet that waited in the scan table
    // The client as the sheet gives it: the inmate number in IDNumber, the
    // client's fields ("N" or code 0 where the station's own file leaves a
    // cell empty, blank where the file has no such column, to be typed at
    // review) and the answers. The name is the one the file gives where the
    // office took names from the file, else blank; the test date is blank.
    // A sheet that waited while the names were deleted has no inmate number
    // left, and the deleted name and flag.
    ClientRecord client;
};

// What a column of the sheet file holds.
struct SheetColumn {
    enum Use { Unused, Inmate, Age, Sex, Race, Education, MaritalStatus, DateOfBirth, Item, Name };
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
    // Lines that repeat an earlier sheet exactly (a folder read twice into
    // one results file): read once.
    struct Repeat {
        int line = 0;
        int sameAs = 0;
    };
    std::vector<Repeat> repeats;
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
// What the office should know before the sheets are stored (UTF-8, one
// sentence each): lines read once because they repeat a sheet, and inmate
// numbers that look like numbers a spreadsheet cut their leading zeros off.
std::vector<std::string> SheetFileWarnings(const SheetFile& file);

// Items whose mark must be keyed at review (a blank among `answers`).
std::vector<int> ItemsToKey(std::string_view answers);
// "17, 40-42, 102".
std::string ItemList(const std::vector<int>& items);

// Where a sheet stands against the clients on the data disk.
struct SheetMatch {
    enum Kind {
        New,
        // The client that came from it: its inmate number and answers.
        Stored,
        // A client whose name and ID were deleted, with its answers: the
        // inmate number is gone, but the answers still say it is the same
        // test.
        StoredNameDeleted,
        // A client with its inmate number but other answers: a second test
        // of that inmate, or a number misread. Only a person can tell.
        OtherAnswers,
    };
    Kind kind = New;
    int client = 0;  // the record number of that client

    bool OnDisk() const { return kind == Stored || kind == StoredNameDeleted; }
};
// Where the sheet's marks were read, the answers must be the same; an item
// to key (a blank) matches any answer, as it may have been keyed since.
// `added`: clients of the same batch still to be stored after the disk's
// last record, numbered on from it.
SheetMatch MatchSheet(const StationState& state, const ClientRecord& sheet,
                      std::span<const ClientRecord> added = {});

// The sheet as a new client named `name`, tested `today`, for review: what
// the file lacked stays blank and the items to key stay blank. A sheet
// whose identity was deleted while it waited becomes a client whose name
// was deleted.
ClientRecord ScannedClient(const ClientRecord& sheet, std::string_view name, const Date& today);
// As ScannedClient, for storing without review: what the file lacked is not
// available and the items to key are not answered.
ClientRecord UnreviewedClient(const ClientRecord& sheet, std::string_view name, const Date& today);

// The name a scanned client gets without being typed, as the record holds
// it: the name the file gives, else "Test#" and its record number, or its
// inmate number; the deleted name for a sheet whose identity was deleted.
std::string AutomaticName(int nameSetting, const ClientRecord& sheet, int recordNumber);

// How a summary names a sheet (UTF-8): its inmate number and, for a sheet
// of the file just read, its line there (0 for one that waited).
std::string SheetName(const ClientRecord& sheet, int line);

// What became of a batch of sheets. Each list names its sheets.
struct ScanBatchSummary {
    int read = 0;
    int stored = 0;
    // Stored without review, with the items whose marks were not read unanswered.
    std::vector<std::string> unread{};
    std::vector<std::string> skipped{};       // already on the disk
    std::vector<std::string> otherAnswers{};  // not stored: another client's inmate number
    int waiting = 0;                          // not stored yet
    int beyondBatch = 0;                      // of them, those the batch size left for later
};
// A sheet stored as client `client`; one not reviewed names the items that
// were stored unanswered.
void NoteStored(ScanBatchSummary& summary, const ScannedSheet& sheet, int client, bool reviewed);
// A sheet not stored because of what `match` found on the disk.
void NoteNotStored(ScanBatchSummary& summary, const ScannedSheet& sheet, const SheetMatch& match);
std::string SummaryText(const ScanBatchSummary& summary);

}  // namespace mw
