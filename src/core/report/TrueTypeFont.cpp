#include "core/report/TrueTypeFont.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace mw {
namespace {

// A font's largest file: a family's complete fonts stay far below it.
constexpr std::uint64_t kMaxFontBytes = 32ull << 20;

// The font file's big-endian numbers, each read only inside the file.
class FontBytes {
public:
    explicit FontBytes(std::string_view bytes) : bytes_(bytes) {}

    std::optional<std::uint32_t> Unsigned(std::size_t at, std::size_t size) const {
        if (at > bytes_.size() || size > bytes_.size() - at) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value = value << 8 | static_cast<unsigned char>(bytes_[at + i]);
        }
        return value;
    }
    std::optional<int> Signed16(std::size_t at) const {
        const auto value = Unsigned(at, 2);
        if (!value) return std::nullopt;
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(*value));
    }

    // Where the table `tag` starts, when the file has it whole.
    std::optional<std::size_t> Table(std::string_view tag, std::size_t minimumSize) const {
        const auto count = Unsigned(4, 2);
        for (std::size_t i = 0; count && i < *count; ++i) {
            const std::size_t record = 12 + 16 * i;
            if (bytes_.substr(std::min(record, bytes_.size()), 4) != tag) continue;
            const auto offset = Unsigned(record + 8, 4);
            const auto length = Unsigned(record + 12, 4);
            if (!offset || !length || *length < minimumSize || !Unsigned(*offset, *length)) break;
            return *offset;
        }
        return std::nullopt;
    }

private:
    std::string_view bytes_;
};

struct Tables {
    std::size_t head, hhea, post;
    std::optional<std::size_t> os2;
};

std::optional<Tables> FindTables(const FontBytes& font) {
    const auto head = font.Table("head", 54);
    const auto hhea = font.Table("hhea", 36);
    const auto post = font.Table("post", 16);
    if (!head || !hhea || !post) return std::nullopt;
    return Tables{*head, *hhea, *post, font.Table("OS/2", 90)};
}

}  // namespace

Result<TrueTypeFont> ReadTrueTypeFont(FileSystem& fs, const std::string& path) {
    Result<std::string> bytes = fs.ReadFile(path, kMaxFontBytes);
    if (!bytes) return bytes.error();
    const FontBytes font(*bytes);
    const std::optional<Tables> t = FindTables(font);
    const auto unitsPerEm = t ? font.Unsigned(t->head + 18, 2) : std::nullopt;
    if (!unitsPerEm || *unitsPerEm == 0 || font.Unsigned(0, 4) != 0x00010000u) {
        return MakeError(errc::BadData, path + " is not a TrueType font");
    }
    if (font.Unsigned(t->post + 12, 4) == 0u) {
        return MakeError(errc::BadData, path + " is not a fixed-pitch font");
    }
    const auto thousandths = [&](std::optional<int> units) {
        return static_cast<int>(std::lround(units.value_or(0) * 1000.0 / *unitsPerEm));
    };
    TrueTypeFont result;
    // In a fixed-pitch font the widest character is as wide as any other.
    result.advance = thousandths(static_cast<int>(font.Unsigned(t->hhea + 10, 2).value_or(0)));
    result.ascent = thousandths(font.Signed16(t->hhea + 4));
    result.descent = thousandths(font.Signed16(t->hhea + 6));
    // Only a second or later version of the OS/2 table gives the capitals' height.
    const bool capHeightGiven = t->os2 && font.Unsigned(*t->os2, 2).value_or(0) >= 2;
    result.capHeight = capHeightGiven ? thousandths(font.Signed16(*t->os2 + 88)) : result.ascent;
    for (std::size_t i = 0; i < 4; ++i)
        result.box[i] = thousandths(font.Signed16(t->head + 36 + 2 * i));
    result.program = std::move(*bytes);
    return result;
}

}  // namespace mw
