// Reading the instrument's tab-separated source tables: a header line of
// column names, then one row per line; lines starting with '#' are comments.
#pragma once

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace mwtools {

struct TextRow {
    int line = 0;  // line number in the file, for messages
    std::vector<std::string> cells;
};

struct TextTable {
    std::string path;
    std::vector<std::string> columns;
    std::vector<TextRow> rows;

    // The cell of a named column; throws naming the file and line when absent.
    const std::string& Cell(const TextRow& row, const std::string& column) const {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] == column) return row.cells.at(i);
        }
        throw std::runtime_error(path + ": no column " + column);
    }

    [[noreturn]] void Fail(const TextRow& row, const std::string& what) const {
        throw std::runtime_error(path + ":" + std::to_string(row.line) + ": " + what);
    }
};

inline std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        cells.push_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return cells;
        start = tab + 1;
    }
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline TextTable ReadTextTable(const std::string& path) {
    TextTable table{path, {}, {}};
    std::vector<std::string> lines = SplitLines(ReadWholeFile(path));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == '#') continue;
        TextRow row{static_cast<int>(i + 1), SplitTabs(line)};
        if (table.columns.empty()) {
            table.columns = row.cells;
            continue;
        }
        if (row.cells.size() != table.columns.size()) {
            table.Fail(row, "expected " + std::to_string(table.columns.size()) + " cells, found " +
                                std::to_string(row.cells.size()));
        }
        table.rows.push_back(std::move(row));
    }
    if (table.columns.empty()) throw std::runtime_error(path + ": no header line");
    return table;
}

inline void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) throw std::runtime_error(path + ": cannot write");
}

}  // namespace mwtools
