// Ctrl-drag of a hand, foot or the head: the chain above it turns so the
// tip follows the pointer in the plane that faces the camera.
#include "skeleton/ChainIk.h"

#include "skeleton/BoneAim.h"
#include "skeleton/SkeletonPose.h"
#include "tests/skeleton/PoseDragSupport.h"

using namespace pose_drag;
using skeleton_test::same;

namespace {

constexpr int HEAD = 4, LEFT_FOOT = 8, RIGHT_FOOT = 12, LEFT_HAND = 16, RIGHT_HAND = 20;

// Where `leaf`'s tip would be with the chain's angles set to `values`.
Vec3 tipFor(const std::vector<Bone*>& chain, const Bone& leaf, const std::vector<double>& values) {
    return ChainKinematics(chain, leaf).tip(values.data());
}

// A seeded reachable pointer target for a drag of `leaf` from its present
// pose: the projection of the tip of a random in-limits chain pose whose
// tip lies (within `band` scene units) on the drag plane, the plane through
// the present tip that faces the camera. Also the pointer's path there: the
// projected tip along the straight way in angles, as a user would follow
// the hand on the screen, `moves` mouse moves long.
struct Drag {
    std::vector<Pixel> path;
    Pixel end;
};

Drag reachableDrag(const ScreenProjection& view, const std::vector<Bone*>& chain, const Bone& leaf,
                   std::mt19937& random, int moves, double band) {
    Vec3 normal;
    EXPECT_TRUE(view.viewDirection(normal));
    const Vec3 start = leaf.endPoint();
    std::vector<double> from(2 * chain.size());
    ChainKinematics(chain, leaf).currentAngles(from.data());
    for (;;) {
        const std::vector<double> to = randomAngles(chain, random);
        const Vec3 tip = tipFor(chain, leaf, to);
        if (std::fabs((tip - start).dot(normal)) > band)
            continue;
        Drag drag;
        for (int k = 1; k <= moves; ++k) {
            std::vector<double> between(to.size());
            for (size_t i = 0; i < to.size(); ++i)
                between[i] = from[i] + (to[i] - from[i]) * k / moves;
            drag.path.push_back(pixelOf(view, tipFor(chain, leaf, between)));
        }
        drag.end = drag.path.back();
        return drag;
    }
}

} // namespace

TEST(ChainIk, DragOfEachHandAndFootReachesRandomReachablePoints) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    const SkeletonPose rest = SkeletonPose::capture(s);
    for (const View& v : views()) {
        const ScreenProjection view = projectionFor(v, s);
        for (int leafIndex : {LEFT_HAND, RIGHT_HAND, LEFT_FOOT, RIGHT_FOOT, HEAD}) {
            SCOPED_TRACE(v.name + ", bone " + std::to_string(leafIndex));
            const Bone& leaf = *s.boneAt(leafIndex);
            const std::vector<Bone*> chain = ikChain(leaf);
            std::mt19937 random(1000 + leafIndex);
            int reached = 0;
            double worst = 0;
            for (int trial = 0; trial < 100; ++trial) {
                ASSERT_TRUE(rest.restore(s));
                const Drag drag = reachableDrag(view, chain, leaf, random, 8, 0.005);
                for (const Pixel& p : drag.path) {
                    const std::vector<BonePose> before = anglesOf(s);
                    dragChain(leaf, view, p.x, p.y);
                    ASSERT_TRUE(withinLimits(s));
                    ASSERT_TRUE(onlyTurned(before, s, chain));
                }
                const double off = pixelDistance(pixelOf(view, leaf.endPoint()), drag.end);
                reached += off <= 2;
                worst = std::max(worst, off);
            }
            std::printf("%s bone %d: %d of 100 within 2 px (worst %.2f px)\n", v.name.c_str(),
                        leafIndex, reached, worst);
            EXPECT_GE(reached, 95);
        }
    }
}

