#include "station/screen/WaveSound.h"

#include <QFile>
#include <QtEndian>
#include <optional>

namespace mw {
namespace {

constexpr int kPcm = 1;
constexpr int kFloat = 3;
constexpr int kExtensible = 0xFFFE;

// The chunk header: four letters and a little-endian length.
constexpr qsizetype kChunkHeader = 8;

quint32 Read32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 Read16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

Error BadWave(const std::string& name, const std::string& why) {
    return MakeError(errc::BadData, name + " is not a sound this station can play: " + why);
}

std::optional<QAudioFormat::SampleFormat> SampleFormatOf(int tag, int bits) {
    if (tag == kFloat) return bits == 32 ? std::optional(QAudioFormat::Float) : std::nullopt;
    if (tag != kPcm) return std::nullopt;
    switch (bits) {
        case 8:
            return QAudioFormat::UInt8;
        case 16:
            return QAudioFormat::Int16;
        case 32:
            return QAudioFormat::Int32;
        default:
            return std::nullopt;
    }
}

// The "fmt " chunk of `size` bytes at `at`.
Result<QAudioFormat> ParseFormat(const QByteArray& bytes, qsizetype at, quint32 size,
                                 const std::string& name) {
    constexpr quint32 kBasicSize = 16;
    constexpr quint32 kExtensibleSize = 40;
    if (size < kBasicSize) return BadWave(name, "its format chunk is too short");
    int tag = Read16(bytes, at);
    if (tag == kExtensible) {
        if (size < kExtensibleSize) return BadWave(name, "its format chunk is too short");
        tag = Read16(bytes, at + 24);  // the sub-format's first two bytes are the real tag
    }
    const int channels = Read16(bytes, at + 2);
    const int rate = static_cast<int>(Read32(bytes, at + 4));
    const int blockAlign = Read16(bytes, at + 12);
    const int bits = Read16(bytes, at + 14);
    const auto sampleFormat = SampleFormatOf(tag, bits);
    if (!sampleFormat) {
        return BadWave(name, "its samples are compressed or of an unusual size (format " +
                                 std::to_string(tag) + ", " + std::to_string(bits) + " bits)");
    }
    if (channels < 1 || rate < 1 || blockAlign != channels * bits / 8) {
        return BadWave(name, "its format chunk does not add up");
    }
    QAudioFormat format;
    format.setSampleFormat(*sampleFormat);
    format.setChannelCount(channels);
    format.setSampleRate(rate);
    return format;
}

}  // namespace

std::chrono::milliseconds WaveSound::Duration() const {
    return std::chrono::milliseconds(format.durationForBytes(samples.size()) / 1000);
}

Result<WaveSound> ParseWave(const QByteArray& bytes, const std::string& name) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        return BadWave(name, "it is not a wave file");
    }
    std::optional<QAudioFormat> format;
    for (qsizetype at = 12; at + kChunkHeader <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = Read32(bytes, at + 4);
        const qsizetype body = at + kChunkHeader;
        if (id == "data") {
            if (!format) return BadWave(name, "its samples come before their format");
            const qsizetype available = std::min<qsizetype>(size, bytes.size() - body);
            const qsizetype whole = available - available % format->bytesPerFrame();
            return WaveSound{*format, bytes.mid(body, whole)};
        }
        if (size > static_cast<quint64>(bytes.size() - body)) break;
        if (id == "fmt ") {
            auto parsed = ParseFormat(bytes, body, size, name);
            if (!parsed) return parsed.error();
            format = *parsed;
        }
        at = body + size + (size % 2);  // chunks are padded to an even length
    }
    return BadWave(name, "it holds no samples");
}

Result<WaveSound> ReadWaveSound(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return MakeError(errc::PathFileAccess,
                         path.toStdString() + ": " + file.errorString().toStdString());
    }
    return ParseWave(file.readAll(), path.toStdString());
}

}  // namespace mw
