#pragma once

#include "skeleton/Skeleton.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

// Near-equality for vectors and frames, file helpers, and the tree
// invariant that every skeleton test checks.
namespace skeleton_test {

inline std::string sourceDir() {
    const char* dir = std::getenv("KINEMORPH_SOURCE_DIR");
    return dir ? dir : ".";
}

inline std::string defaultSkeletonPath() {
    return sourceDir() + "/resources/config/skeleton/default.rgcf";
}

inline std::string dataPath(const std::string& name) {
    return sourceDir() + "/tests/data/skeleton/" + name;
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline ::testing::AssertionResult near(const Vec3& a, const Vec3& b, double tolerance) {
    if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
        std::fabs(a.z - b.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs ("
                                         << b.x << ", " << b.y << ", " << b.z << ")";
}

inline bool same(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline bool sameFrame(const AxisFrame& a, const AxisFrame& b) {
    return same(a.axisX, b.axisX) && same(a.axisY, b.axisY) && same(a.axisZ, b.axisZ);
}

inline double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Orthonormal within `tolerance`: unit axes, zero pairwise dot products.
inline ::testing::AssertionResult orthonormal(const AxisFrame& f, double tolerance) {
    const double checks[] = {dot(f.axisX, f.axisX) - 1, dot(f.axisY, f.axisY) - 1,
                             dot(f.axisZ, f.axisZ) - 1, dot(f.axisX, f.axisY),
                             dot(f.axisX, f.axisZ),     dot(f.axisY, f.axisZ)};
    for (double c : checks)
        if (!(std::fabs(c) <= tolerance))
            return ::testing::AssertionFailure() << "deviation " << c;
    return ::testing::AssertionSuccess();
}

// The frame a bone must have: its parent's (or the identity), turned by
// sec about y, main about the main axis, own about the new y.
inline AxisFrame expectedFrame(const Bone& bone) {
    AxisFrame f = bone.parent() ? bone.parent()->frame() : AxisFrame();
    f.rotate(bone.secAngle(), AXIS_Y);
    f.rotate(bone.mainAngle(), bone.mainAxis());
    f.rotate(bone.ownAngle(), AXIS_Y);
    return f;
}

// Every bone's frame follows from its parent and angles, every non-root
// joint sits exactly on its parent's tip, and the indices are in order.
inline ::testing::AssertionResult treeFollowsParents(const Skeleton& skeleton) {
    for (int i = 0; i < skeleton.boneCount(); ++i) {
        const Bone* bone = skeleton.boneAt(i);
        if (bone->index() != i)
            return ::testing::AssertionFailure() << "bone " << i << " has index " << bone->index();
        if (!sameFrame(bone->frame(), expectedFrame(*bone)))
            return ::testing::AssertionFailure() << "bone " << i << " frame is stale";
        if (bone->parent() && !same(bone->position(), bone->parent()->endPoint()))
            return ::testing::AssertionFailure() << "bone " << i << " is off its parent's tip";
    }
    return ::testing::AssertionSuccess();
}

// Loads a skeleton from text, capturing what the reader prints.
struct Loaded {
    std::unique_ptr<Skeleton> skeleton;
    std::string output;
};

inline Loaded loadText(const std::string& text, double ox = 0, double oy = 0.5, double oz = 0) {
    std::istringstream in(text);
    ::testing::internal::CaptureStdout();
    auto skeleton = std::make_unique<Skeleton>(in, ox, oy, oz);
    return Loaded{std::move(skeleton), ::testing::internal::GetCapturedStdout()};
}

inline Loaded loadFile(const std::string& path, double ox = 0, double oy = 0.5, double oz = 0) {
    ::testing::internal::CaptureStdout();
    auto skeleton = std::make_unique<Skeleton>(path, ox, oy, oz);
    return Loaded{std::move(skeleton), ::testing::internal::GetCapturedStdout()};
}

} // namespace skeleton_test
