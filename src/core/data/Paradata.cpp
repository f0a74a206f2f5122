#include "core/data/Paradata.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "core/data/DataDisk.h"

namespace mw {
namespace {

// The first line tells the file from any other; the number is the format's version.
constexpr std::string_view kHeading = "Mirrorwise paradata 1";
// 51 clients of a few kilobytes each, with room to spare.
constexpr std::uint64_t kMaxParadataBytes = 1024 * 1024;

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

std::optional<ItemParadata> ParseItem(std::string_view text) {
    const auto fields = Split(text, ',');
    if (fields.size() != 4) return std::nullopt;
    ItemParadata item;
    if (fields[0] != "-") {
        item.ms = ParseInt(fields[0]);
        if (!item.ms || *item.ms < 0) return std::nullopt;
    }
    const auto early = ParseInt(fields[1]);
    const auto repeats = ParseInt(fields[2]);
    const auto revisited = ParseInt(fields[3]);
    if (!early || *early > 1 || *early < 0 || !repeats || *repeats < 0 || !revisited ||
        *revisited > 1 || *revisited < 0) {
        return std::nullopt;
    }
    item.early = *early == 1;
    item.repeats = *repeats;
    item.revisited = *revisited == 1;
    return item;
}

std::optional<int> Median(std::vector<int> times) {
    if (times.empty()) return std::nullopt;
    std::ranges::sort(times);
    const std::size_t mid = times.size() / 2;
    if (times.size() % 2 == 1) return times[mid];
    return (times[mid - 1] + times[mid]) / 2;
}

std::string FilePath(const std::string& dataPath) {
    return JoinPath(dataPath, kParadataFileName);
}

}  // namespace

std::string Paradata::ToText() const {
    std::string text;
    for (int item = 1; item <= kItemCount; ++item) {
        const ItemParadata& it = items[item];
        if (item > 1) text += ';';
        text += (it.ms ? std::to_string(*it.ms) : "-") + "," + (it.early ? "1" : "0") + "," +
                std::to_string(it.repeats) + "," + (it.revisited ? "1" : "0");
    }
    return text;
}

std::optional<Paradata> Paradata::FromText(std::string_view text) {
    const auto fields = Split(text, ';');
    if (fields.size() != kItemCount) return std::nullopt;
    Paradata paradata;
    for (int item = 1; item <= kItemCount; ++item) {
        const auto parsed = ParseItem(fields[item - 1]);
        if (!parsed) return std::nullopt;
        paradata.items[item] = *parsed;
    }
    return paradata;
}

EffortSummary Summarize(const Paradata& paradata) {
    EffortSummary summary;
    std::array<std::vector<int>, kSectionCount + 1> times;
    for (int item = 1; item <= kItemCount; ++item) {
        const ItemParadata& it = paradata.items[item];
        if (it.early) ++summary.early;
        if (it.revisited) ++summary.revisited;
        summary.repeats += it.repeats;
        if (!it.ms) continue;
        ++summary.timed;
        if (*it.ms < kRapidGuessMs) ++summary.rapid;
        times[SectionOf(item)].push_back(*it.ms);
    }
    if (summary.timed > 0) {
        summary.effortIndex = static_cast<double>(summary.timed - summary.rapid) / summary.timed;
    }
    for (int section = 1; section <= kSectionCount; ++section) {
        summary.medianMs[section] = Median(times[section]);
    }
    return summary;
}

std::string FormatIndex(double index) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", index);
    return text;
}

std::string HowTakenText(const EffortSummary& summary) {
    return "Effort index " + FormatIndex(summary.effortIndex) + ", below " +
           FormatIndex(kLowEffortIndex) + ": " + std::to_string(summary.rapid) + " of " +
           std::to_string(summary.timed) + " answers came in less than " +
           std::to_string(kRapidGuessMs / 1000) +
           " seconds, too fast to have read the item.\nAnswers before the question was heard "
           "out: " +
           std::to_string(summary.early) + ".";
}

std::vector<std::string> DescribeParadata(const std::optional<Paradata>& paradata) {
    if (!paradata) return {std::string("How the test was taken: ") + kNotRecorded};
    const EffortSummary summary = Summarize(*paradata);
    std::string medians = "Median time per section:";
    for (int section = 1; section <= kSectionCount; ++section) {
        char seconds[32] = "-";
        if (const auto ms = summary.medianMs[section]) {
            std::snprintf(seconds, sizeof seconds, "%.1f s", *ms / 1000.0);
        }
        medians +=
            std::string(section > 1 ? "," : "") + " " + std::to_string(section) + ": " + seconds;
    }
    return {"Effort index: " + FormatIndex(summary.effortIndex) + " (" +
                std::to_string(summary.rapid) + " of " + std::to_string(summary.timed) +
                " answers faster than " + std::to_string(kRapidGuessMs / 1000) + " seconds)",
            medians, "Answers before the question was heard out: " + std::to_string(summary.early),
            "Questions repeated: " + std::to_string(summary.repeats) +
                ", items revisited: " + std::to_string(summary.revisited)};
}

Result<std::map<int, Paradata>> ReadParadata(FileSystem& fs, const std::string& dataPath) {
    const std::string path = FilePath(dataPath);
    std::map<int, Paradata> clients;
    if (!fs.FileExists(path)) return clients;
    auto lock = LockDisk(fs, dataPath, LockMode::Shared);
    if (!lock) return lock.error();
    Result<std::string> text = fs.ReadFile(path, kMaxParadataBytes);
    if (!text) return text.error();
    const auto lines = Split(*text, '\n');
    if (lines.front() != kHeading) {
        return MakeError(errc::BadData, path + " is not a paradata file of this station");
    }
    for (std::size_t n = 1; n < lines.size(); ++n) {
        if (lines[n].empty()) continue;
        const auto at = lines[n].find('=');
        const auto record = ParseInt(lines[n].substr(0, at));
        const auto paradata = at == std::string_view::npos
                                  ? std::nullopt
                                  : Paradata::FromText(lines[n].substr(at + 1));
        if (!record || *record < 1 || !paradata) {
            return MakeError(errc::BadData, FilePlace(path, static_cast<int>(n) + 1) +
                                                "not a record number and its items");
        }
        clients[*record] = *paradata;
    }
    return clients;
}

Result<std::vector<std::string>> ParadataLines(FileSystem& fs, const std::string& dataPath,
                                               int record) {
    Result<std::map<int, Paradata>> clients = ReadParadata(fs, dataPath);
    if (!clients) return clients.error();
    const auto found = clients->find(record);
    return DescribeParadata(found == clients->end() ? std::nullopt
                                                    : std::optional<Paradata>(found->second));
}

std::string EffortIndexOf(const std::map<int, Paradata>& clients, int record) {
    const auto found = clients.find(record);
    return found == clients.end() ? kNotRecorded
                                  : FormatIndex(Summarize(found->second).effortIndex);
}

Status WriteParadata(FileSystem& fs, const std::string& dataPath, int record,
                     const Paradata& paradata) {
    auto lock = LockDisk(fs, dataPath, LockMode::Exclusive);
    if (!lock) return lock.error();
    Result<std::map<int, Paradata>> clients = ReadParadata(fs, dataPath);
    if (!clients) return clients.error();
    (*clients)[record] = paradata;
    std::string text = std::string(kHeading) + "\n";
    for (const auto& [number, items] : *clients) {
        text += std::to_string(number) + "=" + items.ToText() + "\n";
    }
    return fs.ReplaceFile(FilePath(dataPath), text);
}

}  // namespace mw
