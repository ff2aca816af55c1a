#include "animation/PlayerClock.h"

#include <gtest/gtest.h>

namespace {

TEST(PlayerClock, SteadyClockCountsFromRestart) {
    SteadyPlayerClock clock;
    double first = clock.elapsedSeconds();
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 60);
    clock.restart();
    EXPECT_LT(clock.elapsedSeconds(), 60);

    ManualPlayerClock manual;
    manual.advance(0.1);
    // Single precision, as a game clock's seconds.
    EXPECT_EQ(manual.elapsedSeconds(), static_cast<double>(0.1f));
    manual.advance(-5);
    EXPECT_EQ(manual.elapsedSeconds(), static_cast<double>(0.1f));
    manual.restart();
    EXPECT_EQ(manual.elapsedSeconds(), 0.0);
}

} // namespace
