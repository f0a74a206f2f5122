#include "station/present/QtAudioPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace mw {

QtAudioPlayer::QtAudioPlayer() = default;

QtAudioPlayer::~QtAudioPlayer() {
    if (player_) player_->stop();
}

bool QtAudioPlayer::SetUp() {
    // Without an output device the backends either never report the end of
    // a sound or fail outright, so the test is given silently instead.
    if (QMediaDevices::audioOutputs().isEmpty()) return false;
    output_ = std::make_unique<QAudioOutput>();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(output_.get());
    QObject::connect(player_.get(), &QMediaPlayer::errorOccurred,
                     [this](QMediaPlayer::Error error, const QString& description) {
                         // A file that vanished or cannot be read is silent, as a missing one is.
                         if (error == QMediaPlayer::ResourceError ||
                             error == QMediaPlayer::AccessDeniedError || !report_) {
                             return;
                         }
                         report_({static_cast<int>(error), description});
                     });
    return true;
}

void QtAudioPlayer::Play(const QString& path, bool wait) {
    if (!player_) return;
    player_->stop();
    player_->setSource(QUrl::fromLocalFile(path));
    player_->play();
    if (!wait) return;
    QEventLoop loop;
    QObject::connect(player_.get(), &QMediaPlayer::playbackStateChanged, &loop,
                     [&loop](QMediaPlayer::PlaybackState state) {
                         if (state == QMediaPlayer::StoppedState) loop.quit();
                     });
    QObject::connect(player_.get(), &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
    if (player_->playbackState() == QMediaPlayer::PlayingState) loop.exec();
}

void QtAudioPlayer::Stop() {
    if (!player_) return;
    player_->stop();
    player_->setSource(QUrl());
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