TEST(ChainIk, ChainsOfTheDefaultFigure) {
    auto skeleton = defaultSkeleton();
    const Skeleton& s = *skeleton;
    auto indices = [&](int leaf) {
        std::vector<int> out;
        for (const Bone* b : ikChain(*s.boneAt(leaf)))
            out.push_back(b->index());
        return out;
    };
    EXPECT_EQ(indices(LEFT_HAND), (std::vector<int>{15, 14, 13}));
    EXPECT_EQ(indices(RIGHT_HAND), (std::vector<int>{19, 18, 17}));
    EXPECT_EQ(indices(LEFT_FOOT), (std::vector<int>{7, 6, 5}));
    EXPECT_EQ(indices(RIGHT_FOOT), (std::vector<int>{11, 10, 9}));
    EXPECT_EQ(indices(HEAD), (std::vector<int>{3, 2}));
    EXPECT_TRUE(indices(19).empty()) << "a forearm has a child";
    EXPECT_TRUE(indices(0).empty());
}

TEST(ChainIk, ChainRuleOnAHandBuiltTree) {
    //   0 root ─ 1 ─┬─ 2 ─ 3 ─ 4 ─ 5
    //               └─ 6
    //   0 root ─ 7
    const std::string wide = " -90 90 -90 90 -90 90 ";
    std::string text = "RGCF\n0 1 0 0 0 0" + wide + "10\n";
    for (int parent : {0, 1, 2, 3, 4, 1, 0})
        text += "0.2 10 0 0" + wide + "10 " + std::to_string(parent) + "\n";
    skeleton_test::Loaded l = skeleton_test::loadText(text);
    ASSERT_EQ(l.skeleton->boneCount(), 8);
    auto indices = [&](int leaf) {
        std::vector<int> out;
        for (const Bone* b : ikChain(*l.skeleton->boneAt(leaf)))
            out.push_back(b->index());
        return out;
    };
    EXPECT_EQ(indices(5), (std::vector<int>{4, 3, 2})) << "three bones at most";
    EXPECT_EQ(indices(6), (std::vector<int>{1})) << "the root never joins";
    EXPECT_TRUE(indices(7).empty()) << "only the root above";
    EXPECT_TRUE(indices(4).empty()) << "not an end";
}

TEST(ChainIk, DragPlaneTargetLiesOnThePlaneUnderThePointer) {
    auto skeleton = defaultSkeleton();
    const Skeleton& s = *skeleton;
    for (const View& v : views()) {
        SCOPED_TRACE(v.name);
        const ScreenProjection view = projectionFor(v, s);
        Vec3 normal;
        ASSERT_TRUE(view.viewDirection(normal));
        const Vec3 tip = s.boneAt(LEFT_HAND)->endPoint();
        const Pixel at = pixelOf(view, tip);
        Vec3 target;
        ASSERT_TRUE(dragPlaneTarget(view, tip, at.x, at.y, target));
        EXPECT_TRUE(skeleton_test::near(target, tip, 1e-9)) << "the pointer on the tip";
        for (const Pixel& p : {Pixel{at.x + 37, at.y - 12}, Pixel{5, 595}, Pixel{400, 300}}) {
            ASSERT_TRUE(dragPlaneTarget(view, tip, p.x, p.y, target));
            EXPECT_NEAR((target - tip).dot(normal), 0, 1e-9);
            EXPECT_LT(pixelDistance(pixelOf(view, target), p), 1e-6);
        }
    }
    // A plane behind the eye is never met.
    const ScreenProjection view = projectionFor(views()[0], s);
    Vec3 normal, origin, direction;
    ASSERT_TRUE(view.viewDirection(normal));
    ASSERT_TRUE(view.rayAt(400, 300, origin, direction));
    Vec3 target(1, 2, 3);
    EXPECT_FALSE(dragPlaneTarget(view, origin - normal, 400, 300, target));
    EXPECT_TRUE(same(target, Vec3(1, 2, 3)));
}

