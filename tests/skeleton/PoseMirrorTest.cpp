// Mirroring a pose left to right: partners found from the rest pose, every
// joint and tip on the mirror point of its partner's, every angle inside its
// limits, and mirroring twice giving the pose back.
#include "skeleton/PoseMirror.h"

#include "tests/skeleton/SkeletonTestSupport.h"

#include <map>
#include <random>
#include <regex>
#include <vector>

using namespace skeleton_test;

namespace {

// A pose with every angle drawn inside its bone's limits and the root moved.
SkeletonPose randomPose(const Skeleton& s, std::mt19937& rng) {
    auto in = [&](double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(rng); };
    SkeletonPose pose = SkeletonPose::capture(s);
    pose.rootPosition += Vec3(in(-1, 1), in(-0.5, 0.5), in(-1, 1));
    for (int i = 0; i < s.boneCount(); ++i) {
        const Bone& b = *s.boneAt(i);
        pose.angles[static_cast<size_t>(i)] = BonePose(
            in(b.minMain(), b.maxMain()), in(b.minSec(), b.maxSec()), in(b.minOwn(), b.maxOwn()));
    }
    return pose;
}

struct Points {
    std::vector<Vec3> joints, tips;
    std::vector<AxisFrame> frames;
};

Points pointsOf(const Skeleton& s) {
    Points p;
    for (int i = 0; i < s.boneCount(); ++i) {
        p.joints.push_back(s.boneAt(i)->position());
        p.tips.push_back(s.boneAt(i)->endPoint());
        p.frames.push_back(s.boneAt(i)->frame());
    }
    return p;
}

Vec3 mirrorPoint(const Vec3& p, const Vec3& root, const Vec3& normal) {
    return p - 2 * dot(p - root, normal) * normal;
}

// Both normals name the same plane.
::testing::AssertionResult samePlane(const Vec3& a, const Vec3& b) {
    return near(a, b, 1e-9) ? near(a, b, 1e-9) : near(a, -b, 1e-9);
}

// Mirrors `pose` and checks the image, then mirrors the image and checks
// that the pose comes back. `angleExact`: the angles come back too, not
// only the frames.
::testing::AssertionResult mirrorsAndComesBack(const PoseMirror& mirror, Skeleton& s,
                                               const SkeletonPose& pose, bool angleExact = true) {
    pose.restore(s);
    const Points source = pointsOf(s);
    const Vec3 normal = mirror.middlePlaneNormal(s);
    const Vec3 root = s.rootBone()->position();
    SkeletonPose once;
    if (!mirror.mirror(s, pose, once))
        return ::testing::AssertionFailure() << "refused";
    if (SkeletonPose::capture(s) != once)
        return ::testing::AssertionFailure() << "skeleton not left in the mirrored pose";
    if (!samePlane(mirror.middlePlaneNormal(s), normal))
        return ::testing::AssertionFailure() << "the image has another middle plane";
    const Points image = pointsOf(s);
    for (int j = 0; j < s.boneCount(); ++j) {
        const Bone& b = *s.boneAt(j);
        if (b.mainAngle() < b.minMain() || b.mainAngle() > b.maxMain() ||
            b.secAngle() < b.minSec() || b.secAngle() > b.maxSec() || b.ownAngle() < b.minOwn() ||
            b.ownAngle() > b.maxOwn())
            return ::testing::AssertionFailure() << "bone " << j << " outside its limits";
        const size_t i = static_cast<size_t>(mirror.partnerOf(j)), k = static_cast<size_t>(j);
        for (auto [mine, theirs] : {std::pair(image.joints[k], source.joints[i]),
                                    std::pair(image.tips[k], source.tips[i])})
            if (auto r = near(mine, mirrorPoint(theirs, root, normal), 1e-6); !r)
                return r << " at bone " << j;
    }
    SkeletonPose twice;
    if (!mirror.mirror(s, once, twice))
        return ::testing::AssertionFailure() << "refused the image";
    if (!same(twice.rootPosition, pose.rootPosition))
        return ::testing::AssertionFailure() << "the root moved";
    const Points back = pointsOf(s);
    for (size_t k = 0; k < pose.angles.size(); ++k) {
        if (angleExact) {
            if (auto r = near(twice.angles[k], pose.angles[k], 1e-6); !r)
                return r << " degrees at bone " << k;
        } else if (auto r = near(back.frames[k].axisZ, source.frames[k].axisZ, 1e-9); !r) {
            return r << " frame at bone " << k;
        } else if (auto r = near(back.tips[k], source.tips[k], 1e-9); !r) {
            return r << " tip at bone " << k;
        }
    }
    return ::testing::AssertionSuccess();
}

// The bone names the default file lists below its data, by index.
std::map<int, std::string> boneNames() {
    std::map<int, std::string> names;
    std::istringstream text(readText(defaultSkeletonPath()));
    const std::regex line(R"(^\s*(\d+) ([a-z][a-z ()]*)\s*$)");
    std::string l;
    for (int n = 0; std::getline(text, l); ++n) {
        std::smatch m;
        if (n >= 22 && std::regex_match(l, m, line))
            names[std::stoi(m[1])] = m[2];
    }
    return names;
}

} // namespace

