#include "skeleton/Bone.h"

#include "tests/skeleton/SkeletonTestSupport.h"

#include <limits>
#include <random>

using skeleton_test::near;
using skeleton_test::same;

namespace {

constexpr double WIDE = 1000;

// A lone root bone with the given main limits; sec and own are wide open.
struct Single {
    Vec3 joint{0, 0, 0};
    Bone bone;
    Single(double mainAngle, double minMain, double maxMain)
        : bone(joint, nullptr, AXIS_X, 0, minMain, maxMain, -WIDE, WIDE, -WIDE, WIDE, mainAngle, 0,
               0) {}
};

//   root (at `rootJoint`, length 0)
//    └─ a (main axis 30, length 2)
//        └─ b (main axis 10, length 1)
struct Chain {
    Vec3 rootJoint{1, 2, 3};
    Vec3 aJoint{0, 0, 0}, bJoint{0, 0, 0};
    Bone root{rootJoint, nullptr, AXIS_X, 0, -WIDE, WIDE, -WIDE, WIDE, -WIDE, WIDE, 0, 0, 0};
    Bone a{aJoint, &root, AXIS_Z, 2, -WIDE, WIDE, -WIDE, WIDE, -WIDE, WIDE, 0, 0, 0};
    Bone b{bJoint, &a, AXIS_X, 1, -WIDE, WIDE, -WIDE, WIDE, -WIDE, WIDE, 0, 0, 0};

    ::testing::AssertionResult follows() const {
        for (const Bone* bone : {&root, &a, &b}) {
            if (!skeleton_test::sameFrame(bone->frame(), skeleton_test::expectedFrame(*bone)))
                return ::testing::AssertionFailure() << "stale frame";
            if (bone->parent() && !same(bone->position(), bone->parent()->endPoint()))
                return ::testing::AssertionFailure() << "joint off its parent's tip";
        }
        return ::testing::AssertionSuccess();
    }
};

} // namespace

TEST(Bone, ConstructionStoresAnglesAsGivenAndJoinsTheParent) {
    Vec3 rootJoint(0, 1, 0), childJoint(9, 9, 9);
    // Rest angles outside their limits and beyond a full turn are kept.
    Bone root(rootJoint, nullptr, AXIS_X, 0, -10, 10, -10, 10, -10, 10, 400, -500, 20);
    EXPECT_EQ(root.mainAngle(), 400);
    EXPECT_EQ(root.secAngle(), -500);
    EXPECT_EQ(root.ownAngle(), 20);
    EXPECT_EQ(root.index(), -1);
    EXPECT_FALSE(root.selected());
    EXPECT_TRUE(root.children().empty());

    Bone child(childJoint, &root, AXIS_Z, 0.5, -90, 90, -90, 90, -90, 90, 0, 0, 0);
    ASSERT_EQ(root.children().size(), 1u);
    EXPECT_EQ(root.children()[0], &child);
    EXPECT_EQ(child.parent(), &root);
    EXPECT_TRUE(same(child.position(), root.endPoint()));
    EXPECT_EQ(&child.position(), &childJoint);
    EXPECT_TRUE(skeleton_test::sameFrame(child.frame(), skeleton_test::expectedFrame(child)));
}

TEST(BoneRotateBy, WrapsOnceAndKeepsInsideInclusiveLimits) {
    struct Case {
        double start, delta, minMain, maxMain, expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {355, 10, -WIDE, WIDE, 5},    // 365 wraps down once
        {-355, -10, -WIDE, WIDE, -5}, // -365 wraps up once
        {0, 400, -WIDE, WIDE, 40},    // one subtraction only
        {0, 800, -WIDE, WIDE, 440},   // ...so 800 stays beyond a turn
        {0, 360, -WIDE, WIDE, 0},     // exactly 360 wraps
        {0, -360, -WIDE, WIDE, 0},    //
        {89, 2, -90, 90, 89},         // would pass the maximum: refused
        {89, 1, -90, 90, 90},         // the limit itself is allowed
        {-89, -1, -90, 90, -90},      //
        {120, 5, -90, 90, 120},       // stored outside, still outside
        {120, -40, -90, 90, 80},      // ...moves once the result is inside
        {10, nan, -90, 90, 10},       // a NaN step is refused
        {350, 20, -90, 90, 10},       // the wrapped value is what is tested
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.delta);
        Single s(c.start, c.minMain, c.maxMain);
        EXPECT_TRUE(s.bone.rotateBy(c.delta, 0, 0));
        EXPECT_EQ(s.bone.mainAngle(), c.expected);
    }
}

