// Reading the sound files of the test: the formats they are recorded in, and
// the files that are refused with a message instead of being played as noise.
#include "station/screen/WaveSound.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/WaveBytes.h"

namespace mw {
namespace {

using mwtest::Chunk;
using mwtest::FormatChunk;
using mwtest::LittleEndian;
using mwtest::WaveFile;

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

TEST(WaveSoundTest, PlayableFormatsGiveTheirSamplesAndFormatFromBytesOrFromDisk) {
    const std::string samples = "\x01\x02\x03\x04\x05\x06\x07\x08";
    const std::string extensibleFloat =
        Chunk("fmt ", LittleEndian(0xFFFE, 2) + LittleEndian(1, 2) + LittleEndian(16000, 4) +
                          LittleEndian(64000, 4) + LittleEndian(4, 2) + LittleEndian(32, 2) +
                          LittleEndian(22, 2) + LittleEndian(32, 2) + LittleEndian(4, 4) +
                          LittleEndian(3, 2) + std::string(14, '\x01'));
    const struct {
        const char* name;
        std::string file;
        QAudioFormat::SampleFormat format;
        int channels;
        int rate;
        std::string samples;
    } cases[] = {
        {"8-bit mono", WaveFile(FormatChunk(1, 1, 8000, 8) + Chunk("data", samples)),
         QAudioFormat::UInt8, 1, 8000, samples},
        // Odd-sized chunks are padded; chunks the player does not need are passed over.
        {"16-bit stereo among other chunks",
         WaveFile(Chunk("LIST", "abc") + FormatChunk(1, 2, 22050, 16) + Chunk("fact", "x") +
                  Chunk("data", samples)),
         QAudioFormat::Int16, 2, 22050, samples},
        {"floating point in the extensible format",
         WaveFile(extensibleFloat + Chunk("data", samples)), QAudioFormat::Float, 1, 16000,
         samples},
        // A recording cut short claims more samples than it has: the whole frames are kept.
        {"data longer than the file",
         WaveFile(FormatChunk(1, 2, 8000, 16)) + "data" + LittleEndian(1000, 4) + "0123456789",
         QAudioFormat::Int16, 2, 8000, "01234567"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<WaveSound> sound = ParseWave(Bytes(c.file), "Q1.wav");
        ASSERT_TRUE(sound) << sound.error().message;
        EXPECT_EQ(sound->format.sampleFormat(), c.format);
        EXPECT_EQ(sound->format.channelCount(), c.channels);
        EXPECT_EQ(sound->format.sampleRate(), c.rate);
        EXPECT_EQ(sound->samples, Bytes(c.samples));
    }

    // A file on disk is read whole; a missing one is told apart from a bad one.
    mwtest::TempDir folder;
    folder.Write("C1_1.wav", mwtest::ToneFile(8000, 2));
    const Result<WaveSound> sound = ReadWaveSound(QString::fromStdString(folder.File("C1_1.wav")));
    ASSERT_TRUE(sound) << sound.error().message;
    EXPECT_EQ(sound->Duration(), std::chrono::seconds(2));

    const Result<WaveSound> missing =
        ReadWaveSound(QString::fromStdString(folder.File("C1_2.wav")));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, errc::PathFileAccess);
}

TEST(WaveSoundTest, FilesThatAreNotPlayableSoundsAreRefusedByName) {
    const std::string data = Chunk("data", "\x01\x02");
    const struct {
        const char* name;
        std::string file;
        const char* reason;
    } cases[] = {
        {"another kind of file", "RIFX" + std::string(40, '\0'), "not a wave file"},
        {"compressed samples", WaveFile(FormatChunk(2, 1, 8000, 4) + data), "format 2, 4 bits"},
        {"samples before the format", WaveFile(data + FormatChunk(1, 1, 8000, 8)),
         "before their format"},
        {"no samples", WaveFile(FormatChunk(1, 1, 8000, 8)), "no samples"},
        {"a chunk running past the end",
         WaveFile(FormatChunk(1, 1, 8000, 8)) + "LIST" + LittleEndian(99, 4) + "ab", "no samples"},
        {"a frame size that does not match",
         WaveFile(Chunk("fmt ", LittleEndian(1, 2) + LittleEndian(2, 2) + LittleEndian(8000, 4) +
                                    LittleEndian(16000, 4) + LittleEndian(1, 2) +
                                    LittleEndian(8, 2)) +
                  data),
         "does not add up"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result<WaveSound> sound = ParseWave(Bytes(c.file), "Inst2.wav");
        ASSERT_FALSE(sound);
        EXPECT_EQ(sound.error().code, errc::BadData);
        EXPECT_NE(sound.error().message.find("Inst2.wav"), std::string::npos);
        EXPECT_NE(sound.error().message.find(c.reason), std::string::npos) << sound.error().message;
    }
}

}  // namespace
}  // namespace mw
