// The player and the exact timeline read one animation the same way: every
// pose the player writes is the timeline's pose at the same time. The player
// writes poses only while it moves along a curve; in a wait, and through a
// jump or a transition without a curve, it keeps the last pose it wrote (the
// pose of the frame it arrives at then shows when that frame's own move
// starts), so there it matches the timeline at the time it last wrote.
// Times on a phase's very end are left out: the player's clock counts in
// single precision, so there it may be a phase further than the timeline.
#include "animation/AnimationPlayer.h"
#include "animation/MotionType.h"
#include "animation/Timeline.h"

#include "TestSkeleton.h"
#include "skeleton/SkeletonPose.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FrameTimes {
    double wait;
    double move;
    int motion;
};

struct Case {
    const char* name;
    bool looping;
    std::vector<FrameTimes> frames;
};

constexpr int L = MotionType::Linear, I = MotionType::EaseIn, O = MotionType::EaseOut,
              IO = MotionType::EaseInOut;
// The clock passes a phase's end by this much to end it; the player's clock
// starts again at each new phase, so the overshoot is lost on both sides.
constexpr double PAST = 1e-3;

const Case CASES[] = {
    {"every easing, looping", true, {{0.25, 0.5, L}, {0.1, 0.4, I}, {0.3, 0.7, O}, {0.2, 0.6, IO}}},
    {"zero waits and jumps", true, {{0, 0.5, IO}, {0, 0, L}, {0.4, 0, O}, {0, 0.3, I}}},
    {"long waits and moves", false, {{3600, 1800, O}, {0.5, 7200, IO}, {86400, 1, L}}},
    {"a non-looping end", false, {{0.2, 0.3, I}, {0.1, 0.5, L}, {0.6, 0.4, O}}},
    {"no curve between", true, {{0.1, 0.5, L}, {0.2, 0.4, 7}, {0.3, 0.6, 0}, {0, 0.2, IO}}},
};

std::unique_ptr<Animation> makeAnimation(const Case& c, const Skeleton& skeleton) {
    auto animation = std::make_unique<Animation>(c.name, c.looping);
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
        KeyFrame* frame = animation->addFrameFromPose(&skeleton);
        const double k = static_cast<double>(i);
        frame->rootPosition = Vec3(0.1 * k, 1 + 0.5 * k, -0.2 * k);
        frame->boneAngles[1] = BonePose(30 * k - 40, 10 * k, -15 * k);
        frame->boneAngles[5] = BonePose(20 + 40 * k, 35 - 25 * k, 5 * k);
        frame->boneAngles[12] = BonePose(-7 * k, 3 * k, 12 * k);
        frame->waitTime = c.frames[i].wait;
        frame->transitionTime = c.frames[i].move;
        frame->motionType = c.frames[i].motion;
    }
    return animation;
}

} // namespace

TEST(PlayerAndTimeline, EveryPoseThePlayerWritesIsTheTimelines) {
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.name);
        auto played = makeTestSkeleton();
        auto reference = makeTestSkeleton();
        auto animation = makeAnimation(c, *played);
        const Timeline timeline(*animation);
        ManualPlayerClock clock;
        AnimationPlayer player(clock);
        player.setSkeleton(played.get());
        player.addAnimation(animation.get());
        // The first play heads for frame 1; a later one for frame 0, from a
        // snapshot of frame 0's pose so the snapshot move changes nothing.
        player.play(c.name);
        player.update();
        animation->frameAt(0)->applyPose(played.get());
        player.play(c.name);
        player.update();
        clock.advance(SNAPSHOT_TRANSITION + PAST);
        player.update();

        double start = 0;     // timeline time at which the current phase began
        double lastWrite = 0; // timeline time of the pose the player shows
        auto expectTimelineAt = [&](double t, const std::string& where) {
            ASSERT_TRUE(timeline.pose(*reference, t));
            const SkeletonPose want = SkeletonPose::capture(*reference);
            const SkeletonPose got = SkeletonPose::capture(*played);
            EXPECT_NEAR((got.rootPosition - want.rootPosition).length(), 0, 1e-9) << where;
            for (std::size_t b = 0; b < got.angles.size(); ++b)
                EXPECT_NEAR((got.angles[b] - want.angles[b]).length(), 0, 1e-7)
                    << where << ", bone " << b;
        };
        for (std::size_t k = 0; k < c.frames.size(); ++k) {
            const bool last = k + 1 == c.frames.size();
            for (bool move : {false, true}) {
                if (move && last && !c.looping)
                    break;
                const double length = move ? c.frames[k].move : c.frames[k].wait;
                // Arriving along a curve at the last frame of an animation
                // that ends, the player puts that frame's exact pose.
                const bool arrivedAtEnd =
                    !move && last && !c.looping && k > 0 && isMotionType(c.frames[k - 1].motion);
                const bool writes =
                    (move && length > 0 && isMotionType(c.frames[k].motion)) || arrivedAtEnd;
                for (double f : {0.25, 0.5, 0.75}) {
                    if (length == 0)
                        break;
                    clock.restart();
                    clock.advance(f * length);
                    player.update();
                    const double now = start + clock.elapsedSeconds();
                    if (writes)
                        lastWrite = now;
                    expectTimelineAt(lastWrite, "frame " + std::to_string(k) +
                                                    (move ? " moving, " : " waiting, ") +
                                                    std::to_string(f));
                }
                clock.restart();
                clock.advance(length + PAST);
                player.update();
                start += length;
            }
        }
        // Past the end the player holds what the timeline ends on.
        clock.advance(100);
        player.update();
        if (!c.looping)
            expectTimelineAt(timeline.duration() + 100, "after the end");
        EXPECT_DOUBLE_EQ(start, timeline.duration());
    }
}
