// A pose taken from a skeleton and put back must leave the skeleton exactly
// as it was: the undo history and the pose tools depend on it.
#include "skeleton/SkeletonPose.h"
#include "tests/skeleton/SkeletonTestSupport.h"

#include <vector>

using namespace skeleton_test;

namespace {

struct Snapshot {
    std::vector<AxisFrame> frames;
    std::vector<Vec3> joints;
};

Snapshot snapshot(const Skeleton& s) {
    Snapshot out;
    for (int i = 0; i < s.boneCount(); ++i) {
        out.frames.push_back(s.boneAt(i)->frame());
        out.joints.push_back(s.boneAt(i)->position());
    }
    return out;
}

::testing::AssertionResult sameBits(const Snapshot& a, const Snapshot& b) {
    for (size_t i = 0; i < a.frames.size(); ++i)
        if (!sameFrame(a.frames[i], b.frames[i]) || !same(a.joints[i], b.joints[i]))
            return ::testing::AssertionFailure() << "bone " << i << " differs";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(SkeletonPose, EmptyAndMismatchedSkeletonsAreRefused) {
    Loaded none = loadText("");
    SkeletonPose empty = SkeletonPose::capture(*none.skeleton);
    EXPECT_TRUE(empty.angles.empty());
    EXPECT_FALSE(empty.restore(*none.skeleton));

    Loaded full = loadFile(defaultSkeletonPath());
    const Vec3 root = full.skeleton->rootBone()->position();
    SkeletonPose shorter = SkeletonPose::capture(*full.skeleton);
    shorter.angles.pop_back();
    shorter.rootPosition = Vec3(5, 5, 5);
    EXPECT_FALSE(shorter.restore(*full.skeleton));
    EXPECT_TRUE(same(full.skeleton->rootBone()->position(), root))
        << "a refused restore must not move the root";
}

TEST(SkeletonPose, RestoreAfterManyTurnsIsBitForBit) {
    Loaded loaded = loadFile(defaultSkeletonPath());
    Skeleton& s = *loaded.skeleton;
    s.boneAt(14)->rotateBy(12.345678, -7.25, 3);
    s.rootBone()->moveBy(0, 0.3, 0);
    const SkeletonPose before = SkeletonPose::capture(s);
    const Snapshot shape = snapshot(s);

    // Wander far off through the normal operations, then come back.
    for (int i = 1; i < s.boneCount(); ++i)
        s.boneAt(i)->rotateBy(1.0 / 3 * i, -0.7, 0.11 * i);
    s.rootBone()->rotateBy(10, 33, -5);
    s.rootBone()->moveBy(0.1, -0.2, 0.3);
    ASSERT_NE(SkeletonPose::capture(s), before);

    ASSERT_TRUE(before.restore(s));
    EXPECT_EQ(SkeletonPose::capture(s), before);
    EXPECT_TRUE(sameBits(shape, snapshot(s)));
    EXPECT_TRUE(treeFollowsParents(s));
    // The camera orbits the skeleton's own root point, which moved in place.
    EXPECT_EQ(s.rootPosition(), &const_cast<Vec3&>(s.rootBone()->position()));
}

TEST(SkeletonPose, AnglesComeBackWithoutWrapOrLimits) {
    Loaded loaded = loadFile(defaultSkeletonPath());
    Skeleton& s = *loaded.skeleton;
    SkeletonPose pose = SkeletonPose::capture(s);
    // Values a bone may hold from its file: outside its limits, beyond 360.
    pose.angles[7] = BonePose(170, 0, 0);
    pose.angles[1] = BonePose(0, 400, 0);
    ASSERT_TRUE(pose.restore(s));
    EXPECT_EQ(s.boneAt(7)->mainAngle(), 170);
    EXPECT_EQ(s.boneAt(1)->secAngle(), 400);
    EXPECT_TRUE(treeFollowsParents(s));
}
