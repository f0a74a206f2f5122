// A file rewritten in its own blocks, whole or not at all.
//
// A file replaced through a new file and a rename leaves every earlier
// version in the medium's free space, where anyone holding the disk can read
// it back. A file that holds client names is therefore rewritten in place.
// So that a write cut short by a kill or a power cut never leaves it half
// old and half new, the bytes about to be overwritten are first kept, with a
// checksum, in a recovery file of fixed size beside it, itself rewritten in
// place; the next use of the file puts them back. Once the write has reached
// the disk, the recovery file is blanked again, so that no old bytes stay in
// it either.
//
// A recovery entry says which file it undoes and how that file may look: its
// name, its length and digest before the write and after it, and the bytes
// the write changes, old and new. It is applied only to a file that is as the
// write found it, as it would leave it, or part way between (each changed
// byte old, new or not yet written), and that the undoing turns back into the
// file as found. An entry for anything else (a file since restored or copied
// in, another disk's file, another file's entry) is never applied: it is
// kept aside under a new name and the user is told.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

// A 64-bit FNV-1a checksum: tells a whole recovery entry from a torn one.
std::uint64_t Fnv1a(std::string_view bytes);

// What the user is told of a recovery file that was out of the ordinary: one
// line naming the files.
using Notify = std::function<void(const std::string& note)>;

class InPlaceFile {
public:
    // `capacity`: the recovery file's size, twice the most that one write may
    // change plus its name and a few hundred bytes.
    InPlaceFile(FileSystem& fs, std::string path, std::string recoveryPath, std::size_t capacity,
                Notify notify)
        : fs_(fs),
          path_(std::move(path)),
          recoveryPath_(std::move(recoveryPath)),
          capacity_(capacity),
          notify_(std::move(notify)) {}

    // Puts back what a write cut short had overwritten. Run before the file
    // is read.
    Status Recover();
    // The file as Recover would leave it, without writing anything: for a
    // reader that must not change the disk.
    Result<std::string> ReadRecovered(std::uint64_t maxBytes) const;
    // Makes the file hold `next`, writing only the bytes that differ.
    // `current` is what it holds now, as read after Recover; none when there
    // is no file yet.
    Status Write(std::optional<std::string_view> current, std::string_view next);
    // Recover, then Write over what the file holds (of at most maxBytes).
    Status Rewrite(std::string_view next, std::uint64_t maxBytes);
    // Removes the file and the recovery file, each overwritten first.
    Status Wipe();
    // Overwrites and removes the entries kept aside beside the recovery
    // file: they hold a file's old bytes.
    Status WipeKept();

    struct UndoEntry;

private:
    // What stands at the recovery file's name and the entry it holds.
    struct Found;
    Result<Found> Look() const;
    // A failure of the recovery file, named after the file it serves.
    Error Named(Error error) const;
    Status WriteRecovery(std::string_view bytes);
    Status Undo(const UndoEntry& entry);
    // Zeros over the first `bytes` of the recovery file.
    Status ClearRecovery(std::uint64_t bytes);
    Status SetAside();
    Result<std::optional<std::string>> ReadTarget(std::uint64_t maxBytes) const;
    void Tell(const std::string& note) const {
        if (notify_) notify_(note);
    }

    FileSystem& fs_;
    std::string path_;
    std::string recoveryPath_;
    std::size_t capacity_;
    Notify notify_;
};

}  // namespace mw
