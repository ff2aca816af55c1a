#pragma once

#include <memory>
#include <string>

// A looping background music stream. The program talks to music through
// this interface only, so the volume and pause logic is tested without an
// audio device; the real stream is SFML's.
class MusicStream {
public:
    enum class Status { Stopped, Paused, Playing };
    virtual ~MusicStream() = default;
    // Opens the file for streaming. False when it cannot be opened or
    // decoded; the stream then stays silent but every call stays safe.
    virtual bool openFromFile(const std::string& path) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual Status status() const = 0;
    // 0 .. 100.
    virtual void setVolume(float volume) = 0;
    virtual void setLoop(bool loop) = 0;
};

// The real stream, decoded by SFML on its own thread.
std::unique_ptr<MusicStream> makeSfmlMusic();
