// Files held in memory, so that a fuzz run reads and writes thousands of
// inputs a second without touching the disk. A disk of bounded size: a write
// or length beyond it fails as a full disk does, so that a file made to claim
// a huge offset shows up as a refusal rather than as an exhausted machine.
#pragma once

#include <map>

#include "core/data/FileSystem.h"

namespace mwfuzz {

class MemoryFileSystem final : public mw::FileSystem {
public:
    static constexpr std::uint64_t kDiskBytes = 16u << 20;

    std::map<std::string, std::string> files;

    mw::Result<std::string> ReadFile(const std::string& path, std::uint64_t maxBytes) override {
        auto it = files.find(path);
        if (it == files.end()) return mw::MakeError(mw::errc::FileNotFound, "no file " + path);
        if (it->second.size() > maxBytes) {
            return mw::MakeError(mw::errc::FileTooLarge, path + " is too long");
        }
        return it->second;
    }
    mw::Result<std::string> ReadHead(const std::string& path, std::uint64_t count) override {
        auto it = files.find(path);
        if (it == files.end()) return mw::MakeError(mw::errc::FileNotFound, "no file " + path);
        return it->second.substr(0, static_cast<std::size_t>(count));
    }
    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    bool DirectoryExists(const std::string& path) override {
        const std::string prefix = path + "/";
        auto it = files.lower_bound(prefix);
        return it != files.end() && it->first.compare(0, prefix.size(), prefix) == 0;
    }
    mw::Status CreateIfMissing(const std::string& path) override {
        files.try_emplace(path);
        return {};
    }
    mw::Status WriteFile(const std::string& path, std::string_view bytes, mw::Readers) override {
        return Put(path, std::string(bytes));
    }
    mw::Status ReplaceFile(const std::string& path, std::string_view bytes, mw::Readers) override {
        return Put(path, std::string(bytes));
    }
    mw::Status WriteAt(const std::string& path, std::uint64_t offset,
                       std::string_view bytes) override {
        if (offset > kDiskBytes || bytes.size() > kDiskBytes - offset) return Full(path);
        std::string& file = files[path];
        const auto at = static_cast<std::size_t>(offset);
        if (file.size() < at + bytes.size()) file.resize(at + bytes.size(), '\0');
        file.replace(at, bytes.size(), bytes);
        return {};
    }
    mw::Status Truncate(const std::string& path, std::uint64_t length) override {
        if (length > kDiskBytes) return Full(path);
        files[path].resize(static_cast<std::size_t>(length), '\0');
        return {};
    }
    mw::Status WipeFile(const std::string& path) override {
        files.erase(path);
        return {};
    }
    mw::Status RemoveFile(const std::string& path) override {
        files.erase(path);
        return {};
    }
    mw::Status RenameFile(const std::string& from, const std::string& to) override {
        auto it = files.find(from);
        if (it == files.end()) return mw::MakeError(mw::errc::FileNotFound, "no file " + from);
        if (files.count(to)) return mw::MakeError(mw::errc::FileExists, to + " is taken");
        files[to] = std::move(it->second);
        files.erase(from);
        return {};
    }
    mw::PathInfo Examine(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return {};
        return {mw::PathInfo::File, it->second.size()};
    }
    // One program and no other: every lock is granted at once.
    mw::Result<std::unique_ptr<mw::FileLock>> Lock(const std::string&, mw::LockMode,
                                                   std::chrono::milliseconds) override {
        return std::unique_ptr<mw::FileLock>(std::make_unique<mw::FileLock>());
    }
    std::vector<std::string> ListDrives() override { return {}; }

private:
    static mw::Error Full(const std::string& path) {
        return mw::MakeError(mw::errc::DiskFull, "the disk is full: " + path);
    }
    mw::Status Put(const std::string& path, std::string bytes) {
        if (bytes.size() > kDiskBytes) return Full(path);
        files[path] = std::move(bytes);
        return {};
    }
};

}  // namespace mwfuzz
