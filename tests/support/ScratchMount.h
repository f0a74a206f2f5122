// A small tmpfs mounted over a test folder, for disks that are really full
// or really read-only (root ignores permission bits, so chmod cannot make
// them). Mounting needs root and a kernel that allows it; tests fall back to
// the file layer's injected faults when Mounted() is false.
#pragma once

#include <sys/mount.h>

#include <string>

namespace mwtest {

class ScratchMount {
public:
    // `sizeKb` is the whole room on the disk.
    ScratchMount(std::string dir, int sizeKb) : dir_(std::move(dir)) {
        const std::string options = "size=" + std::to_string(sizeKb) + "k";
        mounted_ = ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~ScratchMount() {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool Mounted() const { return mounted_; }
    // Slides the write-protect tab: the files stay, nothing can be written.
    bool MakeReadOnly() {
        return ::mount(nullptr, dir_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string dir_;
    bool mounted_ = false;
};

}  // namespace mwtest
