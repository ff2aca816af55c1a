#include "animation/PlayerClock.h"

SteadyPlayerClock::SteadyPlayerClock() : start_(std::chrono::steady_clock::now()) {}

double SteadyPlayerClock::elapsedSeconds() const {
    std::chrono::duration<float> elapsed = std::chrono::steady_clock::now() - start_;
    return static_cast<double>(elapsed.count());
}

void SteadyPlayerClock::restart() {
    start_ = std::chrono::steady_clock::now();
}

double ManualPlayerClock::elapsedSeconds() const {
    return static_cast<double>(static_cast<float>(elapsed_));
}

void ManualPlayerClock::advance(double seconds) {
    if (seconds > 0) {
        elapsed_ += seconds;
    }
}
