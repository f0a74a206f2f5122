#include "ItemDesign.h"

#include <sstream>
#include <stdexcept>

#include "common/TextTable.h"
#include "core/data/CodeTables.h"

namespace mwtools {
namespace {

std::set<int> NumberSet(const TextTable& t, const TextRow& row, const std::string& cell, int low,
                        int high) {
    std::set<int> numbers;
    if (cell == "-") return numbers;
    std::stringstream in(cell);
    std::string part;
    while (std::getline(in, part, ',')) {
        int n = std::stoi(part);
        if (n < low || n > high) t.Fail(row, "scale number out of range: " + part);
        numbers.insert(n);
    }
    return numbers;
}

}  // namespace

Design ReadDesign(const std::string& itemsTsv, const std::string& questionsTsv) {
    Design design;
    TextTable items = ReadTextTable(itemsTsv);
    if (items.rows.size() != 160) throw std::runtime_error(itemsTsv + ": expected 160 items");
    for (const TextRow& row : items.rows) {
        int n = std::stoi(items.Cell(row, "Item"));
        if (n < 1 || n > 160 || design[n].item) items.Fail(row, "bad or repeated item number");
        ItemDesign& d = design[n];
        d.item = n;
        d.scales = NumberSet(items, row, items.Cell(row, "Scales"), 1, 7);
        d.critical = NumberSet(items, row, items.Cell(row, "Critical"), 2, 7);
        std::string significant = items.Cell(row, "Significant");
        d.significant = significant == "-" ? "" : significant;
        std::stringstream points(items.Cell(row, "Points"));
        for (int p; points >> p;) d.points.push_back(p);
        if (static_cast<int>(d.points.size()) != mw::kSectionHighestAnswer[mw::SectionOf(n)] + 1) {
            items.Fail(row, "one points value per answer value 0.." +
                                std::to_string(mw::kSectionHighestAnswer[mw::SectionOf(n)]) +
                                " expected");
        }
    }
    TextTable questions = ReadTextTable(questionsTsv);
    for (const TextRow& row : questions.rows) {
        int n = std::stoi(questions.Cell(row, "ID"));
        if (n < 1 || n > 160) questions.Fail(row, "bad item number");
        for (int a = 1; a <= 5; ++a) {
            if (!questions.Cell(row, "ANSWER" + std::to_string(a)).empty())
                design[n].answerCount = a;
        }
    }
    return design;
}

}  // namespace mwtools
