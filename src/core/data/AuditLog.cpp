#include "core/data/AuditLog.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <sstream>
#include <utility>

#include "core/data/DataDisk.h"
#include "core/data/ScannedSheets.h"
#include "core/data/Sha256.h"
#include "core/data/SiteKey.h"

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

// The short name a keyed hash carries: whose key it was made with.
std::string KeyName(const std::string& key) {
    return Sha256Hex("audit key " + key).substr(0, 8);
}

// The hash of a line after `previousHash`: keyed when there is a key.
std::string LineHash(const std::optional<std::string>& key, std::string_view previousHash,
                     std::string_view text) {
    const std::string chained = std::string(previousHash) + std::string(text);
    if (!key) return Sha256Hex(chained);
    return KeyName(*key) + ":" + HmacSha256Hex(*key, chained);
}

// The text a line's hash covers: all before its last tab.
std::string_view TextOf(std::string_view line) {
    return line.substr(0, line.size() - HashOf(line).size() - 1);
}

enum class Link { Follows, Unchecked, Broken };

// Whether a line of five fields follows from the previous hash. A keyed line
// made with another key cannot be checked. A plain line after one keyed with
// our key is a break: anyone can make it, and a station that holds the key
// keys every line it adds.
Link Follows(const std::optional<std::string>& key, std::string_view previousHash,
             std::string_view line, std::size_t fieldCount) {
    if (fieldCount != 5) return Link::Broken;
    const std::string_view hash = HashOf(line);
    const std::size_t colon = hash.find(':');
    if (colon == std::string_view::npos) {
        const bool afterOurs = key && previousHash.starts_with(KeyName(*key) + ":");
        const bool fits = Sha256Hex(std::string(previousHash) + std::string(TextOf(line))) == hash;
        return fits && !afterOurs ? Link::Follows : Link::Broken;
    }
    if (!key || hash.substr(0, colon) != KeyName(*key)) return Link::Unchecked;
    return LineHash(key, previousHash, TextOf(line)) == hash ? Link::Follows : Link::Broken;
}

AuditLine ReadLine(int number, std::vector<std::string> fields, std::string_view line) {
    if (fields.size() != 5) {
        return {number, "", "", "(not a line of the log)", std::string(line), ""};
    }
    return {number,
            std::move(fields[0]),
            std::move(fields[1]),
            std::move(fields[2]),
            std::move(fields[3]),
            std::move(fields[4])};
}

// Why no line can be added at `path`; empty when one can.
std::string Unwritable(const PathInfo& info) {
    switch (info.kind) {
        case PathInfo::Absent:
            return {};
        case PathInfo::File:
            return info.readOnly ? "it is a read-only file" : "";
        case PathInfo::Link:
            return "it is a link to another file";
        case PathInfo::Folder:
            return "it is a folder";
        case PathInfo::Special:
            return "it is a FIFO, socket or device";
    }
    return {};
}

// The note of the last line added to each disk's log, by disk identity.
struct NoteLine {
    int lines = 0;
    std::string hash;
};

Result<std::map<std::string, NoteLine>> ReadNotes(FileSystem& fs, const std::string& path) {
    std::map<std::string, NoteLine> notes;
    if (!fs.FileExists(path)) return notes;
    Result<std::string> text = fs.ReadFile(path);
    if (!text) return text.error();
    std::istringstream in(*text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::istringstream fields(line);
        std::string id;
        NoteLine note;
        if (!(fields >> id >> note.lines >> note.hash) || note.lines < 1) {
            return MakeError(errc::BadData,
                             FilePlace(path, number) + "not a disk, a line count and a hash");
        }
        notes[id] = note;
    }
    return notes;
}

}  // namespace

Result<std::optional<std::string>> AuditLog::Key() const {
    if (programDir_.empty()) return std::optional<std::string>();
    return ExistingSiteKey(fs_, programDir_);
}

// The line is on the disk by now: a note that cannot be made says so.
Status AuditLog::Note(int lines, const std::string& hash) {
    if (programDir_.empty()) return {};
    const Status noted = WriteNote(lines, hash);
    if (noted) return noted;
    return MakeError(noted.error().code, "the line was added to " + path_ +
                                             ", but it could not be noted in the program folder: " +
                                             noted.error().message);
}

Status AuditLog::WriteNote(int lines, const std::string& hash) {
    const std::string path = JoinPath(programDir_, kAuditNoteFileName);
    Result<std::string> id = DiskIdentity(fs_, drive_, true);
    if (!id) return id.error();
    Result<std::map<std::string, NoteLine>> notes = ReadNotes(fs_, path);
    if (!notes) return notes.error();
    (*notes)[*id] = {lines, hash};
    std::string text;
    for (const auto& [disk, note] : *notes) {
        text += disk + " " + std::to_string(note.lines) + " " + note.hash + "\n";
    }
    return fs_.ReplaceFile(path, text);
}

Status AuditLog::Append(const DateTime& when, const AuditEntry& entry) {
    return AppendAll(when, std::span(&entry, 1));
}

