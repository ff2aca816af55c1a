#include "app/MusicCommands.h"

#include <iostream>

namespace {
constexpr int BUTTON_PRESSED = 6;
}

bool applyMusicCommand(const std::string& id, int state, float& volume, MusicStream& music) {
    bool isMusic = id == MUSIC_VOLUME_UP || id == MUSIC_VOLUME_DN || id == MUSIC_PLAY_PAUSE;
    if (!isMusic || state != BUTTON_PRESSED)
        return isMusic;
    if (id == MUSIC_VOLUME_UP) {
        volume += 5;
        if (volume >= 100)
            volume = 100;
        music.setVolume(volume);
    } else if (id == MUSIC_VOLUME_DN) {
        volume -= 5;
        if (volume <= 0)
            volume = 0;
        music.setVolume(volume);
    } else if (music.status() == MusicStream::Status::Playing) {
        music.pause();
    } else {
        music.play();
    }
    return true;
}

bool startMusic(MusicStream& music, const std::string& path, float volume) {
    if (!music.openFromFile(path)) {
        std::cout << "Error opening background music!\n";
        return false;
    }
    music.play();
    music.setVolume(volume);
    music.setLoop(true);
    return true;
}
