#include "skeleton/PoseMirror.h"

#include "skeleton/BoneOrientation.h"
#include "skeleton/Skeleton.h"

#include <cmath>

namespace {

// How far a rest joint or tip may lie from its partner's mirror point. The
// file holds single-precision numbers, so exact symmetry is not to be had.
constexpr double POSITION_TOLERANCE = 1e-5;
// Below this horizontal length the left-right axis points up or down and
// cannot give a vertical plane.
constexpr double UPRIGHT_AXIS = 1e-6;

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double length(const Vec3& v) {
    return std::sqrt(dot(v, v));
}

Vec3 horizontal(const Vec3& v) {
    return Vec3(v.x, 0, v.z);
}

// A direction reflected in the plane through the origin with unit normal n.
Vec3 reflect(const Vec3& v, const Vec3& n) {
    return v - 2 * dot(v, n) * n;
}

// v in the coordinates of frame f.
Vec3 inFrame(const AxisFrame& f, const Vec3& v) {
    return Vec3(dot(f.axisX, v), dot(f.axisY, v), dot(f.axisZ, v));
}

int parentIndex(const Bone& bone) {
    return bone.parent() ? bone.parent()->index() : -1;
}

// Rest frames built with the shortened pi carry 1e-13 noise; a reflection
// that only flips or swaps axes is made exact, so its angle rule holds.
void snapToAxes(Vec3 rows[3]) {
    for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l)
            if (std::fabs(rows[k][l] - std::round(rows[k][l])) > 1e-9)
                return;
    for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l)
            rows[k][l] = std::round(rows[k][l]);
}

bool flipsAxesOnly(const Vec3 rows[3]) {
    for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l)
            if (std::fabs(rows[k][l]) != (k == l ? 1 : 0))
                return false;
    return true;
}

bool sameRows(const Vec3 a[3], const Vec3 b[3]) {
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

} // namespace

bool PoseMirror::build(const Skeleton& rest) {
    bones_.clear();
    reason_.clear();
    const Bone* root = rest.rootBone();
    if (!root) {
        reason_ = "Mirror needs a loaded skeleton";
        return false;
    }
    // The root's own x axis first: that is the file's left. Then the two
    // axes of the figure's horizontal spread about the root, one of which a
    // symmetric figure's left-right axis must be.
    const Vec3 r = root->position();
    double xx = 0, xz = 0, zz = 0;
    for (int i = 0; i < rest.boneCount(); ++i)
        for (const Vec3& p : {rest.boneAt(i)->position(), rest.boneAt(i)->endPoint()}) {
            xx += (p.x - r.x) * (p.x - r.x);
            xz += (p.x - r.x) * (p.z - r.z);
            zz += (p.z - r.z) * (p.z - r.z);
        }
    const double spread = 0.5 * std::atan2(2 * xz, xx - zz);
    const Vec3 candidates[] = {horizontal(root->frame().axisX),
                               Vec3(std::cos(spread), 0, std::sin(spread)),
                               Vec3(-std::sin(spread), 0, std::cos(spread))};
    int firstFailure = -1;
    for (const Vec3& candidate : candidates) {
        if (length(candidate) < UPRIGHT_AXIS)
            continue;
        const Vec3 normal = candidate / length(candidate);
        int failed = -1;
        if (tryPlane(rest, normal, failed)) {
            leftInRoot_ = inFrame(root->frame(), normal);
            forwardInRoot_ = inFrame(root->frame(), Vec3(normal.z, 0, -normal.x));
            return true;
        }
        if (firstFailure < 0)
            firstFailure = failed;
    }
    reason_ = "Mirror needs a left-right symmetric skeleton: bone " + std::to_string(firstFailure) +
              " has no mirror partner";
    return false;
}