TEST(PoseMirror, RefusesWithoutBonesOrSymmetry) {
    PoseMirror mirror;
    EXPECT_FALSE(mirror.ready());
    EXPECT_EQ(mirror.partnerOf(0), -1);

    Loaded empty = loadText("");
    EXPECT_FALSE(mirror.build(*empty.skeleton));
    EXPECT_EQ(mirror.reason(), "Mirror needs a loaded skeleton");

    // One forearm longer than the other.
    Loaded lopsided = loadFile(dataPath("asymmetric_arm.rgcf"));
    ASSERT_EQ(lopsided.skeleton->boneCount(), 21);
    EXPECT_FALSE(mirror.build(*lopsided.skeleton));
    EXPECT_EQ(mirror.reason(),
              "Mirror needs a left-right symmetric skeleton: bone 15 has no mirror partner");
    EXPECT_FALSE(mirror.ready());
    EXPECT_EQ(mirror.partnerOf(0), -1);
    SkeletonPose out;
    EXPECT_FALSE(mirror.mirror(*lopsided.skeleton, SkeletonPose::capture(*lopsided.skeleton), out));

    // Equal bones, but one knee bent at rest.
    std::string text = readText(defaultSkeletonPath());
    const std::string shin = "  0.44      0      0      0      0    150";
    const size_t at = text.rfind(shin);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, shin.size(), "  0.44     20      0      0      0    150");
    Loaded bent = loadText(text);
    EXPECT_FALSE(mirror.build(*bent.skeleton));
    EXPECT_NE(mirror.reason().find("bone 7 has no mirror partner"), std::string::npos);

    // Built, but handed a skeleton or pose of another size.
    Loaded full = loadFile(defaultSkeletonPath());
    ASSERT_TRUE(mirror.build(*full.skeleton));
    EXPECT_TRUE(mirror.reason().empty());
    SkeletonPose shorter = SkeletonPose::capture(*full.skeleton);
    shorter.angles.pop_back();
    EXPECT_FALSE(mirror.mirror(*full.skeleton, shorter, out));
    Loaded partial = loadText("RGCF\n0 1 0  0 0 0  -90 90 -90 90 -90 90  10\n");
    EXPECT_FALSE(mirror.mirror(*partial.skeleton, SkeletonPose::capture(*partial.skeleton), out));
}

