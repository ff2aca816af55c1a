// The solvers try angles on this model and write the chosen ones back: its
// tip must be the skeleton's own, to the bit, and its turning lines must be
// the true derivatives.
#include "skeleton/ChainKinematics.h"

#include "tests/skeleton/PoseDragSupport.h"

using namespace pose_drag;
using skeleton_test::same;

namespace {
constexpr int ROOT = 0, HEAD = 4, LEFT_FOOT = 8, LEFT_SHOULDER = 13, LEFT_FOREARM = 15,
              LEFT_HAND = 16, RIGHT_HAND = 20;
} // namespace

TEST(ChainKinematics, RefusesMoversOffTheLineOfDescent) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    Bone* b[21];
    for (int i = 0; i < 21; ++i)
        b[i] = s.boneAt(i);
    const Bone& hand = *b[LEFT_HAND];
    EXPECT_FALSE(ChainKinematics({}, hand).valid());
    EXPECT_FALSE(ChainKinematics({b[LEFT_FOOT]}, hand).valid()) << "not an ancestor";
    EXPECT_FALSE(ChainKinematics({b[LEFT_FOREARM], b[LEFT_FOREARM]}, hand).valid());
    EXPECT_FALSE(ChainKinematics({b[15], b[14], b[13], b[2]}, hand).valid()) << "four movers";
    EXPECT_FALSE(ChainKinematics({b[RIGHT_HAND]}, hand).valid());

    const ChainKinematics gap({b[15], b[13]}, hand);
    ASSERT_TRUE(gap.valid()) << "movers need not be neighbours";
    EXPECT_EQ(gap.variables(), 4);
    const ChainKinematics self({b[HEAD]}, *b[HEAD]);
    EXPECT_TRUE(self.valid());
    EXPECT_TRUE(ChainKinematics({b[ROOT]}, *b[1]).valid()) << "the root may move too";
}

TEST(ChainKinematics, TipIsTheSkeletonsOwnToTheBit) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    std::mt19937 random(5);
    const std::vector<std::pair<std::vector<int>, int>> cases = {{{15, 14, 13}, LEFT_HAND},
                                                                 {{7, 6, 5}, LEFT_FOOT},
                                                                 {{3, 2}, HEAD},
                                                                 {{19}, 19},
                                                                 {{14}, LEFT_HAND},
                                                                 {{0}, 1}};
    for (const auto& c : cases) {
        std::vector<Bone*> movers;
        for (int i : c.first)
            movers.push_back(s.boneAt(i));
        const Bone& end = *s.boneAt(c.second);
        SCOPED_TRACE(c.second);
        const ChainKinematics model(movers, end);
        ASSERT_TRUE(model.valid());
        for (int trial = 0; trial < 20; ++trial) {
            std::vector<double> values = randomAngles(movers, random);
            std::vector<BonePose> owns;
            for (const Bone* m : movers)
                owns.push_back(m->pose());
            const Vec3 predicted = model.tip(values.data());
            model.apply(values.data());
            EXPECT_TRUE(same(end.endPoint(), predicted));
            EXPECT_TRUE(skeleton_test::treeFollowsParents(s));
            std::vector<double> back(values.size());
            model.currentAngles(back.data());
            EXPECT_EQ(back, values);
            for (size_t m = 0; m < movers.size(); ++m)
                EXPECT_EQ(movers[m]->ownAngle(), owns[m].z);
        }
    }
}

TEST(ChainKinematics, TurnsAreTheTipsDerivatives) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    // Every main axis code the figure uses: x (forearm, shin, neck) and z
    // (upper arm, shoulder, thigh, hip).
    for (const auto& c : std::vector<std::pair<std::vector<int>, int>>{
             {{15, 14, 13}, LEFT_HAND}, {{7, 6, 5}, LEFT_FOOT}, {{3, 2}, HEAD}}) {
        std::vector<Bone*> movers;
        for (int i : c.first)
            movers.push_back(s.boneAt(i));
        const ChainKinematics model(movers, *s.boneAt(c.second));
        std::mt19937 random(c.second);
        for (int trial = 0; trial < 10; ++trial) {
            std::vector<double> values = randomAngles(movers, random);
            std::vector<ChainTurn> turns(values.size());
            const Vec3 tip = model.tip(values.data(), turns.data());
            for (size_t v = 0; v < values.size(); ++v) {
                // Central differences of a millidegree, away from the
                // rotation's skip of angles within 0.0001.
                const double h = 1e-3;
                std::vector<double> up = values, down = values;
                up[v] += h;
                down[v] -= h;
                const Vec3 numeric = (model.tip(up.data()) - model.tip(down.data())) / (2 * h);
                EXPECT_TRUE(skeleton_test::near(turns[v].changeOf(tip), numeric, 1e-8))
                    << "variable " << v;
                EXPECT_NEAR(turns[v].axis.length(), 1, 1e-12);
            }
        }
    }
    // Code 20 for a main axis turns about the bone itself; another code
    // names no axis and turns nothing.
    skeleton_test::Loaded odd =
        skeleton_test::loadText("RGCF\n0 1 0 0 0 0 -90 90 -90 90 -90 90 10\n"
                                "1 30 0 0 -90 90 -90 90 -90 90 20 0\n"
                                "1 30 0 0 -90 90 -90 90 -90 90 40 1\n");
    ASSERT_EQ(odd.skeleton->boneCount(), 3);
    Bone* a = odd.skeleton->boneAt(1);
    Bone* b = odd.skeleton->boneAt(2);
    ChainTurn turns[4];
    const double values[4] = {30, 0, 30, 0};
    ChainKinematics({b, a}, *b).tip(values, turns);
    EXPECT_TRUE(same(turns[0].axis, Vec3(0, 0, 0)));
    EXPECT_TRUE(skeleton_test::near(turns[2].axis, a->frame().axisY, 1e-12));
}

TEST(ChainKinematics, LimitsLetAnOutOfRangeAngleOnlyComeBack) {
    auto skeleton = defaultSkeleton();
    Skeleton& s = *skeleton;
    Bone& forearm = *s.boneAt(LEFT_FOREARM); // main -150..0, sec -10..10
    forearm.storeAngles(BonePose(20, -25, forearm.ownAngle()));
    forearm.rebuildSubtree();
    double low[2], high[2];
    ChainKinematics({&forearm}, forearm).limits(low, high);
    EXPECT_EQ(low[0], -150);
    EXPECT_EQ(high[0], 20);
    EXPECT_EQ(low[1], -25);
    EXPECT_EQ(high[1], 10);
    EXPECT_EQ(s.boneAt(LEFT_SHOULDER)->minMain(), 70) << "the figure's file changed";
}
