// How a test on the screen was taken: for each item, how long the client
// took to answer, whether the answer came before the question had been
// spoken to its end, how often the question was asked again and whether the
// client came back to the item. A supervisor reads from it whether the
// answers were given with care.
//
// The station keeps it in a file of its own on the data disk, a line per
// client keyed by record number, never a name: other installations ignore
// the file, and the record file stays byte for byte as they write it. A
// client whose answers were keyed or scanned has no line.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/CodeTables.h"
#include "core/data/Error.h"
#include "core/data/FileSystem.h"

namespace mw {

inline constexpr const char* kParadataFileName = "PARA401.MW";

// An answer given faster than this is taken for a rapid guess: too quick to
// have read the item. The README gives the threshold's source.
inline constexpr int kRapidGuessMs = 2000;
// Below this effort index the supervisor is told at the end of the test.
inline constexpr double kLowEffortIndex = 0.90;

struct ItemParadata {
    // From the item shown to the answer confirmed; none while unanswered.
    std::optional<int> ms;
    // The answer came before the spoken question had finished.
    bool early = false;
    // How often the client had the question spoken again.
    int repeats = 0;
    // The client came back to the item with F10.
    bool revisited = false;

    bool operator==(const ItemParadata&) const = default;
};

struct Paradata {
    // Index 0 unused.
    std::array<ItemParadata, kItemCount + 1> items{};

    // One line, no line end: "ms,early,repeats,revisited" per item, items
    // separated by ';', an unanswered item's time "-".
    std::string ToText() const;
    // Empty when `text` is not such a line.
    static std::optional<Paradata> FromText(std::string_view text);

    bool operator==(const Paradata&) const = default;
};

struct EffortSummary {
    // Items with a time, and those of them answered faster than kRapidGuessMs.
    int timed = 0;
    int rapid = 0;
    // The share of timed items answered no faster than the threshold; 1 when none was timed.
    double effortIndex = 1;
    // The median time per section 1-4 (the mean of the middle two for an
    // even count); none where no item of the section was timed. Index 0 unused.
    std::array<std::optional<int>, kSectionCount + 1> medianMs{};
    // Answers given before the question had been heard out.
    int early = 0;
    // Questions spoken again on request, and items come back to.
    int repeats = 0;
    int revisited = 0;

    bool LowEffort() const { return effortIndex < kLowEffortIndex; }
};

EffortSummary Summarize(const Paradata& paradata);

// "0.94" and the like: two decimals, as every output shows the index.
std::string FormatIndex(double index);

// The shown text for a client without paradata.
inline constexpr const char* kNotRecorded = "not recorded";

// The note shown to the supervisor at the end of a test whose index is low.
std::string HowTakenText(const EffortSummary& summary);
// What the supervisor screen and the report's annex show, a line each; for
// a client without paradata the one line says it was not recorded.
std::vector<std::string> DescribeParadata(const std::optional<Paradata>& paradata);

// The paradata of every client on the data disk at `dataPath`, by record
// number. No file is no paradata; a line that cannot be read is an error
// naming the file and the line.
Result<std::map<int, Paradata>> ReadParadata(FileSystem& fs, const std::string& dataPath);
// DescribeParadata for the client at `record` of the disk at `dataPath`.
Result<std::vector<std::string>> ParadataLines(FileSystem& fs, const std::string& dataPath,
                                               int record);
// The effort index of the client at `record` as every output shows it, or "not recorded".
std::string EffortIndexOf(const std::map<int, Paradata>& clients, int record);
// Stores one client's paradata, keeping the others', whole or not at all.
Status WriteParadata(FileSystem& fs, const std::string& dataPath, int record,
                     const Paradata& paradata);

}  // namespace mw
