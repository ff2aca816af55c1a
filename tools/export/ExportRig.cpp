#include "tools/export/ExportRig.h"

#include "skeleton/SinglePrecision.h"

#include <cassert>
#include <cmath>

namespace {

// The default figure's tree (resources/config/skeleton/default.rgcf): each
// bone's parent index and the name the exported joint gets.
struct NamedBone {
    int parent;
    const char* name;
};
const NamedBone DEFAULT_FIGURE[POSE_BONE_COUNT] = {
    {-1, "hips"},       {0, "lower_spine"},    {1, "upper_spine"},      {2, "neck"},
    {3, "head"},        {0, "left_hip"},       {5, "left_thigh"},       {6, "left_shin"},
    {7, "left_foot"},   {0, "right_hip"},      {9, "right_thigh"},      {10, "right_shin"},
    {11, "right_foot"}, {2, "left_shoulder"},  {13, "left_upper_arm"},  {14, "left_forearm"},
    {15, "left_hand"},  {2, "right_shoulder"}, {17, "right_upper_arm"}, {18, "right_forearm"},
    {19, "right_hand"},
};

bool isDefaultFigure(const ExportRig& rig) {
    if (rig.bones.size() != static_cast<std::size_t>(POSE_BONE_COUNT)) {
        return false;
    }
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        if (rig.bones[i].parent != DEFAULT_FIGURE[i].parent) {
            return false;
        }
    }
    return true;
}

bool withinRange(const Vec3& v) {
    return std::fabs(v.x) <= MAX_EXPORT_COORDINATE && std::fabs(v.y) <= MAX_EXPORT_COORDINATE &&
           std::fabs(v.z) <= MAX_EXPORT_COORDINATE;
}

// The length Bone::endPoint walks along the long axis.
double tipDistance(const Bone& bone) {
    if (bone.length() < ANGLE_TOLERANCE) {
        return 0;
    }
    return toSinglePrecision(bone.length());
}

} // namespace

bool makeExportRig(const Skeleton& skeleton, ExportRig& rig, std::string& error) {
    rig.bones.clear();
    if (skeleton.boneCount() == 0) {
        error = "the skeleton has no bones";
        return false;
    }
    for (int i = 0; i < skeleton.boneCount(); ++i) {
        const Bone& bone = *skeleton.boneAt(i);
        RigBone out;
        out.parent = bone.parent() ? bone.parent()->index() : -1;
        out.length = tipDistance(bone);
        out.restPosition = bone.position();
        out.restRotation = quatFromFrame(bone.frame());
        if (!(out.length <= MAX_EXPORT_COORDINATE) || !withinRange(out.restPosition)) {
            error = "the skeleton reaches beyond the coordinates the export formats can hold";
            return false;
        }
        // The reader only links a bone to one read before it.
        assert(out.parent < i && (out.parent >= 0 || i == 0));
        if (out.parent >= 0) {
            rig.bones[out.parent].children.push_back(i);
        }
        rig.bones.push_back(out);
    }
    const bool named = isDefaultFigure(rig);
    for (std::size_t i = 0; i < rig.bones.size(); ++i) {
        rig.bones[i].name = named ? DEFAULT_FIGURE[i].name : "bone_" + std::to_string(i);
    }
    return true;
}

Vec3 rigTip(const RigBone& bone, const Vec3& joint, const Quat& rotation) {
    return joint + rotate(rotation, Vec3(0, bone.length, 0));
}
