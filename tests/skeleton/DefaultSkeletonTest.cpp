// The human figure the program ships: it must load cleanly, stand on the
// floor inside the default view, be mirror-symmetric and pose naturally.
#include "skeleton/Skeleton.h"

#include "motion/BoneTable.h"

#include "tests/skeleton/SkeletonTestSupport.h"

#include <algorithm>
#include <set>

using skeleton_test::near;

namespace {

using namespace FigureBone;

class DefaultSkeleton : public testing::Test {
protected:
    void SetUp() override {
        loaded = skeleton_test::loadFile(skeleton_test::defaultSkeletonPath(), 0, 0.5, 0);
        ASSERT_EQ(loaded.output, "");
        ASSERT_EQ(skeleton().boneCount(), POSE_BONE_COUNT);
    }
    Skeleton& skeleton() { return *loaded.skeleton; }
    Bone& bone(int i) { return *skeleton().boneAt(i); }

    skeleton_test::Loaded loaded;
};

} // namespace

// The figure stands on its origin marker, the square drawn at the origin's
// height under the skeleton, just above it so the soles do not flicker
// against it.
TEST_F(DefaultSkeleton, StandsOnItsOriginMarkerInsideTheView) {
    const double base = skeleton().origin().y;
    double lowest = 1e9, highest = -1e9;
    for (int i = 0; i < skeleton().boneCount(); ++i) {
        for (const Vec3& p : {bone(i).position(), bone(i).endPoint()}) {
            lowest = std::min(lowest, p.y);
            highest = std::max(highest, p.y);
            EXPECT_LE(std::fabs(p.x), 2) << "bone " << i;
            EXPECT_LE(std::fabs(p.z), 2) << "bone " << i;
        }
    }
    EXPECT_GT(lowest, base);
    EXPECT_NEAR(lowest, base, 0.02);
    EXPECT_NEAR(bone(LeftFoot).endPoint().y, base, 0.02);
    EXPECT_NEAR(bone(RightFoot).endPoint().y, base, 0.02);
    // The feet stand inside the 1 x 1 marker.
    for (int foot : {LeftFoot, RightFoot}) {
        EXPECT_LE(std::fabs(bone(foot).endPoint().x), 0.5);
        EXPECT_LE(std::fabs(bone(foot).endPoint().z), 0.5);
    }
    EXPECT_EQ(highest, bone(Head).endPoint().y);
    EXPECT_GE(highest - base, 1.7);
    EXPECT_LE(highest - base, 1.8);
    // The root at the hips is what the camera orbits.
    EXPECT_GT(skeleton().rootPosition()->y - base, 0.8);
    EXPECT_LT(skeleton().rootPosition()->y - base, 1.1);
}

TEST_F(DefaultSkeleton, IsOneTreeInIndexOrder) {
    std::set<const Bone*> seen;
    std::vector<const Bone*> open{skeleton().rootBone()};
    while (!open.empty()) {
        const Bone* b = open.back();
        open.pop_back();
        EXPECT_TRUE(seen.insert(b).second) << "bone " << b->index() << " reached twice";
        for (const Bone* child : b->children()) {
            EXPECT_LT(b->index(), child->index());
            open.push_back(child);
        }
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(POSE_BONE_COUNT));
    EXPECT_TRUE(skeleton_test::treeFollowsParents(skeleton()));
    EXPECT_EQ(bone(Hips).length(), 0);
    for (int i = 1; i < POSE_BONE_COUNT; ++i)
        EXPECT_GE(bone(i).length(), 0.05) << "bone " << i << " would be too small to pick";
}

