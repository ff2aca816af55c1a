#include "tools/samples/BodyPose.h"

#include "skeleton/DefaultFigure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<Skeleton> defaultSkeleton() {
    const char* source = std::getenv("KINEMORPH_SOURCE_DIR");
    const std::string root = source ? source : ".";
    auto skeleton = std::make_unique<Skeleton>(root + "/" + SKELETON_PATH, 0, SKELETON_ORIGIN_Y, 0);
    EXPECT_TRUE(skeleton->complete());
    return skeleton;
}

} // namespace

TEST(BodyPose, FramesStandOnTheGroundAndMirrorTheSides) {
    std::unique_ptr<Skeleton> skeleton = defaultSkeleton();
    // The figure's ground: where its feet are as it stands at rest.
    const double ground = groundHeight(*skeleton);
    EXPECT_NEAR(ground, lowestFootPoint(*skeleton), 1e-12);
    PoseMaker maker(*skeleton);
    BodyPose pose;
    pose.leftLeg.swing = 25;
    pose.leftLeg.knee = 40;
    pose.leftArm.swing = -20;
    pose.hipTurn = 5;
    pose.clearance = 0.25;
    KeyFrame frame(static_cast<const Skeleton*>(nullptr));
    std::string error;
    ASSERT_TRUE(maker.frame(pose, frame, error)) << error;
    // The skeleton is left in the frame's pose, its lowest foot point at the
    // clearance, the root's height rounded up to a tenth of a millimetre.
    EXPECT_GE(lowestFootPoint(*skeleton), ground + 0.25);
    EXPECT_LT(lowestFootPoint(*skeleton), ground + 0.2501);
    EXPECT_NEAR(frame.rootPosition.y * 1e4, std::round(frame.rootPosition.y * 1e4), 1e-6);
    EXPECT_EQ(frame.rootPosition.x, 0);
    EXPECT_EQ(frame.waitTime, 0);
    EXPECT_EQ(frame.motionType, MotionType::Linear);

    // The same pose mirrored puts the same numbers on the other side.
    KeyFrame other(static_cast<const Skeleton*>(nullptr));
    ASSERT_TRUE(maker.frame(mirrored(pose), other, error)) << error;
    for (const auto& [left, right] : {std::pair{6, 10}, {7, 11}, {8, 12}, {14, 18}, {15, 19}}) {
        EXPECT_EQ(other.boneAngles[right].x,
                  (left == 7 || left == 8 || left == 15 ? 1 : -1) * frame.boneAngles[left].x)
            << left;
        EXPECT_EQ(other.boneAngles[right].y, -frame.boneAngles[left].y) << left;
    }
    EXPECT_EQ(other.boneAngles[0].y, -5) << "the hips turn the other way";
    EXPECT_NEAR(other.rootPosition.y, frame.rootPosition.y, 1e-4);

    // Halfway between the two, and at either end.
    KeyFrame half(static_cast<const Skeleton*>(nullptr));
    ASSERT_TRUE(maker.between(frame, other, 0.5, 0, half, error)) << error;
    EXPECT_DOUBLE_EQ(half.boneAngles[6].y, 12.5);
    EXPECT_DOUBLE_EQ(half.boneAngles[10].y, -12.5);
    EXPECT_GE(lowestFootPoint(*skeleton), ground);
    EXPECT_LT(lowestFootPoint(*skeleton), ground + 0.0001);
    ASSERT_TRUE(maker.between(frame, other, 1, 0.25, half, error)) << error;
    EXPECT_EQ(half.boneAngles[11].x, 40);
}

TEST(BodyPose, RefusedAngleIsAnError) {
    std::unique_ptr<Skeleton> skeleton = defaultSkeleton();
    PoseMaker maker(*skeleton);
    BodyPose pose;
    pose.rightLeg.knee = 160; // the knees bend to 150
    KeyFrame frame(static_cast<const Skeleton*>(nullptr));
    std::string error;
    EXPECT_FALSE(maker.frame(pose, frame, error));
    EXPECT_NE(error.find("right shin"), std::string::npos) << error;
    pose.rightLeg.knee = 150;
    pose.leftArm.twist = -91;
    EXPECT_FALSE(maker.frame(pose, frame, error));
    EXPECT_NE(error.find("left upper arm"), std::string::npos) << error;
}
