#include "import/Retarget.h"

#include "RigFamilies.h"
#include "import/BvhPose.h"
#include "import/BvhReader.h"
#include "import/Rotations.h"
#include "import/ShapeMapping.h"
#include "import/TurnSolve.h"
#include "motion/Ground.h"
#include "skeleton/SkeletonPose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// The bones whose direction a motion is made of.
const int LIMBS[] = {FigureBone::LowerSpine,   FigureBone::UpperSpine,  FigureBone::LeftThigh,
                     FigureBone::LeftShin,     FigureBone::RightThigh,  FigureBone::RightShin,
                     FigureBone::LeftUpperArm, FigureBone::LeftForearm, FigureBone::RightUpperArm,
                     FigureBone::RightForearm};

RetargetedClip retargeted(const BvhClip& clip, const Skeleton& figure) {
    BoneMap map;
    std::string error;
    EXPECT_TRUE(mapBonesByShape(clip, map, error)) << error;
    RetargetedClip out;
    EXPECT_TRUE(retargetClip(clip, map, figure, out, error)) << error;
    return out;
}

double quantile(std::vector<float> values, double q) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * (values.size() - 1))];
}

// Fails unless every limb points within 5 degrees of the clip's at the
// median frame and within 15 at the 95th percentile.
void expectLimbsFollow(const RetargetedClip& r, const std::string& what) {
    for (int bone : LIMBS) {
        std::vector<float> errors;
        for (const auto& frame : r.directionError) {
            errors.push_back(frame[bone]);
        }
        EXPECT_LE(quantile(errors, 0.5), 5) << what << " " << figureBoneName(bone);
        EXPECT_LE(quantile(errors, 0.95), 15) << what << " " << figureBoneName(bone);
    }
}

// How far apart two retargets of one motion are, over all frames: the
// largest turn between their limbs' poses and between their other bones'
// (degrees), and the largest root distance.
struct Apart {
    double limbs = 0, others = 0, root = 0;
};

Apart apart(const RetargetedClip& a, const RetargetedClip& b, const Skeleton& figure) {
    Apart d;
    EXPECT_EQ(a.poses.size(), b.poses.size());
    for (std::size_t f = 0; f < std::min(a.poses.size(), b.poses.size()); ++f) {
        for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
            const int axis = figure.boneAt(bone)->mainAxis();
            const double turn = degreesBetween(boneTurn(axis, a.poses[f].angles[bone]),
                                               boneTurn(axis, b.poses[f].angles[bone]));
            const bool limb =
                std::find(std::begin(LIMBS), std::end(LIMBS), bone) != std::end(LIMBS);
            double& worst = limb ? d.limbs : d.others;
            worst = std::max(worst, turn);
        }
        d.root = std::max(d.root, (a.poses[f].root - b.poses[f].root).length());
    }
    return d;
}

} // namespace

TEST(Retarget, EveryFamilyOfRigGivesTheFiguresOwnPoses) {
    auto figure = loadFigure();
    const BvhClip own = walkClip();
    const RetargetedClip reference = retargeted(own, *figure);
    expectLimbsFollow(reference, "figure");
    for (const RigFamily& family : rigFamilies()) {
        BvhClip clip;
        std::string error;
        ASSERT_TRUE(parseBvh(bvhText(dressClip(own, family.dress)), clip, error)) << error;
        const RetargetedClip r = retargeted(clip, *figure);
        expectLimbsFollow(r, family.name);
        if (!family.sameMotion) {
            continue;
        }
        const Apart d = apart(r, reference, *figure);
        EXPECT_LT(std::max(d.limbs, d.others), 0.05) << family.name;
        EXPECT_LT(d.root, 1e-4) << family.name << " root";
        EXPECT_EQ(r.contact, reference.contact) << family.name;
    }
}