TEST_F(DefaultSkeleton, LeftAndRightMirrorEachOther) {
    const int pairs[][2] = {{5, 9},   {6, 10},  {7, 11},  {8, 12},
                            {13, 17}, {14, 18}, {15, 19}, {16, 20}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair[0]);
        const Vec3 left = bone(pair[0]).endPoint(), right = bone(pair[1]).endPoint();
        EXPECT_GT(left.x, 0);
        EXPECT_TRUE(near(left, Vec3(-right.x, right.y, right.z), 1e-9));
        EXPECT_EQ(bone(pair[0]).length(), bone(pair[1]).length());
    }
    for (int i : {LowerSpine, UpperSpine, Neck, Head})
        EXPECT_NEAR(bone(i).endPoint().x, 0, 1e-12);
}

TEST_F(DefaultSkeleton, RestsInAnAPoseFacingTheCamera) {
    // Arms out and down from the shoulders; feet pointing at +z.
    const Vec3 shoulder = bone(LeftUpperArm).position(), elbow = bone(LeftUpperArm).endPoint();
    EXPECT_LT(elbow.y, shoulder.y - 0.1);
    EXPECT_GT(elbow.x, shoulder.x + 0.1);
    EXPECT_GT(bone(LeftFoot).endPoint().z, bone(LeftFoot).position().z + 0.1);
    EXPECT_GT(bone(LeftShoulder).endPoint().y, bone(LeftHip).endPoint().y + 0.3);
}

TEST_F(DefaultSkeleton, EveryLimitHoldsItsRestAngle) {
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        const Bone& b = bone(i);
        SCOPED_TRACE(i);
        EXPECT_TRUE(b.mainAxis() == AXIS_X || b.mainAxis() == AXIS_Y || b.mainAxis() == AXIS_Z);
        EXPECT_LE(b.minMain(), b.mainAngle());
        EXPECT_LE(b.mainAngle(), b.maxMain());
        EXPECT_LE(b.minSec(), b.secAngle());
        EXPECT_LE(b.secAngle(), b.maxSec());
        EXPECT_LE(b.minOwn(), b.ownAngle());
        EXPECT_LE(b.ownAngle(), b.maxOwn());
    }
}

TEST_F(DefaultSkeleton, KneesAndElbowsBendOneWayOnly) {
    struct Joint {
        int index;
        double bendZ; // which way the tip moves along z when it bends
    };
    const Joint joints[] = {{LeftShin, -1}, {RightShin, -1}, {LeftForearm, 1}, {RightForearm, 1}};
    for (const Joint& j : joints) {
        SCOPED_TRACE(j.index);
        Bone& b = bone(j.index);
        EXPECT_TRUE(b.minMain() >= 0 || b.maxMain() <= 0);
        // The secondary angle turns the bending plane; it must not be able to
        // turn the bend round to the other side.
        EXPECT_LE(b.maxSec() - b.minSec(), 30);

        const double allowed = b.minMain() >= 0 ? 1 : -1;
        const double restZ = b.endPoint().z - b.position().z;
        b.rotateBy(allowed * 60, 0, 0);
        EXPECT_GT(j.bendZ * (b.endPoint().z - b.position().z), j.bendZ * restZ + 0.05);
        const double bent = b.mainAngle();
        b.rotateBy(-allowed * 200, 0, 0);
        EXPECT_EQ(b.mainAngle(), bent);
    }
}

TEST_F(DefaultSkeleton, HeadAndSpineTurnOnlyPartWay) {
    // With no bend, secondary and own angles both twist about the long axis.
    double headTwist = 0;
    for (int i : {Neck, Head})
        headTwist += bone(i).maxSec() - bone(i).minSec() + bone(i).maxOwn() - bone(i).minOwn();
    EXPECT_LT(headTwist, 360);
    for (int i : {LowerSpine, UpperSpine}) {
        EXPECT_LE(bone(i).maxMain() - bone(i).minMain(), 90) << i;
        EXPECT_LE(bone(i).maxOwn() - bone(i).minOwn(), 90) << i;
    }
    // The figure as a whole may turn right round.
    EXPECT_LE(bone(Hips).minSec(), -180);
    EXPECT_GE(bone(Hips).maxSec(), 180);
}
