#include "core/report/PageLayout.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace mw {
namespace {

// Lines closer than this share of the type size would let one line's
// descenders run into the next line's capitals.
constexpr double kClosestPitchPerPoint = 0.95;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The first line of a papersize file that is not a comment names the paper.
std::optional<Paper> PapersizeFilePaper(FileSystem& fs, const std::string& path) {
    Result<std::string> text = fs.ReadFile(path, 4096);
    if (!text) return std::nullopt;
    std::size_t start = 0;
    while (start < text->size()) {
        const std::size_t end = std::min(text->find('\n', start), text->size());
        std::string_view line(text->data() + start, end - start);
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string_view::npos && line[first] != '#') {
            const auto last = line.find_last_not_of(" \t\r");
            return PaperNamed(line.substr(first, last - first + 1));
        }
        start = end + 1;
    }
    return std::nullopt;
}

// The locale the paper category follows, as the C library chooses it.
std::string PaperLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return value;
    }
    return {};
}

std::optional<Paper> LocalePaper() {
    const std::string name = PaperLocaleName();
    if (name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) {
        return std::nullopt;
    }
#ifdef __GLIBC__  // the C library that knows a locale's paper
    locale_t locale = newlocale(LC_PAPER_MASK, name.c_str(), nullptr);
    if (!locale) return std::nullopt;
    // The C library hands these numbers (millimetres) over in place of a pointer.
    const auto millimetres = [locale](nl_item item) {
        return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(nl_langinfo_l(item, locale)));
    };
    const unsigned width = millimetres(_NL_PAPER_WIDTH);
    const unsigned height = millimetres(_NL_PAPER_HEIGHT);
    freelocale(locale);
    if (width == 210 && height == 297) return kA4Paper;
    if (width == 216 && height == 279) return kLetterPaper;
#endif
    return std::nullopt;
}

}  // namespace

std::optional<Paper> PaperNamed(std::string_view name) {
    const std::string lower = Lower(name);
    if (lower == "letter") return kLetterPaper;
    if (lower == "a4") return kA4Paper;
    return std::nullopt;
}

Paper SystemPaper(FileSystem& fs, const std::string& papersizeFile) {
    // The variables the system's paper library reads come first, as they
    // do for every program printing through it.
    const char* variable = std::getenv("PAPERSIZE");
    if (std::optional<Paper> named = PaperNamed(variable ? variable : "")) return *named;
    const char* file = std::getenv("PAPERCONF");
    if (auto named = PapersizeFilePaper(fs, file && *file ? file : papersizeFile)) return *named;
    return LocalePaper().value_or(kLetterPaper);
}

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

PageOnSheet LayoutPage(std::size_t lines, const Paper& paper) {
    const double room = paper.heightPoints - 2 * kTopBottomMarginPoints;
    const double pitch =
        std::min(kLinePitchPoints, room / static_cast<double>(std::max<std::size_t>(lines, 1)));
    return {std::min(kReportFontPoints, pitch / kClosestPitchPerPoint), pitch};
}

}  // namespace mw