TEST(ChainIk, UnreachableTargetEndsNearestWithoutOscillating) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    for (int leafIndex : {RIGHT_HAND, LEFT_FOOT}) {
        SCOPED_TRACE(leafIndex);
        const Bone& leaf = *s.boneAt(leafIndex);
        const std::vector<Bone*> chain = ikChain(leaf);
        const std::vector<BonePose> before = anglesOf(s);
        // Well out of reach, off to the side and in front.
        const Vec3 target = leaf.endPoint() + Vec3(leafIndex == RIGHT_HAND ? -1.5 : 1.5, 0.8, 1);
        double last = (leaf.endPoint() - target).length();
        Vec3 lastTip = leaf.endPoint();
        // One iteration per call at first, so every single step is watched;
        // then whole mouse moves' worth.
        for (int call = 0; call < 160; ++call) {
            const SolveReport r =
                solveChain(chain, leaf, target, call < 100 ? 1 : IK_MAX_ITERATIONS);
            const double now = (leaf.endPoint() - target).length();
            ASSERT_LE(now, last + 1e-6) << "call " << call;
            ASSERT_TRUE(withinLimits(s));
            EXPECT_NEAR(r.error, now, 1e-12);
            // Settled, not swinging between poses: the tip stands still.
            if (call >= 150) {
                EXPECT_LT((leaf.endPoint() - lastTip).length(), 1e-7) << "call " << call;
            }
            last = now;
            lastTip = leaf.endPoint();
        }
        EXPECT_TRUE(onlyTurned(before, s, chain));

        // No in-limits pose of the chain comes nearer than where it settled.
        const ChainKinematics model(chain, leaf);
        std::mt19937 random(3);
        double nearest = INFINITY;
        for (int trial = 0; trial < 20000; ++trial)
            nearest = std::min(
                nearest, (tipFor(chain, leaf, randomAngles(chain, random)) - target).length());
        EXPECT_LE(last, nearest + 1e-9);
        EXPECT_GT(last, 0.3) << "the target was meant to be out of reach";
    }
}

TEST(ChainIk, RefusesChainsThatDoNotCarryTheLeaf) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    const std::vector<BonePose> before = anglesOf(s);
    const Bone& hand = *s.boneAt(LEFT_HAND);
    const Vec3 target = hand.endPoint() + Vec3(0.1, 0.1, 0.1);
    std::vector<Bone*> legs = ikChain(*s.boneAt(LEFT_FOOT));
    std::vector<Bone*> four = ikChain(hand);
    four.push_back(s.boneAt(2));
    for (const std::vector<Bone*>& chain : {std::vector<Bone*>{}, legs, four}) {
        const SolveReport r = solveChain(chain, hand, target);
        EXPECT_EQ(r.startError, -1);
        EXPECT_FALSE(r.changed);
    }
    const ScreenProjection view = projectionFor(views()[0], s);
    EXPECT_EQ(dragChain(*s.boneAt(19), view, 300, 300).startError, -1) << "not an end";
    EXPECT_EQ(anglesOf(s), before);
}

TEST(ChainIk, UndoOfADragRestoresThePoseByteForByte) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    s.boneAt(14)->rotateBy(12.5, -3.25, 7);
    struct Shape {
        std::vector<AxisFrame> frames;
        std::vector<Vec3> joints;
    };
    auto shapeOf = [&]() {
        Shape out;
        for (int i = 0; i < s.boneCount(); ++i) {
            out.frames.push_back(s.boneAt(i)->frame());
            out.joints.push_back(s.boneAt(i)->position());
        }
        return out;
    };
    const SkeletonPose before = SkeletonPose::capture(s);
    const Shape shape = shapeOf();

    // What the editor does for one gesture of each kind: capture, drag.
    const ScreenProjection view = projectionFor(views()[0], s);
    const Pixel hand = pixelOf(view, s.boneAt(LEFT_HAND)->endPoint());
    for (int k = 1; k <= 10; ++k)
        dragChain(*s.boneAt(LEFT_HAND), view, hand.x + 6 * k, hand.y + 4 * k);
    const Pixel forearm = pixelOf(view, s.boneAt(19)->endPoint());
    aimBone(*s.boneAt(19), view, forearm.x - 30, forearm.y + 20);
    twistBone(*s.boneAt(HEAD), 40);
    ASSERT_NE(SkeletonPose::capture(s), before);

    ASSERT_TRUE(before.restore(s));
    EXPECT_EQ(SkeletonPose::capture(s), before);
    const Shape after = shapeOf();
    for (int i = 0; i < s.boneCount(); ++i) {
        EXPECT_TRUE(skeleton_test::sameFrame(after.frames[i], shape.frames[i])) << i;
        EXPECT_TRUE(same(after.joints[i], shape.joints[i])) << i;
    }
}