TEST(BoneRotateBy, EachAngleIsRefusedOnItsOwn) {
    Vec3 joint(0, 0, 0);
    Bone bone(joint, nullptr, AXIS_X, 0, -90, 90, -45, 45, -10, 10, 89, 0, 9);
    EXPECT_TRUE(bone.rotateBy(2, 1, 2));
    EXPECT_EQ(bone.mainAngle(), 89);
    EXPECT_EQ(bone.secAngle(), 1);
    EXPECT_EQ(bone.ownAngle(), 9);
    // The frame is rebuilt even when an angle was refused.
    EXPECT_TRUE(skeleton_test::sameFrame(bone.frame(), skeleton_test::expectedFrame(bone)));
}

TEST(BoneRotateBy, RestAngleBeyondATurnWrapsAtTheFirstRebuild) {
    Vec3 rootJoint(0, 0, 0), joint(0, 0, 0);
    Bone root(rootJoint, nullptr, AXIS_X, 0, -WIDE, WIDE, -WIDE, WIDE, -WIDE, WIDE, 0, 0, 0);
    Bone bone(joint, &root, AXIS_Z, 1, -90, 90, -90, 90, -90, 90, 400, 0, 0);
    const AxisFrame before = bone.frame();
    // The parent's zero step rebuilds the child, which wraps 400 to 40.
    // The shortened pi makes 360 degrees not quite a full turn, hence the
    // tolerance.
    root.rotateBy(0, 0, 0);
    EXPECT_EQ(bone.mainAngle(), 40);
    EXPECT_TRUE(near(bone.frame().axisY, before.axisY, 1e-11));
}

TEST(Bone, ChildrenFollowEveryParentChange) {
    Chain c;
    EXPECT_TRUE(c.follows());
    // Main axis 30 by 90 swings a's long axis onto world +x.
    c.a.rotateBy(90, 0, 0);
    EXPECT_TRUE(near(c.a.frame().axisY, Vec3(1, 0, 0), 1e-12));
    EXPECT_TRUE(near(c.a.endPoint(), c.rootJoint + Vec3(2, 0, 0), 1e-11));
    EXPECT_TRUE(same(c.b.position(), c.a.endPoint()));
    EXPECT_TRUE(c.follows());

    c.root.rotateBy(30, 20, -15);
    EXPECT_TRUE(c.follows());
    c.a.setAngles(-45, 10, 5);
    EXPECT_EQ(c.a.mainAngle(), -45);
    EXPECT_TRUE(c.follows());
    c.b.rotateBy(12, 0, 3);
    EXPECT_TRUE(c.follows());
}

TEST(Bone, SetAnglesToCurrentValuesRebuildsTheSubtree) {
    Chain c;
    c.a.rotateBy(30, 0, 0);
    c.bJoint = Vec3(100, 100, 100); // knocked off its parent's tip
    c.a.setAngles(c.a.mainAngle(), c.a.secAngle(), c.a.ownAngle());
    EXPECT_EQ(c.a.mainAngle(), 30);
    EXPECT_TRUE(c.follows());
}

TEST(Bone, SetAnglesAppliesWrapAndLimitsToTheTargets) {
    Single s(0, -90, 90);
    s.bone.setAngles(400, 0, 0); // a 400 step wraps to 40
    EXPECT_EQ(s.bone.mainAngle(), 40);
    s.bone.setAngles(95, 0, 0);
    EXPECT_EQ(s.bone.mainAngle(), 40);
}

