// The real file system with failures injected on chosen operations, for the
// disk faults a test running as root cannot cause with permission bits.
#pragma once

#include <optional>

#include "core/data/FileSystem.h"

namespace mwtest {

class FaultyFileSystem : public mw::FileSystem {
public:
    // Every write (every call that changes a file but RemoveFile) fails with this error number.
    std::optional<int> failWrites;
    // Writes that still go through once failWrites is set, for a failure part way.
    int writesBeforeFailure = 0;
    // Every read fails with this error number.
    std::optional<int> failReads;

    mw::Result<std::string> ReadFile(const std::string& path, std::uint64_t maxBytes) override {
        if (failReads) return mw::MakeError(*failReads, "injected read failure on " + path);
        return real().ReadFile(path, maxBytes);
    }
    mw::Result<std::string> ReadHead(const std::string& path, std::uint64_t count) override {
        if (failReads) return mw::MakeError(*failReads, "injected read failure on " + path);
        return real().ReadHead(path, count);
    }
    bool FileExists(const std::string& path) override { return real().FileExists(path); }
    bool DirectoryExists(const std::string& path) override { return real().DirectoryExists(path); }
    mw::Status CreateIfMissing(const std::string& path) override {
        return Write(path, [&] { return real().CreateIfMissing(path); });
    }
    mw::Status WriteFile(const std::string& path, std::string_view bytes,
                         mw::Readers readers = mw::Readers::OwnerOnly) override {
        return Write(path, [&] { return real().WriteFile(path, bytes, readers); });
    }
    mw::Status ReplaceFile(const std::string& path, std::string_view bytes,
                           mw::Readers readers = mw::Readers::OwnerOnly) override {
        return Write(path, [&] { return real().ReplaceFile(path, bytes, readers); });
    }
    mw::Status WriteAt(const std::string& path, std::uint64_t offset,
                       std::string_view bytes) override {
        return Write(path, [&] { return real().WriteAt(path, offset, bytes); });
    }
    mw::Status Truncate(const std::string& path, std::uint64_t length) override {
        return Write(path, [&] { return real().Truncate(path, length); });
    }
    mw::Status WipeFile(const std::string& path) override {
        return Write(path, [&] { return real().WipeFile(path); });
    }
    mw::Status RemoveFile(const std::string& path) override { return real().RemoveFile(path); }
    mw::Status RenameFile(const std::string& from, const std::string& to) override {
        return Write(from, [&] { return real().RenameFile(from, to); });
    }
    mw::PathInfo Examine(const std::string& path) override { return real().Examine(path); }
    mw::Result<std::unique_ptr<mw::FileLock>> Lock(const std::string& path, mw::LockMode mode,
                                                   std::chrono::milliseconds wait) override {
        return real().Lock(path, mode, wait);
    }
    std::vector<std::string> ListDrives() override { return drives; }

    std::vector<std::string> drives;

private:
    static mw::FileSystem& real() { return mw::LocalFileSystem(); }

    template <class Fn>
    mw::Status Write(const std::string& path, Fn fn) {
        if (failWrites && writesBeforeFailure-- <= 0) {
            return mw::MakeError(*failWrites, "injected write failure on " + path);
        }
        return fn();
    }
};

}  // namespace mwtest