TEST(Retarget, TheCapturedWalkKeepsItsLimbsHeadingTravelAndFloor) {
    auto figure = loadFigure();
    const BvhClip clip = capturedWalk();
    std::string error;
    const RetargetedClip r = retargeted(clip, *figure);
    expectLimbsFollow(r, "the captured walk");

    // Heading: the figure's hips turn about the vertical as the clip's do;
    // travel: the root goes as far as the clip's hips, times the legs' ratio.
    BoneMap map;
    ASSERT_TRUE(mapBonesByShape(clip, map, error));
    const BvhKinematics kinematics(clip, {});
    auto yaw = [](const Quat& q) {
        const Vec3 left = rotate(q, Vec3(1, 0, 0));
        return std::atan2(left.z, left.x) * 180 / M_PI;
    };
    BvhPose pose;
    kinematics.pose(0, pose);
    const int hips = map.hips();
    const Vec3 start = pose.positions[hips];
    const double clipStart = yaw(pose.rotations[hips]);
    const double figureStart = yaw(boneTurn(AXIS_X, r.poses[0].angles[0]));
    for (std::size_t f = 0; f < r.poses.size(); f += 5) {
        kinematics.pose(static_cast<int>(f), pose);
        const double turned = (yaw(boneTurn(AXIS_X, r.poses[f].angles[0])) - figureStart) -
                              (yaw(pose.rotations[hips]) - clipStart);
        EXPECT_LT(std::fabs(std::remainder(turned, 360.0)), 5) << "frame " << f;
    }
    kinematics.pose(clip.frameCount - 1, pose);
    const Vec3 clipTravel = (pose.positions[hips] - start) * r.scale;
    const Vec3 figureTravel = r.poses.back().root - r.poses.front().root;
    EXPECT_GT(std::hypot(clipTravel.x, clipTravel.z), 1);
    EXPECT_NEAR(std::hypot(figureTravel.x, figureTravel.z) / std::hypot(clipTravel.x, clipTravel.z),
                1, 0.25);

    // Feet: never below the floor; where a foot stands, a foot is on the
    // floor (the standing one, or another that would go below it) and no
    // standing foot is far above it (the clip's left foot dips through its
    // floor around frame 180, lifting the figure off its standing right).
    const double ground = groundHeight(*figure);
    int stands[2] = {0, 0};
    for (std::size_t f = 0; f < r.poses.size(); ++f) {
        SkeletonPose pose = SkeletonPose::capture(*figure);
        pose.rootPosition = r.poses[f].root;
        std::copy(r.poses[f].angles.begin(), r.poses[f].angles.end(), pose.angles.begin());
        ASSERT_TRUE(pose.restore(*figure));
        double lowest = 1e9;
        for (int side = 0; side < 2; ++side) {
            const Bone& foot =
                *figure->boneAt(side == 0 ? FigureBone::LeftFoot : FigureBone::RightFoot);
            const double above = std::min(foot.position().y, foot.endPoint().y) - ground;
            EXPECT_GE(above, -1e-9) << "frame " << f;
            lowest = std::min(lowest, above);
            if (r.contact[f][side]) {
                ++stands[side];
                EXPECT_LT(above, 0.1) << "frame " << f << " side " << side;
            }
        }
        if (r.contact[f][0] || r.contact[f][1]) {
            EXPECT_LT(lowest, 1e-6) << "frame " << f;
        }
    }
    EXPECT_GT(stands[0], 100);
    EXPECT_GT(stands[1], 100);
}

TEST(TurnSolve, DerivativesAndNearestAnglesMatchTheRebuild) {
    auto figure = loadFigure();
    // Each bone's analytic derivatives of its miss against finite
    // differences, at a pose away from every gimbal.
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        const Bone& b = *figure->boneAt(bone);
        const BonePose angles(b.mainAngle() + 7, b.secAngle() + 5, b.ownAngle() - 3);
        const Quat wanted =
            boneTurn(b.mainAxis(), BonePose(angles.x + 2, angles.y - 1, angles.z + 1));
        Vec3 columns[3], ignored[3];
        const Vec3 miss = turnMiss(b.mainAxis(), conjugate(wanted), angles, columns);
        for (int c = 0; c < 3; ++c) {
            BonePose moved = angles;
            moved[c] += 1e-4;
            const Vec3 step =
                (turnMiss(b.mainAxis(), conjugate(wanted), moved, ignored) - miss) / 1e-4;
            EXPECT_LT((step - columns[c]).length(), 0.05) << figureBoneName(bone) << " angle " << c;
        }
        // The rebuild's turn is the frame rebuild's.
        const Quat rebuilt = quatFromFrame(Bone::frameOn(AxisFrame(), b.mainAxis(), angles));
        EXPECT_LT(degreesBetween(rebuilt, boneTurn(b.mainAxis(), angles)), 1e-5)
            << figureBoneName(bone);
        // A reachable turn is found from a start some way off, inside the
        // limits by a hair.
        const BonePose inside = insideLimits(b, BonePose((b.minMain() + b.maxMain()) / 2 + 3,
                                                         (b.minSec() + b.maxSec()) / 2 + 2,
                                                         (b.minOwn() + b.maxOwn()) / 2 - 2));
        const BonePose found =
            nearestAngles(b, boneTurn(b.mainAxis(), inside), insideLimits(b, b.pose()));
        EXPECT_LT(degreesBetween(boneTurn(b.mainAxis(), found), boneTurn(b.mainAxis(), inside)),
                  0.01)
            << figureBoneName(bone);
        EXPECT_EQ(insideLimits(b, found), found) << figureBoneName(bone);
    }
}
