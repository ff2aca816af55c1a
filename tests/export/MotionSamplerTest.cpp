#include "tools/export/MotionSampler.h"

#include "ExportTestSupport.h"
#include "animation/MotionType.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Steps of 1/64 s are exact in single precision, so each strict "time has
// passed" comparison of the player is unambiguous: a wait of 0.25 s ends
// 17 updates after it began, a transition of 0.5 s 33 updates after.
constexpr double FPS = 64;

// Frame i bends the lower spine to 10 * i degrees (within its limits) and
// lifts the root by 0.1 * i; wait 0.25 s, transition 0.5 s.
std::unique_ptr<Animation> spineAnimation(const Skeleton& skeleton, int frames, bool looping) {
    auto animation = std::make_unique<Animation>("bend", looping);
    for (int i = 0; i < frames; ++i) {
        KeyFrame* frame = animation->addFrameFromPose(&skeleton);
        frame->boneAngles[1].x = 10.0 * (i % 2 == 0 ? i : -i);
        frame->rootPosition.y += 0.1 * i;
        frame->waitTime = 0.25;
        frame->transitionTime = 0.5;
        frame->motionType = MotionType::EaseInOut;
    }
    return animation;
}

// The pose `frame` gives a fresh default skeleton.
PoseSample poseOf(const KeyFrame& frame) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    frame.applyPose(skeleton.get());
    PoseSample pose;
    pose.rootPosition = skeleton->rootBone()->position();
    for (int i = 0; i < skeleton->boneCount(); ++i) {
        pose.rotations.push_back(quatFromFrame(skeleton->boneAt(i)->frame()));
    }
    return pose;
}

void expectSamePose(const PoseSample& a, const PoseSample& b, const std::string& what) {
    expectNear(a.rootPosition, b.rootPosition, 1e-9, what + " root");
    ASSERT_EQ(a.rotations.size(), b.rotations.size());
    for (std::size_t i = 0; i < a.rotations.size(); ++i) {
        const Quat d = alignedWith(a.rotations[i], b.rotations[i]);
        EXPECT_NEAR(d.w, b.rotations[i].w, 1e-9) << what << " bone " << i;
        EXPECT_NEAR(d.x, b.rotations[i].x, 1e-9) << what << " bone " << i;
        EXPECT_NEAR(d.y, b.rotations[i].y, 1e-9) << what << " bone " << i;
        EXPECT_NEAR(d.z, b.rotations[i].z, 1e-9) << what << " bone " << i;
    }
}

struct Sampled {
    bool ok;
    std::string error;
    SampledMotion motion;
};

Sampled sample(Animation& animation, double fps) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    Sampled result;
    result.ok = sampleMotion(*skeleton, animation, fps, result.motion, result.error);
    return result;
}

} // namespace

TEST(MotionSampler, LoopStartsOnFrameZeroAndEndsBackOnIt) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = spineAnimation(*skeleton, 3, true);
    int observed = 0;
    SampledMotion motion;
    std::string error;
    ASSERT_TRUE(sampleMotion(*skeleton, *animation, FPS, motion, error,
                             [&](const Skeleton&) { ++observed; }));
    // Three frames of 17 + 33 updates each, plus the first sample.
    ASSERT_EQ(motion.samples.size(), 151u);
    EXPECT_EQ(observed, 151);
    EXPECT_EQ(motion.name, "bend");
    EXPECT_EQ(motion.fps, FPS);
    const PoseSample first = poseOf(*animation->frameAt(0));
    expectSamePose(motion.samples.front(), first, "first sample");
    expectSamePose(motion.samples.back(), first, "last sample");
    // Frame 1 is reached 50 updates in, frame 2 after 100.
    expectSamePose(motion.samples[50], poseOf(*animation->frameAt(1)), "frame 1");
    expectSamePose(motion.samples[100], poseOf(*animation->frameAt(2)), "frame 2");
    // Halfway through the eased move from frame 0 to frame 1.
    EXPECT_NEAR(motion.samples[17 + 16].rootPosition.y, first.rootPosition.y + 0.05, 1e-9);
}

