#include "core/report/TrueTypeFont.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>

namespace mw {
namespace {

// A font's largest file: a family's complete fonts stay far below it.
constexpr std::uint64_t kMaxFontBytes = 32ull << 20;

// A table's place in the font file.
struct Span {
    std::size_t offset = 0;
    std::size_t length = 0;
};

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

    // The first table named `tag`, when the file holds it whole.
    std::optional<Span> Find(std::string_view tag) const {
        const auto count = Unsigned(4, 2);
        for (std::size_t i = 0; count && i < *count; ++i) {
            const std::size_t record = 12 + 16 * i;
            if (bytes_.substr(std::min(record, bytes_.size()), 4) != tag) continue;
            const auto offset = Unsigned(record + 8, 4);
            const auto length = Unsigned(record + 12, 4);
            if (!offset || !length || !Unsigned(*offset, *length)) break;
            return Span{*offset, *length};
        }
        return std::nullopt;
    }

    // Where the table `tag` starts, when the file has it whole and at least that long.
    std::optional<std::size_t> Table(std::string_view tag, std::size_t minimumSize) const {
        const std::optional<Span> span = Find(tag);
        if (!span || span->length < minimumSize) return std::nullopt;
        return span->offset;
    }

    std::string_view Bytes(Span span) const { return bytes_.substr(span.offset, span.length); }

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

// Big-endian numbers written into the tables of a subset.
void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value >> 8 & 0xFF);
    out += static_cast<char>(value & 0xFF);
}
void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
}
void Set16(std::string& bytes, std::size_t at, std::uint32_t value) {
    if (at + 2 > bytes.size()) return;
    bytes[at] = static_cast<char>(value >> 8 & 0xFF);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
}
void Set32(std::string& bytes, std::size_t at, std::uint32_t value) {
    Set16(bytes, at, value >> 16);
    Set16(bytes, at + 2, value & 0xFFFF);
}

// The sum of a table's big-endian 32-bit words, the last one padded with zeros.
std::uint32_t Checksum(std::string_view bytes) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::size_t at = i + k;
            word = word << 8 | (at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0u);
        }
        sum += word;
    }
    return sum;
}

// Calls `part(at)` with the place in `glyph` of the number of each glyph it
// is built from, when it is built from others (a composite glyph: an accented
// letter is its letter and its accent).
template <typename Part>
void ForEachComponent(std::string_view glyph, Part part) {
    constexpr std::uint32_t kWordArguments = 0x1, kScale = 0x8, kMoreComponents = 0x20,
                            kXyScale = 0x40, kTwoByTwo = 0x80;
    const FontBytes bytes(glyph);
    const std::optional<int> contours = bytes.Signed16(0);
    if (!contours || *contours >= 0) return;
    for (std::size_t at = 10;;) {
        const auto flags = bytes.Unsigned(at, 2);
        if (!flags || !bytes.Unsigned(at + 2, 2)) return;
        part(at + 2);
        at += 4 + (*flags & kWordArguments ? 4 : 2) +
              (*flags & kScale      ? 2
               : *flags & kXyScale  ? 4
               : *flags & kTwoByTwo ? 8
                                    : 0);
        if (!(*flags & kMoreComponents)) return;
    }
}

// The glyphs of a font program: found by character, located, measured.
class Glyphs {
public:
    explicit Glyphs(std::string_view program) : font_(program) {
        count_ = Number("maxp", 4);
        longOffsets_ = Number("head", 50) == 1;
        horizontalMetrics_ = Number("hhea", 34);
        loca_ = font_.Find("loca");
        glyf_ = font_.Find("glyf");
        hmtx_ = font_.Find("hmtx");
        unicodeMap_ = UnicodeMap();
    }

    std::uint32_t Count() const { return count_; }

    // The glyph of a character, through the font's Unicode character map; 0
    // (the missing-character glyph) for one it lacks.
    std::uint32_t Of(char32_t c) const {
        if (!unicodeMap_ || c > 0xFFFF) return 0;
        const std::size_t map = *unicodeMap_;
        const std::uint32_t segmentsX2 = font_.Unsigned(map + 6, 2).value_or(0);
        const std::size_t ends = map + 14, starts = ends + segmentsX2 + 2;
        const std::size_t deltas = starts + segmentsX2, rangeOffsets = deltas + segmentsX2;
        for (std::size_t s = 0; s < segmentsX2; s += 2) {
            const auto end = font_.Unsigned(ends + s, 2);
            if (!end) return 0;
            if (*end < c) continue;
            const auto start = font_.Unsigned(starts + s, 2);
            const auto delta = font_.Unsigned(deltas + s, 2);
            const auto rangeOffset = font_.Unsigned(rangeOffsets + s, 2);
            if (!start || !delta || !rangeOffset || *start > c) return 0;
            std::uint32_t glyph = c;
            if (*rangeOffset != 0) {
                glyph = font_.Unsigned(rangeOffsets + s + *rangeOffset + 2 * (c - *start), 2)
                            .value_or(0);
                if (glyph == 0) return 0;
            }
            glyph = (glyph + *delta) & 0xFFFF;
            return glyph < count_ ? glyph : 0;
        }
        return 0;
    }

