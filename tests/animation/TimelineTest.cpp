#include "animation/Timeline.h"

#include "TestSkeleton.h"
#include "animation/MotionType.h"
#include "skeleton/SkeletonPose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();

// Frame i turns bone 1 (main angle) to 10 * (i + 1) degrees, bone 12 to
// -5 * i on all three angles, and raises the root to 1 + i. Each frame
// waits `wait` and then moves over `move`, linearly.
std::unique_ptr<Animation> makeAnimation(const Skeleton& skeleton, int frames, bool looping,
                                         double wait = 0.25, double move = 0.5) {
    auto animation = std::make_unique<Animation>("walk", looping);
    for (int i = 0; i < frames; ++i) {
        KeyFrame* frame = animation->addFrameFromPose(&skeleton);
        frame->boneAngles[1].x = 10.0 * (i + 1);
        frame->boneAngles[12] = BonePose(-5.0 * i, -5.0 * i, -5.0 * i);
        frame->rootPosition.y = 1.0 + i;
        frame->waitTime = wait;
        frame->transitionTime = move;
    }
    return animation;
}

// The pose `frame` gives when put on the skeleton directly, the skeleton
// being left as it was.
SkeletonPose poseOf(const KeyFrame& frame, Skeleton& skeleton) {
    const SkeletonPose before = SkeletonPose::capture(skeleton);
    frame.applyPose(&skeleton);
    const SkeletonPose pose = SkeletonPose::capture(skeleton);
    before.restore(skeleton);
    return pose;
}

void expectSamePose(const SkeletonPose& a, const SkeletonPose& b, const std::string& what) {
    EXPECT_NEAR((a.rootPosition - b.rootPosition).length(), 0, 1e-12) << what;
    ASSERT_EQ(a.angles.size(), b.angles.size());
    for (std::size_t i = 0; i < a.angles.size(); ++i) {
        EXPECT_NEAR((a.angles[i] - b.angles[i]).length(), 0, 1e-9) << what << " bone " << i;
    }
}

class TimelineTest : public testing::Test {
protected:
    TimelineTest() : skeleton(makeTestSkeleton()) {}

    // The timeline's pose at `t`, posed from the skeleton's present pose.
    SkeletonPose at(const Animation& animation, double t) {
        EXPECT_TRUE(poseAtTime(animation, *skeleton, t));
        return SkeletonPose::capture(*skeleton);
    }
    double angleAt(const Animation& animation, double t) { return at(animation, t).angles[1].x; }

    std::unique_ptr<Skeleton> skeleton;
};

} // namespace

TEST_F(TimelineTest, NoFramesAndNoSkeleton) {
    {
        Animation empty("none", true);
        const Timeline timeline(empty);
        EXPECT_EQ(timeline.duration(), 0);
        EXPECT_EQ(timeline.keyTimes(), std::vector<double>{0});
        const TimelinePlace place = timeline.placeAt(1);
        EXPECT_EQ(place.phase, TimelinePhase::End);
        EXPECT_EQ(place.frame, -1);
        const SkeletonPose before = SkeletonPose::capture(*skeleton);
        EXPECT_FALSE(timeline.pose(*skeleton, 0));
        EXPECT_EQ(SkeletonPose::capture(*skeleton), before);
    }
    {
        auto animation = makeAnimation(*skeleton, 2, true);
        testing::internal::CaptureStdout();
        auto small = makeIncompleteSkeleton();
        testing::internal::GetCapturedStdout();
        const SkeletonPose before = SkeletonPose::capture(*small);
        EXPECT_FALSE(poseAtTime(*animation, *small, 0.3));
        EXPECT_EQ(SkeletonPose::capture(*small), before);
    }
}