TEST(MotionSampler, NonLoopingEndsWhenTheLastWaitIsOver) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = spineAnimation(*skeleton, 3, false);
    const Sampled result = sample(*animation, FPS);
    ASSERT_TRUE(result.ok) << result.error;
    // Two whole frames and the last frame's wait.
    ASSERT_EQ(result.motion.samples.size(), 2 * 50 + 17 + 1u);
    expectSamePose(result.motion.samples.front(), poseOf(*animation->frameAt(0)), "first");
    expectSamePose(result.motion.samples.back(), poseOf(*animation->frameAt(2)), "last");
    EXPECT_LE(static_cast<double>(result.motion.samples.size()), estimatedUpdates(*animation, FPS));
}

TEST(MotionSampler, EmptyAndSingleFrameAnimations) {
    {
        std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
        Animation empty("none", true);
        SampledMotion motion;
        std::string error;
        ASSERT_TRUE(sampleMotion(*skeleton, empty, 30, motion, error));
        ASSERT_EQ(motion.samples.size(), 1u);
        expectSamePose(motion.samples[0], poseOf(KeyFrame(loadDefaultSkeleton().get())), "rest");
    }
    {
        std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
        auto animation = spineAnimation(*skeleton, 1, false);
        const Sampled once = sample(*animation, FPS);
        ASSERT_TRUE(once.ok);
        EXPECT_EQ(once.motion.samples.size(), 18u) << "arrival and the 0.25 s wait";
        animation->setLooping(true);
        const Sampled looped = sample(*animation, FPS);
        ASSERT_TRUE(looped.ok);
        EXPECT_EQ(looped.motion.samples.size(), 51u) << "the wait and the move back to itself";
    }
}

TEST(MotionSampler, ZeroNegativeAndUnknownTimingsStillEnd) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    // A one-frame loop whose move takes no time at all: wait ending and
    // frame reached fall into one update, over and over.
    auto loop = spineAnimation(*skeleton, 1, true);
    loop->frameAt(0)->waitTime = -1;
    loop->frameAt(0)->transitionTime = -1;
    const Sampled instant = sample(*loop, 30);
    ASSERT_TRUE(instant.ok) << instant.error;
    EXPECT_LE(instant.motion.samples.size(), 3u);

    auto odd = spineAnimation(*skeleton, 3, true);
    odd->frameAt(0)->transitionTime = 0;
    odd->frameAt(1)->motionType = 99;
    odd->frameAt(2)->waitTime = 0;
    const Sampled result = sample(*odd, 30);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_LE(static_cast<double>(result.motion.samples.size()), estimatedUpdates(*odd, 30));
}

TEST(MotionSampler, RefusesWhatCannotBeExported) {
    std::unique_ptr<Skeleton> skeleton = loadDefaultSkeleton();
    auto animation = spineAnimation(*skeleton, 2, true);
    for (double fps : {0.0, -30.0, 1000.5, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        const Sampled result = sample(*animation, fps);
        EXPECT_FALSE(result.ok) << fps;
        EXPECT_NE(result.error.find("fps"), std::string::npos) << result.error;
    }
    EXPECT_TRUE(sample(*animation, 1000).ok);

    // A file's unreadable number (2147483647 s) as a wait: refused at once
    // instead of stepping the player for two thousand years.
    animation->frameAt(1)->waitTime = 2147483647.0;
    Sampled lying = sample(*animation, 30);
    EXPECT_FALSE(lying.ok);
    EXPECT_NE(lying.error.find("too long"), std::string::npos) << lying.error;
    EXPECT_TRUE(lying.motion.samples.empty());

    // A root beyond float range would turn into infinities in the files.
    animation->frameAt(1)->waitTime = 0;
    animation->frameAt(1)->rootPosition.x = 1e31;
    Sampled far = sample(*animation, 30);
    EXPECT_FALSE(far.ok);
    EXPECT_NE(far.error.find("root"), std::string::npos) << far.error;
}
