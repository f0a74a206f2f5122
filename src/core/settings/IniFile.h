// Settings files read and written the way Windows reads and writes the
// station's settings files: section and key names match without
// regard to case, a missing file, section or key gives the default, and
// writing one key keeps every other line, comment and the order of the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

// A buffer size that keeps the value whole.
inline constexpr std::size_t kWholeValue = 0;

class IniFile {
public:
    // `newFileText` is what a file that does not exist yet stands for: it is
    // read as holding that text, and the first write starts from it.
    IniFile(FileSystem& fs, std::string path, std::string newFileText = {})
        : fs_(fs), path_(std::move(path)), newFileText_(std::move(newFileText)) {}

    const std::string& Path() const { return path_; }

    // The value without surrounding blanks and without one pair of
    // surrounding double quotes, cut to bufferSize - 1 characters as the
    // caller's buffer would hold it (kWholeValue: not cut).
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t bufferSize = 256) const;
    // The leading integer of the value; a value that is not a number reads as 0.
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    // Replaces the file whole (temporary file, then rename). A value that
    // reading would change (surrounding blanks or quotes) is written in
    // double quotes; one with a line break is refused.
    Status WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Several keys of one section in one replacement: all of them are
    // written, or none.
    Status WriteStrings(std::string_view section,
                        const std::vector<std::pair<std::string, std::string>>& entries);

private:
    // The value as written, without blanks and quotes; none when the file,
    // section or key is missing.
    std::optional<std::string> Lookup(std::string_view section, std::string_view key) const;
    // The file's text; `newFileText_` when there is no file yet.
    Result<std::string> Text() const;

    FileSystem& fs_;
    std::string path_;
    std::string newFileText_;
};

}  // namespace mw
