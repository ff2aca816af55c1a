#pragma once

#include "app/Music.h"

#include <string>

// A music stream that only records what it was asked to do.
class FakeMusic : public MusicStream {
public:
    bool openOk = true;
    std::string openedPath;
    Status current = Status::Stopped;
    float volume = -1;
    bool loop = false;
    int plays = 0, pauses = 0;

    bool openFromFile(const std::string& path) override {
        openedPath = path;
        return openOk;
    }
    void play() override {
        ++plays;
        if (openOk)
            current = Status::Playing;
    }
    void pause() override {
        ++pauses;
        if (openOk)
            current = Status::Paused;
    }
    Status status() const override { return current; }
    void setVolume(float v) override { volume = v; }
    void setLoop(bool l) override { loop = l; }
};
