#include "core/data/ClientRecord.h"

#include <charconv>
#include <type_traits>

namespace mw {
namespace {

// Visits the fields in their order on disk.
template <class Record, class Fn>
void ForEachField(Record& r, Fn fn) {
    fn(r.Name), fn(r.IDNumber), fn(r.Age), fn(r.Gender), fn(r.Race), fn(r.Education);
    fn(r.MaritalStatus), fn(r.DateOfBirth), fn(r.TodayDate), fn(r.Answers);
    fn(r.timeseditted), fn(r.DeleteFlag);
}

}  // namespace

std::string ClientRecord::ToBytes() const {
    std::string bytes;
    bytes.reserve(kRecordSize);
    ForEachField(*this, [&](const auto& f) { bytes += f.View(); });
    return bytes;
}

ClientRecord ClientRecord::FromBytes(std::string_view bytes) {
    ClientRecord r;
    std::size_t pos = 0;
    ForEachField(r, [&](auto& f) {
        std::size_t width = std::decay_t<decltype(f)>::kWidth;
        f = pos < bytes.size() ? bytes.substr(pos, width) : std::string_view();
        pos += width;
    });
    return r;
}

int ClientRecord::TimesEdited() const {
    return CodeValue(timeseditted.View());
}

bool ClientRecord::NameDeleted() const {
    return CodeValue(DeleteFlag.View()) == 1;
}

bool ClientRecord::Locked() const {
    return NameDeleted() || TimesEdited() >= kEditLimit;
}

std::string Trim(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return out;
}

int CodeValue(std::string_view field) {
    std::string trimmed = Trim(field);
    int value = 0;
    auto [end, ec] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (ec != std::errc() || end != trimmed.data() + trimmed.size()) return 0;
    return value;
}

}  // namespace mw
