#include "info/media_player.hpp"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace quill {

namespace {

QString openErrorText(MediaResult result, const QString& path) {
    switch (result) {
        case MediaResult::FileNotFound:
            return QStringLiteral("Die Datei \"%1\" wurde nicht gefunden.").arg(path);
        case MediaResult::FileNotReadable:
            return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(path);
        case MediaResult::FileEmpty:
            return QStringLiteral("Die Datei \"%1\" enthält keine abspielbaren Daten.").arg(path);
        case MediaResult::Ok:
        case MediaResult::PlaybackFailed:
            break;
    }
    return QStringLiteral("Die Datei \"%1\" kann nicht abgespielt werden.").arg(path);
}

MediaResult checkFile(const QFileInfo& file) {
    if (!file.exists() || file.isDir()) return MediaResult::FileNotFound;
    if (!file.isReadable()) return MediaResult::FileNotReadable;
    if (file.size() == 0) return MediaResult::FileEmpty;
    return MediaResult::Ok;
}

}  // namespace

MediaPlayer::MediaPlayer(QObject* parent) : QObject(parent) {}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::open() {
    close();
    const QString path = QString::fromStdString(fileName_);
    lastResult_ = checkFile(QFileInfo(path));
    if (lastResult_ != MediaResult::Ok) throw MediaPlayerError(openErrorText(lastResult_, path).toStdString());

    if (!player_) {
        output_ = std::make_unique<QAudioOutput>();
        player_ = std::make_unique<QMediaPlayer>();
        player_->setAudioOutput(output_.get());
        connect(player_.get(), &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
            if (error != QMediaPlayer::NoError) lastResult_ = MediaResult::PlaybackFailed;
        });
        // The back end looks at the data only after the file has been handed to
        // it. Data it cannot play means the device never really opened: from
        // then on the player behaves as after a failed open.
        connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
            if (status != QMediaPlayer::InvalidMedia || deviceId_ == 0) return;
            lastResult_ = MediaResult::PlaybackFailed;
            deviceId_ = 0;
        });
    }
    player_->setSource(QUrl::fromLocalFile(path));
    deviceId_ = ++lastDeviceId_;
}

void MediaPlayer::requireOpen() const {
    if (!isOpen()) throw MediaPlayerError("Kein MCI-Gerät geöffnet");
}

void MediaPlayer::play() {
    requireOpen();
    lastResult_ = MediaResult::Ok;
    player_->play();
}

void MediaPlayer::stop() {
    requireOpen();
    lastResult_ = MediaResult::Ok;
    // Pausing keeps the position, as stopping a device does; only close rewinds.
    player_->pause();
}

void MediaPlayer::close() {
    if (deviceId_ == 0) return;
    player_->stop();
    player_->setSource(QUrl());
    lastResult_ = MediaResult::Ok;
    deviceId_ = 0;
}

}  // namespace quill
