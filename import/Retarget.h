#pragma once

#include "import/BoneMap.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

// One pose of the figure: the root's joint point (world, origin included)
// and the three angles of every bone, degrees, as a key frame stores them.
// Zero until set (Imath's vectors start out unset).
struct ImportPose {
    Vec3 root{0, 0, 0};
    std::array<BonePose, POSE_BONE_COUNT> angles = zeroAngles();

    static std::array<BonePose, POSE_BONE_COUNT> zeroAngles() {
        std::array<BonePose, POSE_BONE_COUNT> zero;
        zero.fill(BonePose(0, 0, 0));
        return zero;
    }
};

// Told how far a long piece of work is (0 to 1); returns false to stop it.
using ImportProgress = std::function<bool(double fraction)>;

// A clip retargeted onto the figure, one pose per source frame.
struct RetargetedClip {
    double frameTime = 0;
    std::vector<ImportPose> poses;
    // Per frame, whether the left and the right foot stand on the floor.
    std::vector<std::array<bool, 2>> contact;
    // Per frame and bone, how far the figure's bone points from the clip's,
    // degrees, both seen from the hips; NaN for bones that only turn with
    // their joint (BoneFollow::Turn) or are not mapped.
    std::vector<std::array<float, POSE_BONE_COUNT>> directionError;
    // Figure units per clip unit (the ratio of the legs' lengths), and the
    // clip's up axis in its own coordinates.
    double scale = 1;
    Vec3 up{0, 1, 0};
};

// Retargets every frame of `clip` onto `figure`, which must be the default
// figure's tree, complete and in its start pose (it is not changed):
//   - the clip is turned so its up axis (from the feet to the chest in its
//     rest pose) is the figure's y, and the figure is turned, about y, to
//     face where the clip's rest pose faces;
//   - seen from the hips, every Direction bone points along its span and
//     every bone is twisted as its twist joint turns, each measured from the
//     rest poses so T and A poses meet; Turn bones keep their rest turn from
//     their parent plus the joint's turn;
//   - each bone's angles are the solution within its limits nearest the
//     previous frame's (the first frame's nearest the start pose), solved on
//     the parent as it actually came out;
//   - the root travels the hips' path scaled by `scale`, starting above the
//     figure's start position; feet standing on the clip's floor stand on
//     the figure's ground (motion/Ground.h), feet in the air keep the
//     clip's height above it, and no foot goes below it.
// Unmapped bones keep their start-pose angles. Returns false with `error`
// when the map lacks the hips, a thigh or a shin, or `progress` asked to
// stop (error "stopped").
bool retargetClip(const BvhClip& clip, const BoneMap& map, const Skeleton& figure,
                  RetargetedClip& out, std::string& error, const ImportProgress& progress = {});
