#include "tools/export/BoneMesh.h"

#include <algorithm>
#include <cmath>

namespace {

// Half-width of a spindle relative to its length, and its bounds in scene
// units, so a short foot is still visible and a long thigh not bloated.
constexpr double SPINDLE_WIDTH = 0.12;
constexpr double MIN_HALF_WIDTH = 0.01;
constexpr double MAX_HALF_WIDTH = 0.04;
// Half-size of the diamond that marks a bone without length (the hips).
constexpr double JOINT_MARK_SIZE = 0.04;

Vec3 cross(const Vec3& a, const Vec3& b) {
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 unit(const Vec3& v) {
    return v / std::sqrt(dot(v, v));
}

// One flat triangle in the bone's own coordinates, turned to face away from
// `centre` (a point inside the spindle), then placed in the world.
void addTriangle(BoneMesh& mesh, const RigBone& bone, int joint, const Vec3& centre, Vec3 a, Vec3 b,
                 Vec3 c) {
    Vec3 normal = cross(b - a, c - a);
    if (dot(normal, (a + b + c) / 3.0 - centre) < 0) {
        std::swap(b, c);
        normal = -normal;
    }
    const Vec3 worldNormal = unit(rotate(bone.restRotation, unit(normal)));
    for (const Vec3& p : {a, b, c}) {
        mesh.positions.push_back(bone.restPosition + rotate(bone.restRotation, p));
        mesh.normals.push_back(worldNormal);
        mesh.joints.push_back(joint);
    }
}

} // namespace

BoneMesh makeBoneMesh(const ExportRig& rig) {
    BoneMesh mesh;
    for (std::size_t i = 0; i < rig.bones.size(); ++i) {
        const RigBone& bone = rig.bones[i];
        double bottom = 0, top = bone.length, ringHeight = 0.2 * bone.length;
        double halfWidth = std::clamp(SPINDLE_WIDTH * bone.length, MIN_HALF_WIDTH, MAX_HALF_WIDTH);
        if (bone.length <= 0) {
            bottom = -JOINT_MARK_SIZE;
            top = JOINT_MARK_SIZE;
            ringHeight = 0;
            halfWidth = JOINT_MARK_SIZE;
        }
        const Vec3 ring[4] = {Vec3(halfWidth, ringHeight, 0), Vec3(0, ringHeight, halfWidth),
                              Vec3(-halfWidth, ringHeight, 0), Vec3(0, ringHeight, -halfWidth)};
        const Vec3 centre(0, ringHeight, 0);
        for (int k = 0; k < 4; ++k) {
            const Vec3& a = ring[k];
            const Vec3& b = ring[(k + 1) % 4];
            addTriangle(mesh, bone, static_cast<int>(i), centre, Vec3(0, bottom, 0), a, b);
            addTriangle(mesh, bone, static_cast<int>(i), centre, Vec3(0, top, 0), a, b);
        }
    }
    return mesh;
}
