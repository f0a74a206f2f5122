// The player that speaks the on-screen test: one sound at a time, in the
// background while the client reads and moves on. A new sound, or Stop, cuts
// the one playing.
#pragma once

#include <QString>
#include <functional>

namespace mw {

// A sound that was started but could not be played.
struct SoundError {
    int number = 0;
    // What is wrong with it, naming the file.
    QString description{};
    QString path{};
};

class AudioPlayer {
public:
    virtual ~AudioPlayer() = default;

    // Readies the player; false when this station cannot play sound at all
    // (no audio output), in which case nothing else is asked of it.
    virtual bool SetUp() = 0;
    // Plays the file at `path`, cutting whatever plays. With `wait` it returns
    // once the sound has ended, letting window events run meanwhile.
    virtual void Play(const QString& path, bool wait) = 0;
    virtual void Stop() = 0;
    // Called for a sound that cannot be played for another reason than a
    // missing or unreadable file (those are silent).
    virtual void OnError(std::function<void(const SoundError&)> report) = 0;
};

}  // namespace mw
