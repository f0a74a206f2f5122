// The audio player on the machine's sound output (Qt Multimedia).
#pragma once

#include <memory>

#include "station/present/AudioPlayer.h"

class QAudioOutput;
class QMediaPlayer;

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
    std::unique_ptr<QAudioOutput> output_;
    std::unique_ptr<QMediaPlayer> player_;
    std::function<void(const SoundError&)> report_;
};

// The media backend that plays on a machine without a sound device without
// hanging or crashing; set before the application object is made, unless the
// environment already names one.
void ChooseMediaBackend();

}  // namespace mw
