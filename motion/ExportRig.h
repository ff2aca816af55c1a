#pragma once

#include "motion/Quaternion.h"
#include "skeleton/Skeleton.h"

#include <string>
#include <vector>

// Coordinates and lengths beyond this many scene units are refused: they
// would overflow the single-precision floats that glTF stores (and that
// importers of either format hold), where the conversion is undefined.
constexpr double MAX_EXPORT_COORDINATE = 1e30;

// One bone as the exporters write it. `length` is the distance from the
// joint to the tip exactly as Bone::endPoint measures it: rounded to single
// precision, and 0 for a bone too short to have a tip of its own.
struct RigBone {
    std::string name;
    int parent = -1;
    std::vector<int> children;
    double length = 0;
    // The pose the skeleton file gives, in world coordinates: the bind pose
    // of the glTF skin and the zero-rotation pose of the BVH hierarchy.
    Vec3 restPosition{0, 0, 0};
    Quat restRotation;
};

// The bone tree of a skeleton in its rest pose, in the skeleton's bone order
// (the root first, parents before children), with a name for every bone.
struct ExportRig {
    std::vector<RigBone> bones;
};

// Builds the rig from `skeleton` as it is posed now. Bones get the names of
// the default figure when their tree is that figure's, else "bone_<index>".
// Returns false with `error` set when the skeleton has no bones or a root or
// a bone length beyond MAX_EXPORT_COORDINATE.
bool makeExportRig(const Skeleton& skeleton, ExportRig& rig, std::string& error);

// The tip of a bone whose joint is at `joint` and whose world rotation is
// `rotation`: the joint moved by the bone's length along its long axis.
Vec3 rigTip(const RigBone& bone, const Vec3& joint, const Quat& rotation);
