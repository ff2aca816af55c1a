#pragma once

#include <cstdio>
#include <ctime>

// Start-up probes report moments as lines "<label> <nanoseconds>" on
// standard output, read off the monotonic clock, which every process on the
// machine shares, so the launcher can subtract its own spawn time.
inline long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

inline void printStamp(const char* label) {
    std::printf("%s %lld\n", label, monotonicNanoseconds());
    std::fflush(stdout);
}