bool PoseMirror::tryPlane(const Skeleton& rest, const Vec3& normal, int& failedBone) {
    const int count = rest.boneCount();
    const Vec3 r = rest.rootBone()->position();
    auto mirrorPoint = [&](const Vec3& p) { return r + reflect(p - r, normal); };
    std::vector<Partnering> found(static_cast<size_t>(count));

    // Parents come first, so a bone's parent already has its partner, and
    // the partner must hang from it.
    for (int i = 0; i < count; ++i) {
        if (found[static_cast<size_t>(i)].partner >= 0)
            continue;
        const Bone& bone = *rest.boneAt(i);
        const Vec3 joint = mirrorPoint(bone.position()), tip = mirrorPoint(bone.endPoint());
        const int parent = parentIndex(bone);
        const int wantedParent = parent < 0 ? -1 : found[static_cast<size_t>(parent)].partner;
        int chosen = -1;
        for (int j = i; j < count && chosen != i; ++j) {
            const Bone& other = *rest.boneAt(j);
            if (found[static_cast<size_t>(j)].partner >= 0 || parentIndex(other) != wantedParent)
                continue;
            if (length(other.position() - joint) > POSITION_TOLERANCE ||
                length(other.endPoint() - tip) > POSITION_TOLERANCE)
                continue;
            if (chosen < 0 || j == i)
                chosen = j;
        }
        if (chosen < 0) {
            failedBone = i;
            return false;
        }
        found[static_cast<size_t>(i)].partner = chosen;
        found[static_cast<size_t>(chosen)].partner = i;
    }

    // T maps the partner's rest axes, reflected, onto this bone's. Partners
    // share one T transposed, so mirroring twice gives the frame back.
    for (int j = 0; j < count; ++j) {
        Partnering& p = found[static_cast<size_t>(j)];
        if (p.partner < j)
            continue;
        const AxisFrame& mine = rest.boneAt(j)->frame();
        const AxisFrame& theirs = rest.boneAt(p.partner)->frame();
        const Vec3* myAxes[3] = {&mine.axisX, &mine.axisY, &mine.axisZ};
        const Vec3 theirAxes[3] = {reflect(theirs.axisX, normal), reflect(theirs.axisY, normal),
                                   reflect(theirs.axisZ, normal)};
        for (int k = 0; k < 3; ++k)
            for (int l = 0; l < 3; ++l)
                p.rows[k][l] = dot(*myAxes[k], theirAxes[l]);
        snapToAxes(p.rows);
        // A bone on the plane is its own partner: its T comes out symmetric.
        const Vec3 rows[3] = {p.rows[0], p.rows[1], p.rows[2]};
        Partnering& q = found[static_cast<size_t>(p.partner)];
        for (int k = 0; k < 3; ++k)
            for (int l = 0; l < 3; ++l)
                q.rows[k][l] = rows[l][k];
    }

    // Where T and the parent pair's T flip the same axes, the reflection
    // turns each rotation of the bone into its mirror rotation about the same
    // local axis: the partner's angles with a sign each. The root's "parent"
    // is the world, seen along the plane, where the mirror flips x.
    const Vec3 worldFlip[3] = {Vec3(-1, 0, 0), Vec3(0, 1, 0), Vec3(0, 0, 1)};
    for (int j = 0; j < count; ++j) {
        Partnering& p = found[static_cast<size_t>(j)];
        const Bone& bone = *rest.boneAt(j);
        const int parent = parentIndex(bone);
        const Vec3* parentRows = parent < 0 ? worldFlip : found[static_cast<size_t>(parent)].rows;
        if (!flipsAxesOnly(p.rows) || !sameRows(p.rows, parentRows) ||
            bone.mainAxis() != rest.boneAt(p.partner)->mainAxis())
            continue;
        const Vec3 flips(p.rows[0][0], p.rows[1][1], p.rows[2][2]);
        const double turnSense = flips.x * flips.y * flips.z;
        const int axis = bone.mainAxis();
        const double mainFlip = axis == AXIS_X ? flips.x : axis == AXIS_Z ? flips.z : flips.y;
        p.signs = Vec3(turnSense * mainFlip, turnSense * flips.y, turnSense * flips.y);
    }
    bones_ = std::move(found);
    return true;
}

int PoseMirror::partnerOf(int index) const {
    if (index < 0 || index >= static_cast<int>(bones_.size()))
        return -1;
    return bones_[static_cast<size_t>(index)].partner;
}