TEST(PoseMirror, PairsTheDefaultFigureFromItsRestPose) {
    Loaded loaded = loadFile(defaultSkeletonPath());
    Skeleton& s = *loaded.skeleton;
    PoseMirror mirror;
    ASSERT_TRUE(mirror.build(s)) << mirror.reason();

    const std::map<int, std::string> names = boneNames();
    ASSERT_EQ(names.size(), 21u);
    std::map<std::string, int> byName;
    for (const auto& [index, name] : names)
        byName[name] = index;
    for (const auto& [index, name] : names) {
        SCOPED_TRACE(name);
        if (name.rfind("left ", 0) == 0)
            EXPECT_EQ(mirror.partnerOf(index), byName.at("right " + name.substr(5)));
        else if (name.rfind("right ", 0) == 0)
            EXPECT_EQ(mirror.partnerOf(index), byName.at("left " + name.substr(6)));
        else
            EXPECT_EQ(mirror.partnerOf(index), index);
    }
    EXPECT_EQ(mirror.partnerOf(21), -1);
    EXPECT_TRUE(samePlane(mirror.middlePlaneNormal(s), Vec3(1, 0, 0)));

    // The rest pose is its own mirror image.
    const SkeletonPose rest = SkeletonPose::capture(s);
    SkeletonPose image;
    ASSERT_TRUE(mirror.mirror(s, rest, image));
    for (size_t i = 0; i < rest.angles.size(); ++i)
        EXPECT_TRUE(near(image.angles[i], rest.angles[i], 1e-9)) << "bone " << i;
}

TEST(PoseMirror, DefaultLimitsAreMirrorImagesOfTheirPartners) {
    // A bone turning about x keeps its main angle in the mirror and negates
    // sec and own; one turning about z negates all three. The default file's
    // limits follow that rule, so an in-limits pose mirrors without clamping.
    Loaded loaded = loadFile(defaultSkeletonPath());
    Skeleton& s = *loaded.skeleton;
    PoseMirror mirror;
    ASSERT_TRUE(mirror.build(s));
    for (int j = 0; j < s.boneCount(); ++j) {
        const Bone& b = *s.boneAt(j);
        const Bone& p = *s.boneAt(mirror.partnerOf(j));
        SCOPED_TRACE(j);
        ASSERT_EQ(b.mainAxis(), p.mainAxis());
        if (b.mainAxis() == AXIS_X) {
            EXPECT_EQ(b.minMain(), p.minMain());
            EXPECT_EQ(b.maxMain(), p.maxMain());
        } else {
            EXPECT_EQ(b.minMain(), -p.maxMain());
            EXPECT_EQ(b.maxMain(), -p.minMain());
        }
        EXPECT_EQ(b.minSec(), -p.maxSec());
        EXPECT_EQ(b.maxSec(), -p.minSec());
        EXPECT_EQ(b.minOwn(), -p.maxOwn());
        EXPECT_EQ(b.maxOwn(), -p.minOwn());
    }
}

TEST(PoseMirror, RandomPosesLandOnTheMirrorPointsAndComeBack) {
    Loaded loaded = loadFile(defaultSkeletonPath());
    Skeleton& s = *loaded.skeleton;
    PoseMirror mirror;
    ASSERT_TRUE(mirror.build(s));
    std::mt19937 rng(1717);
    for (int n = 0; n < 1000; ++n)
        ASSERT_TRUE(mirrorsAndComesBack(mirror, s, randomPose(s, rng))) << "pose " << n;

    // Angles at their limits, and the dead band round 0 where the rebuild
    // skips an angle: the reference's own value survives both mirrors. Not
    // the root's sec: the mirror moves it by the plane's bearing, so from the
    // band it comes back as the 0 the rebuild turned by, and its limits -360
    // and 360 are one orientation, which comes back as one of them.
    for (int n = 0; n < 200; ++n) {
        SkeletonPose pose = randomPose(s, rng);
        for (int i = 0; i < s.boneCount(); ++i) {
            const Bone& b = *s.boneAt(i);
            BonePose& a = pose.angles[static_cast<size_t>(i)];
            const int pick = static_cast<int>(rng() % 4);
            a.x = pick == 0 ? b.minMain() : pick == 1 ? b.maxMain() : a.x;
            if (i > 0)
                a.y = pick == 2 ? 5e-5 : pick == 3 ? b.maxSec() : a.y;
            a.z = pick == 1 ? -9e-5 : pick == 2 ? b.minOwn() : a.z;
        }
        ASSERT_TRUE(mirrorsAndComesBack(mirror, s, pose)) << "edge pose " << n;
    }
}

