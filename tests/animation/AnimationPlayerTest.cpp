#include "animation/AnimationPlayer.h"

#include "TestSkeleton.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Steps are powers of two so that clock values are exact in single
// precision and every strict comparison with a frame time is unambiguous.
constexpr double STEP = 1.0 / 64;

// A player on a manual clock posing the test figure, with a helper that
// advances time in fixed steps and records each frame the player arrives at.
class PlayerTest : public testing::Test {
protected:
    PlayerTest() : player(clock), skeleton(makeTestSkeleton()) {
        player.setSkeleton(skeleton.get());
    }

    // An animation whose frame i turns bone 1 to 10 * (i + 1) degrees and
    // raises the root to 1 + i; each waits `wait` and moves over `move`.
    Animation& addAnimation(const std::string& name, int frames, bool looping, double wait = 0.25,
                            double move = 0.5) {
        owned.push_back(std::make_unique<Animation>(name, looping));
        Animation& animation = *owned.back();
        for (int i = 0; i < frames; ++i) {
            KeyFrame* frame = animation.addFrameFromPose(skeleton.get());
            frame->boneAngles[1].x = 10.0 * (i + 1);
            frame->rootPosition.y = 1.0 + i;
            frame->waitTime = wait;
            frame->transitionTime = move;
        }
        player.addAnimation(&animation);
        return animation;
    }

    // One clock step, then one update; notes the frame arrived at, if any.
    void step(double seconds = STEP) {
        clock.advance(seconds);
        const KeyFrame* before = player.currentFrame();
        bool waitingBefore = player.waiting();
        player.update();
        // The snapshot is no frame of the animation; a play can start while
        // the player is waiting, which then briefly waits on the snapshot.
        bool arrived = player.waiting() && (!waitingBefore || player.currentFrame() != before);
        if (arrived && player.currentFrame()->index >= 0) {
            visited.push_back(player.currentFrame()->index);
        }
    }
    void run(double seconds) {
        for (double t = 0; t < seconds; t += STEP) {
            step();
        }
    }

    double boneAngle() const { return skeleton->boneAt(1)->mainAngle(); }
    double rootHeight() const { return skeleton->rootBone()->position().y; }

    ManualPlayerClock clock;
    AnimationPlayer player;
    std::unique_ptr<Skeleton> skeleton;
    std::vector<std::unique_ptr<Animation>> owned;
    std::vector<int> visited;
};

TEST_F(PlayerTest, IdleAndRefusedPlays) {
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(player.currentFrame(), nullptr);
    addAnimation("walk", 2, false);
    double angle = boneAngle();
    run(1);
    EXPECT_EQ(boneAngle(), angle);

    player.play("Walk");
    player.play("walk ");
    EXPECT_FALSE(player.playing());

    // Without a complete skeleton nothing starts, and update touches nothing.
    testing::internal::CaptureStdout();
    auto small = makeIncompleteSkeleton();
    testing::internal::GetCapturedStdout();
    player.setSkeleton(small.get());
    player.play("walk");
    EXPECT_FALSE(player.playing());
    player.setSkeleton(nullptr);
    player.play("walk");
    EXPECT_FALSE(player.playing());
    player.update();

    player.setSkeleton(skeleton.get());
    player.play("walk");
    EXPECT_TRUE(player.playing());
    EXPECT_TRUE(player.restartRequested());
    // The skeleton goes away mid-play: updates do nothing until it is back.
    player.setSkeleton(small.get());
    run(1);
    EXPECT_TRUE(player.restartRequested());
}

