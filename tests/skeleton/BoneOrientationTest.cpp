// Solving a bone's three angles from a wanted orientation: the rebuild of
// the answer must give that orientation back, and among the many triples
// that do, the one nearest the reference inside the limits must come out.
#include "skeleton/BoneOrientation.h"

#include "tests/skeleton/SkeletonTestSupport.h"

#include <limits>
#include <random>

using skeleton_test::near;

namespace {

constexpr double WIDE = 1000;
constexpr double TURN = REBUILD_TURN;

// A lone bone: the solver reads only its main axis and limits.
struct Lone {
    Vec3 joint{0, 0, 0};
    Bone bone;
    explicit Lone(int axis, double minMain = -WIDE, double maxMain = WIDE, double minSec = -WIDE,
                  double maxSec = WIDE, double minOwn = -WIDE, double maxOwn = WIDE)
        : bone(joint, nullptr, axis, 1, minMain, maxMain, minSec, maxSec, minOwn, maxOwn, 0, 0, 0) {
    }
};

AxisFrame randomFrame(std::mt19937& rng) {
    std::uniform_real_distribution<double> angle(-180, 180);
    AxisFrame f;
    f.rotate(angle(rng), AXIS_Y);
    f.rotate(angle(rng), AXIS_X);
    f.rotate(angle(rng), AXIS_Z);
    f.rotate(angle(rng), AXIS_Y);
    return f;
}

::testing::AssertionResult nearFrame(const AxisFrame& a, const AxisFrame& b, double tolerance) {
    if (near(a.axisX, b.axisX, tolerance) && near(a.axisY, b.axisY, tolerance) &&
        near(a.axisZ, b.axisZ, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "axes differ: x " << near(a.axisX, b.axisX, tolerance).message() << ", y "
           << near(a.axisY, b.axisY, tolerance).message() << ", z "
           << near(a.axisZ, b.axisZ, tolerance).message();
}

// Solves for `wanted` and checks that the rebuild of the answer gives it.
::testing::AssertionResult reaches(const Bone& bone, const AxisFrame& parent,
                                   const AxisFrame& wanted, const BonePose& reference,
                                   BonePose* solved = nullptr) {
    const BonePose angles = solveBoneAngles(bone, parent, wanted, reference);
    if (solved)
        *solved = angles;
    return nearFrame(Bone::frameOn(parent, bone.mainAxis(), angles), wanted, 1e-9)
           << " for angles (" << angles.x << ", " << angles.y << ", " << angles.z << ")";
}

} // namespace

TEST(SolveBoneAngles, BrokenInputGivesTheReferenceInsideTheLimits) {
    Lone lone(AXIS_X, -10, 10, -20, 20, -30, 30);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    AxisFrame broken;
    broken.axisY.x = nan;
    const BonePose r = solveBoneAngles(lone.bone, AxisFrame(), broken, BonePose(50, 5, -50));
    EXPECT_TRUE(near(r, BonePose(10, 5, -30), 0));

    // A reference that is not a number counts as 0.
    const BonePose rest = solveBoneAngles(lone.bone, AxisFrame(), AxisFrame(), BonePose(nan, 0, 0));
    EXPECT_TRUE(near(rest, BonePose(0, 0, 0), 0));

    // A code that names no axis turns nothing: main keeps its reference and
    // sec and own still reach a turn about y.
    Lone none(0);
    AxisFrame turned;
    turned.rotate(70, AXIS_Y);
    BonePose solved;
    EXPECT_TRUE(reaches(none.bone, AxisFrame(), turned, BonePose(12, 0, 0), &solved));
    EXPECT_EQ(solved.x, 12);
}

TEST(SolveBoneAngles, RebuildGivesTheWantedFrameForEachMainAxis) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> angle(-180, 180);
    for (int axis : {AXIS_X, AXIS_Z}) {
        Lone lone(axis);
        for (int n = 0; n < 2000; ++n) {
            const AxisFrame parent = randomFrame(rng);
            const BonePose reference(angle(rng), angle(rng), angle(rng));
            ASSERT_TRUE(reaches(lone.bone, parent, randomFrame(rng), reference))
                << "axis " << axis << ", case " << n;
        }
        // The long axis on the parent's y axis, straight or reversed (main
        // 0 or 180), where sec and own turn about one line.
        for (double main : {0.0, 180.0, -180.0, 1e-7 * 180 / DEG_PI})
            for (int n = 0; n < 50; ++n) {
                const AxisFrame parent = randomFrame(rng);
                const BonePose target(main, angle(rng), angle(rng));
                ASSERT_TRUE(reaches(lone.bone, parent, Bone::frameOn(parent, axis, target),
                                    BonePose(angle(rng), angle(rng), angle(rng))))
                    << "axis " << axis << ", main " << main;
            }
    }
    // With main axis 20 only turns about the parent's y axis are reachable.
    Lone about(AXIS_Y);
    for (int n = 0; n < 500; ++n) {
        const AxisFrame parent = randomFrame(rng);
        const BonePose target(angle(rng), angle(rng), angle(rng));
        BonePose solved;
        ASSERT_TRUE(reaches(about.bone, parent, Bone::frameOn(parent, AXIS_Y, target),
                            BonePose(angle(rng), angle(rng), angle(rng)), &solved));
    }
}

TEST(SolveBoneAngles, TakesTheSolutionNearestTheReference) {
    for (int axis : {AXIS_X, AXIS_Z}) {
        SCOPED_TRACE(axis);
        Lone lone(axis);
        std::mt19937 rng(3);
        const AxisFrame parent = randomFrame(rng);
        const BonePose angles(40, 25, -30);
        const AxisFrame wanted = Bone::frameOn(parent, axis, angles);
        BonePose r;
        // The reference picks the family...
        ASSERT_TRUE(reaches(lone.bone, parent, wanted, BonePose(35, 30, -20), &r));
        EXPECT_TRUE(near(r, angles, 1e-9));
        ASSERT_TRUE(reaches(lone.bone, parent, wanted, BonePose(-35, 200, 140), &r));
        EXPECT_TRUE(near(r, BonePose(-40, 25 + TURN / 2, -30 + TURN / 2), 1e-9));
        // ...and the turn of each angle.
        ASSERT_TRUE(reaches(lone.bone, parent, wanted, BonePose(400, -330, -30), &r));
        EXPECT_TRUE(near(r, BonePose(40 + TURN, 25 - TURN, -30), 1e-9));

        // Main 0: sec and own share the turn the reference misses, unless
        // one of them is 0 there, which stays 0.
        const AxisFrame straight = Bone::frameOn(parent, axis, BonePose(0, 30, 10));
        ASSERT_TRUE(reaches(lone.bone, parent, straight, BonePose(0, 20, 10), &r));
        EXPECT_TRUE(near(r, BonePose(0, 25, 15), 1e-9));
        ASSERT_TRUE(reaches(lone.bone, parent, straight, BonePose(0, 0, 10), &r));
        EXPECT_TRUE(near(r, BonePose(0, 0, 40), 1e-9));
        // Main 180: only sec - own is fixed.
        const AxisFrame reversed = Bone::frameOn(parent, axis, BonePose(180, 30, 10));
        ASSERT_TRUE(reaches(lone.bone, parent, reversed, BonePose(180, 20, 10), &r));
        EXPECT_TRUE(near(r, BonePose(180, 25, 5), 1e-9));

        // The rebuild skips angles within the tolerance of 0, so every value
        // there is exact: the reference's own value comes back, or plain 0.
        const AxisFrame skipped = Bone::frameOn(parent, axis, BonePose(30, 5e-5, 20));
        ASSERT_TRUE(reaches(lone.bone, parent, skipped, BonePose(30, -3e-5, 20), &r));
        EXPECT_EQ(r.y, -3e-5);
        ASSERT_TRUE(reaches(lone.bone, parent, skipped, BonePose(30, 7, 20), &r));
        EXPECT_EQ(r.y, 0);
    }
    // Main axis 20: the three angles share what the reference misses.
    Lone about(AXIS_Y);
    const AxisFrame turned = Bone::frameOn(AxisFrame(), AXIS_Y, BonePose(10, 20, 30));
    BonePose r;
    ASSERT_TRUE(reaches(about.bone, AxisFrame(), turned, BonePose(10, 20, 0), &r));
    EXPECT_TRUE(near(r, BonePose(25, 35, 0), 1e-9));
}

TEST(SolveBoneAngles, StaysInsideTheLimits) {
    std::mt19937 rng(5);
    const AxisFrame parent = randomFrame(rng);
    // The other family lies inside the limits: it is exact and chosen.
    Lone negative(AXIS_X, -90, -10);
    const AxisFrame wanted = Bone::frameOn(parent, AXIS_X, BonePose(40, 25, -30));
    BonePose r;
    ASSERT_TRUE(reaches(negative.bone, parent, wanted, BonePose(0, 0, 0), &r));
    EXPECT_TRUE(near(r, BonePose(-40, 25 - TURN / 2, -30 + TURN / 2), 1e-9));

    // No exact solution inside: main stops at its limit, the bearing (sec)
    // and the twist (own) stay what they were.
    Lone knee(AXIS_X, 0, 60, -WIDE, WIDE, -WIDE, WIDE);
    const AxisFrame far = Bone::frameOn(parent, AXIS_X, BonePose(80, 20, 10));
    r = solveBoneAngles(knee.bone, parent, far, BonePose(50, 20, 10));
    EXPECT_TRUE(near(r, BonePose(60, 20, 10), 1e-9));
    // Every angle clamped at once, none past its limit.
    Lone tight(AXIS_Z, -5, 5, -5, 5, -5, 5);
    for (int n = 0; n < 200; ++n) {
        r = solveBoneAngles(tight.bone, parent, randomFrame(rng), BonePose(0, 0, 0));
        ASSERT_TRUE(r.x >= -5 && r.x <= 5 && r.y >= -5 && r.y <= 5 && r.z >= -5 && r.z <= 5);
    }
    // Own at -90 of -90 to 90: the other family has own at +90, also
    // inside. Rounding a hair past a limit must not decide between them.
    Lone atLimit(AXIS_X, -90, 90, -WIDE, WIDE, -90, 90);
    const AxisFrame edge = Bone::frameOn(parent, AXIS_X, BonePose(30, 10, -90));
    ASSERT_TRUE(reaches(atLimit.bone, parent, edge, BonePose(30, 10, -90), &r));
    EXPECT_TRUE(near(r, BonePose(30, 10, -90), 1e-9));
}
