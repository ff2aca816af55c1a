#include "app/Music.h"

#include <AL/alc.h>
#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Audio/Music.hpp>

#include <iostream>

namespace {
class SfmlMusic : public MusicStream {
public:
    bool openFromFile(const std::string& path) override { return music.openFromFile(path); }
    void play() override { music.play(); }
    void pause() override { music.pause(); }
    Status status() const override {
        switch (music.getStatus()) {
        case sf::SoundSource::Playing:
            return Status::Playing;
        case sf::SoundSource::Paused:
            return Status::Paused;
        default:
            return Status::Stopped;
        }
    }
    void setVolume(float volume) override { music.setVolume(volume); }
    void setLoop(bool loop) override { music.setLoop(loop); }

private:
    sf::Music music;
};

// Stands in when there is no audio device: it still checks that the file
// decodes and keeps the play state, so the controls behave the same.
class SilentMusic : public MusicStream {
public:
    bool openFromFile(const std::string& path) override {
        sf::InputSoundFile file;
        opened = file.openFromFile(path);
        return opened;
    }
    void play() override {
        if (opened)
            current = Status::Playing;
    }
    void pause() override {
        if (current == Status::Playing)
            current = Status::Paused;
    }
    Status status() const override { return current; }
    void setVolume(float) override {}
    void setLoop(bool) override {}

private:
    bool opened = false;
    Status current = Status::Stopped;
};

// Without a device, a playing sf::Music retries every OpenAL call on its
// streaming thread forever, flooding the console; ask for a device first.
bool audioDeviceAvailable() {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device)
        return false;
    alcCloseDevice(device);
    return true;
}
} // namespace

std::unique_ptr<MusicStream> makeSfmlMusic() {
    if (audioDeviceAvailable())
        return std::make_unique<SfmlMusic>();
    std::cout << "No audio device found: the background music is silent.\n";
    return std::make_unique<SilentMusic>();
}