TEST_F(PlayerTest, FirstPlayMovesFromThePresentPoseToFrameOne) {
    Animation& walk = addAnimation("walk", 3, false);
    walk.frameAt(0)->motionType = MotionType::EaseIn;
    double start = boneAngle();
    player.play("walk");
    EXPECT_EQ(player.currentFrame(), walk.frameAt(0));
    EXPECT_EQ(player.nextFrame(), walk.frameAt(1));

    player.update();
    const KeyFrame* snapshot = player.currentFrame();
    ASSERT_NE(snapshot, nullptr);
    EXPECT_EQ(snapshot->index, -1);
    EXPECT_EQ(snapshot->transitionTime, SNAPSHOT_TRANSITION);
    EXPECT_EQ(snapshot->waitTime, 0.0);
    EXPECT_EQ(snapshot->motionType, MotionType::Linear);
    EXPECT_EQ(boneAngle(), start);

    // Linear whatever the frames' own curve: halfway at 0.1 s.
    clock.advance(0.1);
    player.update();
    EXPECT_NEAR(boneAngle(), (start + 20) / 2, 1e-6);
    EXPECT_NEAR(rootHeight(), (0.5 + 1 + 2) / 2, 1e-6);
    clock.advance(0.0875);
    player.update();
    EXPECT_FALSE(player.waiting());
    EXPECT_NEAR(boneAngle(), start + (20 - start) * 0.9375, 1e-5);
    // In single precision 0.2 s is already past the 0.2 s of the snapshot.
    clock.advance(0.0125);
    player.update();
    EXPECT_TRUE(player.waiting());
    EXPECT_EQ(player.currentFrame(), walk.frameAt(1));
    EXPECT_EQ(player.nextFrame(), walk.frameAt(2));
}

TEST_F(PlayerTest, WaitHoldsThePoseThenTheTransitionEases) {
    Animation& walk = addAnimation("walk", 3, false, 0.5, 1.0);
    walk.frameAt(1)->motionType = MotionType::EaseOut;
    player.play("walk");
    player.update();
    run(0.25);
    ASSERT_TRUE(player.waiting());
    ASSERT_EQ(player.currentFrame(), walk.frameAt(1));
    double held = boneAngle();

    // Held for just over 0.5 s: still waiting at exactly 0.5.
    clock.restart();
    player.update();
    clock.advance(0.5);
    player.update();
    EXPECT_TRUE(player.waiting());
    EXPECT_EQ(boneAngle(), held);
    clock.advance(STEP);
    player.update();
    EXPECT_FALSE(player.waiting());

    // The clock restarted when the wait ended; a quarter into the 1 s
    // EaseOut move from 20 to 30 degrees.
    clock.advance(0.25);
    player.update();
    EXPECT_NEAR(boneAngle(), 20 + 10 * 0.4375, 1e-9);
    EXPECT_NEAR(rootHeight(), 2 + 0.4375, 1e-9);
    clock.advance(0.75);
    player.update();
    EXPECT_NEAR(boneAngle(), 30, 1e-9);
    EXPECT_FALSE(player.waiting());
}

TEST_F(PlayerTest, LoopingVisitsFramesInOrderAndWrapsAround) {
    addAnimation("loop", 3, true);
    player.play("loop");
    run(5);
    ASSERT_GE(visited.size(), 6u);
    EXPECT_EQ(std::vector<int>(visited.begin(), visited.begin() + 6),
              (std::vector<int>{1, 2, 0, 1, 2, 0}));
    EXPECT_TRUE(player.playing());

    // Stopped: nothing moves, even with the clock running on.
    player.stop();
    double angle = boneAngle();
    run(2);
    EXPECT_EQ(boneAngle(), angle);

    // Played again: from the present pose to frame 0.
    visited.clear();
    player.play("loop");
    run(4);
    ASSERT_GE(visited.size(), 4u);
    EXPECT_EQ(std::vector<int>(visited.begin(), visited.begin() + 4),
              (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(PlayerTest, SecondPlayWhilePlayingRestartsTowardFrameZero) {
    Animation& loop = addAnimation("loop", 3, true);
    player.play("loop");
    run(1.1);
    ASSERT_TRUE(player.waiting());
    double start = boneAngle();
    player.play("loop");
    EXPECT_EQ(player.nextFrame(), loop.frameAt(0));
    visited.clear();
    // One update still waits (on the snapshot, for no time), then 0.2 s.
    step();
    step();
    EXPECT_FALSE(player.waiting());
    run(0.1875);
    EXPECT_TRUE(visited.empty());
    step();
    EXPECT_EQ(visited, std::vector<int>{0});
    // While waiting the pose is where the last transition step left it.
    EXPECT_NEAR(boneAngle(), start + (10 - start) * 0.9375, 1e-6);
}

TEST_F(PlayerTest, NonLoopingEndStaysInTheLastPose) {
    Animation& walk = addAnimation("walk", 3, false);
    walk.frameAt(2)->boneAngles[1] = BonePose(33, 4, 5);
    player.play("walk");
    run(3);
    EXPECT_EQ(visited, (std::vector<int>{1, 2}));
    // Held there, still playing, never waiting on a frame that is not there.
    EXPECT_TRUE(player.playing());
    EXPECT_EQ(player.currentFrame(), walk.frameAt(2));
    EXPECT_EQ(player.nextFrame(), nullptr);
    // Exactly the last frame's pose, not wherever the last step stopped.
    EXPECT_EQ(skeleton->boneAt(1)->pose(), BonePose(33, 4, 5));
    EXPECT_EQ(rootHeight(), 3);
    run(1);
    EXPECT_EQ(skeleton->boneAt(1)->pose(), BonePose(33, 4, 5));
    EXPECT_EQ(player.currentFrame(), walk.frameAt(2));
    EXPECT_EQ(player.nextFrame(), nullptr);

    // A later play starts again from frame 0.
    visited.clear();
    player.play("walk");
    run(3);
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2}));
}

