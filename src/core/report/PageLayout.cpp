#include "core/report/PageLayout.h"

#include <algorithm>
#include <cmath>

namespace mw {

std::vector<PageLines> SplitPages(std::string_view text) {
    std::vector<PageLines> pages(1);
    std::string line;
    bool lineOpen = false;  // a line has begun on the current page
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\f') {
            if (lineOpen) pages.back().push_back(std::move(line));
            pages.emplace_back();
            line.clear();
            // The rest of the form feed's line is the new page's first line.
            lineOpen = true;
        } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            if (c == '\r') ++i;
            pages.back().push_back(std::move(line));
            line.clear();
            lineOpen = false;
        } else {
            line += c;
            lineOpen = true;
        }
    }
    if (lineOpen || pages.back().empty()) pages.back().push_back(std::move(line));
    return pages;
}

int LinesPerSheet(double heightPoints) {
    const double room = heightPoints - 2 * kTopBottomMarginPoints;
    // A hair of tolerance: paper sizes given in millimetres are not whole points.
    return std::max(1, static_cast<int>(std::floor(room / kLinePitchPoints + 1e-6)));
}

}  // namespace mw
