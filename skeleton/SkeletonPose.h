#pragma once

#include "skeleton/Bone.h"

#include <vector>

class Skeleton;

// The pose of a whole skeleton as a plain value: the root's joint point
// (world coordinates, origin included) and every bone's three angles in
// bone order, degrees. Unlike a key frame it holds as many bones as the
// skeleton has, and it puts them back exactly: the history, copy and paste,
// mirroring and the pose solvers pass poses around in this form.
struct SkeletonPose {
    Vec3 rootPosition{0, 0, 0};
    std::vector<BonePose> angles;

    // The skeleton's present pose; empty angles for a skeleton without bones.
    static SkeletonPose capture(const Skeleton& skeleton);
    // Puts the pose back bit for bit: every angle takes its stored value
    // without wrap or limits (the values came from this skeleton) and every
    // frame and joint point is rebuilt from them. Returns false and changes
    // nothing when the bone counts differ or the skeleton has no bones.
    bool restore(Skeleton& skeleton) const;

    // Exact equality, bit for bit in every value (NaN never equals).
    bool operator==(const SkeletonPose& other) const;
    bool operator!=(const SkeletonPose& other) const { return !(*this == other); }
};
