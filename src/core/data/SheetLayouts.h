// The sheet files that mark-reading programs write, one layout per program:
// which column holds what, found by the columns' names, and how each program
// writes an item with no mark or with several.
//
// The station's own layout comes first; the others are what the programs an
// office may own write as they stand, so that no office needs a conversion
// script of its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mw {

struct SheetLayout {
    // As kept in sctest.ini and given to the command-line import.
    std::string_view name{};
    // As the screens show it.
    std::string_view title{};
    // Patterns (whole column names, case ignored) each naming a column that
    // every file of the program has: the layout is chosen from them.
    std::vector<std::string_view> signature{};
    // The column with the inmate number, unless the office names another:
    // the first whose name fits this pattern (case ignored).
    std::string_view inmateColumn{};
    // How a message names that column.
    std::string_view inmateTitle{};
    // Without such a column, the inmate number is the first column after
    // the last one whose name fits this pattern and whose own name has no
    // ":" (the first code column of a students' number grid).
    std::string_view codeColumnsAfter{};
    // An item's column: group 1 is the item; or groups 1 and 2 are the
    // section of the answer sheet and the item's place in it.
    std::string_view itemColumns{};
    // A column holds a question's answer only where the header also names
    // it with this suffix (the question's review column); the others are
    // its boxes or other objects of the questionnaire.
    std::string_view answerTwinSuffix{};
    // The office designs the questionnaire: where the answer columns'
    // names do not follow the answer sheet's sections, nor number one
    // section of 160 questions, the items are the answer columns in order.
    bool itemsInColumnOrder = false;
    // Columns holding the file name of a scanned page: an inmate number
    // taken from one is that name without its folder and extension.
    std::string_view fileNameColumns{};
    // The client's fields (Age, Sex, ...): in the station's own file only.
    bool clientFields = false;
    // A column the layout does not name is refused. A program whose
    // template names fields of its own (a name, a class) lets them pass,
    // shown as ignored.
    bool otherColumnsRefused = false;
    // Codes for an item with no mark and with several, besides an empty
    // cell and marks run together ("AB", "13").
    std::vector<std::string_view> blankCodes{};
    std::vector<std::string_view> severalCodes{};
    // Joins several marks in one cell ("A|C"); 0 where they run together.
    char markSeparator = 0;
    // Separates the 0/1 entries of a list of boxes ("0;1;0;0" ticks the
    // second answer); 0 where the program writes no such lists.
    char boxListSeparator = 0;
};

const std::vector<SheetLayout>& SheetLayouts();
// The layout of that name, case ignored; none when there is no such layout.
const SheetLayout* FindSheetLayout(std::string_view name);
// "mirrorwise, formscanner, ...", for a message.
std::string SheetLayoutNames();

// The office's choice, kept in sctest.ini: the layout (empty: chosen from
// each file's header), the inmate number's column (empty: the layout's own)
// and the column with the client's name (empty: named as the batch
// settings say).
struct SheetChoice {
    std::string layout;
    std::string inmateColumn;
    std::string nameColumn;
};

}  // namespace mw