Status AuditLog::AppendAll(const DateTime& when, std::span<const AuditEntry> entries) {
    if (entries.empty()) return {};
    auto lock = LockDisk(fs_, drive_, LockMode::Exclusive);
    if (!lock) return lock.error();
    const PathInfo info = fs_.Examine(path_);
    if (const std::string why = Unwritable(info); !why.empty()) {
        return MakeError(errc::PermissionDenied, "cannot add to " + path_ + ": " + why);
    }
    Result<std::optional<std::string>> key = Key();
    if (!key) return key.error();
    std::string log;
    if (info.kind == PathInfo::File) {
        Result<std::string> read = fs_.ReadFile(path_);
        if (!read) return read.error();
        log = std::move(*read);
    }
    const std::string_view whole = WholeLines(log);
    std::string hash(HashOf(LastLine(whole)));
    std::string lines;
    for (const AuditEntry& entry : entries) {
        const std::string record = entry.record > 0 ? std::to_string(entry.record) : "-";
        const std::string text = TimeText(when) + kSeparator + record + kSeparator +
                                 EventText(entry.event) + kSeparator + entry.details;
        hash = LineHash(*key, hash, text);
        lines += text + kSeparator + hash + '\n';
    }
    if (Status st = fs_.WriteAt(path_, whole.size(), lines); !st) return st;
    // A remnant longer than the new lines would otherwise stay after them.
    if (log.size() > whole.size() + lines.size()) {
        if (Status st = fs_.Truncate(path_, whole.size() + lines.size()); !st) return st;
    }
    const auto count =
        std::count(whole.begin(), whole.end(), '\n') + static_cast<std::ptrdiff_t>(entries.size());
    return Note(static_cast<int>(count), hash);
}

Result<AuditReading> AuditLog::Read() const {
    auto lock = LockDisk(fs_, drive_, LockMode::Shared);
    if (!lock) return lock.error();
    AuditReading reading;
    const PathInfo info = fs_.Examine(path_);
    reading.present = info.kind != PathInfo::Absent;
    reading.unwritable = Unwritable(info);
    if (info.kind == PathInfo::File) {
        if (Status st = ReadLines(reading); !st) return st.error();
    }
    if (Status st = CompareWithNote(reading); !st) return st.error();
    return reading;
}

Status AuditLog::ReadLines(AuditReading& reading) const {
    Result<std::optional<std::string>> key = Key();
    if (!key) return key.error();
    Result<std::string> log = fs_.ReadFile(path_);
    if (!log) return log.error();
    const std::string_view whole = WholeLines(*log);
    int number = 0;
    for (std::size_t at = 0; at < whole.size();) {
        const std::size_t end = whole.find('\n', at);
        const std::string_view line = whole.substr(at, end - at);
        at = end + 1;
        std::vector<std::string> fields = Fields(line);
        const Link link = Follows(*key, reading.lastHash, line, fields.size());
        if (link == Link::Broken && reading.firstBroken == 0) reading.firstBroken = number + 1;
        if (link == Link::Unchecked) ++reading.unchecked;
        reading.lines.push_back(ReadLine(++number, std::move(fields), line));
        reading.lastHash = HashOf(line);
    }
    return {};
}

// The note is of this disk's identity; a disk without one has never had a
// line added by a station that notes them.
Status AuditLog::CompareWithNote(AuditReading& reading) const {
    if (programDir_.empty()) return {};
    Result<std::string> id = DiskIdentity(fs_, drive_, false);
    if (!id) return id.error();
    Result<std::map<std::string, NoteLine>> notes =
        ReadNotes(fs_, JoinPath(programDir_, kAuditNoteFileName));
    if (!notes) return notes.error();
    const auto found = notes->find(*id);
    if (id->empty() || found == notes->end()) return {};
    const NoteLine& note = found->second;
    const auto count = static_cast<int>(reading.lines.size());
    if (count < note.lines) {
        reading.cutShort = "it holds " + std::to_string(count) + " whole lines, but line " +
                           std::to_string(note.lines) +
                           " was added to it here: lines were cut off its end, or it was "
                           "emptied, removed or replaced";
    } else if (reading.lines[static_cast<std::size_t>(note.lines) - 1].hash != note.hash) {
        reading.cutShort = "its line " + std::to_string(note.lines) +
                           " is not the one added to it here: it was written anew or replaced";
    }
    return {};
}

std::string BrokenChainText(const std::string& path, int line) {
    return "line " + std::to_string(line) + " of " + path +
           " breaks the chain of hashes: it or the line before it was changed, removed or moved";
}

std::vector<std::string> AuditProblems(const std::string& path, const AuditReading& reading) {
    std::vector<std::string> problems;
    if (!reading.unwritable.empty()) {
        problems.push_back("nothing can be added to " + path + ": " + reading.unwritable +
                           ", so nothing done to this disk is logged");
    }
    if (reading.firstBroken > 0) problems.push_back(BrokenChainText(path, reading.firstBroken));
    if (!reading.cutShort.empty())
        problems.push_back(path + " is not as it was: " + reading.cutShort);
    return problems;
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
