#include "skeleton/SkeletonPose.h"

#include "skeleton/Skeleton.h"

SkeletonPose SkeletonPose::capture(const Skeleton& skeleton) {
    SkeletonPose pose;
    if (const Bone* root = skeleton.rootBone())
        pose.rootPosition = root->position();
    pose.angles.reserve(static_cast<size_t>(skeleton.boneCount()));
    for (int i = 0; i < skeleton.boneCount(); ++i)
        pose.angles.push_back(skeleton.boneAt(i)->pose());
    return pose;
}

bool SkeletonPose::restore(Skeleton& skeleton) const {
    Bone* root = skeleton.rootBone();
    if (!root || static_cast<int>(angles.size()) != skeleton.boneCount())
        return false;
    // The root's joint point is the skeleton's rootPosition; set it in place
    // so the camera, which orbits that point, follows.
    *skeleton.rootPosition() = rootPosition;
    for (int i = 0; i < skeleton.boneCount(); ++i)
        skeleton.boneAt(i)->storeAngles(angles[static_cast<size_t>(i)]);
    // Parents come before children, so one rebuild from the root reaches
    // every bone on its parent's final frame.
    root->rebuildSubtree();
    return true;
}

bool SkeletonPose::operator==(const SkeletonPose& other) const {
    auto same = [](const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
    if (!same(rootPosition, other.rootPosition) || angles.size() != other.angles.size())
        return false;
    for (size_t i = 0; i < angles.size(); ++i)
        if (!same(angles[i], other.angles[i]))
            return false;
    return true;
}
