#include "core/data/SheetLayouts.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace mw {

// FormScanner labels the file name column in the language it runs in, and
// names its questions by the translated "Question" and a number, after the
// group ("[EMPTY] Question001" since 1.0.2, "EMPTY-Question001" in 1.0.0 and
// 1.0.1, "Question 001" before).
constexpr std::string_view kFormScannerFileName =
    "File name|Nombre de archivo|Dateiname|Nom du fichier|Nome file|Bestandsnaam|Nazwa pliku|"
    "Nome do arquivo|Όνομα αρχείου|ファイル名|اسم الملف|نام فايل";
constexpr std::string_view kFormScannerQuestion =
    "Question|Pregunta|Frage|Quesito|Vraag|Pytanie|Pergunta|Ερώτηση|設問|سؤال|سوال";

const std::vector<SheetLayout>& SheetLayouts() {
    static const std::string formScannerItems =
        R"((?:\[[^\]]*\] |[^-]*-)?(?:)" + std::string(kFormScannerQuestion) + R"() ?(\d+))";
    static const std::vector<SheetLayout> layouts = {
        {.name = "mirrorwise",
         .title = "Mirrorwise sheet file",
         .signature = {"InmateNumber"},
         .inmateColumn = "InmateNumber",
         .inmateTitle = "InmateNumber",
         .itemColumns = R"((\d+))",
         .clientFields = true,
         .otherColumnsRefused = true,
         .severalCodes = {"*"}},
        {.name = "formscanner",
         .title = "FormScanner",
         .signature = {kFormScannerFileName},
         .inmateColumn = kFormScannerFileName,
         .inmateTitle = "File name",
         // The file name as FormScanner writes it, already without its
         // extension: a dot in it is the inmate number's own.
         .itemColumns = formScannerItems,
         .markSeparator = '|'},
        // A question's answer column stands after its review column and
        // before the 0/1 column of each of its boxes.
        {.name = "sdaps",
         .title = "SDAPS",
         .signature = {"questionnaire_id", "global_id"},
         .inmateColumn = "questionnaire_id",
         .inmateTitle = "questionnaire_id",
         .itemColumns = R"((\d+)_(\d+))",
         .answerTwinSuffix = "_review",
         .itemsInColumnOrder = true,
         .blankCodes = {"NA"},
         .severalCodes = {"error-multi-select"}},
        // A sheet with several marks stays in the results or, as the office
        // chooses, goes to MultiMarkedFiles.csv in the same layout.
        {.name = "omrchecker",
         .title = "OMRChecker",
         .signature = {"file_id", "input_path", "output_path", "score"},
         .inmateColumn = "file_id",
         .inmateTitle = "file_id",
         .itemColumns = R"(q(\d+))",
         .fileNameColumns = "file_id|input_path|output_path"},
        // The sheet is known by the students list's key ("A:<key>") or, not
        // matched to the list, by its code grid. The digits of a code grid
        // come among the questions too ("TICKED:student[1]"): not items.
        {.name = "amc",
         .title = "Auto Multiple Choice",
         .signature = {"TICKED:.+"},
         .inmateColumn = "A:.+",
         .inmateTitle = "A:<key> or a code column",
         .codeColumnsAfter = "TICKED:.+",
         .itemColumns = R"(TICKED:[^\d\[.]*(\d+))",
         .boxListSeparator = ';'},
        {.name = "remark",
         .title = "Remark Office OMR",
         .signature = {"ID", "Q0*1"},
         .inmateColumn = "ID",
         .inmateTitle = "ID",
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