TEST_F(PlayerTest, OneFrameAnimations) {
    addAnimation("still", 1, false);
    double angle = boneAngle();
    player.play("still");
    EXPECT_EQ(player.nextFrame(), nullptr);
    run(1);
    EXPECT_TRUE(player.playing());
    EXPECT_EQ(player.nextFrame(), nullptr);
    EXPECT_EQ(boneAngle(), angle);

    AnimationPlayer fresh(clock);
    fresh.setSkeleton(skeleton.get());
    Animation& loop = addAnimation("spin", 1, true);
    fresh.addAnimation(&loop);
    fresh.play("spin");
    EXPECT_EQ(fresh.currentFrame(), loop.frameAt(0));
    EXPECT_EQ(fresh.nextFrame(), loop.frameAt(0));
    for (int i = 0; i < 100; ++i) {
        clock.advance(STEP);
        fresh.update();
    }
    EXPECT_TRUE(fresh.playing());
    EXPECT_EQ(fresh.currentFrame(), loop.frameAt(0));
    EXPECT_NEAR(boneAngle(), 10, 1e-9);
}

TEST_F(PlayerTest, EmptyAnimationsEndWithoutFrames) {
    for (bool looping : {true, false}) {
        AnimationPlayer fresh(clock);
        fresh.setSkeleton(skeleton.get());
        Animation& empty = addAnimation(looping ? "loop" : "once", 0, looping);
        fresh.addAnimation(&empty);
        double angle = boneAngle();
        fresh.play(empty.name());
        EXPECT_EQ(fresh.nextFrame(), nullptr);
        EXPECT_TRUE(fresh.playing());
        for (int i = 0; i < 64; ++i) {
            clock.advance(STEP);
            fresh.update();
        }
        EXPECT_TRUE(fresh.playing()) << looping;
        EXPECT_EQ(fresh.nextFrame(), nullptr);
        EXPECT_EQ(boneAngle(), angle);
        // And once more, now that a frame (the snapshot) has been current.
        fresh.play(empty.name());
        EXPECT_EQ(fresh.nextFrame(), nullptr);
    }
}

TEST_F(PlayerTest, UnknownMotionTypeHoldsThePoseButTimeRuns) {
    Animation& walk = addAnimation("walk", 3, false, 0.25, 0.5);
    walk.frameAt(1)->motionType = 7;
    player.play("walk");
    run(0.25 + 0.25 + STEP);
    ASSERT_EQ(player.currentFrame(), walk.frameAt(1));
    ASSERT_FALSE(player.waiting());
    double angle = boneAngle();
    double height = rootHeight();
    run(0.5);
    EXPECT_EQ(boneAngle(), angle);
    EXPECT_EQ(rootHeight(), height);
    EXPECT_EQ(visited, (std::vector<int>{1, 2}));
    // Arriving at the end through a transition that did not move: no jump.
    EXPECT_EQ(boneAngle(), angle);
}

