#include "core/data/AuditLog.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "core/data/ScannedSheets.h"
#include "core/data/Sha256.h"

namespace mw {
namespace {

constexpr char kSeparator = '\t';

const char* EventText(AuditEvent event) {
    switch (event) {
        case AuditEvent::ClientAdded:
            return "client added";
        case AuditEvent::InformationEdited:
            return "information edited";
        case AuditEvent::AnswersChanged:
            return "answers changed";
        case AuditEvent::VerificationPassed:
            return "verification passed";
        case AuditEvent::VerificationCorrected:
            return "verification corrected";
        case AuditEvent::ReportViewed:
            return "report viewed";
        case AuditEvent::ReportPrinted:
            return "report printed";
        case AuditEvent::Exported:
            return "exported";
        case AuditEvent::ScanBatchImported:
            return "scan batch imported";
        case AuditEvent::NameDeleted:
            return "name deleted";
        case AuditEvent::DiskSelected:
            return "disk selected";
    }
    return "?";
}

// "03/05/2024 14:03:22": the record's date form and the time of day.
std::string TimeText(const DateTime& when) {
    char time[16];
    std::snprintf(time, sizeof time, " %02d:%02d:%02d", when.hour % 100, when.minute % 100,
                  when.second % 100);
    return FormatDate(when.date) + time;
}

// The log up to the end of its last whole line.
std::string_view WholeLines(std::string_view log) {
    return log.substr(0, log.rfind('\n') + 1);
}

// The last whole line, without its line end; empty for an empty log.
std::string_view LastLine(std::string_view whole) {
    if (whole.empty()) return whole;
    whole.remove_suffix(1);
    return whole.substr(whole.rfind('\n') + 1);
}

// The hash a line ends with: what follows its last tab.
std::string_view HashOf(std::string_view line) {
    const std::size_t tab = line.rfind(kSeparator);
    return tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
}

std::vector<std::string> Fields(std::string_view line) {
    std::vector<std::string> fields;
    for (std::size_t at = 0;;) {
        const std::size_t tab = line.find(kSeparator, at);
        fields.emplace_back(line.substr(at, tab - at));
        if (tab == std::string_view::npos) return fields;
        at = tab + 1;
    }
}

// A line of five fields whose hash is that of the previous hash and its text.
bool Follows(std::string_view previousHash, std::string_view line, std::size_t fieldCount) {
    if (fieldCount != 5) return false;
    const std::string_view hash = HashOf(line);
    const std::string_view text = line.substr(0, line.size() - hash.size() - 1);
    return Sha256Hex(std::string(previousHash) + std::string(text)) == hash;
}

AuditLine ReadLine(int number, std::vector<std::string> fields, std::string_view line) {
    if (fields.size() != 5) return {number, "", "", "(not a line of the log)", std::string(line)};
    return {number, std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
            std::move(fields[3])};
}

}  // namespace

Status AuditLog::Append(const DateTime& when, const AuditEntry& entry) {
    std::string log;
    if (fs_.FileExists(path_)) {
        Result<std::string> read = fs_.ReadFile(path_);
        if (!read) return read.error();
        log = std::move(*read);
    }
    const std::string_view whole = WholeLines(log);
    const std::string previous(HashOf(LastLine(whole)));
    const std::string record = entry.record > 0 ? std::to_string(entry.record) : "-";
    const std::string text = TimeText(when) + kSeparator + record + kSeparator +
                             EventText(entry.event) + kSeparator + entry.details;
    const std::string line = text + kSeparator + Sha256Hex(previous + text) + '\n';
    if (Status st = fs_.WriteAt(path_, whole.size(), line); !st) return st;
    // A remnant longer than the new line would otherwise stay after it.
    if (log.size() <= whole.size() + line.size()) return {};
    return fs_.Truncate(path_, whole.size() + line.size());
}

Result<AuditReading> AuditLog::Read() const {
    AuditReading reading;
    // Anything else at the name is refused by the read, naming it.
    if (!fs_.FileExists(path_) && !fs_.DirectoryExists(path_)) return reading;
    Result<std::string> log = fs_.ReadFile(path_);
    if (!log) return log.error();
    reading.present = true;
    const std::string_view whole = WholeLines(*log);
    int number = 0;
    for (std::size_t at = 0; at < whole.size();) {
        const std::size_t end = whole.find('\n', at);
        const std::string_view line = whole.substr(at, end - at);
        at = end + 1;
        std::vector<std::string> fields = Fields(line);
        if (!Follows(reading.lastHash, line, fields.size()) && reading.firstBroken == 0) {
            reading.firstBroken = number + 1;
        }
        reading.lines.push_back(ReadLine(++number, std::move(fields), line));
        reading.lastHash = HashOf(line);
    }
    return reading;
}

std::string BrokenChainText(const std::string& path, int line) {
    return "line " + std::to_string(line) + " of " + path +
           " breaks the chain of hashes: it or the line before it was changed, removed or moved";
}

std::string ChangedFields(const ClientRecord& before, const ClientRecord& after) {
    const std::array<std::pair<const char*, bool>, 8> fields = {{
        {"Name", before.Name.View() != after.Name.View()},
        {"IDNumber", before.IDNumber.View() != after.IDNumber.View()},
        {"Age", before.Age.View() != after.Age.View()},
        {"Gender", before.Gender.View() != after.Gender.View()},
        {"Race", before.Race.View() != after.Race.View()},
        {"Education", before.Education.View() != after.Education.View()},
        {"MaritalStatus", before.MaritalStatus.View() != after.MaritalStatus.View()},
        {"DateOfBirth", before.DateOfBirth.View() != after.DateOfBirth.View()},
    }};
    std::string names;
    for (const auto& [name, changed] : fields) {
        if (changed) names += (names.empty() ? "fields " : ", ") + std::string(name);
    }
    return names;
}

std::string ChangedItems(std::string_view before, std::string_view after) {
    // A blank, or no character at all, is an item not answered, as "0" is.
    const auto answer = [](std::string_view answers, std::size_t i) {
        return i < answers.size() && answers[i] != ' ' ? answers[i] : '0';
    };
    std::vector<int> items;
    for (std::size_t i = 0; i < std::max(before.size(), after.size()); ++i) {
        if (answer(before, i) != answer(after, i)) items.push_back(static_cast<int>(i) + 1);
    }
    return items.empty() ? std::string() : "items " + ItemList(items);
}

std::string BatchDetails(const ScanBatchSummary& summary) {
    return "sheets read " + std::to_string(summary.read) + ", stored " +
           std::to_string(summary.stored) + ", skipped " +
           std::to_string(summary.skipped.size() + summary.otherAnswers.size()) + ", waiting " +
           std::to_string(summary.waiting);
}

}  // namespace mw
