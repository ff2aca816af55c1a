#include "tests/fuzz/CheckSupport.h"
#include "tests/fuzz/ReaderChecks.h"

#include "skeleton/Skeleton.h"

#include <sstream>

namespace {

// Any origin will do; a non-zero one catches a reader that forgets it.
constexpr double ORIGIN_X = 0.25, ORIGIN_Y = -0.5, ORIGIN_Z = 2.0;

// A rotation either leaves an angle alone or lands it inside its limits.
bool stepKept(double before, double after, double min, double max) {
    return sameValue(before, after) || (min <= after && after <= max);
}

std::string checkRotation(Bone& bone, double dMain, double dSec, double dOwn) {
    const BonePose before = bone.pose();
    FUZZ_EXPECT(bone.rotateBy(dMain, dSec, dOwn));
    FUZZ_EXPECT(stepKept(before.x, bone.mainAngle(), bone.minMain(), bone.maxMain()));
    FUZZ_EXPECT(stepKept(before.y, bone.secAngle(), bone.minSec(), bone.maxSec()));
    FUZZ_EXPECT(stepKept(before.z, bone.ownAngle(), bone.minOwn(), bone.maxOwn()));
    return {};
}

bool sameBone(const Bone& a, const Bone& b) {
    const int parentA = a.parent() ? a.parent()->index() : -1;
    const int parentB = b.parent() ? b.parent()->index() : -1;
    return parentA == parentB && a.mainAxis() == b.mainAxis() &&
           sameValue(a.length(), b.length()) && samePoint(a.pose(), b.pose()) &&
           samePoint(a.position(), b.position()) && sameValue(a.minMain(), b.minMain()) &&
           sameValue(a.maxMain(), b.maxMain()) && sameValue(a.minSec(), b.minSec()) &&
           sameValue(a.maxSec(), b.maxSec()) && sameValue(a.minOwn(), b.minOwn()) &&
           sameValue(a.maxOwn(), b.maxOwn());
}

} // namespace

std::string checkSkeletonInput(std::string_view data) {
    std::istringstream in{std::string(data)};
    Skeleton skeleton(in, ORIGIN_X, ORIGIN_Y, ORIGIN_Z);
    FUZZ_EXPECT(skeleton.selectedBone() == nullptr && !skeleton.pickRequested);
    FUZZ_EXPECT_KEPT(checkSkeletonTree(skeleton));

    // The same file with CR LF line ends is the same skeleton, unless its
    // header line already ended in a CR (then the header gains a second one
    // and is rightly refused).
    const std::string_view firstLine = data.substr(0, data.find('\n'));
    if (firstLine.empty() || firstLine.back() != '\r') {
        std::istringstream crlf(withCrLf(data));
        Skeleton again(crlf, ORIGIN_X, ORIGIN_Y, ORIGIN_Z);
        FUZZ_EXPECT(again.boneCount() == skeleton.boneCount());
        for (int i = 0; i < skeleton.boneCount(); ++i)
            FUZZ_EXPECT(sameBone(*again.boneAt(i), *skeleton.boneAt(i)));
    }

    const int count = skeleton.boneCount();
    for (int i = 0; i < count; ++i) {
        Bone& bone = *skeleton.boneAt(i);
        if (bone.length() < ANGLE_TOLERANCE)
            FUZZ_EXPECT(samePoint(bone.endPoint(), bone.position()));
        // Small steps, steps that wrap past a full turn, and back to zero.
        FUZZ_EXPECT_KEPT(checkRotation(bone, 15, -25, 40));
        FUZZ_EXPECT_KEPT(checkRotation(bone, 400, -400, 725));
        bone.setAngles(0, 0, 0);
        FUZZ_EXPECT(bone.moveBy(0.5, 0, -0.5) == (i == 0));
        FUZZ_EXPECT(bone.setPosition(1, 2, 3) == (i == 0));
        skeleton.select(&bone);
        FUZZ_EXPECT(skeleton.selectedBone() == &bone && bone.selected());
    }
    skeleton.select(nullptr);
    for (int i = 0; i < count; ++i)
        FUZZ_EXPECT(!skeleton.boneAt(i)->selected());
    FUZZ_EXPECT_KEPT(checkSkeletonTree(skeleton));
    return {};
}