TEST_F(TimelineTest, DurationAndKeyTimes) {
    // Looping: every wait and every transition, the last one back to frame 0.
    auto animation = makeAnimation(*skeleton, 4, true, 0.5, 1.0);
    EXPECT_DOUBLE_EQ(timelineDuration(*animation), 6.0);
    EXPECT_EQ(Timeline(*animation).keyTimes(),
              (std::vector<double>{0, 0.5, 1.5, 2, 3, 3.5, 4.5, 5, 6}));
    // Not looping: the last frame's transition leads nowhere.
    animation->setLooping(false);
    EXPECT_DOUBLE_EQ(timelineDuration(*animation), 5.0);
    EXPECT_EQ(Timeline(*animation).keyTimes(),
              (std::vector<double>{0, 0.5, 1.5, 2, 3, 3.5, 4.5, 5}));

    // One frame: its wait, and when looping the move back onto itself.
    auto single = makeAnimation(*skeleton, 1, false, 0.25, 0.5);
    EXPECT_DOUBLE_EQ(timelineDuration(*single), 0.25);
    single->setLooping(true);
    EXPECT_DOUBLE_EQ(timelineDuration(*single), 0.75);

    // Times the player never sees pass make the animation endless; negative
    // ones take no time at all.
    animation->frameAt(1)->waitTime = -3;
    EXPECT_DOUBLE_EQ(timelineDuration(*animation), 4.5);
    animation->frameAt(2)->transitionTime = NOT_A_NUMBER;
    EXPECT_TRUE(std::isinf(timelineDuration(*animation)));
    const Timeline endless(*animation);
    const TimelinePlace late = endless.placeAt(std::numeric_limits<double>::infinity());
    EXPECT_EQ(late.phase, TimelinePhase::Transition);
    EXPECT_EQ(late.frame, 2);
    EXPECT_EQ(late.fraction, 0);
    EXPECT_NEAR(angleAt(*animation, 1e9), 30, 1e-12) << "an endless move stays at its start";
}

TEST_F(TimelineTest, KeyTimesShowTheKeyFramesAndWaitsHoldThem) {
    auto animation = makeAnimation(*skeleton, 3, true, 0.5, 1.0);
    animation->frameAt(1)->motionType = MotionType::EaseIn;
    animation->frameAt(2)->motionType = MotionType::EaseInOut;
    std::unique_ptr<Skeleton> direct = makeTestSkeleton();
    const std::vector<double> keys = Timeline(*animation).keyTimes();
    ASSERT_EQ(keys.size(), 7u);
    for (std::size_t k = 0; k < keys.size(); ++k) {
        // Arrival at and departure from frame k / 2; the end is frame 0.
        const int frame = static_cast<int>(k / 2) % 3;
        const SkeletonPose expected = poseOf(*animation->frameAt(frame), *direct);
        expectSamePose(at(*animation, keys[k]), expected, "key time " + std::to_string(keys[k]));
        if (k % 2 == 0 && k + 1 < keys.size()) {
            for (double into : {0.1, 0.25, 0.4999}) {
                expectSamePose(at(*animation, keys[k] + into), expected,
                               "waiting " + std::to_string(keys[k] + into));
            }
        }
    }
    // Before the start and long after the end.
    expectSamePose(at(*animation, -1), poseOf(*animation->frameAt(0), *direct), "before 0");
    expectSamePose(at(*animation, 100), poseOf(*animation->frameAt(0), *direct), "after the end");
    animation->setLooping(false);
    expectSamePose(at(*animation, 100), poseOf(*animation->frameAt(2), *direct), "not looping");
    expectSamePose(at(*animation, NOT_A_NUMBER), poseOf(*animation->frameAt(0), *direct), "NaN");
}

TEST_F(TimelineTest, EachEasingAtAQuarterAndHalfOfItsTransition) {
    // Bone 1 from 0 to 90 degrees over 1 s, after a wait of 0.5 s.
    struct Case {
        int motion;
        double quarter, half;
    };
    for (const Case& c :
         {Case{MotionType::Linear, 22.5, 45}, Case{MotionType::EaseIn, 5.625, 22.5},
          Case{MotionType::EaseOut, 39.375, 67.5}, Case{MotionType::EaseInOut, 11.25, 45}}) {
        auto animation = makeAnimation(*skeleton, 2, false, 0.5, 1.0);
        animation->frameAt(0)->boneAngles[1].x = 0;
        animation->frameAt(1)->boneAngles[1].x = 90;
        animation->frameAt(0)->motionType = c.motion;
        EXPECT_NEAR(angleAt(*animation, 0.75), c.quarter, 1e-9) << c.motion;
        EXPECT_NEAR(angleAt(*animation, 1.0), c.half, 1e-9) << c.motion;
        // One t for every value: the root moves along the same curve.
        EXPECT_NEAR(at(*animation, 1.0).rootPosition.y, 1 + c.half / 90, 1e-9) << c.motion;
        EXPECT_NEAR(angleAt(*animation, 1.5), 90, 1e-9) << c.motion;
    }
    // Angles are plain numbers: 350 to 10 turns back through 180.
    auto animation = makeAnimation(*skeleton, 2, false, 0, 1.0);
    animation->frameAt(0)->boneAngles[1].x = 350;
    animation->frameAt(1)->boneAngles[1].x = 10;
    EXPECT_NEAR(angleAt(*animation, 0.5), 180, 1e-9);
}

