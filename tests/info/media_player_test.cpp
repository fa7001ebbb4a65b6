#include "info/media_player.hpp"

#include <gtest/gtest.h>

#include <QAudioOutput>
#include <QCoreApplication>
#include <QMediaPlayer>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <functional>

#include "support/temp_folder.hpp"

namespace quill {
namespace {

using test::readFile;

std::string musicBytes() {
    return readFile(QUILL_RESOURCE_FOLDER "/Quillmaskerade.wav");
}

class MediaPlayerTest : public test::InTempWorkingFolder {
protected:
    std::string musicFile() { return work().write("Quillmaskerade.dat", musicBytes()); }

    MediaPlayer player;
};

TEST_F(MediaPlayerTest, PlayAndStopNeedAnOpenDevice) {
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"play", [this] { player.play(); }},
        {"stop", [this] { player.stop(); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        try {
            command();
            ADD_FAILURE() << "no error";
        } catch (const MediaPlayerError& error) {
            EXPECT_STREQ(error.what(), "Kein MCI-Gerät geöffnet");
        }
    }
    EXPECT_NO_THROW(player.close());
    EXPECT_EQ(player.deviceId(), 0);
}

TEST_F(MediaPlayerTest, OpenRefusesWhatCannotBePlayed) {
    struct Case {
        const char* label;
        std::string path;
        MediaResult result;
        const char* ending;
    };
    const Case cases[] = {
        {"missing", work().file("Quillmaskerade.dat"), MediaResult::FileNotFound, "\" wurde nicht gefunden."},
        {"folder", work().file("Ordner"), MediaResult::FileNotFound, "\" wurde nicht gefunden."},
        {"empty", work().write("leer.dat", ""), MediaResult::FileEmpty, "\" enthält keine abspielbaren Daten."},
    };
    std::filesystem::create_directory(work().file("Ordner"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        player.setFileName(c.path);
        try {
            player.open();
            ADD_FAILURE() << "no error";
        } catch (const MediaPlayerError& error) {
            EXPECT_EQ(std::string(error.what()), "Die Datei \"" + c.path + c.ending);
        }
        EXPECT_EQ(player.lastResult(), c.result);
        EXPECT_FALSE(player.isOpen());
    }
}

TEST_F(MediaPlayerTest, OpenPlayStopCloseCycle) {
    player.setFileName(musicFile());
    player.open();
    ASSERT_TRUE(player.isOpen());
    const int first = player.deviceId();
    EXPECT_NE(first, 0);

    EXPECT_NO_THROW(player.play());
    QCoreApplication::processEvents();
    EXPECT_NO_THROW(player.stop());

    // Opening again closes the device first and gives a new one.
    player.open();
    EXPECT_TRUE(player.isOpen());
    EXPECT_NE(player.deviceId(), first);

    player.close();
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(player.deviceId(), 0);
    EXPECT_THROW(player.play(), MediaPlayerError);

    // A failed open still closes the device that was open before.
    player.open();
    player.setFileName(work().file("fehlt.dat"));
    EXPECT_THROW(player.open(), MediaPlayerError);
    EXPECT_FALSE(player.isOpen());
}

// Data that is no sound is found out only once the back end has looked at it;
// from then on the player is as after a failed open.
TEST_F(MediaPlayerTest, DataThatIsNoSoundEndsLikeAFailedOpen) {
    player.setFileName(work().write("Quillmaskerade.dat", "Das ist keine Musik."));
    player.open();
    EXPECT_NO_THROW(player.play());
    EXPECT_TRUE(QTest::qWaitFor([this] { return !player.isOpen(); }, 10000));
    EXPECT_EQ(player.lastResult(), MediaResult::PlaybackFailed);
    EXPECT_EQ(player.deviceId(), 0);
    try {
        player.stop();
        ADD_FAILURE() << "no error";
    } catch (const MediaPlayerError& error) {
        EXPECT_STREQ(error.what(), "Kein MCI-Gerät geöffnet");
    }
    EXPECT_NO_THROW(player.close());

    // The next open starts afresh with a file that plays.
    player.setFileName(musicFile());
    player.open();
    EXPECT_TRUE(player.isOpen());
}

// The music the build puts beside the program is something the media back end
// can play, whatever its file name says.
TEST_F(MediaPlayerTest, ShippedMusicIsPlayable) {
    QMediaPlayer media;
    QAudioOutput output;
    media.setAudioOutput(&output);
    media.setSource(QUrl::fromLocalFile(QString::fromStdString(musicFile())));
    const auto settled = [&media] {
        const auto status = media.mediaStatus();
        return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia ||
               status == QMediaPlayer::InvalidMedia;
    };
    ASSERT_TRUE(QTest::qWaitFor(settled, 10000));
    EXPECT_NE(media.mediaStatus(), QMediaPlayer::InvalidMedia);
    EXPECT_GT(media.duration(), 10000);
    EXPECT_LT(media.duration(), 25000);
}

}  // namespace
}  // namespace quill
