#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "text/quill_error.hpp"

class QAudioOutput;
class QMediaPlayer;

namespace quill {

// A failure of the media player, with the text the user would see.
class MediaPlayerError : public QuillError {
public:
    using QuillError::QuillError;
};

// The result of the player's last command.
enum class MediaResult {
    Ok = 0,
    FileNotFound,
    FileNotReadable,
    FileEmpty,
    PlaybackFailed,
};

// An invisible player for one sound file: open, play, stop, close. It never
// rewinds by itself and plays each file once.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    explicit MediaPlayer(QObject* parent = nullptr);
    ~MediaPlayer() override;

    void setFileName(const std::string& path) { fileName_ = path; }
    const std::string& fileName() const { return fileName_; }

    // Closes a device that is open, then opens the file. Whether the file can
    // be read is decided here, at once; data the media back end cannot play
    // turns up later, as PlaybackFailed, and the device then counts as closed.
    void open();
    // Both raise "Kein MCI-Gerät geöffnet" when nothing is open.
    void play();
    void stop();
    // Does nothing when nothing is open.
    void close();

    bool isOpen() const { return deviceId_ != 0; }
    // 0 while closed; a new number for every open.
    int deviceId() const { return deviceId_; }
    MediaResult lastResult() const { return lastResult_; }

private:
    void requireOpen() const;

    std::string fileName_;
    int deviceId_ = 0;
    int lastDeviceId_ = 0;
    MediaResult lastResult_ = MediaResult::Ok;
    // Made on first open, so a window that never plays never starts the back end.
    std::unique_ptr<QAudioOutput> output_;
    std::unique_ptr<QMediaPlayer> player_;
};

}  // namespace quill
