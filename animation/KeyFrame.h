#pragma once

#include "animation/MotionType.h"
#include "skeleton/Bone.h"
#include "skeleton/Skeleton.h"

#include <array>
#include <string>

// One stored pose of the whole skeleton, with the timing of the move that
// leaves it: hold the pose for waitTime, then move to the next frame over
// transitionTime along the curve motionType. The pose is the root bone's
// world position (origin included) and the angle triple of bones 0 to 20.
// Times are seconds. A plain record; the animation that holds it owns it.
class KeyFrame {
public:
    // Zero pose, then the skeleton's pose when `skeleton` is not null; wait
    // 0 s, transition 1 s, Linear, index -1.
    explicit KeyFrame(const Skeleton* skeleton);
    // Zero pose and index -1, then every field read from one line of an
    // animation file (with or without its line end). Never fails: a value
    // that cannot be read becomes UNREADABLE_NUMBER.
    explicit KeyFrame(const std::string& line);

    // Copies the skeleton's pose into the frame; timing is not touched.
    // Does nothing for a null skeleton or one with fewer than
    // POSE_BONE_COUNT bones.
    void capturePose(const Skeleton* skeleton);
    // Puts the frame's pose onto the skeleton through the bones' own
    // operations, so an angle outside a bone's limits keeps its old value.
    // Does nothing for a null skeleton or one with fewer than
    // POSE_BONE_COUNT bones.
    void applyPose(Skeleton* skeleton) const;
    // The frame as one line of the animation file, "\n" included.
    std::string toLine() const;

    double waitTime = 0.0;
    double transitionTime = 1.0;
    int motionType = MotionType::Linear;
    // Position in the owning animation; -1 until appended.
    int index = -1;
    Vec3 rootPosition{0, 0, 0};
    // x = mainAngle, y = secAngle, z = ownAngle of bone i, degrees.
    std::array<BonePose, POSE_BONE_COUNT> boneAngles;
};
