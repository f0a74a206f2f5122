// Expands a scale's paragraph source into the paragraph file the report
// reads: for every percentile 0-99 a line with the number, the lines of the
// block covering it, and a line "END".
//
// The source holds blocks introduced by "[a-b]" lines that cover 0-99 once,
// in order; lines starting with '#' are comments.
//
//   mw-paragraphs SOURCE OUTPUT
#include <iostream>
#include <regex>

#include "common/TextTable.h"

namespace {

constexpr std::size_t kMaxLine = 71;

struct Block {
    int low = 0;
    int high = 0;
    std::vector<std::string> lines;
};

std::vector<Block> ReadBlocks(const std::string& path) {
    static const std::regex header(R"(\[(\d+)-(\d+)\])");
    std::vector<Block> blocks;
    std::vector<std::string> lines = mwtools::SplitLines(mwtools::ReadWholeFile(path));
    auto fail = [&](std::size_t i, const std::string& what) {
        throw std::runtime_error(path + ":" + std::to_string(i + 1) + ": " + what);
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        std::smatch m;
        if (line.rfind('#', 0) == 0) continue;
        if (std::regex_match(line, m, header)) {
            Block b{std::stoi(m[1]), std::stoi(m[2]), {}};
            int expected = blocks.empty() ? 0 : blocks.back().high + 1;
            if (b.low != expected || b.high < b.low || b.high > 99) {
                fail(i, "block " + line + " must start at " + std::to_string(expected) +
                            " and end at or below 99");
            }
            blocks.push_back(b);
            continue;
        }
        if (blocks.empty()) fail(i, "text before the first [a-b] block");
        if (line.size() > kMaxLine) fail(i, "line longer than 71 characters");
        if (line == "END") fail(i, "a paragraph line may not read END");
        blocks.back().lines.push_back(line);
    }
    if (blocks.empty() || blocks.back().high != 99) {
        throw std::runtime_error(path + ": the blocks must cover percentiles 0 to 99");
    }
    return blocks;
}

std::string Expand(const std::vector<Block>& blocks) {
    std::string out;
    for (const Block& b : blocks) {
        for (int p = b.low; p <= b.high; ++p) {
            out += std::to_string(p) + "\n";
            for (const std::string& line : b.lines) out += line + "\n";
            out += "END\n";
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mw-paragraphs SOURCE OUTPUT\n";
        return 2;
    }
    try {
        mwtools::WriteWholeFile(argv[2], Expand(ReadBlocks(argv[1])));
    } catch (const std::exception& e) {
        std::cerr << "mw-paragraphs: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
