#include "core/data/SheetDescription.h"

#include <algorithm>
#include <cstdio>

#include "core/data/CodeTables.h"
#include "core/data/Cp1252.h"

namespace mw {
namespace {

constexpr std::array<const char*, 10> kUseNames = {
    "ignored",   "inmate number",  "age",           "sex",  "ethnicity",
    "education", "marital status", "date of birth", "item", "client's name"};

// The columns in file order, a run of items or of unused columns on one line.
std::string DescribeColumns(const SheetFile& file) {
    std::string text;
    for (std::size_t i = 0; i < file.uses.size();) {
        const SheetColumn& use = file.uses[i];
        std::size_t end = i + 1;
        const auto continues = [&](std::size_t k) {
            const SheetColumn& next = file.uses[k];
            return next.use == use.use && (use.use == SheetColumn::Unused ||
                                           (use.use == SheetColumn::Item &&
                                            next.item == use.item + static_cast<int>(k - i)));
        };
        while (end < file.uses.size() && continues(end)) ++end;
        text += "  " + file.columns[i];
        if (end - i > 1) text += " to " + file.columns[end - 1];
        if (use.use == SheetColumn::Item) {
            text += end - i > 1 ? ": items " + std::to_string(use.item) + "-" +
                                      std::to_string(use.item + static_cast<int>(end - i) - 1)
                                : ": item " + std::to_string(use.item);
        } else {
            text += std::string(": ") + kUseNames[use.use];
        }
        if (use.fromFileName) {
            text += " (the file's name without folder and extension)";
        }
        text += "\n";
        i = end;
    }
    return text;
}

template <std::size_t N>
std::string Coded(std::string_view code, const std::array<std::string_view, N>& table) {
    const std::string text(CodeText(table, AnswerValue(code.empty() ? ' ' : code[0])));
    return Trim(code).empty() ? "(to type)" : text;
}

std::string Field(std::string_view value) {
    const std::string text = Trim(value);
    return text.empty() ? "(to type)" : Cp1252ToUtf8(text);
}

std::string DescribeSheet(const ScannedSheet& sheet) {
    const ClientRecord& c = sheet.client;
    std::string text =
        "First sheet, line " + std::to_string(sheet.line) + ":\n" + "  Inmate number " +
        Field(c.IDNumber.View()) + "\n" +
        (Trim(c.Name.View()).empty() ? "" : "  Name " + Field(c.Name.View()) + "\n") + "  Age " +
        Field(c.Age.View()) + ", sex " + Coded(c.Gender.View(), kGenderTexts) + ", ethnicity " +
        Coded(c.Race.View(), kRaceTexts) + "\n  Education " + Field(c.Education.View()) +
        ", marital status " + Coded(c.MaritalStatus.View(), kMaritalStatusTexts) + ", born " +
        Field(c.DateOfBirth.View()) + "\n";
    constexpr int kPerLine = 20;
    for (int first = 1; first <= kItemCount; first += kPerLine) {
        std::string marks(c.Answers.View().substr(static_cast<std::size_t>(first - 1), kPerLine));
        std::ranges::replace(marks, ' ', '?');
        char label[24];
        std::snprintf(label, sizeof label, "  Items %3d-%3d: ", first, first + kPerLine - 1);
        text += label + marks + "\n";
    }
    const std::vector<int> toKey = ItemsToKey(c.Answers.View());
    if (!toKey.empty()) text += "  To key at review (?): items " + ItemList(toKey) + "\n";
    return text;
}

}  // namespace

std::string DescribeSheetFile(const SheetFile& file) {
    const char* delimiter = file.delimiter == ';'    ? "semicolons"
                            : file.delimiter == '\t' ? "tabs"
                                                     : "commas";
    std::string text = "Layout: " + std::string(file.layout->title) +
                       (file.layoutFromHeader ? " (chosen from the header)" : "") + "\n" +
                       "Text: " + file.encoding + ", cells separated by " + delimiter + "\n";
    if (!file.layout->clientFields) {
        text += "Client information: not in the file, typed at review\n";
    }
    text += "Columns:\n" + DescribeColumns(file);
    text += "Sheets in the file: " + std::to_string(file.sheets.size()) + "\n";
    for (const std::string& warning : SheetFileWarnings(file)) text += warning + "\n";
    if (!file.sheets.empty()) text += "\n" + DescribeSheet(file.sheets.front());
    return text;
}

}  // namespace mw
