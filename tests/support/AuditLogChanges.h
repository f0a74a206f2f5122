// What can happen to a disk's audit log outside the station, which the
// station's start-up must report: lines cut off its end, emptied, removed,
// written anew with hashes that fit, and what stops lines being added to it;
// and the reading and writing of a log's lines for the tests that alter it.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/data/Sha256.h"
#include "support/TempDir.h"

namespace mwtest {

struct AuditLogChange {
    const char* what;
    std::function<void(const std::string& log)> make;
    const char* told;  // part of what is reported
};

// The log's whole lines, without their line ends.
inline std::vector<std::string> LogLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
        lines.push_back(text.substr(at, text.find('\n', at) - at));
    }
    return lines;
}

inline std::string ReadLog(const std::string& log) {
    std::ifstream in(log, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteLog(const std::string& log, const std::string& text) {
    std::ofstream(log, std::ios::binary | std::ios::trunc) << text;
}

// The same events with a detail of the first changed, each line's plain
// hash made afresh: a chain that holds, but not the lines the station wrote.
inline std::string Rehashed(const std::string& text) {
    std::string out, previous;
    for (const std::string& line : LogLines(text)) {
        std::string head = line.substr(0, line.rfind('\t'));
        if (out.empty()) head += " (changed)";
        previous = mw::Sha256Hex(previous + head);
        out += head + '\t' + previous + '\n';
    }
    return out;
}

inline std::vector<AuditLogChange> AuditLogChanges() {
    namespace fs = std::filesystem;
    const auto cut = [](std::size_t keep) {
        return [keep](const std::string& log) {
            const std::string text = ReadLog(log);
            WriteLog(log, text.substr(0, keep == 0 ? 0 : text.size() - keep));
        };
    };
    return {
        {"the last line cut off",
         [](const std::string& log) {
             std::string text = ReadLog(log);
             text.pop_back();
             WriteLog(log, text.substr(0, text.rfind('\n') + 1));
         },
         "lines were cut off its end"},
        {"the last line cut in half", cut(20), "lines were cut off its end"},
        {"emptied", cut(0), "lines were cut off its end"},
        {"removed", [](const std::string& log) { fs::remove(log); }, "emptied, removed"},
        {"written anew with fitting hashes",
         [](const std::string& log) { WriteLog(log, Rehashed(ReadLog(log))); }, "written anew"},
        {"a FIFO at its name",
         [](const std::string& log) {
             fs::remove(log);
             ::mkfifo(log.c_str(), 0600);
         },
         "it is a FIFO"},
        {"a link at its name",
         [](const std::string& log) {
             fs::rename(log, log + ".real");
             fs::create_symlink(log + ".real", log);
         },
         "it is a link"},
        {"made read-only",
         [](const std::string& log) { fs::permissions(log, fs::perms::owner_read); },
         "it is a read-only file"},
    };
}

}  // namespace mwtest
