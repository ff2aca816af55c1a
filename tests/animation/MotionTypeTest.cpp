#include "animation/MotionType.h"

#include <gtest/gtest.h>

namespace {

const int curves[] = {MotionType::Linear, MotionType::EaseIn, MotionType::EaseOut,
                      MotionType::EaseInOut};

TEST(MotionType, CodesAndTexts) {
    EXPECT_STREQ(motionTypeText(3), "Linear");
    EXPECT_STREQ(motionTypeText(13), "Ease In");
    EXPECT_STREQ(motionTypeText(23), "Ease Out");
    EXPECT_STREQ(motionTypeText(33), "Ease In/Out");
    for (int other : {0, 1, 2, 4, 7, 12, 43, -3, 2147483647}) {
        EXPECT_EQ(motionTypeText(other), nullptr) << other;
        EXPECT_FALSE(isMotionType(other)) << other;
    }
    for (int code : curves) {
        EXPECT_TRUE(isMotionType(code));
        EXPECT_EQ(motionTypeFromText(motionTypeText(code), -1), code);
    }
    EXPECT_EQ(motionTypeFromText("linear", 7), 7);
    EXPECT_EQ(motionTypeFromText("Ease In ", 7), 7);
    EXPECT_EQ(motionTypeFromText("", 7), 7);

    EXPECT_STREQ(motionTypeName(33), "Ease In/Out");
    EXPECT_EQ(motionTypeName(4), nullptr);
    EXPECT_EQ(motionTypeFromName("Ease Out"), 23);
    EXPECT_EQ(motionTypeFromName("Ease out"), 0);
}

} // namespace
