// Two frames may be called the same only when every number and text they
// are drawn from is the same.
#include "app/FrameSignature.h"

#include "skeleton/Bone.h"
#include "skeleton/Skeleton.h"
#include "tests/skeleton/SkeletonTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

FrameSignature labels(const std::string& a, const std::string& b) {
    FrameSignature s;
    SignaturePainter painter(s);
    painter.text(a, 10, 10, Rgba{1, 1, 1, 1});
    painter.text(b, 10, 30, Rgba{1, 1, 1, 1});
    return s;
}

TEST(FrameSignature, DiffersWithAnyTextPlaceColourOrShape) {
    EXPECT_EQ(labels("Play", "Stop"), labels("Play", "Stop"));
    // Texts do not run together.
    EXPECT_NE(labels("Pla", "yStop"), labels("Play", "Stop"));

    auto drawn = [](double x, double alpha, bool title) {
        FrameSignature s;
        SignaturePainter painter(s);
        const Vertex2D quad[4] = {{x, 0, {0, 0, 0, alpha}},
                                  {10, 0, {0, 0, 0, alpha}},
                                  {10, 10, {0, 0, 0, 1}},
                                  {x, 10, {0, 0, 0, 1}}};
        painter.quads(quad, 4);
        if (title)
            painter.title("Menu", 0, 0, Rgba{});
        else
            painter.text("Menu", 0, 0, Rgba{});
        return s;
    };
    EXPECT_EQ(drawn(0, 1, false), drawn(0, 1, false));
    EXPECT_NE(drawn(0, 1, false), drawn(0.5, 1, false));
    EXPECT_NE(drawn(0, 1, false), drawn(0, 0.99, false));
    EXPECT_NE(drawn(0, 1, false), drawn(0, 1, true)) << "title and small text look different";
    // Bit for bit: -0 is another number (and could place a pixel otherwise).
    EXPECT_NE(drawn(0.0, 1, false), drawn(-0.0, 1, false));
}

TEST(FrameSignature, FollowsEveryBoneAndTheSelection) {
    auto skeleton = std::make_unique<Skeleton>(skeleton_test::defaultSkeletonPath(), 0, 0.5, 0);
    ASSERT_GT(skeleton->boneCount(), 1);
    auto sign = [&](double alpha) {
        FrameSignature s;
        s.addSkeleton(*skeleton, alpha);
        return s;
    };
    const FrameSignature rest = sign(1);
    EXPECT_EQ(rest, sign(1));
    EXPECT_NE(rest, sign(0.2)) << "the ghost looks different";
    for (int i = 1; i < skeleton->boneCount(); ++i) {
        Bone& bone = *skeleton->boneAt(i);
        if (bone.minMain() == bone.maxMain())
            continue;
        const double main = bone.mainAngle();
        const double turned = main + 1 <= bone.maxMain() ? main + 1 : main - 1;
        bone.setAngles(turned, bone.secAngle(), bone.ownAngle());
        EXPECT_NE(rest, sign(1)) << "bone " << i;
        bone.setAngles(main, bone.secAngle(), bone.ownAngle());
    }
    skeleton->select(skeleton->boneAt(3));
    EXPECT_NE(rest, sign(1));
    skeleton->select(nullptr);
    EXPECT_EQ(rest, sign(1));
}

} // namespace
