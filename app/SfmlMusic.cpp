#include "app/Music.h"

#include <SFML/Audio/Music.hpp>

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
} // namespace

std::unique_ptr<MusicStream> makeSfmlMusic() { return std::make_unique<SfmlMusic>(); }
