#include "motion/ExportRig.h"

#include "motion/BoneTable.h"
#include "skeleton/SinglePrecision.h"

#include <cassert>
#include <cmath>

namespace {

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
    for (std::size_t i = 0; i < rig.bones.size(); ++i) {
        rig.bones[i].name = boneName(skeleton, static_cast<int>(i));
    }
    return true;
}

Vec3 rigTip(const RigBone& bone, const Vec3& joint, const Quat& rotation) {
    return joint + rotate(rotation, Vec3(0, bone.length, 0));
}
