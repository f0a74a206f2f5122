// The audio player on the machine's sound output (Qt Multimedia).
//
// Each sound is read whole and handed to a sound output stream of its own
// format, which a fixed chain of the media framework plays. Decoding the file
// through the framework's media player instead can deadlock: while it links
// the new file's decoder on its own thread, its player seeks from ours.
#pragma once

#include <QAudioDevice>
#include <QBuffer>
#include <QElapsedTimer>
#include <chrono>
#include <memory>

#include "station/screen/AudioPlayer.h"

class QAudioSink;

namespace mw {

class QtAudioPlayer final : public AudioPlayer {
public:
    QtAudioPlayer();
    ~QtAudioPlayer() override;

    bool SetUp() override;
    void Play(const QString& path, bool wait) override;
    void Stop() override;
    void OnError(std::function<void(const SoundError&)> report) override;

private:
    void WaitForEnd();

    QAudioDevice device_;
    std::unique_ptr<QAudioSink> sink_;
    QBuffer samples_;
    std::chrono::milliseconds duration_{0};
    QElapsedTimer started_;
    std::function<void(const SoundError&)> report_;
};

// The media backend that plays on a machine without a sound device without
// hanging or crashing; set before the application object is made, unless the
// environment already names one.
void ChooseMediaBackend();

}  // namespace mw
