// Dragging a picked bone: its tip follows the pointer on the screen through
// its main and secondary angles; Shift twists it about its long axis.
#include "skeleton/BoneAim.h"

#include "tests/skeleton/PoseDragSupport.h"

using namespace pose_drag;
using skeleton_test::same;

namespace {

constexpr int RIGHT_FOREARM = 19, RIGHT_HAND = 20;

Pixel tipPixel(const ScreenProjection& view, const Bone& bone) {
    return pixelOf(view, bone.endPoint());
}

} // namespace

TEST(BoneAim, DragOfTheForearmReachesRandomReachablePixels) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    const std::vector<BonePose> rest = anglesOf(s);
    Bone& forearm = *s.boneAt(RIGHT_FOREARM);
    for (const View& v : views()) {
        SCOPED_TRACE(v.name);
        const ScreenProjection view = projectionFor(v, s);
        std::mt19937 random(19);
        int reached = 0;
        double worst = 0;
        for (int trial = 0; trial < 100; ++trial) {
            forearm.storeAngles(rest[RIGHT_FOREARM]);
            forearm.rebuildSubtree();
            // The pointer follows the tip's on-screen path toward a random
            // in-limits pose, as a user tracing the forearm would.
            const double from[2] = {forearm.mainAngle(), forearm.secAngle()};
            const std::vector<double> to = randomAngles({&forearm}, random);
            const ChainKinematics model({&forearm}, forearm);
            const int moves = 8;
            Pixel end;
            for (int k = 1; k <= moves; ++k) {
                const double between[2] = {from[0] + (to[0] - from[0]) * k / moves,
                                           from[1] + (to[1] - from[1]) * k / moves};
                end = pixelOf(view, model.tip(between));
                const std::vector<BonePose> before = anglesOf(s);
                aimBone(forearm, view, end.x, end.y);
                ASSERT_TRUE(withinLimits(s));
                ASSERT_TRUE(onlyTurned(before, s, {&forearm}));
                ASSERT_TRUE(skeleton_test::treeFollowsParents(s));
            }
            const double off = pixelDistance(tipPixel(view, forearm), end);
            reached += off <= 2;
            worst = std::max(worst, off);
        }
        std::printf("aim %s: %d of 100 within 2 px (worst %.2f px)\n", v.name.c_str(), reached,
                    worst);
        EXPECT_EQ(reached, 100);
    }
}

TEST(BoneAim, UnreachablePixelEndsNearestWithoutOscillating) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    Bone& forearm = *s.boneAt(RIGHT_FOREARM);
    const ScreenProjection view = projectionFor(views()[0], s);
    const BonePose start = forearm.pose();
    const Pixel corner{790, 590};
    double last = pixelDistance(tipPixel(view, forearm), corner);
    Pixel lastTip = tipPixel(view, forearm);
    // One iteration per call, so every single step is watched.
    for (int call = 0; call < 300; ++call) {
        const SolveReport r = aimBone(forearm, view, corner.x, corner.y, 1);
        const double now = pixelDistance(tipPixel(view, forearm), corner);
        ASSERT_LE(now, last + 1e-6) << "call " << call;
        ASSERT_TRUE(withinLimits(s));
        ASSERT_EQ(forearm.ownAngle(), start.z);
        EXPECT_NEAR(r.error, now, 1e-9);
        // Settled, not swinging between poses: the tip stands still.
        if (call >= 250) {
            EXPECT_LT(pixelDistance(tipPixel(view, forearm), lastTip), 1e-6) << "call " << call;
        }
        last = now;
        lastTip = tipPixel(view, forearm);
    }

    // Nothing around where it settled comes nearer, and nothing in the
    // whole range comes nearer by the share that would be worth a jump
    // (the bone does not flip to the far side of its swing for less).
    const ChainKinematics model({&forearm}, forearm);
    double nearby = INFINITY, anywhere = INFINITY;
    for (double main = forearm.minMain(); main <= forearm.maxMain(); main += 0.25)
        for (double sec = forearm.minSec(); sec <= forearm.maxSec(); sec += 0.25) {
            const double values[2] = {main, sec};
            const double d = pixelDistance(pixelOf(view, model.tip(values)), corner);
            anywhere = std::min(anywhere, d);
            if (std::fabs(main - forearm.mainAngle()) <= 5 &&
                std::fabs(sec - forearm.secAngle()) <= 5)
                nearby = std::min(nearby, d);
        }
    EXPECT_LE(last, nearby + 1e-6);
    EXPECT_LE(last * 0.8, anywhere);
    EXPECT_GT(last, 50) << "the corner was meant to be out of reach";
}

