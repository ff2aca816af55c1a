#include "app/MusicCommands.h"
#include "platform/ProgramPaths.h"
#include "tests/app/FakeMusic.h"

#include <gtest/gtest.h>

namespace {
constexpr int PRESSED = 6, IDLE = 11;

TEST(MusicCommands, VolumeUpStopsAtHundred) {
    FakeMusic music;
    float volume = MUSIC_START_VOLUME;
    float expected[] = {85, 90, 95, 100, 100};
    for (float e : expected) {
        EXPECT_TRUE(applyMusicCommand(MUSIC_VOLUME_UP, PRESSED, volume, music));
        EXPECT_EQ(volume, e);
        EXPECT_EQ(music.volume, e);
    }
}

TEST(MusicCommands, VolumeDownStopsAtZero) {
    FakeMusic music;
    float volume = MUSIC_START_VOLUME;
    for (int i = 0; i < 16; ++i)
        applyMusicCommand(MUSIC_VOLUME_DN, PRESSED, volume, music);
    EXPECT_EQ(volume, 0);
    applyMusicCommand(MUSIC_VOLUME_DN, PRESSED, volume, music);
    EXPECT_EQ(volume, 0);
}

TEST(MusicCommands, OnlyPressesActAndOtherIdsAreNotMusic) {
    FakeMusic music;
    float volume = 80;
    EXPECT_TRUE(applyMusicCommand(MUSIC_VOLUME_UP, IDLE, volume, music));
    EXPECT_EQ(volume, 80);
    EXPECT_FALSE(applyMusicCommand("PLAY_ANIMATION", PRESSED, volume, music));
    EXPECT_FALSE(applyMusicCommand("music_volume_up", PRESSED, volume, music));
    EXPECT_EQ(volume, 80);
    EXPECT_EQ(music.volume, -1);
}

TEST(MusicCommands, PlayPauseToggles) {
    FakeMusic music;
    float volume = 80;
    music.current = MusicStream::Status::Playing;
    applyMusicCommand(MUSIC_PLAY_PAUSE, PRESSED, volume, music);
    EXPECT_EQ(music.status(), MusicStream::Status::Paused);
    applyMusicCommand(MUSIC_PLAY_PAUSE, IDLE, volume, music); // the release
    EXPECT_EQ(music.status(), MusicStream::Status::Paused);
    applyMusicCommand(MUSIC_PLAY_PAUSE, PRESSED, volume, music);
    EXPECT_EQ(music.status(), MusicStream::Status::Playing);
    // A stopped stream is played too.
    music.current = MusicStream::Status::Stopped;
    applyMusicCommand(MUSIC_PLAY_PAUSE, PRESSED, volume, music);
    EXPECT_EQ(music.plays, 2);
}

TEST(MusicCommands, StartPlaysInALoopAtTheVolume) {
    FakeMusic music;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(startMusic(music, workingDirectoryPaths().music, 80));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(music.openedPath, "resources/music/mainmusic.ogg");
    EXPECT_EQ(music.current, MusicStream::Status::Playing);
    EXPECT_EQ(music.volume, 80);
    EXPECT_TRUE(music.loop);
}

TEST(MusicCommands, MissingFileStaysSilentButButtonsWork) {
    FakeMusic music;
    music.openOk = false;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(startMusic(music, "nowhere.ogg", 80));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error opening background music!\n");
    EXPECT_EQ(music.plays, 0);
    float volume = 80;
    applyMusicCommand(MUSIC_VOLUME_UP, PRESSED, volume, music);
    EXPECT_EQ(volume, 85);
    applyMusicCommand(MUSIC_PLAY_PAUSE, PRESSED, volume, music);
    EXPECT_EQ(music.plays, 1);
}

} // namespace
