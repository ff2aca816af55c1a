#include "animation/Animation.h"

#include "TestSkeleton.h"

#include <gtest/gtest.h>

namespace {

TEST(Animation, NewAndAppendedFrames) {
    Animation empty("walk", true);
    EXPECT_EQ(empty.name(), "walk");
    EXPECT_TRUE(empty.looping());
    EXPECT_FALSE(empty.valid());
    EXPECT_EQ(empty.frameCount(), 0);
    EXPECT_EQ(empty.frameAt(0), nullptr);
    EXPECT_EQ(empty.frameAt(-1), nullptr);
    EXPECT_EQ(empty.lastFrame(), nullptr);
    EXPECT_EQ(empty.frameAfter(nullptr), nullptr);

    auto skeleton = makeTestSkeleton();
    Animation animation("temp", false);
    for (int i = 0; i < 3; ++i) {
        KeyFrame* frame = animation.addFrameFromPose(skeleton.get());
        EXPECT_EQ(frame->index, i);
        EXPECT_EQ(frame->waitTime, 0.0);
        EXPECT_EQ(frame->transitionTime, 1.0);
        EXPECT_EQ(frame->motionType, MotionType::Linear);
        EXPECT_EQ(frame->rootPosition, skeleton->rootBone()->position());
        EXPECT_EQ(animation.frameAt(i), frame);
        EXPECT_EQ(animation.lastFrame(), frame);
    }
    EXPECT_TRUE(animation.valid());
    EXPECT_EQ(animation.frameCount(), 3);
    EXPECT_EQ(animation.frameAt(3), nullptr);
    animation.setName("run");
    EXPECT_EQ(animation.name(), "run");
}

TEST(Animation, FrameAfter) {
    Animation animation("a", false);
    for (int i = 0; i < 3; ++i) {
        animation.addFrameFromPose(nullptr);
    }
    KeyFrame* f0 = animation.frameAt(0);
    KeyFrame* f2 = animation.frameAt(2);
    EXPECT_EQ(animation.frameAfter(nullptr), f0);
    EXPECT_EQ(animation.frameAfter(f0), animation.frameAt(1));
    EXPECT_EQ(animation.frameAfter(f2), nullptr);
    animation.setLooping(true);
    EXPECT_EQ(animation.frameAfter(f2), f0);

    Animation single("one", true);
    KeyFrame* only = single.addFrameFromPose(nullptr);
    EXPECT_EQ(single.frameAfter(only), only);
    single.setLooping(false);
    EXPECT_EQ(single.frameAfter(only), nullptr);
}

} // namespace
