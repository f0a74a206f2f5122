// A spoken sound read from its wave file: the sample format and the samples,
// ready for the sound output.
#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QString>
#include <chrono>
#include <string>

#include "core/data/Error.h"

namespace mw {

struct WaveSound {
    QAudioFormat format;
    QByteArray samples;

    std::chrono::milliseconds Duration() const;
};

// Uncompressed samples only (8-, 16- or 32-bit integers or 32-bit floats, any
// number of channels), as the sound files of the test are recorded. Anything
// else is refused with a message naming `name`; a data chunk longer than the
// file keeps the whole frames that are there, as a recorder cut short leaves it.
Result<WaveSound> ParseWave(const QByteArray& bytes, const std::string& name);

// The file at `path`; one that cannot be read is `errc::PathFileAccess`.
Result<WaveSound> ReadWaveSound(const QString& path);

}  // namespace mw