    // A glyph's outline (nothing for an empty one or one out of the font's bounds).
    std::string_view Outline(std::uint32_t glyph) const {
        if (!loca_ || !glyf_ || glyph >= count_) return {};
        const std::size_t size = longOffsets_ ? 4 : 2;
        if ((glyph + 2) * size > loca_->length) return {};
        const auto from = font_.Unsigned(loca_->offset + glyph * size, size);
        const auto to = font_.Unsigned(loca_->offset + (glyph + 1) * size, size);
        if (!from || !to) return {};
        // Short offsets count 16-bit words.
        const std::size_t begin = longOffsets_ ? *from : *from * 2ull;
        const std::size_t end = longOffsets_ ? *to : *to * 2ull;
        if (begin > end || end > glyf_->length) return {};
        return font_.Bytes({glyf_->offset + begin, end - begin});
    }

    // A glyph's advance and left side bearing, as the font's horizontal
    // metrics give them: the glyphs past the last full entry share its advance.
    std::pair<std::uint32_t, std::uint32_t> Metrics(std::uint32_t glyph) const {
        if (!hmtx_ || horizontalMetrics_ == 0) return {0, 0};
        const std::uint32_t full = std::min(glyph, horizontalMetrics_ - 1);
        const std::size_t bearing = glyph < horizontalMetrics_
                                        ? 4 * glyph + 2
                                        : 4 * horizontalMetrics_ + 2 * (glyph - horizontalMetrics_);
        const auto read = [&](std::size_t at) {
            return at + 2 <= hmtx_->length ? font_.Unsigned(hmtx_->offset + at, 2).value_or(0) : 0;
        };
        return {read(4 * full), read(bearing)};
    }

    // A table of the font as it stands, or nothing.
    std::string Table(std::string_view tag) const {
        const std::optional<Span> span = font_.Find(tag);
        return span ? std::string(font_.Bytes(*span)) : std::string();
    }

private:
    std::uint32_t Number(std::string_view tag, std::size_t at) const {
        const std::optional<Span> span = font_.Find(tag);
        return span && at + 2 <= span->length ? font_.Unsigned(span->offset + at, 2).value_or(0)
                                              : 0;
    }

    // The Windows Unicode character map in the segment format, where it is.
    std::optional<std::size_t> UnicodeMap() const {
        const std::optional<Span> cmap = font_.Find("cmap");
        if (!cmap) return std::nullopt;
        const std::uint32_t count = font_.Unsigned(cmap->offset + 2, 2).value_or(0);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t record = cmap->offset + 4 + 8 * i;
            const auto offset = font_.Unsigned(record + 4, 4);
            if (font_.Unsigned(record, 2) != 3u || font_.Unsigned(record + 2, 2) != 1u || !offset) {
                continue;
            }
            if (font_.Unsigned(cmap->offset + *offset, 2) == 4u) return cmap->offset + *offset;
        }
        return std::nullopt;
    }

    FontBytes font_;
    std::uint32_t count_ = 0;
    bool longOffsets_ = false;
    std::uint32_t horizontalMetrics_ = 0;
    std::optional<Span> loca_, glyf_, hmtx_;
    std::optional<std::size_t> unicodeMap_;
};

// The glyphs that draw `characters`, with the missing-character glyph and
// every glyph a composite one is built from: the font's number of each, in
// order.
std::vector<std::uint32_t> GlyphsDrawing(const Glyphs& glyphs,
                                         const std::vector<char32_t>& characters) {
    std::set<std::uint32_t> kept{0};
    for (const char32_t c : characters) kept.insert(glyphs.Of(c));
    std::vector<std::uint32_t> pending(kept.begin(), kept.end());
    while (!pending.empty()) {
        const std::string_view outline = glyphs.Outline(pending.back());
        pending.pop_back();
        ForEachComponent(outline, [&](std::size_t at) {
            const std::uint32_t part = FontBytes(outline).Unsigned(at, 2).value_or(0);
            if (part < glyphs.Count() && kept.insert(part).second) pending.push_back(part);
        });
    }
    return {kept.begin(), kept.end()};
}

// A Windows Unicode character map in the segment format, a segment for each
// character, with the closing segment the format asks for.
std::string CharacterMap(const std::map<char32_t, std::uint32_t>& glyphOf) {
    const std::uint32_t segments = static_cast<std::uint32_t>(glyphOf.size()) + 1;
    std::uint32_t searchRange = 2, entrySelector = 0;
    while (searchRange * 2 <= segments * 2) searchRange *= 2, ++entrySelector;
    std::string map;
    Put16(map, 0);   // version
    Put16(map, 1);   // one map
    Put16(map, 3);   // Windows
    Put16(map, 1);   // Unicode
    Put32(map, 12);  // where it starts
    Put16(map, 4);   // the segment format
    Put16(map, 16 + 8 * segments);
    Put16(map, 0);  // any language
    Put16(map, 2 * segments);
    Put16(map, searchRange);
    Put16(map, entrySelector);
    Put16(map, 2 * segments - searchRange);
    for (const auto& entry : glyphOf) Put16(map, entry.first);
    Put16(map, 0xFFFF);
    Put16(map, 0);  // reserved
    for (const auto& entry : glyphOf) Put16(map, entry.first);
    Put16(map, 0xFFFF);
    for (const auto& [c, glyph] : glyphOf) Put16(map, (glyph - c) & 0xFFFF);
    Put16(map, 1);
    for (std::uint32_t i = 0; i < segments; ++i) Put16(map, 0);
    return map;
}

