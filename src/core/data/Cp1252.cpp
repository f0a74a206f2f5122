#include "core/data/Cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace mw {
namespace {

// Code points of bytes 0x80-0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

bool Undefined(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] == 0;
}

char32_t ToCodePoint(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    char32_t cp = kHigh[byte - 0x80];
    return cp ? cp : kReplacement;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char FromCodePoint(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes one UTF-8 sequence at text[i], advancing i; a malformed byte reads as U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    auto byte = static_cast<unsigned char>(text[i++]);
    int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
    if (byte >= 0x80 && extra == 0) return 0xFFFD;
    char32_t cp = extra == 0 ? byte : byte & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return cp;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) AppendUtf8(out, ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

char32_t Cp1252CodePoint(unsigned char byte) {
    return Undefined(byte) ? 0 : ToCodePoint(byte);
}

std::string Utf8ToCp1252(std::string_view utf8) {
    return Utf8ToCp1252(utf8, {});
}

std::string Utf8ToCp1252(std::string_view utf8, std::string_view shown) {
    std::string out;
    out.reserve(utf8.size());
    auto kept = shown.begin();
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = NextCodePoint(utf8, i);
        if (cp == kReplacement) {
            kept = std::find_if(kept, shown.end(),
                                [](char c) { return Undefined(static_cast<unsigned char>(c)); });
            if (kept != shown.end()) {
                out += *kept++;
                continue;
            }
        }
        out += FromCodePoint(cp);
    }
    return out;
}

}  // namespace mw
