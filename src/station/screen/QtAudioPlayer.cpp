#include "station/screen/QtAudioPlayer.h"

#include <QAudioSink>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>

#include "station/screen/WaveSound.h"

namespace mw {

QtAudioPlayer::QtAudioPlayer() = default;

QtAudioPlayer::~QtAudioPlayer() {
    Stop();
}

bool QtAudioPlayer::SetUp() {
    // Without an output device the media framework either never reports the
    // end of a sound or fails outright, so the test is given silently instead.
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    if (outputs.isEmpty()) return false;
    device_ = QMediaDevices::defaultAudioOutput();
    if (device_.isNull()) device_ = outputs.front();
    return true;
}

// A file that vanished or cannot be read is silent, as a missing one is; a
// file that is not a sound we can play is reported. An output that cannot
// be opened stays silent too, as an unavailable device always has.
void QtAudioPlayer::Play(const QString& path, bool wait) {
    if (device_.isNull()) return;
    Stop();
    Result<WaveSound> sound = ReadWaveSound(path);
    if (!sound) {
        if (sound.error().code != errc::PathFileAccess && report_) {
            report_({sound.error().code, QString::fromStdString(sound.error().message), path});
        }
        return;
    }
    duration_ = sound->Duration();
    samples_.setData(sound->samples);
    samples_.open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device_, sound->format);
    sink_->start(&samples_);
    started_.start();
    if (wait) WaitForEnd();
}

// The output takes the last samples well before it has played them, so the
// end is when the sound's own length has passed as well. Window events run
// meanwhile; a sound started by one of them ends the wait.
void QtAudioPlayer::WaitForEnd() {
    QEventLoop loop;
    QAudioSink* sink = sink_.get();
    const auto checkEnd = [&] {
        const bool ended =
            sink_.get() != sink || sink->state() == QAudio::StoppedState ||
            (sink->state() == QAudio::IdleState && started_.elapsed() >= duration_.count());
        if (ended) loop.quit();
    };
    QObject::connect(sink, &QAudioSink::stateChanged, &loop, checkEnd);
    QTimer::singleShot(duration_ - std::chrono::milliseconds(started_.elapsed()), &loop, checkEnd);
    loop.exec();
    if (sink_.get() == sink) Stop();  // over: the output is not held for a sound that ended
}

void QtAudioPlayer::Stop() {
    if (!sink_) return;
    sink_->stop();
    sink_.reset();
    samples_.close();
}

void QtAudioPlayer::OnError(std::function<void(const SoundError&)> report) {
    report_ = std::move(report);
}

void ChooseMediaBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) {
        qputenv("QT_MEDIA_BACKEND", QByteArrayLiteral("gstreamer"));
    }
}

}  // namespace mw