// The outlines of the glyphs kept (the font's number of each to its new
// one), where each starts and their metrics, in the order of the new
// numbers; a composite glyph names its parts by their new numbers.
std::map<std::string, std::string> GlyphTables(
    const Glyphs& glyphs, const std::map<std::uint32_t, std::uint32_t>& newNumber) {
    std::string glyf, loca, hmtx;
    for (const auto& entry : newNumber) {
        Put32(loca, static_cast<std::uint32_t>(glyf.size()));
        std::string outline(glyphs.Outline(entry.first));
        ForEachComponent(outline, [&](std::size_t at) {
            const auto part = FontBytes(outline).Unsigned(at, 2).value_or(0);
            const auto renumbered = newNumber.find(part);
            Set16(outline, at, renumbered == newNumber.end() ? 0 : renumbered->second);
        });
        glyf += outline;
        glyf.resize((glyf.size() + 3) / 4 * 4, '\0');
        const auto [advance, bearing] = glyphs.Metrics(entry.first);
        Put16(hmtx, advance);
        Put16(hmtx, bearing);
    }
    Put32(loca, static_cast<std::uint32_t>(glyf.size()));
    return {{"glyf", glyf}, {"loca", loca}, {"hmtx", hmtx}};
}

// A font file of `tables` (by tag, in the byte order of the tags, as the
// file's directory must list them), each on a four-byte boundary with its
// checksum, and the whole file's checksum adjusted in the head table.
std::string FontFile(const std::map<std::string, std::string>& tables) {
    const auto count = static_cast<std::uint32_t>(tables.size());
    std::uint32_t searchRange = 16, entrySelector = 0;
    while (searchRange * 2 <= count * 16) searchRange *= 2, ++entrySelector;
    std::string file;
    Put32(file, 0x00010000);
    Put16(file, count);
    Put16(file, searchRange);
    Put16(file, entrySelector);
    Put16(file, count * 16 - searchRange);
    std::size_t offset = 12 + 16 * tables.size();
    std::optional<std::size_t> headOffset;
    for (const auto& [tag, bytes] : tables) {
        if (tag == "head") headOffset = offset;
        file += tag;
        Put32(file, Checksum(bytes));
        Put32(file, static_cast<std::uint32_t>(offset));
        Put32(file, static_cast<std::uint32_t>(bytes.size()));
        offset += (bytes.size() + 3) / 4 * 4;
    }
    for (const auto& entry : tables) {
        file += entry.second;
        file.resize((file.size() + 3) / 4 * 4, '\0');
    }
    if (headOffset) Set32(file, *headOffset + 8, 0xB1B0AFBAu - Checksum(file));
    return file;
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

std::string FontSubset(const TrueTypeFont& font, const std::vector<char32_t>& characters) {
    const Glyphs glyphs(font.program);
    const std::vector<std::uint32_t> kept = GlyphsDrawing(glyphs, characters);
    std::map<std::uint32_t, std::uint32_t> newNumber;
    for (const std::uint32_t glyph : kept) newNumber.emplace(glyph, newNumber.size());
    std::map<char32_t, std::uint32_t> glyphOf;
    for (const char32_t c : characters) {
        if (const std::uint32_t glyph = glyphs.Of(c); glyph != 0) glyphOf[c] = newNumber[glyph];
    }
    std::map<std::string, std::string> tables = GlyphTables(glyphs, newNumber);
    tables["cmap"] = CharacterMap(glyphOf);

    const auto glyphCount = static_cast<std::uint32_t>(kept.size());
    std::string head = glyphs.Table("head");
    Set32(head, 8, 0);   // the file's checksum, set once the file is whole
    Set16(head, 50, 1);  // long glyph offsets
    tables["head"] = head;
    std::string hhea = glyphs.Table("hhea");
    Set16(hhea, 34, glyphCount);  // a full entry of horizontal metrics for each glyph
    tables["hhea"] = hhea;
    std::string maxp = glyphs.Table("maxp");
    Set16(maxp, 4, glyphCount);
    tables["maxp"] = maxp;
    // The PostScript table without glyph names: a PDF's simple fonts find
    // their glyphs through the character map.
    std::string post = glyphs.Table("post").substr(0, 32);
    post.resize(32, '\0');
    Set32(post, 0, 0x00030000);
    tables["post"] = post;
    // The hinting programs and the measures Windows reads, as they are.
    for (const char* tag : {"OS/2", "cvt ", "fpgm", "prep"}) {
        if (std::string table = glyphs.Table(tag); !table.empty()) tables[tag] = std::move(table);
    }
    return FontFile(tables);
}

}  // namespace mw
