// A fresh folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>

namespace mwtest {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("mwtest-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path() const { return path_.string(); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    // Every file's name and bytes: a folder left exactly as it was has the same snapshot.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
            const std::string name = std::filesystem::relative(entry.path(), path_).string();
            files[name] = entry.is_regular_file() ? Read(name) : "<folder>";
        }
        return files;
    }

private:
    std::filesystem::path path_;
};

// The built program folder's data files, without the programs (or only its
// text files: the scoring data, report texts and paragraphs), copied into `to`.
inline void CopyDataSet(const std::string& to, bool textOnly = false) {
    for (const auto& file : std::filesystem::directory_iterator(MW_PROGRAM_DIR)) {
        const std::string name = file.path().filename().string();
        const std::string ext = file.path().extension().string();
        if (name.rfind("mirrorwise", 0) != 0 && (!textOnly || ext == ".txt" || ext == ".TXT")) {
            std::filesystem::copy_file(file.path(), std::filesystem::path(to) / name);
        }
    }
}

}  // namespace mwtest