TEST(Bone, MoveByAndSetPositionWorkOnTheRootOnly) {
    {
        Chain c;
        const Vec3 bBefore = c.b.position();
        EXPECT_TRUE(c.root.moveBy(0, 0.3, 0));
        EXPECT_TRUE(near(c.rootJoint, Vec3(1, 2.3, 3), 1e-15));
        EXPECT_TRUE(near(c.b.position(), bBefore + Vec3(0, 0.3, 0), 1e-12));
        EXPECT_TRUE(c.follows());
    }
    {
        Chain c;
        EXPECT_TRUE(c.root.setPosition(-1, 0.5, 4));
        EXPECT_TRUE(same(c.rootJoint, Vec3(-1, 0.5, 4)));
        EXPECT_TRUE(c.follows());
    }
    {
        Chain c;
        c.a.rotateBy(20, 0, 0);
        const Vec3 aBefore = c.a.position(), bBefore = c.b.position();
        const AxisFrame frameBefore = c.b.frame();
        EXPECT_FALSE(c.a.moveBy(0, 0.3, 0));
        EXPECT_FALSE(c.b.setPosition(5, 5, 5));
        EXPECT_TRUE(same(c.a.position(), aBefore));
        EXPECT_TRUE(same(c.b.position(), bBefore));
        EXPECT_TRUE(skeleton_test::sameFrame(c.b.frame(), frameBefore));
    }
}

TEST(Bone, TooShortOrNegativeLengthPutsTheTipAtTheJoint) {
    for (double length : {0.0, 0.00005, -2.0}) {
        SCOPED_TRACE(length);
        Vec3 rootJoint(0, 1, 0), joint(0, 0, 0), childJoint(0, 0, 0);
        Bone root(rootJoint, nullptr, AXIS_X, 0, -WIDE, WIDE, -WIDE, WIDE, -WIDE, WIDE, 0, 0, 0);
        Bone bone(joint, &root, AXIS_Z, length, -WIDE, WIDE, -WIDE, WIDE, -WIDE, WIDE, 30, 0, 0);
        Bone child(childJoint, &bone, AXIS_X, 1, -WIDE, WIDE, -WIDE, WIDE, -WIDE, WIDE, 0, 0, 0);
        EXPECT_TRUE(same(bone.endPoint(), bone.position()));
        EXPECT_TRUE(same(child.position(), bone.position()));
    }
    {
        // A usable length is taken at single precision.
        Vec3 joint(0, 0, 0);
        Bone bone(joint, nullptr, AXIS_X, 0.1, -WIDE, WIDE, -WIDE, WIDE, -WIDE, WIDE, 0, 0, 0);
        EXPECT_EQ(bone.endPoint().y, static_cast<double>(0.1f));
    }
}

TEST(Bone, EveryOperationOnTheDefaultSkeletonKeepsTheTreeInStep) {
    Skeleton skeleton(skeleton_test::defaultSkeletonPath(), 0, 0.5, 0);
    ASSERT_EQ(skeleton.boneCount(), POSE_BONE_COUNT);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> pickBone(0, POSE_BONE_COUNT - 1), pickOperation(0, 3);
    std::uniform_real_distribution<double> step(-40, 40);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 500; ++i) {
        Bone& bone = *skeleton.boneAt(pickBone(random));
        switch (pickOperation(random)) {
        case 0:
            bone.rotateBy(step(random), step(random), step(random));
            break;
        case 1:
            bone.setAngles(step(random), step(random), step(random));
            break;
        case 2:
            EXPECT_EQ(bone.moveBy(0.01, step(random) / 100, 0), bone.parent() == nullptr);
            break;
        default:
            EXPECT_EQ(bone.setPosition(0, step(random) / 10, 0), bone.parent() == nullptr);
            break;
        }
        ASSERT_TRUE(skeleton_test::treeFollowsParents(skeleton)) << "after step " << i;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(Bone, HundredThousandRandomRotationsKeepEveryFrameOrthonormal) {
    Skeleton skeleton(skeleton_test::defaultSkeletonPath(), 0, 0.5, 0);
    ASSERT_EQ(skeleton.boneCount(), POSE_BONE_COUNT);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> pickBone(0, POSE_BONE_COUNT - 1);
    std::uniform_real_distribution<double> step(-25, 25);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 100000; ++i)
        skeleton.boneAt(pickBone(random))->rotateBy(step(random), step(random), step(random));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (int i = 0; i < skeleton.boneCount(); ++i)
        EXPECT_TRUE(skeleton_test::orthonormal(skeleton.boneAt(i)->frame(), 1e-6)) << "bone " << i;
}
