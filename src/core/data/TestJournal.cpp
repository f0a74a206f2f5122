#include "core/data/TestJournal.h"

#include <charconv>
#include <vector>

#include "core/data/InPlaceFile.h"

namespace mw {
namespace {

// The first line tells a journal from any other file; the number is the
// format's version, raised when the format changes. A journal of version 1
// may lack the paradata line and has no end line; one of version 2 has no
// large-type line.
constexpr std::string_view kHeading = "Mirrorwise test journal 3";
constexpr std::string_view kHeadingWithoutLargeType = "Mirrorwise test journal 2";
constexpr std::string_view kHeadingWithoutEnd = "Mirrorwise test journal 1";
constexpr std::array<std::string_view, 6> kKeys = {"DataPath", "DiskCheck", "Language",
                                                   "Item",     "Answers",   "Record"};
constexpr std::string_view kHexDigits = "0123456789abcdef";
// A journal is a few hundred bytes; anything far larger is not one.
constexpr std::uint64_t kMaxJournalBytes = 64 * 1024;
// A whole journal with the longest data disk path and every item's timing
// fits, twice: before and after a write.
constexpr std::size_t kJournalRecoveryBytes = 32768;
// After the keys above, so that a station that knows only those reads the journal still.
constexpr std::string_view kTimingKey = "Paradata";
constexpr std::string_view kLargeTypeKey = "LargeType";
// The last line: the checksum of all before it. A journal cut short or
// changed anywhere does not end with its own.
constexpr std::string_view kEndKey = "End";

std::string Hex16(std::uint64_t value) {
    std::string hex;
    for (int shift = 60; shift >= 0; shift -= 4) hex += kHexDigits[(value >> shift) & 0xF];
    return hex;
}

// The record's bytes as hexadecimal: a field may hold any byte, a line end among them.
std::string ToHex(std::string_view bytes) {
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 0xF];
    }
    return hex;
}

std::optional<std::string> FromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const auto high = kHexDigits.find(hex[i]);
        const auto low = kHexDigits.find(hex[i + 1]);
        if (high == std::string_view::npos || low == std::string_view::npos) return std::nullopt;
        bytes += static_cast<char>(high << 4 | low);
    }
    return bytes;
}

template <class T>
std::optional<T> ParseNumber(std::string_view text, int base = 10) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

// Reads one "Key=value" line after another, naming the line at fault.
class JournalReader {
public:
    JournalReader(std::string_view text, const std::string& fileName)
        : lines_(Lines(text)), fileName_(fileName) {}

    Error Fail(const std::string& what) const {
        return MakeError(errc::BadData, FilePlace(fileName_, static_cast<int>(line_) + 1) + what);
    }
    // The format's version: 3, 2 (before journals kept the type), 1 (before
    // they had an end line), or 0 for a file that is no journal.
    int Version() const {
        if (lines_.empty()) return 0;
        if (lines_[0] == kHeading) return 3;
        if (lines_[0] == kHeadingWithoutLargeType) return 2;
        return lines_[0] == kHeadingWithoutEnd ? 1 : 0;
    }
    // The value, never empty, of the next line, which must be the given key's.
    std::optional<std::string_view> Value(std::string_view key) {
        ++line_;
        if (line_ >= lines_.size()) return std::nullopt;
        const std::string_view line = lines_[line_];
        if (line.size() <= key.size() || line.substr(0, key.size()) != key ||
            line[key.size()] != '=') {
            return std::nullopt;
        }
        return line.substr(key.size() + 1);
    }

private:
    std::vector<std::string_view> lines_;
    const std::string& fileName_;
    std::size_t line_ = 0;
};

// Each answer is one digit, 0 for an item not yet answered.
std::optional<std::array<int, kItemCount + 1>> ParseAnswers(std::string_view digits,
                                                            const AnswerRanges& ranges) {
    if (digits.size() != kItemCount) return std::nullopt;
    std::array<int, kItemCount + 1> answers{};
    for (int item = 1; item <= kItemCount; ++item) {
        const char digit = digits[item - 1];
        if (digit < '0' || digit > '5') return std::nullopt;
        answers[item] = ranges.Accepts(item, digit - '0') ? digit - '0' : 0;
    }
    return answers;
}

}  // namespace

std::string TestJournal::ToText() const {
    std::string answers;
    for (int item = 1; item <= kItemCount; ++item) {
        answers += static_cast<char>('0' + Answers[item]);
    }
    const std::array<std::string, 6> values = {DataPath, Hex16(DiskCheck),
                                               Language, std::to_string(Item),
                                               answers,  ToHex(Client.ToBytes())};
    std::string text = std::string(kHeading) + "\n";
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        text += std::string(kKeys[i]) + "=" + values[i] + "\n";
    }
    text += std::string(kTimingKey) + "=" + Timing.ToText() + "\n";
    text += std::string(kLargeTypeKey) + "=" + (LargeType ? "1" : "0") + "\n";
    return text + std::string(kEndKey) + "=" + Hex16(Fnv1a(text)) + "\n";
}

