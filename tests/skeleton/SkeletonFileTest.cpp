#include "skeleton/Skeleton.h"

#include "tests/skeleton/SkeletonTestSupport.h"

#include <climits>
#include <random>
#include <vector>

using skeleton_test::dataPath;
using skeleton_test::Loaded;
using skeleton_test::loadFile;
using skeleton_test::loadText;

namespace {

const std::string CANNOT_OPEN = "Could not read skeleton config file\n";
const std::string BAD_HEADER = "Incorrect file header (RGCF expected)\n";
const std::string BAD_PARENT = "Error: bone initialized to an non-existing parent!\n";

std::string malformed(int bone) {
    return "Error: skeleton config file ends early or holds a malformed number (bone " +
           std::to_string(bone) + ")\n";
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string joined(const std::vector<std::string>& ls) {
    std::string text;
    for (const std::string& l : ls)
        text += l + "\n";
    return text;
}

// The reference human figure, a fixed copy kept with the test data.
std::string humanText() {
    return skeleton_test::readText(dataPath("human.rgcf"));
}

// The human figure with one field of bone line `bone` (1 to 20) replaced.
std::string withBoneField(int bone, int field, const std::string& value) {
    std::vector<std::string> ls = lines(humanText());
    std::istringstream in(ls[bone + 1]);
    std::vector<std::string> fields;
    for (std::string f; in >> f;)
        fields.push_back(f);
    fields[field] = value;
    std::string line;
    for (const std::string& f : fields)
        line += f + " ";
    ls[bone + 1] = line;
    return joined(ls);
}

// Every field of two skeletons' bones agrees exactly.
::testing::AssertionResult sameSkeleton(const Skeleton& a, const Skeleton& b) {
    if (a.boneCount() != b.boneCount())
        return ::testing::AssertionFailure()
               << a.boneCount() << " vs " << b.boneCount() << " bones";
    for (int i = 0; i < a.boneCount(); ++i) {
        const Bone& x = *a.boneAt(i);
        const Bone& y = *b.boneAt(i);
        const double xs[] = {x.length(),  x.mainAngle(), x.secAngle(), x.ownAngle(), x.minMain(),
                             x.maxMain(), x.minSec(),    x.maxSec(),   x.minOwn(),   x.maxOwn()};
        const double ys[] = {y.length(),  y.mainAngle(), y.secAngle(), y.ownAngle(), y.minMain(),
                             y.maxMain(), y.minSec(),    y.maxSec(),   y.minOwn(),   y.maxOwn()};
        for (int k = 0; k < 10; ++k)
            if (xs[k] != ys[k])
                return ::testing::AssertionFailure() << "bone " << i << " field " << k;
        if (x.mainAxis() != y.mainAxis() ||
            (x.parent() ? x.parent()->index() : -1) != (y.parent() ? y.parent()->index() : -1))
            return ::testing::AssertionFailure() << "bone " << i << " axis or parent";
        if (!skeleton_test::same(x.position(), y.position()) ||
            !skeleton_test::sameFrame(x.frame(), y.frame()))
            return ::testing::AssertionFailure() << "bone " << i << " pose";
    }
    return ::testing::AssertionSuccess();
}

// What every load must leave, however bad the input: at most one message,
// a consistent tree, and nothing selected or pending.
void expectSound(const Loaded& l) {
    const Skeleton& s = *l.skeleton;
    EXPECT_LE(s.boneCount(), POSE_BONE_COUNT);
    EXPECT_TRUE(skeleton_test::treeFollowsParents(s));
    EXPECT_EQ(s.rootPosition() == nullptr, s.boneCount() == 0);
    EXPECT_EQ(s.rootBone(), s.boneAt(0));
    EXPECT_EQ(s.boneAt(POSE_BONE_COUNT - 1) != nullptr, s.complete());
    EXPECT_EQ(s.selectedBone(), nullptr);
    EXPECT_FALSE(s.pickRequested);
    const size_t lineEnds = std::count(l.output.begin(), l.output.end(), '\n');
    EXPECT_EQ(lineEnds, l.output.empty() ? 0u : 1u) << l.output;
    EXPECT_EQ(l.output.empty(), s.complete()) << l.output;
}

} // namespace

TEST(SkeletonFile, UnreadableOrWronglyHeadedFilesGiveNoBones) {
    struct Case {
        const char* name;
        std::string message;
    };
    const Case cases[] = {
        {"no_such_file.rgcf", CANNOT_OPEN},          {"empty.rgcf", BAD_HEADER},
        {"header_lower_case.rgcf", BAD_HEADER},      {"header_trailing_blank.rgcf", BAD_HEADER},
        {"header_fifth_character.rgcf", BAD_HEADER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded l = loadFile(dataPath(c.name));
        EXPECT_EQ(l.output, c.message);
        EXPECT_EQ(l.skeleton->boneCount(), 0);
        EXPECT_EQ(l.skeleton->rootBone(), nullptr);
        EXPECT_EQ(l.skeleton->rootPosition(), nullptr);
        expectSound(l);
    }
}

TEST(SkeletonFile, HeaderMustBeExactlyTheFourCharacters) {
    const std::string body = humanText().substr(5);
    struct Case {
        std::string header;
        bool accepted;
    };
    const Case cases[] = {
        {"RGCF\n", true},   {"RGCF\r\n", true},
        {"RGCF \n", false}, {"RGCFX\n", false},
        {"rgcf\n", false},  {" RGCF\n", false},
        {"RGC\n", false},   {"RGCF\r\r\n", false},
        {"\n", false},      {"\xEF\xBB\xBFRGCF\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.header));
        Loaded l = loadText(c.header + body);
        EXPECT_EQ(l.output, c.accepted ? "" : BAD_HEADER);
        EXPECT_EQ(l.skeleton->boneCount(), c.accepted ? POSE_BONE_COUNT : 0);
    }
}

TEST(SkeletonFile, ReadsTheTreeAtSinglePrecisionRelativeToTheOrigin) {
    Loaded l = loadFile(dataPath("human.rgcf"), 1, 0.5, -2);
    ASSERT_EQ(l.output, "");
    const Skeleton& s = *l.skeleton;
    ASSERT_EQ(s.boneCount(), POSE_BONE_COUNT);
    EXPECT_TRUE(skeleton_test::same(*s.rootPosition(), Vec3(1, 0.5 + 0.45f, -2)));
    EXPECT_EQ(&s.rootBone()->position(), s.rootPosition());
    EXPECT_EQ(s.rootBone()->length(), 0);
    EXPECT_EQ(s.rootBone()->parent(), nullptr);
    EXPECT_EQ(s.rootBone()->mainAxis(), AXIS_X);
    EXPECT_EQ(s.rootBone()->minSec(), -360);
    // Bone 3, the neck: "0.10 0 0 0 -40 40 -20 20 -30 30 10 2".
    const Bone& neck = *s.boneAt(3);
    EXPECT_EQ(neck.length(), static_cast<double>(0.1f));
    EXPECT_EQ(neck.minMain(), -40);
    EXPECT_EQ(neck.maxOwn(), 30);
    EXPECT_EQ(neck.parent(), s.boneAt(2));
    // Each bone is the last child of its parent when it is created.
    EXPECT_EQ(s.boneAt(2)->children().front(), &neck);
    EXPECT_EQ(s.boneAt(2)->children().back(), s.boneAt(17));
    EXPECT_EQ(s.selectedBone(), nullptr);
    EXPECT_FALSE(s.pickRequested);
    EXPECT_EQ(s.pickX, 0);
    EXPECT_EQ(s.pickY, 0);
    expectSound(l);

    std::string raised = humanText();
    raised.replace(raised.find("0 0.45 0"), 8, "0 1 0");
    EXPECT_TRUE(skeleton_test::same(*loadText(raised).skeleton->rootPosition(), Vec3(0, 1.5, 0)));
}

TEST(SkeletonFile, LayoutVariantsLoadTheSameSkeleton) {
    const Loaded reference = loadFile(dataPath("human.rgcf"));
    for (const char* name :
         {"human_crlf.rgcf", "human_tabs.rgcf", "human_one_line.rgcf", "human_25_bones.rgcf"}) {
        SCOPED_TRACE(name);
        Loaded l = loadFile(dataPath(name));
        EXPECT_EQ(l.output, "");
        EXPECT_TRUE(sameSkeleton(*l.skeleton, *reference.skeleton));
    }
}

TEST(SkeletonFile, ParentNumberIsCutTowardZeroAndMustBeAnEarlierBone) {
    struct Case {
        const char* parent;
        int expectedParent; // -1: refused
    };
    // Bone 2 of the figure; bones 0 and 1 exist when it is read.
    const Case cases[] = {
        {"1.9", 1}, {"-0.5", 0}, {"0.999", 0}, {"1", 1},      {"-1", -1},
        {"2", -1},  {"5", -1},   {"1e30", -1}, {"-1e30", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parent);
        Loaded l = loadText(withBoneField(2, 11, c.parent));
        if (c.expectedParent < 0) {
            EXPECT_EQ(l.output, BAD_PARENT);
            EXPECT_EQ(l.skeleton->boneCount(), 2);
        } else {
            ASSERT_GT(l.skeleton->boneCount(), 2);
            EXPECT_EQ(l.skeleton->boneAt(2)->parent(), l.skeleton->boneAt(c.expectedParent));
        }
        expectSound(l);
    }
    Loaded self = loadFile(dataPath("parent_self.rgcf"));
    EXPECT_EQ(self.output, BAD_PARENT);
    EXPECT_EQ(self.skeleton->boneCount(), 3);
}

TEST(SkeletonFile, AxisCodeIsCutTowardZero) {
    struct Case {
        const char* axis;
        int expected;
    };
    const Case cases[] = {{"30.7", 30}, {"10.2", 10}, {"-10.9", -10}, {"1e30", 0}, {"-1e30", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axis);
        Loaded l = loadText(withBoneField(4, 10, c.axis));
        EXPECT_EQ(l.output, "");
        EXPECT_EQ(l.skeleton->boneAt(4)->mainAxis(), c.expected);
    }
}

TEST(SkeletonFile, MissingOrMalformedNumberStopsWithTheBonesReadSoFar) {
    struct Case {
        std::string text;
        int bone, bonesLeft;
    };
    const std::vector<std::string> human = lines(humanText());
    const Case cases[] = {
        {skeleton_test::readText(dataPath("ends_in_bone_7.rgcf")), 7, 7},
        {skeleton_test::readText(dataPath("malformed_in_bone_4.rgcf")), 4, 4},
        {"RGCF\n", 0, 0},
        {"RGCF", 0, 0},
        {"RGCF\n0 0 0 0 0 0 -1 1 -1 1 -1 1\n", 0, 0},
        {joined({human.begin(), human.begin() + 21}), 20, 20},
        {withBoneField(9, 0, "1e39"), 9, 9},   // beyond the float range
        {withBoneField(12, 3, "nan"), 12, 12}, // not a decimal number
        {withBoneField(15, 11, "+"), 15, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bone);
        Loaded l = loadText(c.text);
        EXPECT_EQ(l.output, malformed(c.bone));
        EXPECT_EQ(l.skeleton->boneCount(), c.bonesLeft);
        EXPECT_EQ(l.skeleton->boneAt(20), nullptr);
        expectSound(l);
    }
}

TEST(SkeletonFile, TruncationAtAnyByteLeavesASoundSkeleton) {
    const std::string text = skeleton_test::readText(skeleton_test::defaultSkeletonPath());
    ASSERT_FALSE(text.empty());
    for (size_t n = 0; n <= text.size(); ++n) {
        SCOPED_TRACE(n);
        Loaded l = loadText(text.substr(0, n));
        expectSound(l);
        if (testing::Test::HasFailure())
            return;
    }
}

TEST(SkeletonFile, RandomBytesLeaveASoundSkeleton) {
    std::mt19937 random(17);
    const std::string numberish = "0123456789+-.eE \t\r\n";
    std::uniform_int_distribution<int> length(0, 600), byte(0, 255), kind(0, 2);
    for (int i = 0; i < 3000; ++i) {
        SCOPED_TRACE(i);
        std::string text = kind(random) == 0 ? "" : "RGCF\n";
        const bool soup = kind(random) != 0;
        for (int k = length(random); k > 0; --k)
            text +=
                soup ? numberish[byte(random) % numberish.size()] : static_cast<char>(byte(random));
        Loaded l = loadText(text);
        expectSound(l);
        if (testing::Test::HasFailure())
            return;
    }
}

TEST(Skeleton, BoneAtOutsideTheListIsNone) {
    const Loaded full = loadFile(dataPath("human.rgcf"));
    const Skeleton& s = *full.skeleton;
    EXPECT_TRUE(s.complete());
    EXPECT_NE(s.boneAt(0), nullptr);
    EXPECT_NE(s.boneAt(20), nullptr);
    for (int i : {-1, 21, INT_MIN, INT_MAX})
        EXPECT_EQ(s.boneAt(i), nullptr) << i;

    const Loaded empty = loadFile(dataPath("empty.rgcf"));
    EXPECT_FALSE(empty.skeleton->complete());
    EXPECT_EQ(empty.skeleton->boneAt(0), nullptr);
    EXPECT_EQ(empty.skeleton->boneAt(20), nullptr);
}

TEST(Skeleton, SelectKeepsTheFlagsInStep) {
    Loaded l = loadFile(dataPath("human.rgcf"));
    Skeleton& s = *l.skeleton;
    s.select(s.boneAt(3));
    EXPECT_EQ(s.selectedBone(), s.boneAt(3));
    EXPECT_TRUE(s.boneAt(3)->selected());
    s.select(s.boneAt(5));
    EXPECT_FALSE(s.boneAt(3)->selected());
    EXPECT_TRUE(s.boneAt(5)->selected());
    s.select(nullptr);
    EXPECT_EQ(s.selectedBone(), nullptr);
    for (int i = 0; i < s.boneCount(); ++i)
        EXPECT_FALSE(s.boneAt(i)->selected());
}
