#pragma once

#include "scene/Camera.h"
#include "scene/CameraProjection.h"
#include "skeleton/ChainKinematics.h"
#include "skeleton/ScreenProjection.h"
#include "tests/skeleton/SkeletonTestSupport.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

// Fixed cameras, seeded random poses and pixel measures for the tests of
// the pose-by-dragging solvers.
namespace pose_drag {

// One fixed view of the figure: an orbit camera around the skeleton's root.
struct View {
    std::string name;
    double yaw, pitch, distance, aspect;
    int width, height;
};

// The program's start view (yaw 0, pitch 45, distance 10, the constructed
// aspect 4/3 in an 800 x 600 window) and three others: near and low, from
// behind and below, and a wide window whose aspect came from a resize.
inline std::vector<View> views() {
    return {{"start", 0, 45, 10, 4.0 / 3.0, 800, 600},
            {"near side", 70, 10, 4, 4.0 / 3.0, 800, 600},
            {"behind below", -150, -25, 6, 4.0 / 3.0, 1024, 768},
            {"wide", 30, 30, 7, 1280.0 / 720.0, 1280, 720}};
}

inline ScreenProjection projectionFor(const View& v, const Skeleton& skeleton) {
    Camera camera;
    camera.mode = CAMERA_ORBIT;
    camera.target = skeleton.rootPosition();
    camera.orbitYaw = v.yaw;
    camera.orbitPitch = v.pitch;
    camera.distance = v.distance;
    camera.aspect = v.aspect;
    camera.update(0);
    return cameraProjection(camera, v.width, v.height);
}

struct Pixel {
    double x = 0, y = 0;
};

inline Pixel pixelOf(const ScreenProjection& view, const Vec3& p) {
    Vec3 w;
    EXPECT_TRUE(view.projectInFront(p, w));
    return Pixel{w.x, w.y};
}

inline double pixelDistance(const Pixel& a, const Pixel& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

inline std::unique_ptr<Skeleton> defaultSkeleton() {
    skeleton_test::Loaded l = skeleton_test::loadFile(skeleton_test::defaultSkeletonPath());
    EXPECT_EQ(l.output, "");
    return std::move(l.skeleton);
}

// Main and secondary angles drawn uniformly within the movers' limits.
inline std::vector<double> randomAngles(const std::vector<Bone*>& movers, std::mt19937& random) {
    std::vector<double> values;
    for (const Bone* b : movers) {
        values.push_back(
            std::uniform_real_distribution<double>(b->minMain(), b->maxMain())(random));
        values.push_back(std::uniform_real_distribution<double>(b->minSec(), b->maxSec())(random));
    }
    return values;
}

inline std::vector<BonePose> anglesOf(const Skeleton& s) {
    std::vector<BonePose> out;
    for (int i = 0; i < s.boneCount(); ++i)
        out.push_back(s.boneAt(i)->pose());
    return out;
}

// Only the movers' main and secondary angles may differ from `before`;
// every own angle and every other bone's angles stay bit for bit.
inline ::testing::AssertionResult onlyTurned(const std::vector<BonePose>& before, const Skeleton& s,
                                             const std::vector<Bone*>& movers) {
    for (int i = 0; i < s.boneCount(); ++i) {
        const BonePose now = s.boneAt(i)->pose();
        const bool moves = std::count(movers.begin(), movers.end(), s.boneAt(i)) > 0;
        if (moves ? now.z != before[i].z : !skeleton_test::same(now, before[i]))
            return ::testing::AssertionFailure() << "bone " << i << " changed";
    }
    return ::testing::AssertionSuccess();
}

// Every angle of every bone within its limits.
inline ::testing::AssertionResult withinLimits(const Skeleton& s) {
    for (int i = 0; i < s.boneCount(); ++i) {
        const Bone& b = *s.boneAt(i);
        if (b.mainAngle() < b.minMain() || b.mainAngle() > b.maxMain() ||
            b.secAngle() < b.minSec() || b.secAngle() > b.maxSec() || b.ownAngle() < b.minOwn() ||
            b.ownAngle() > b.maxOwn())
            return ::testing::AssertionFailure() << "bone " << i << " at (" << b.mainAngle() << ", "
                                                 << b.secAngle() << ", " << b.ownAngle() << ")";
    }
    return ::testing::AssertionSuccess();
}

} // namespace pose_drag
