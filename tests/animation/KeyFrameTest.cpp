#include "animation/KeyFrame.h"

#include "TestSkeleton.h"

#include <gtest/gtest.h>

namespace {

const char* const DEFAULT_SKELETON = "resources/config/skeleton/default.rgcf";

void expectNear(const Vec3& actual, const Vec3& expected, const char* what, int bone) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << what << " of bone " << bone;
    EXPECT_NEAR(actual.y, expected.y, 1e-9) << what << " of bone " << bone;
    EXPECT_NEAR(actual.z, expected.z, 1e-9) << what << " of bone " << bone;
}

// Every bone of `a` posed and placed as the same bone of `b`.
void expectSamePose(const Skeleton& a, const Skeleton& b) {
    ASSERT_EQ(a.boneCount(), b.boneCount());
    for (int i = 0; i < a.boneCount(); ++i) {
        expectNear(a.boneAt(i)->pose(), b.boneAt(i)->pose(), "angles", i);
        expectNear(a.boneAt(i)->position(), b.boneAt(i)->position(), "position", i);
        expectNear(a.boneAt(i)->frame().axisY, b.boneAt(i)->frame().axisY, "axisY", i);
    }
}

TEST(KeyFrame, DefaultsWithoutSkeleton) {
    KeyFrame frame(static_cast<const Skeleton*>(nullptr));
    EXPECT_EQ(frame.rootPosition, Vec3(0, 0, 0));
    for (const BonePose& pose : frame.boneAngles) {
        EXPECT_EQ(pose, BonePose(0, 0, 0));
    }
    EXPECT_EQ(frame.waitTime, 0.0);
    EXPECT_EQ(frame.transitionTime, 1.0);
    EXPECT_EQ(frame.motionType, MotionType::Linear);
    EXPECT_EQ(frame.index, -1);

    // Capturing from nothing leaves what the frame holds.
    frame.rootPosition = Vec3(1, 2, 3);
    frame.capturePose(nullptr);
    EXPECT_EQ(frame.rootPosition, Vec3(1, 2, 3));
    frame.applyPose(nullptr);
}

TEST(KeyFrame, IncompleteSkeletonIsLeftAlone) {
    testing::internal::CaptureStdout();
    auto small = makeIncompleteSkeleton();
    testing::internal::GetCapturedStdout();
    ASSERT_LT(small->boneCount(), POSE_BONE_COUNT);
    ASSERT_GT(small->boneCount(), 0);
    Vec3 root = small->boneAt(0)->position();
    BonePose first = small->boneAt(1)->pose();

    KeyFrame frame(small.get());
    EXPECT_EQ(frame.rootPosition, Vec3(0, 0, 0));
    frame.rootPosition = Vec3(5, 5, 5);
    frame.boneAngles[1] = BonePose(40, 40, 40);
    frame.capturePose(small.get());
    EXPECT_EQ(frame.rootPosition, Vec3(5, 5, 5));
    frame.applyPose(small.get());
    EXPECT_EQ(small->boneAt(0)->position(), root);
    EXPECT_EQ(small->boneAt(1)->pose(), first);
}

TEST(KeyFrame, CaptureAndApplyRoundTripOnTheDefaultSkeleton) {
    Skeleton posed(DEFAULT_SKELETON, 0, 0.5, 0);
    ASSERT_EQ(posed.boneCount(), POSE_BONE_COUNT);
    // Small steps so every bone stays inside whatever limits the figure has.
    posed.rootBone()->moveBy(0.25, -0.125, 0.5);
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        posed.boneAt(i)->rotateBy(0.5 + i * 0.01, -0.25, 0.125);
    }
    KeyFrame frame(&posed);
    EXPECT_EQ(frame.rootPosition, posed.rootBone()->position());
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        EXPECT_EQ(frame.boneAngles[i], posed.boneAt(i)->pose()) << "bone " << i;
    }

    Skeleton other(DEFAULT_SKELETON, 0, 0.5, 0);
    frame.applyPose(&other);
    expectSamePose(other, posed);

    // Capturing again changes nothing, timing included.
    frame.waitTime = 0.75;
    KeyFrame again = frame;
    again.capturePose(&other);
    EXPECT_EQ(again.rootPosition, frame.rootPosition);
    EXPECT_EQ(again.boneAngles, frame.boneAngles);
    EXPECT_EQ(again.waitTime, 0.75);
}

TEST(KeyFrame, ApplyKeepsAnAngleOutsideItsLimits) {
    auto skeleton = makeTestSkeleton();
    KeyFrame frame(skeleton.get());
    // Bone 5 allows secAngle -45..45 and mainAngle -10..170.
    frame.boneAngles[5] = BonePose(20, 60, 7);
    frame.boneAngles[6] = BonePose(1, 2, 3);
    frame.applyPose(skeleton.get());
    EXPECT_EQ(skeleton->boneAt(5)->pose(), BonePose(20, 5, 7));
    EXPECT_EQ(skeleton->boneAt(6)->pose(), BonePose(1, 2, 3));
    // Children follow their parent's new frame.
    expectNear(skeleton->boneAt(6)->position(), skeleton->boneAt(5)->endPoint(), "position", 6);
}

} // namespace