Vec3 PoseMirror::middlePlaneNormal(const Skeleton& posed) const {
    const Bone* root = posed.rootBone();
    if (!ready() || !root)
        return Vec3(1, 0, 0);
    const AxisFrame& f = root->frame();
    Vec3 normal = horizontal(f.toWorld(leftInRoot_.x, leftInRoot_.y, leftInRoot_.z));
    if (length(normal) < UPRIGHT_AXIS)
        normal = horizontal(f.toWorld(forwardInRoot_.x, forwardInRoot_.y, forwardInRoot_.z));
    if (!(length(normal) >= UPRIGHT_AXIS))
        return Vec3(1, 0, 0);
    return normal / length(normal);
}

BonePose PoseMirror::reference(const Bone& bone, const SkeletonPose& pose, double planeYaw) const {
    const Partnering& p = bones_[static_cast<size_t>(bone.index())];
    if (p.signs == Vec3(0, 0, 0))
        return pose.angles[static_cast<size_t>(bone.index())];
    const BonePose& a = pose.angles[static_cast<size_t>(p.partner)];
    BonePose mirrored(p.signs.x * a.x, p.signs.y * a.y, p.signs.z * a.z);
    if (!bone.parent()) {
        // The plane turns with the root, so the root's sec mirrors about the
        // plane's bearing. A plane's bearing is known to half a turn only:
        // take the one within a quarter turn of the sec the rebuild turns by
        // (0 in the dead band), which the mirrored pose then shares.
        const double turned = std::fabs(a.y) <= ANGLE_TOLERANCE ? 0 : a.y;
        const double half = REBUILD_TURN / 2;
        const double bearing = planeYaw + std::round((turned - planeYaw) / half) * half;
        mirrored.y = bearing + p.signs.y * (a.y - bearing);
        // Pushed past its limits, it comes back in by their whole span when
        // that is whole turns (the default's -360 to 360): the mirror of the
        // mirror then goes back the same way, which one turn would not do.
        const double span = bone.maxSec() - bone.minSec();
        const double turns = std::round(span / 360);
        if (turns >= 1 && std::fabs(span - turns * 360) < 1e-9) {
            if (mirrored.y > bone.maxSec())
                mirrored.y -= span;
            else if (mirrored.y < bone.minSec())
                mirrored.y += span;
        }
    }
    return mirrored;
}

bool PoseMirror::mirror(Skeleton& skeleton, const SkeletonPose& pose,
                        SkeletonPose& mirrored) const {
    const int count = static_cast<int>(bones_.size());
    if (!ready() || skeleton.boneCount() != count || static_cast<int>(pose.angles.size()) != count)
        return false;
    if (!pose.restore(skeleton))
        return false;
    const Vec3 normal = middlePlaneNormal(skeleton);
    // The rebuild turns x toward z by positive degrees about y.
    const double planeYaw = radiansToDegrees(std::atan2(normal.z, normal.x));

    SkeletonPose out;
    out.rootPosition = pose.rootPosition;
    out.angles.resize(static_cast<size_t>(count));
    // Bones are solved top-down on their parents' solved frames, so a parent
    // held back by its limits does not drag its children off their places.
    std::vector<AxisFrame> solved(static_cast<size_t>(count));
    for (int j = 0; j < count; ++j) {
        const Bone& bone = *skeleton.boneAt(j);
        const Partnering& p = bones_[static_cast<size_t>(j)];
        const AxisFrame& source = skeleton.boneAt(p.partner)->frame();
        // Reflecting the partner's frame gives a left-handed frame; T (also a
        // reflection) turns it back into this bone's right-handed axes.
        AxisFrame wanted;
        Vec3* axes[3] = {&wanted.axisX, &wanted.axisY, &wanted.axisZ};
        for (int k = 0; k < 3; ++k)
            *axes[k] = reflect(source.toWorld(p.rows[k].x, p.rows[k].y, p.rows[k].z), normal);
        const int parent = parentIndex(bone);
        const AxisFrame parentFrame =
            parent < 0 ? AxisFrame() : solved[static_cast<size_t>(parent)];
        const BonePose angles =
            solveBoneAngles(bone, parentFrame, wanted, reference(bone, pose, planeYaw));
        out.angles[static_cast<size_t>(j)] = angles;
        solved[static_cast<size_t>(j)] = Bone::frameOn(parentFrame, bone.mainAxis(), angles);
    }
    out.restore(skeleton);
    mirrored = std::move(out);
    return true;
}
