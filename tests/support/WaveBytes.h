// Wave files assembled byte by byte, so that a test states exactly what the
// player is given.
#pragma once

#include <cstdint>
#include <string>

namespace mwtest {

inline std::string LittleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int b = 0; b < bytes; ++b) out += static_cast<char>((value >> (8 * b)) & 0xFF);
    return out;
}

// A chunk with its header, padded to an even length as the format wants.
inline std::string Chunk(const std::string& id, const std::string& body) {
    const std::string padding(body.size() % 2, '\0');
    return id + LittleEndian(static_cast<std::uint32_t>(body.size()), 4) + body + padding;
}

// The 16-byte format chunk; tag 1 is integer samples, 3 floating point.
inline std::string FormatChunk(int tag, int channels, std::uint32_t rate, int bits) {
    const int frame = channels * bits / 8;
    return Chunk("fmt ", LittleEndian(tag, 2) + LittleEndian(channels, 2) + LittleEndian(rate, 4) +
                             LittleEndian(rate * frame, 4) + LittleEndian(frame, 2) +
                             LittleEndian(bits, 2));
}

inline std::string WaveFile(const std::string& chunks) {
    return "RIFF" + LittleEndian(static_cast<std::uint32_t>(4 + chunks.size()), 4) + "WAVE" +
           chunks;
}

// An 8-bit mono square tone of `seconds`, `rate` samples a second.
inline std::string ToneFile(std::uint32_t rate, std::uint32_t seconds) {
    std::string samples;
    for (std::uint32_t i = 0; i < rate * seconds; ++i) {
        samples += static_cast<char>((i / 4) % 2 ? 0xC0 : 0x40);
    }
    return WaveFile(FormatChunk(1, 1, rate, 8) + Chunk("data", samples));
}

}  // namespace mwtest
