#include "animation/Easing.h"
#include "animation/MotionType.h"

#include <gtest/gtest.h>

namespace {

const int curves[] = {MotionType::Linear, MotionType::EaseIn, MotionType::EaseOut,
                      MotionType::EaseInOut};

TEST(Easing, EndsAndMiddleOfEveryCurve) {
    for (int curve : curves) {
        SCOPED_TRACE(curve);
        EXPECT_DOUBLE_EQ(ease(curve, 0, 1, 10, 100), 10);
        EXPECT_DOUBLE_EQ(ease(curve, 2, 2, 10, 100), 100);
        EXPECT_DOUBLE_EQ(ease(curve, 0, 3, -5, -5), -5);
    }
    // Halfway and a quarter of the way through a 1 s move from 0 to 90.
    const double half[] = {45, 22.5, 67.5, 45};
    const double quarter[] = {22.5, 5.625, 39.375, 11.25};
    for (int k = 0; k < 4; ++k) {
        EXPECT_DOUBLE_EQ(ease(curves[k], 0.5, 1, 0, 90), half[k]) << curves[k];
        EXPECT_DOUBLE_EQ(ease(curves[k], 0.25, 1, 0, 90), quarter[k]) << curves[k];
    }
    // The same shape over a longer transition and a falling value.
    EXPECT_DOUBLE_EQ(ease(MotionType::EaseOut, 1, 4, 90, 0), 90 - 39.375);
    EXPECT_DOUBLE_EQ(ease(MotionType::EaseInOut, 3, 4, 90, 0), 90 - 78.75);
}

TEST(Easing, EveryCurveIsMonotonicAndContinuous) {
    for (int curve : curves) {
        SCOPED_TRACE(curve);
        double previous = ease(curve, 0, 1.5, -30, 60);
        for (int step = 1; step <= 600; ++step) {
            double t = 1.5 * step / 600;
            double value = ease(curve, t, 1.5, -30, 60);
            EXPECT_GE(value, previous) << "t = " << t;
            // No jump anywhere, in particular where EaseInOut changes halves.
            EXPECT_LT(value - previous, 1.0) << "t = " << t;
            previous = value;
        }
        EXPECT_DOUBLE_EQ(previous, 60);
    }
}

TEST(Easing, HelpersAreTheFormulasOfTheCurves) {
    EXPECT_DOUBLE_EQ(easeOutQuad(0.25, 1, 0, 90), 39.375);
    EXPECT_DOUBLE_EQ(easeOutQuad(0.5, 2, 10, 20), 10 - 10 * 0.25 * (0.25 - 2));
    // p in the second half [1, 2]: at 1 the middle, at 2 the end.
    EXPECT_DOUBLE_EQ(easeInOutQuadTail(1, 0, 90), 45);
    EXPECT_DOUBLE_EQ(easeInOutQuadTail(1.5, 0, 90), 78.75);
    EXPECT_DOUBLE_EQ(easeInOutQuadTail(2, 10, 80), 90);
}

} // namespace
