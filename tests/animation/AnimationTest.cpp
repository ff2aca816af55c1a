#include "animation/Animation.h"

#include "TestSkeleton.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

// Wait times 0, 1, 2, ... tell the frames apart.
std::string waits(const Animation& animation) {
    std::string out;
    for (int i = 0; i < animation.frameCount(); ++i) {
        EXPECT_EQ(animation.frameAt(i)->index, i) << "index must follow the position";
        out += std::to_string(static_cast<int>(animation.frameAt(i)->waitTime));
    }
    return out;
}

std::unique_ptr<KeyFrame> frameWaiting(double wait) {
    auto frame = std::make_unique<KeyFrame>(static_cast<const Skeleton*>(nullptr));
    frame->waitTime = wait;
    return frame;
}

TEST(Animation, InsertRemoveSwapAndReplaceRenumber) {
    Animation animation("a", true);
    EXPECT_EQ(animation.insertFrame(1, frameWaiting(9)), nullptr) << "past the end";
    EXPECT_EQ(animation.removeFrame(0), nullptr);
    EXPECT_FALSE(animation.swapFrames(0, 0));
    EXPECT_FALSE(animation.valid());
    for (int i = 0; i < 4; ++i)
        animation.insertFrame(i, frameWaiting(i));
    EXPECT_TRUE(animation.valid());
    EXPECT_EQ(waits(animation), "0123");

    KeyFrame* two = animation.frameAt(2);
    EXPECT_EQ(animation.insertFrame(0, frameWaiting(7))->index, 0);
    EXPECT_EQ(waits(animation), "70123");
    EXPECT_EQ(two->index, 3) << "pointers stay valid and learn their new place";

    std::unique_ptr<KeyFrame> taken = animation.removeFrame(1);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->waitTime, 0);
    EXPECT_EQ(taken->index, -1);
    EXPECT_EQ(waits(animation), "7123");

    EXPECT_TRUE(animation.swapFrames(0, 3));
    EXPECT_EQ(waits(animation), "3127");
    EXPECT_FALSE(animation.swapFrames(0, 4));

    std::vector<std::unique_ptr<KeyFrame>> two_new;
    two_new.push_back(frameWaiting(5));
    two_new.push_back(frameWaiting(6));
    auto out = animation.replaceFrames(1, 2, std::move(two_new));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0]->waitTime, 1);
    EXPECT_EQ(out[1]->waitTime, 2);
    EXPECT_EQ(waits(animation), "3567");
    EXPECT_TRUE(animation.replaceFrames(2, 3, {}).empty()) << "range past the end";
    EXPECT_EQ(waits(animation), "3567");
    EXPECT_EQ(animation.replaceFrames(0, 4, {}).size(), 4u);
    EXPECT_EQ(animation.frameCount(), 0);
    EXPECT_EQ(animation.frameAfter(nullptr), nullptr);
}

} // namespace