TEST(PoseMirror, MiddlePlaneTurnsWithTheRoot) {
    Loaded loaded = loadFile(defaultSkeletonPath());
    Skeleton& s = *loaded.skeleton;
    PoseMirror mirror;
    ASSERT_TRUE(mirror.build(s));
    std::mt19937 rng(9);

    // Turned a quarter about the vertical: the plane turns along, so the
    // figure keeps facing where it faced.
    SkeletonPose pose = randomPose(s, rng);
    pose.angles[0] = BonePose(0, 90, 0);
    pose.restore(s);
    EXPECT_TRUE(samePlane(mirror.middlePlaneNormal(s), Vec3(0, 0, 1)));
    SkeletonPose image;
    ASSERT_TRUE(mirror.mirror(s, pose, image));
    EXPECT_TRUE(near(image.angles[0], BonePose(0, 90, 0), 1e-9));
    EXPECT_TRUE(mirrorsAndComesBack(mirror, s, pose));

    // Leaning: the left-right axis made horizontal.
    pose.angles[0] = BonePose(30, 200, -40);
    EXPECT_TRUE(mirrorsAndComesBack(mirror, s, pose));

    // Lying on its side, the left-right axis vertical: the plane is then
    // across the figure's forward axis, so its head stays where it is.
    pose.angles[0] = BonePose(90, 0, 90);
    pose.restore(s);
    EXPECT_TRUE(samePlane(mirror.middlePlaneNormal(s), Vec3(1, 0, 0)));
    const Vec3 head = s.boneAt(4)->endPoint();
    ASSERT_TRUE(mirror.mirror(s, pose, image));
    EXPECT_TRUE(
        near(s.boneAt(4)->endPoint(), mirrorPoint(head, pose.rootPosition, Vec3(1, 0, 0)), 1e-6));
    EXPECT_TRUE(mirrorsAndComesBack(mirror, s, pose));
}

TEST(PoseMirror, PairsBonesByTheirRestPoseNotTheirNumbers) {
    // The default figure with its bones in another order and the root
    // turned 30 degrees at rest.
    Loaded loaded = loadFile(dataPath("symmetric_reordered.rgcf"));
    Skeleton& s = *loaded.skeleton;
    PoseMirror mirror;
    ASSERT_TRUE(mirror.build(s)) << mirror.reason();
    const std::pair<int, int> pairs[] = {{1, 17}, {2, 18}, {3, 19}, {4, 20},
                                         {7, 13}, {8, 14}, {9, 15}, {10, 16}};
    for (auto [right, left] : pairs) {
        EXPECT_EQ(mirror.partnerOf(right), left);
        EXPECT_EQ(mirror.partnerOf(left), right);
    }
    for (int middle : {0, 5, 6, 11, 12})
        EXPECT_EQ(mirror.partnerOf(middle), middle);
    const Vec3 turned(std::cos(30 * DEG_PI / 180), 0, std::sin(30 * DEG_PI / 180));
    EXPECT_TRUE(samePlane(mirror.middlePlaneNormal(s), turned));

    std::mt19937 rng(30);
    for (int n = 0; n < 300; ++n)
        ASSERT_TRUE(mirrorsAndComesBack(mirror, s, randomPose(s, rng))) << "pose " << n;
}

TEST(PoseMirror, PartnersWithUnlikeRestAnglesStillMirror) {
    //   root ─┬─ left arm: turned 90 about z, out along +x
    //         └─ right arm: turned -90 about y then 90 about x, out along -x
    // Their rest frames mirror, but not angle for angle, so the image is
    // solved from frames alone; only the frames are sure to come back.
    const std::string wide = "  -180 180 -180 180 -180 180  ";
    Loaded loaded = loadText("RGCF\n0 1 0  0 0 0  -90 90 -360 360 -90 90  10\n"
                             "0.5  90 0 0" +
                             wide + "30  0\n0.5  90 -90 0" + wide + "10  0\n");
    Skeleton& s = *loaded.skeleton;
    ASSERT_EQ(s.boneCount(), 3);
    PoseMirror mirror;
    ASSERT_TRUE(mirror.build(s)) << mirror.reason();
    EXPECT_EQ(mirror.partnerOf(1), 2);
    std::mt19937 rng(4);
    for (int n = 0; n < 300; ++n)
        ASSERT_TRUE(mirrorsAndComesBack(mirror, s, randomPose(s, rng), false)) << "pose " << n;
}