TEST(BoneAim, LeavesBonesWithoutLengthOrBehindTheEyeAlone) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    const std::vector<BonePose> before = anglesOf(s);
    const ScreenProjection view = projectionFor(views()[0], s);
    SolveReport r = aimBone(*s.rootBone(), view, 100, 100);
    EXPECT_EQ(r.startError, -1);
    EXPECT_FALSE(r.changed);

    // A free camera just past the forearm's tip, looking away from it.
    Camera away;
    away.eye = s.boneAt(RIGHT_FOREARM)->endPoint() + Vec3(0, 0, -0.05);
    away.freeYaw = -90; // looks along -z
    away.moveForward = true;
    away.update(0);
    r = aimBone(*s.boneAt(RIGHT_FOREARM), cameraProjection(away, 800, 600), 400, 300);
    EXPECT_EQ(r.startError, -1);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(anglesOf(s), before);
}

TEST(BoneAim, AnAngleOutsideItsLimitsNeverGoesFurtherOut) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    Bone& forearm = *s.boneAt(RIGHT_FOREARM); // main -150..0, sec -10..10
    forearm.storeAngles(BonePose(25, -30, forearm.ownAngle()));
    forearm.rebuildSubtree();
    const ScreenProjection view = projectionFor(views()[0], s);
    const Pixel tip = tipPixel(view, forearm);
    for (const Pixel& p : {Pixel{tip.x + 40, tip.y + 40}, Pixel{tip.x - 40, tip.y - 40},
                           Pixel{tip.x + 40, tip.y - 40}, Pixel{tip.x - 40, tip.y + 40}}) {
        aimBone(forearm, view, p.x, p.y);
        EXPECT_LE(forearm.mainAngle(), 25);
        EXPECT_GE(forearm.mainAngle(), -150);
        EXPECT_GE(forearm.secAngle(), -30);
        EXPECT_LE(forearm.secAngle(), 10);
    }
}

TEST(BoneAim, TwistFollowsTheHorizontalMovementWithinLimits) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    Bone& forearm = *s.boneAt(RIGHT_FOREARM); // own -80..80
    const BonePose start = forearm.pose();
    const Vec3 handBefore = s.boneAt(RIGHT_HAND)->frame().axisX;

    EXPECT_TRUE(twistBone(forearm, 10));
    EXPECT_EQ(forearm.ownAngle(), start.z + 10 * static_cast<double>(0.15f));
    EXPECT_EQ(forearm.mainAngle(), start.x);
    EXPECT_EQ(forearm.secAngle(), start.y);
    EXPECT_FALSE(same(s.boneAt(RIGHT_HAND)->frame().axisX, handBefore)) << "the hand turns along";
    EXPECT_TRUE(skeleton_test::treeFollowsParents(s));

    // Far past the limit: it stops there instead of refusing the turn.
    EXPECT_TRUE(twistBone(forearm, -5000));
    EXPECT_EQ(forearm.ownAngle(), forearm.minOwn());
    EXPECT_FALSE(twistBone(forearm, -1));
    EXPECT_TRUE(twistBone(forearm, 2, 1.5));
    EXPECT_EQ(forearm.ownAngle(), forearm.minOwn() + 3);

    const BonePose held = forearm.pose();
    EXPECT_FALSE(twistBone(forearm, 0));
    EXPECT_FALSE(twistBone(forearm, NAN));
    EXPECT_TRUE(same(forearm.pose(), held));
}

// A forearm straightened to its elbow limit, the pointer on its tip or a
// hair beyond: no pose brings the tip visibly closer, so the angles stay
// bit for bit instead of sliding along the limit for nothing to see.
TEST(BoneAim, NoTurnWithoutAVisibleGain) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    Bone& forearm = *s.boneAt(RIGHT_FOREARM);
    forearm.storeAngles(BonePose(forearm.maxMain(), 0, 0));
    forearm.rebuildSubtree();
    for (const View& v : views()) {
        SCOPED_TRACE(v.name);
        const ScreenProjection view = projectionFor(v, s);
        const Pixel joint = pixelOf(view, forearm.position());
        const Pixel tip = tipPixel(view, forearm);
        const BonePose before = forearm.pose();
        for (const double beyond : {0.0, 0.2, 0.4}) {
            const double length = pixelDistance(joint, tip);
            const double scale = (length + beyond) / length;
            aimBone(forearm, view, joint.x + (tip.x - joint.x) * scale,
                    joint.y + (tip.y - joint.y) * scale);
            EXPECT_TRUE(same(forearm.pose(), before)) << beyond << " px beyond";
        }
    }
}
