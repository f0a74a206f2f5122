// What the report benchmarks run on: the program folder as built, a copy of
// it whose paragraph files are about 180 KB each (a site's own licensed
// files may be that long), and the list of files a report reads, which is
// the floor a report is measured against.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/report/ParagraphFile.h"
#include "core/scoring/ReportTexts.h"
#include "core/scoring/ScoringTables.h"

extern char** environ;

namespace mwbench {

namespace fs = std::filesystem;

constexpr std::size_t kLongParagraphFileBytes = 180 * 1024;

// A new folder under `parent` (the system's temporary folder unless given),
// removed with all it holds when the object goes.
class TempFolder {
public:
    explicit TempFolder(const fs::path& parent = fs::temp_directory_path()) {
        std::string pattern = (parent / "mw-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) std::abort();
    return text.str();
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) std::abort();
}

// Runs argv[0] (searched on PATH) with its output discarded; aborts unless it exits 0.
inline void RunQuietly(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::abort();
    }
    posix_spawn_file_actions_destroy(&actions);
}

// A benchmark of `args` run as a whole process.
inline void RunEach(benchmark::State& bench, const std::vector<std::string>& args) {
    for (auto _ : bench) RunQuietly(args);
}

// The program-folder files a report of a client with a valid profile reads.
inline std::vector<std::string> ReportInputs(const std::string& programDir) {
    std::vector<std::string> paths = {programDir + "/" + mw::kReportTextsFileName,
                                      programDir + "/" + mw::kScoringFileName};
    for (int scale = 1; scale <= mw::kScaleCount; ++scale) {
        paths.push_back(programDir + "/" + mw::ParagraphFileName(scale));
    }
    return paths;
}

// `text` with the lines of every paragraph repeated `times` times, CR LF ended.
inline std::string LengthenParagraphs(const std::string& text, int times) {
    std::string out;
    std::string body;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool marker = !line.empty() && line.find_first_not_of("0123456789") == line.npos;
        if (marker || line == "END") {
            for (int i = 0; i < times; ++i) out += body;
            body.clear();
            out += line + "\r\n";
        } else {
            body += line + "\r\n";
        }
    }
    return out;
}

// A copy of the program folder's data files in `dest`, each paragraph file
// lengthened to about kLongParagraphFileBytes.
inline void MakeLongProgramFolder(const std::string& programDir, const std::string& dest) {
    for (const char* name : {mw::kReportTextsFileName, mw::kScoringFileName, "INVAL.TXT"}) {
        fs::copy_file(programDir + "/" + name, dest + "/" + name);
    }
    for (int scale = 1; scale <= mw::kScaleCount; ++scale) {
        const std::string name = std::string("/") + mw::ParagraphFileName(scale);
        const std::string text = ReadAll(programDir + name);
        const int times =
            static_cast<int>((kLongParagraphFileBytes + text.size() / 2) / text.size());
        WriteAll(dest + name, LengthenParagraphs(text, times));
    }
}

}  // namespace mwbench