Result<TestJournal> TestJournal::FromText(std::string_view text, const std::string& fileName,
                                          const AnswerRanges& ranges) {
    JournalReader reader(text, fileName);
    const int version = reader.Version();
    if (version == 0) {
        return MakeError(errc::BadData, fileName + " is not a test journal of this station");
    }
    TestJournal journal;
    std::array<std::string_view, kKeys.size()> values;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const auto value = reader.Value(kKeys[i]);
        if (!value) return reader.Fail(std::string(kKeys[i]) + "= expected");
        values[i] = *value;
    }
    // Absent from a journal of version 1; present, it must be whole.
    std::optional<Paradata> timing = Paradata();
    if (const auto value = reader.Value(kTimingKey)) {
        timing = Paradata::FromText(*value);
    } else if (version > 1) {
        return reader.Fail(std::string(kTimingKey) + "= expected");
    }
    std::optional<std::string_view> largeType = "0";
    if (version > 2) {
        largeType = reader.Value(kLargeTypeKey);
        if (!largeType) return reader.Fail(std::string(kLargeTypeKey) + "= expected");
    }
    if (version > 1) {
        const auto end = reader.Value(kEndKey);
        if (!end)
            return reader.Fail("the journal is cut short: " + std::string(kEndKey) + "= expected");
        const std::string_view whole = text.substr(0, text.rfind(kEndKey));
        if (*end != Hex16(Fnv1a(whole))) {
            return reader.Fail("the journal was changed or damaged: its checksum does not hold");
        }
    }
    journal.DataPath = values[0];
    const auto check = ParseNumber<std::uint64_t>(values[1], 16);
    const auto item = ParseNumber<int>(values[3]);
    const auto answers = ParseAnswers(values[4], ranges);
    const auto record = FromHex(values[5]);
    if (!check || !item || *item < 1 || *item > kItemCount || !answers || !record ||
        record->size() != kRecordSize || !timing || (*largeType != "0" && *largeType != "1")) {
        return MakeError(errc::BadData,
                         fileName + " is damaged: a value is missing or out of range");
    }
    journal.DiskCheck = *check;
    journal.Language = values[2];
    journal.Item = *item;
    journal.Answers = *answers;
    journal.Client = ClientRecord::FromBytes(*record);
    journal.Timing = *timing;
    journal.LargeType = *largeType == "1";
    return journal;
}

std::uint64_t DiskFingerprint(std::string_view recordFile) {
    return Fnv1a(recordFile);
}

std::string AnswerDigits(const std::array<int, kItemCount + 1>& positions) {
    std::string digits;
    for (int item = 1; item <= kItemCount; ++item) {
        digits += static_cast<char>('0' + positions[static_cast<std::size_t>(item)] % 10);
    }
    return digits;
}

ClientRecord TestJournal::Finished() const {
    ClientRecord finished = Client;
    finished.Answers = AnswerDigits(Answers);
    return finished;
}

bool FinishedClientStored(const TestJournal& journal, std::string_view dataPath,
                          std::string_view recordFile) {
    if (journal.DataPath != dataPath) return false;
    const std::string finished = journal.Finished().ToBytes();
    // Clients added after it (by another station) leave its slot where it was.
    for (std::size_t slot = 0; slot + kRecordSize <= recordFile.size(); slot += kRecordSize) {
        if (recordFile.substr(slot, kRecordSize) == finished &&
            DiskFingerprint(recordFile.substr(0, slot)) == journal.DiskCheck) {
            return true;
        }
    }
    return false;
}

std::string TestJournalPath(const std::string& programDir) {
    return JoinPath(programDir, kTestJournalName);
}

namespace {

InPlaceFile JournalFile(FileSystem& fs, const std::string& programDir, Notify notify) {
    return InPlaceFile(fs, TestJournalPath(programDir),
                       JoinPath(programDir, kTestJournalRecoveryName), kJournalRecoveryBytes,
                       std::move(notify));
}

}  // namespace

Status WriteTestJournal(FileSystem& fs, const std::string& programDir, const TestJournal& journal,
                        const Notify& notify) {
    return JournalFile(fs, programDir, notify).Rewrite(journal.ToText(), kMaxJournalBytes);
}

Result<std::optional<TestJournal>> ReadTestJournal(FileSystem& fs, const std::string& programDir,
                                                   const AnswerRanges& ranges,
                                                   const Notify& notify) {
    const std::string path = TestJournalPath(programDir);
    if (Status st = JournalFile(fs, programDir, notify).Recover(); !st) return st.error();
    if (!fs.FileExists(path)) return std::optional<TestJournal>();
    Result<std::string> text = fs.ReadFile(path, kMaxJournalBytes);
    if (!text) return text.error();
    Result<TestJournal> journal = TestJournal::FromText(*text, path, ranges);
    if (!journal) return journal.error();
    return std::optional<TestJournal>(std::move(*journal));
}

Status RemoveTestJournal(FileSystem& fs, const std::string& programDir) {
    return JournalFile(fs, programDir, {}).Wipe();
}

}  // namespace mw
