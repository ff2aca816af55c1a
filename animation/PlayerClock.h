#pragma once

#include <chrono>

// The time source of the animation player: seconds since the last restart.
// The value has single precision, as a game clock's float seconds do, and
// is handed out widened to double so comparisons with frame times happen in
// double. Tests replace the real clock with ManualPlayerClock.
class PlayerClock {
public:
    virtual ~PlayerClock() = default;
    // Seconds since construction or the last restart, single precision.
    virtual double elapsedSeconds() const = 0;
    // Starts counting from zero again.
    virtual void restart() = 0;
};

// Real time from the monotonic clock, so a wall-clock change never makes a
// wait end early or last forever.
class SteadyPlayerClock : public PlayerClock {
public:
    SteadyPlayerClock();
    double elapsedSeconds() const override;
    void restart() override;

private:
    std::chrono::steady_clock::time_point start_;
};

// Time that moves only when told to, for stepping the player in tests.
class ManualPlayerClock : public PlayerClock {
public:
    double elapsedSeconds() const override;
    void restart() override { elapsed_ = 0; }
    // Lets `seconds` pass (negative values are ignored).
    void advance(double seconds);

private:
    double elapsed_ = 0;
};
