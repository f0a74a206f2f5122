// A sound output for screen tests: records what would have been played
// instead of playing it, and can stand for a station without a sound device.
#pragma once

#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

#include "station/screen/AudioPlayer.h"

namespace mwtest {

// What every player of one test did; it outlives the players.
struct AudioLog {
    // When false, setting up a player fails as it does without a sound device.
    bool hasOutput = true;
    // The full path of every sound started, in order.
    std::vector<QString> played;
    // File names of sounds that start but report an error, as a damaged file does.
    std::vector<QString> unplayable;

    // The file name of the last sound started.
    QString Last() const {
        return played.empty() ? QString() : QFileInfo(played.back()).fileName();
    }
};

class FakeAudioPlayer : public mw::AudioPlayer {
public:
    explicit FakeAudioPlayer(AudioLog& log) : log_(log) {}

    bool SetUp() override { return log_.hasOutput; }
    void Play(const QString& path, bool) override {
        log_.played.push_back(path);
        if (report_ && std::ranges::count(log_.unplayable, QFileInfo(path).fileName())) {
            report_(
                {.number = mw::errc::BadData, .description = path + " is damaged", .path = path});
        }
    }
    void Stop() override {}
    void OnError(std::function<void(const mw::SoundError&)> report) override {
        report_ = std::move(report);
    }

private:
    AudioLog& log_;
    std::function<void(const mw::SoundError&)> report_;
};

}  // namespace mwtest
