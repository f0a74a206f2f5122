// The scoring design of the items (items.tsv) and what the question table
// says of each item (how many answers it offers).
#pragma once

#include <array>
#include <set>
#include <string>
#include <vector>

namespace mwtools {

struct ItemDesign {
    int item = 0;
    std::set<int> scales;     // 1-7
    std::vector<int> points;  // by answer value 0..highest of the section
    std::string significant;  // group name or empty
    std::set<int> critical;   // scales 2-7
    int answerCount = 0;      // answers the question offers
};

// Items 1-160 at their number (index 0 unused).
using Design = std::array<ItemDesign, 161>;

Design ReadDesign(const std::string& itemsTsv, const std::string& questionsTsv);

}  // namespace mwtools