TEST_F(PlayerTest, ZeroTransitionAdvancesWithoutMoving) {
    Animation& walk = addAnimation("walk", 3, false, 0.0, 0.0);
    walk.frameAt(1)->transitionTime = 0.5;
    player.play("walk");
    run(0.25);
    ASSERT_EQ(player.currentFrame(), walk.frameAt(1));
    // Frame 1 takes 0.5 s to frame 2 and lands there; zero-time frame 2 ends.
    run(1);
    EXPECT_EQ(visited, (std::vector<int>{1, 2}));
    EXPECT_EQ(player.nextFrame(), nullptr);
    EXPECT_EQ(boneAngle(), 30);

    // Zero-length transitions updated at time zero: t / d would be 0 / 0,
    // and no such value may reach the skeleton.
    addAnimation("instant", 2, true, 0.0, 0.0);
    player.play("instant");
    for (int i = 0; i < 40; ++i) {
        player.update();
        clock.advance(STEP);
    }
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        const Bone* bone = skeleton->boneAt(i);
        EXPECT_TRUE(std::isfinite(bone->mainAngle()) && std::isfinite(bone->position().x)) << i;
    }
    EXPECT_TRUE(std::isfinite(rootHeight()));
}

TEST_F(PlayerTest, TimePassedWhileNotUpdatedEndsThePhaseAtOnce) {
    Animation& walk = addAnimation("walk", 3, false, 0.25, 0.5);
    player.play("walk");
    player.update();
    // As if a menu hid the editor for 10 s.
    clock.advance(10);
    player.update();
    EXPECT_TRUE(player.waiting());
    EXPECT_EQ(player.currentFrame(), walk.frameAt(1));
    clock.advance(10);
    player.update();
    EXPECT_FALSE(player.waiting());
}

TEST_F(PlayerTest, RemovingThePlayedAnimationLetsItGo) {
    addAnimation("walk", 3, true);
    player.play("walk");
    run(1);
    ASSERT_TRUE(player.playing());
    player.removeAnimation("walk");
    EXPECT_TRUE(player.animations().empty());
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(player.animation(), nullptr);
    EXPECT_EQ(player.nextFrame(), nullptr);
    // Deleting it now must not leave the player with dangling frames.
    owned.clear();
    run(1);

    visited.clear();
    addAnimation("walk", 3, true);
    player.play("walk");
    run(1);
    ASSERT_FALSE(visited.empty());
    EXPECT_EQ(visited.front(), 0);

    // Removing another animation's name leaves playback alone.
    player.removeAnimation("other");
    EXPECT_TRUE(player.playing());
}

TEST_F(PlayerTest, ForgetFramesDropsEveryPointerButKeepsTheFirstPlayRule) {
    // Forgetting before anything played: the first play still heads for 1.
    Animation& walk = addAnimation("walk", 3, true);
    player.forgetFrames();
    player.play("walk");
    EXPECT_EQ(player.nextFrame(), walk.frameAt(1));
    run(1);
    ASSERT_TRUE(player.playing());

    player.forgetFrames();
    EXPECT_FALSE(player.playing());
    EXPECT_FALSE(player.waiting());
    EXPECT_FALSE(player.restartRequested());
    EXPECT_EQ(player.animation(), nullptr);
    EXPECT_EQ(player.currentFrame(), nullptr);
    EXPECT_EQ(player.nextFrame(), nullptr);
    // The animation stays registered; forgetting is not removing.
    EXPECT_EQ(player.animations().size(), 1u);
    double angle = boneAngle();
    run(1);
    EXPECT_EQ(boneAngle(), angle);

    // Later plays head for frame 0, also right after a forget mid-start.
    player.play("walk");
    player.forgetFrames();
    run(0.5);
    visited.clear();
    player.play("walk");
    EXPECT_EQ(player.nextFrame(), walk.frameAt(0));
    run(1);
    ASSERT_FALSE(visited.empty());
    EXPECT_EQ(visited.front(), 0);
}

TEST_F(PlayerTest, ManyPlaysKeepOneSnapshot) {
    addAnimation("walk", 2, true);
    // Each play makes a new snapshot; the leak checker sees any not freed.
    for (int i = 0; i < 200; ++i) {
        player.play("walk");
        step();
        step();
    }
    EXPECT_TRUE(player.playing());
}

} // namespace