TEST_F(TimelineTest, ZeroTransitionJumpsAndUnknownCurveHolds) {
    auto animation = makeAnimation(*skeleton, 3, false, 0.5, 1.0);
    animation->frameAt(0)->transitionTime = 0;
    animation->frameAt(1)->motionType = 99;
    const Timeline timeline(*animation);
    EXPECT_DOUBLE_EQ(timeline.duration(), 2.5);

    // Frame 0 until 0.5 s, then frame 1 at once.
    EXPECT_EQ(angleAt(*animation, std::nextafter(0.5, 0.0)), 10);
    EXPECT_EQ(angleAt(*animation, 0.5), 20);
    TimelinePlace place = timeline.placeAt(0.5);
    EXPECT_EQ(place.phase, TimelinePhase::Wait);
    EXPECT_EQ(place.frame, 1);
    EXPECT_EQ(place.start, 0.5);

    // Frame 1's move has no curve: frame 1 holds through it and frame 2
    // shows once its time is over.
    place = timeline.placeAt(1.5);
    EXPECT_EQ(place.phase, TimelinePhase::Transition);
    EXPECT_EQ(place.frame, 1);
    EXPECT_EQ(place.nextFrame, 2);
    EXPECT_DOUBLE_EQ(place.fraction, 0.5);
    EXPECT_EQ(angleAt(*animation, 1.5), 20);
    EXPECT_EQ(angleAt(*animation, 1.999), 20);
    EXPECT_EQ(angleAt(*animation, 2.0), 30);
    EXPECT_EQ(timeline.placeAt(2.0).phase, TimelinePhase::Wait);
    EXPECT_EQ(timeline.placeAt(2.5).phase, TimelinePhase::End);
    EXPECT_EQ(timeline.placeAt(2.5).frame, 2);

    // Nothing but zeros: the animation is over at time 0, on its end pose.
    for (int i = 0; i < 3; ++i) {
        animation->frameAt(i)->waitTime = 0;
        animation->frameAt(i)->transitionTime = 0;
    }
    EXPECT_EQ(timelineDuration(*animation), 0);
    EXPECT_EQ(angleAt(*animation, 0), 30);
    animation->setLooping(true);
    EXPECT_EQ(angleAt(*animation, 0), 10);
}

TEST_F(TimelineTest, OneFrameAnimations) {
    auto animation = makeAnimation(*skeleton, 1, false, 0.25, 0.5);
    animation->frameAt(0)->boneAngles[1].x = 40;
    EXPECT_EQ(angleAt(*animation, 0), 40);
    EXPECT_EQ(angleAt(*animation, 0.5), 40);
    EXPECT_EQ(Timeline(*animation).placeAt(0.3).phase, TimelinePhase::End);
    EXPECT_EQ(Timeline(*animation).placeAt(0.3).frame, 0);
    // Looping, the frame moves onto itself and the place says so.
    animation->setLooping(true);
    const TimelinePlace place = Timeline(*animation).placeAt(0.5);
    EXPECT_EQ(place.phase, TimelinePhase::Transition);
    EXPECT_EQ(place.frame, 0);
    EXPECT_EQ(place.nextFrame, 0);
    EXPECT_DOUBLE_EQ(place.fraction, 0.5);
    EXPECT_EQ(angleAt(*animation, 0.5), 40);
    EXPECT_EQ(angleAt(*animation, 0.75), 40);
}

TEST_F(TimelineTest, LimitsActAsForThePlayer) {
    // Bone 5's secAngle is limited to -45..45. A move from 0 to 90 sets it
    // until the eased value leaves the limits; from then on the bone keeps
    // what it had, while its other angles go on moving.
    auto animation = makeAnimation(*skeleton, 2, false, 0, 1.0);
    animation->frameAt(0)->boneAngles[5] = BonePose(0, 0, 0);
    animation->frameAt(1)->boneAngles[5] = BonePose(100, 90, 50);
    const Timeline timeline(*animation);
    for (double t = 0; t <= 1.0; t += 1.0 / 16) {
        timeline.pose(*skeleton, t);
        const Bone& bone = *skeleton->boneAt(5);
        EXPECT_NEAR(bone.mainAngle(), std::min(100 * t, 100.0), 1e-9) << t;
        EXPECT_NEAR(bone.secAngle(), std::min(90 * t, 45.0), 1e-9) << t;
    }
    // Played in steps, the angle stays at the last value it was allowed;
    // posed at once from the start it keeps the start's.
    std::unique_ptr<Skeleton> fresh = makeTestSkeleton();
    timeline.pose(*fresh, 0.75);
    EXPECT_EQ(fresh->boneAt(5)->secAngle(), 5);
}
