// The platform for screens timed with nobody at them: no message box is
// expected, and sounds go to a player that takes them and plays nothing, so
// a screen still does all its own work for each sound.
#pragma once

#include <QApplication>
#include <memory>

#include "station/screen/AudioPlayer.h"
#include "station/screen/Platform.h"

namespace mwbench {

class SilentPlayer : public mw::AudioPlayer {
public:
    bool SetUp() override { return true; }
    void Play(const QString&, bool) override {}
    void Stop() override {}
    void OnError(std::function<void(const mw::SoundError&)>) override {}
};

class QuietPlatform : public mw::Platform {
public:
    mw::MsgAnswer MsgBox(const mw::MessageBox&) override { return mw::MsgAnswer::Ok; }
    void Beep() override {}
    void MouseWait() override {}
    void MouseDefault() override {}
    void LetEventsRun() override { QApplication::processEvents(); }
    std::unique_ptr<mw::AudioPlayer> OpenAudioPlayer() override {
        return std::make_unique<SilentPlayer>();
    }
};

}  // namespace mwbench
