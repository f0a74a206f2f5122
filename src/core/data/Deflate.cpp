#include "core/data/Deflate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace mw {
namespace {

// RFC 1951: a match is 3 to 258 bytes long and reaches back at most 32 KB.
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 258;
constexpr std::size_t kWindow = 32768;
// How many earlier places with the same three bytes are tried: enough for
// the repeats of a report, few enough that a PDF costs well under a millisecond.
constexpr int kMaxTries = 32;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Bits packed from the lowest bit of each byte up, as deflate packs them.
class BitWriter {
public:
    void Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit(value >> i & 1);
    }
    // A Huffman code goes most significant bit first.
    void Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit(code >> i & 1);
    }
    std::string Finish() {
        if (used_ > 0) bytes_ += static_cast<char>(current_);
        return std::move(bytes_);
    }

private:
    void Bit(std::uint32_t bit) {
        current_ |= bit << used_;
        if (++used_ == 8) {
            bytes_ += static_cast<char>(current_);
            current_ = 0;
            used_ = 0;
        }
    }

    std::string bytes_;
    std::uint32_t current_ = 0;
    int used_ = 0;
};

// The fixed codes of the literal and length alphabet (RFC 1951, 3.2.6).
void Symbol(BitWriter& out, std::uint32_t symbol) {
    if (symbol < 144) {
        out.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        out.Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        out.Code(symbol - 256, 7);
    } else {
        out.Code(0xC0 + symbol - 280, 8);
    }
}

// Index of the last entry of `bases` not above `value`.
template <std::size_t N>
std::size_t BaseIndex(const std::array<std::uint16_t, N>& bases, std::size_t value) {
    std::size_t i = N - 1;
    while (bases[i] > value) --i;
    return i;
}

void Match(BitWriter& out, std::size_t length, std::size_t distance) {
    const std::size_t l = BaseIndex(kLengthBase, length);
    Symbol(out, static_cast<std::uint32_t>(257 + l));
    out.Bits(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    const std::size_t d = BaseIndex(kDistanceBase, distance);
    out.Code(static_cast<std::uint32_t>(d), 5);
    out.Bits(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

std::uint32_t Adler32(std::string_view bytes) {
    std::uint32_t a = 1, b = 0;
    for (const char c : bytes) {
        a = (a + static_cast<unsigned char>(c)) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

}  // namespace

std::string ZlibCompress(std::string_view bytes) {
    constexpr std::size_t kHashSize = 1 << 15;
    constexpr std::uint32_t kNone = UINT32_MAX;
    // The last place each hash of three bytes was seen, and for each place
    // the one seen before it with the same hash.
    std::vector<std::uint32_t> last(kHashSize, kNone), earlier(bytes.size(), kNone);
    const auto hash = [&](std::size_t at) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
        return (byte(0) << 10 ^ byte(1) << 5 ^ byte(2)) & (kHashSize - 1);
    };
    const auto remember = [&](std::size_t at) {
        if (at + kMinMatch > bytes.size()) return;
        const std::size_t h = hash(at);
        earlier[at] = last[h];
        last[h] = static_cast<std::uint32_t>(at);
    };

    BitWriter out;
    out.Bits(1, 1);  // the last block
    out.Bits(1, 2);  // of fixed codes
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t bestLength = 0, bestDistance = 0;
        if (at + kMinMatch <= bytes.size()) {
            const std::size_t longest = std::min(kMaxMatch, bytes.size() - at);
            std::uint32_t candidate = last[hash(at)];
            for (int tries = 0;
                 candidate != kNone && at - candidate <= kWindow && tries < kMaxTries;
                 ++tries, candidate = earlier[candidate]) {
                std::size_t length = 0;
                while (length < longest && bytes[candidate + length] == bytes[at + length])
                    ++length;
                if (length > bestLength) bestLength = length, bestDistance = at - candidate;
                if (length == longest) break;
            }
        }
        if (bestLength >= kMinMatch) {
            Match(out, bestLength, bestDistance);
            for (std::size_t end = at + bestLength; at < end; ++at) remember(at);
        } else {
            Symbol(out, static_cast<unsigned char>(bytes[at]));
            remember(at++);
        }
    }
    Symbol(out, 256);  // the end of the block

    // RFC 1950: deflate with a 32 KB window, the check bits making the
    // header a multiple of 31, and the Adler-32 of the bytes at the end.
    std::string zlib = "\x78\x01" + out.Finish();
    const std::uint32_t check = Adler32(bytes);
    for (int shift = 24; shift >= 0; shift -= 8) zlib += static_cast<char>(check >> shift & 0xFF);
    return zlib;
}

}  // namespace mw
