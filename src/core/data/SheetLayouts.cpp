#include "core/data/SheetLayouts.h"

#include <algorithm>
#include <cctype>

namespace mw {

const std::vector<SheetLayout>& SheetLayouts() {
    static const std::vector<SheetLayout> layouts = {
        {.name = "mirrorwise",
         .title = "Mirrorwise sheet file",
         .signature = {"InmateNumber"},
         .inmateColumn = "InmateNumber",
         .itemColumns = R"((\d+))",
         .clientFields = true,
         .otherColumnsRefused = true,
         .severalCodes = {"*"}},
        {.name = "formscanner",
         .title = "FormScanner",
         .signature = {"File name"},
         .inmateColumn = "File name",
         .itemColumns = R"(Question(\d+))",
         .fileNameColumns = "File name",
         .markSeparator = '|'},
        // Questions are numbered within the questionnaire's sections, one
        // section for each section of the answer sheet; the 0/1 column of
        // each box is not used.
        {.name = "sdaps",
         .title = "SDAPS",
         .signature = {"questionnaire_id", "global_id"},
         .inmateColumn = "global_id",
         .itemColumns = R"((\d+)_(\d+))",
         .blankCodes = {"NA"},
         .severalCodes = {"error-multi-select"}},
        // A sheet with several marks goes to MultiMarkedFiles.csv, in the
        // same layout: both files are imported alike.
        {.name = "omrchecker",
         .title = "OMRChecker",
         .signature = {"file_id", "input_path", "output_path", "score"},
         .inmateColumn = "file_id",
         .itemColumns = R"(q(\d+))",
         .fileNameColumns = "file_id|input_path|output_path"},
        {.name = "amc",
         .title = "Auto Multiple Choice",
         .signature = {"TICKED:.+"},
         .inmateColumn = "ID",
         .itemColumns = R"(TICKED:\D*(\d+))"},
        {.name = "remark",
         .title = "Remark Office OMR",
         .signature = {"ID", "Q0*1"},
         .inmateColumn = "ID",
         .itemColumns = R"(Q(\d+))",
         .blankCodes = {"BLANK"}},
    };
    return layouts;
}

const SheetLayout* FindSheetLayout(std::string_view name) {
    const auto same = [name](const SheetLayout& layout) {
        return std::ranges::equal(layout.name, name, [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
        });
    };
    const auto found = std::ranges::find_if(SheetLayouts(), same);
    return found == SheetLayouts().end() ? nullptr : &*found;
}

std::string SheetLayoutNames() {
    std::string names;
    for (const SheetLayout& layout : SheetLayouts()) {
        names += (names.empty() ? "" : ", ") + std::string(layout.name);
    }
    return names;
}

}  // namespace mw
