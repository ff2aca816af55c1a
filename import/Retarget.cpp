#include "import/Retarget.h"

#include "import/BvhPose.h"
#include "import/FootContact.h"
#include "import/Rotations.h"
#include "import/ShapeMapping.h"
#include "import/TurnSolve.h"
#include "motion/Ground.h"
#include "skeleton/BoneOrientation.h"
#include "skeleton/SinglePrecision.h"

#include <cmath>
#include <limits>

namespace {

using namespace FigureBone;

const Vec3 UP(0, 1, 0);
constexpr float NOT_MEASURED = std::numeric_limits<float>::quiet_NaN();

Vec3 level(const Vec3& v) {
    return Vec3(v.x, 0, v.z);
}

// The hinge below a limb's upper bone, or -1.
int hingeChild(int bone) {
    switch (bone) {
    case LeftThigh:
    case RightThigh:
    case LeftUpperArm:
    case RightUpperArm:
        return bone + 1;
    default:
        return -1;
    }
}

// Below this bend a limb counts as straight and keeps its joint's twist;
// above the second the twist comes wholly from the plane of the bend.
constexpr double STRAIGHT_DEGREES = 5;
constexpr double BENT_DEGREES = 20;

// The width of the bell curve the clip's channels are smoothed over,
// seconds (see BvhKinematics).
constexpr double SMOOTHING_SECONDS = 1.0 / 60;

// The shortest legs a clip may have, in its own units (a micrometre in
// metres, a thousandth of a millimetre in millimetres).
constexpr double SHORTEST_LEG = 1e-6;

// A solution this near its target counts as exact, degrees; a fresh one
// must come this much nearer than the followed one to be taken.
constexpr double EXACT_DEGREES = 0.01;
constexpr double JUMP_DEGREES = 5;

// The signed angle about the unit axis `axis` from `from` to `to`, both at
// right angles to it.
double angleAbout(const Vec3& axis, const Vec3& from, const Vec3& to) {
    return std::atan2(axis.dot(from.cross(to)), from.dot(to));
}

// Position channels count on the hips and the joints above them only.
std::vector<bool> movingJoints(const BvhClip& clip, int hips) {
    std::vector<bool> moving(clip.joints.size(), false);
    for (int j = hips; j >= 0; j = clip.joints[j].parent) {
        moving[j] = true;
    }
    return moving;
}

// The bone's tip distance as Bone::endPoint walks it.
double tipLength(const Bone& bone) {
    return bone.length() < ANGLE_TOLERANCE ? 0 : toSinglePrecision(bone.length());
}

class Retargeter {
public:
    Retargeter(const BvhClip& clip, const BoneMap& map, const Skeleton& figure)
        : clip_(clip), map_(map), figure_(figure),
          kin_(clip, movingJoints(clip, map.hips()), SMOOTHING_SECONDS) {}

    bool setUp(std::string& error);
    // Solves frame `f` into `pose` (angles only), the previous frame's
    // angles in `pose` on entry; records the feet and the errors.
    void solveFrame(int f, ImportPose& pose, FeetFrame& feet,
                    std::array<float, POSE_BONE_COUNT>& errors);

    double scale() const { return scale_; }
    double clipLeg() const { return clipLeg_; }
    const Vec3& up() const { return up_; }

private:
    // A span's ends in `pose` as the clip's kinematics gives it, in the
    // clip's own axes.
    Vec3 spanStart(const BvhPose& pose, int bone) const {
        return pose.positions[map_.bones[bone].start];
    }
    Vec3 spanEnd(const BvhPose& pose, int bone) const {
        const BoneSource& s = map_.bones[bone];
        return s.endAtSite ? kin_.endSite(pose, s.end) : pose.positions[s.end];
    }
    // The lowest of a foot's points in the clip's pose `raw`, upright.
    Vec3 lowestFoot(const BvhPose& raw, int shin, int foot) const;
    Quat acrossTheBend(int bone, const Quat& wanted, const Vec3& upper, const Vec3& lower) const;
    BonePose solveTurn(const Bone& bone, const Quat& parentTurn, const Quat& target,
                       const BonePose& previous) const;

    const BvhClip& clip_;
    const BoneMap& map_;
    const Skeleton& figure_;
    BvhKinematics kin_;
    // The clip's up axis turned onto the figure's y.
    Quat upright_;
    // The figure's start pose turned about y to face as the clip's rest.
    Quat facing_;
    // Per bone: its rest rotation as the figure starts, then turned by
    // facing_ and by the alignment of its rest direction with the clip's.
    std::array<Quat, POSE_BONE_COUNT> rest_;
    // Per Direction bone: the span's rest direction, upright; zero when the
    // bone follows by turn only.
    std::array<Vec3, POSE_BONE_COUNT> restSpan_;
    // Per thigh and upper arm: the side, in its own axes, toward which its
    // hinge child (shin, forearm) bends; zero for other bones.
    std::array<Vec3, POSE_BONE_COUNT> bendSide_;
    double scale_ = 1, clipLeg_ = 1;
    Vec3 up_{0, 1, 0};
    BvhPose raw_, world_;
};

bool Retargeter::setUp(std::string& error) {
    for (int bone : {Hips, LeftThigh, LeftShin, RightThigh, RightShin}) {
        if (!map_.mapped(bone)) {
            error = "no joint of the clip is mapped to the figure's " + figureBoneName(bone);
            return false;
        }
    }
    BvhPose rest;
    kin_.restPose(rest);
    const Vec3 feet = (spanEnd(rest, LeftShin) + spanEnd(rest, RightShin)) / 2;
    up_ = nearestAxis(rest.positions[map_.hips()] - feet);
    upright_ = quatBetween(up_, UP);
    if (up_.y < -0.5) {
        // Upside down: a half turn about the forward axis keeps left left.
        upright_ = quatAboutAxis(Vec3(0, 0, 1), M_PI);
    }

    double legs = 0;
    for (int bone : {LeftThigh, LeftShin, RightThigh, RightShin}) {
        legs += (spanEnd(rest, bone) - spanStart(rest, bone)).length();
    }
    clipLeg_ = legs / 2;
    const double figureLeg =
        (tipLength(*figure_.boneAt(LeftThigh)) + tipLength(*figure_.boneAt(LeftShin)) +
         tipLength(*figure_.boneAt(RightThigh)) + tipLength(*figure_.boneAt(RightShin))) /
        2;
    // Legs of next to no length would scale the root's path past any
    // number a file can hold.
    if (!(clipLeg_ >= SHORTEST_LEG) || !(figureLeg > 0)) {
        error = "the clip's legs have next to no length in its rest pose";
        return false;
    }
    scale_ = figureLeg / clipLeg_;

    // Left is from the right thigh to the left one, on the level.
    const Vec3 clipLeft =
        unitOr(level(rotate(upright_, spanStart(rest, LeftThigh) - spanStart(rest, RightThigh))),
               Vec3(1, 0, 0));
    const Vec3 figureLeft = unitOr(
        level(figure_.boneAt(LeftThigh)->position() - figure_.boneAt(RightThigh)->position()),
        Vec3(1, 0, 0));
    facing_ = figureLeft.dot(clipLeft) < -1 + 1e-9 ? quatAboutAxis(UP, M_PI)
                                                   : quatBetween(figureLeft, clipLeft);

    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        const Bone& b = *figure_.boneAt(bone);
        const Quat turned = facing_ * quatFromFrame(b.frame());
        restSpan_[bone] = Vec3(0, 0, 0);
        // A bone starts from its parent's alignment: a Turn bone keeps it,
        // so it stands to its parent as in the figure's start pose.
        Quat align = bone == Hips ? Quat{}
                                  : rest_[b.parent()->index()] *
                                        conjugate(facing_ * quatFromFrame(b.parent()->frame()));
        if (map_.mapped(bone) && bone != Hips && boneFollow(bone) == BoneFollow::Direction) {
            const Vec3 span = rotate(upright_, spanEnd(rest, bone) - spanStart(rest, bone));
            if (span.length() > 1e-9 * clipLeg_) {
                restSpan_[bone] = unitOr(span, UP);
                // Only the swing left after the parent's alignment, so a
                // limb whose rest pose differs as a whole (arms out against
                // arms down) keeps its twist from bone to bone.
                align = quatBetween(rotate(align * turned, UP), restSpan_[bone]) * align;
            }
        }
        rest_[bone] = normalized(align * turned);
    }
    // A hinge bends about one axis only (its sec range is narrow), so its
    // parent must be twisted to put that axis across the bend.
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        bendSide_[bone] = Vec3(0, 0, 0);
        const int child = hingeChild(bone);
        if (child < 0 || restSpan_[bone].length() == 0 || restSpan_[child].length() == 0) {
            continue;
        }
        const Bone& hinge = *figure_.boneAt(child);
        const double middle = (hinge.minMain() + hinge.maxMain()) / 2;
        const Vec3 bent = rotate(boneTurn(hinge.mainAxis(), BonePose(middle, 0, 0)), UP);
        bendSide_[bone] = unitOr(bent - UP * bent.dot(UP), Vec3(0, 0, 0));
    }
    return true;
}

Vec3 Retargeter::lowestFoot(const BvhPose& raw, int shin, int foot) const {
    Vec3 lowest = rotate(upright_, spanEnd(raw, shin));
    if (map_.mapped(foot)) {
        for (const Vec3& point : {spanStart(raw, foot), spanEnd(raw, foot)}) {
            const Vec3 p = rotate(upright_, point);
            if (p.y < lowest.y) {
                lowest = p;
            }
        }
    }
    return lowest;
}

// `wanted` (an upper limb bone along `upper`) twisted about its long axis
// so that its hinge child bends toward `lower` as far as the bend is
// clear: not at all for a straight limb, wholly past BENT_DEGREES.
Quat Retargeter::acrossTheBend(int bone, const Quat& wanted, const Vec3& upper,
                               const Vec3& lower) const {
    const double bend = std::acos(std::clamp(upper.dot(lower), -1.0, 1.0)) * 180 / M_PI;
    const double weight =
        std::clamp((bend - STRAIGHT_DEGREES) / (BENT_DEGREES - STRAIGHT_DEGREES), 0.0, 1.0);
    if (weight == 0) {
        return wanted;
    }
    const Vec3 side = rotate(wanted, bendSide_[bone]);
    const Vec3 wantedSide = unitOr(lower - upper * lower.dot(upper), side);
    return quatAboutAxis(upper, weight * angleAbout(upper, side, wantedSide)) * wanted;
}

// The angles of `bone` on a parent turned `parentTurn` whose world turn
// comes nearest `target`: the exact solution nearest `previous` when the
// limits allow one; otherwise the nearest reachable turn, followed on from
// the previous frame's angles unless a fresh solution comes clearly nearer,
// so a pose the limits cut short does not jump between equally poor answers.
BonePose Retargeter::solveTurn(const Bone& bone, const Quat& parentTurn, const Quat& target,
                               const BonePose& previous) const {
    const Quat local = normalized(conjugate(parentTurn) * target);
    const BonePose solved =
        solveBoneAngles(bone, frameFromQuat(parentTurn), frameFromQuat(target), previous);
    const double missed = degreesBetween(boneTurn(bone.mainAxis(), solved), local);
    if (missed <= EXACT_DEGREES) {
        return insideLimits(bone, solved);
    }
    const BonePose followed = nearestAngles(bone, local, previous);
    const BonePose fresh = nearestAngles(bone, local, solved);
    const double followedMiss = degreesBetween(boneTurn(bone.mainAxis(), followed), local);
    const double freshMiss = degreesBetween(boneTurn(bone.mainAxis(), fresh), local);
    return freshMiss + JUMP_DEGREES < followedMiss ? fresh : followed;
}

void Retargeter::solveFrame(int f, ImportPose& pose, FeetFrame& feet,
                            std::array<float, POSE_BONE_COUNT>& errors) {
    kin_.pose(f, raw_);
    // Everything upright: positions turned, turns seen in turned axes.
    const std::size_t count = raw_.positions.size();
    world_.positions.resize(count);
    world_.rotations.resize(count);
    const Quat back = conjugate(upright_);
    for (std::size_t j = 0; j < count; ++j) {
        world_.positions[j] = rotate(upright_, raw_.positions[j]);
        world_.rotations[j] = upright_ * raw_.rotations[j] * back;
    }

    // Where every bone should turn to, in world axes.
    std::array<Quat, POSE_BONE_COUNT> wanted;
    std::array<Vec3, POSE_BONE_COUNT> direction;
    wanted[Hips] = world_.rotations[map_.hips()] * rest_[Hips];
    for (int bone = 1; bone < POSE_BONE_COUNT; ++bone) {
        if (!map_.mapped(bone)) {
            continue;
        }
        const Quat& turn = world_.rotations[map_.bones[bone].twist];
        wanted[bone] = turn * rest_[bone];
        if (restSpan_[bone].length() > 0) {
            // The twist joint carries the span's rest direction to here; the
            // span may bend on the way (several joints), so swing onto it.
            const Vec3 carried = rotate(turn, restSpan_[bone]);
            direction[bone] =
                unitOr(rotate(upright_, spanEnd(raw_, bone) - spanStart(raw_, bone)), carried);
            wanted[bone] = quatBetween(carried, direction[bone]) * wanted[bone];
        }
    }

    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        if (bendSide_[bone].length() > 0 && map_.mapped(bone) && map_.mapped(bone + 1)) {
            wanted[bone] = acrossTheBend(bone, wanted[bone], direction[bone], direction[bone + 1]);
        }
    }

    // Solved top down on the parents as they come out. Limbs and spine aim
    // where the clip's point seen from the hips, so the root's limits
    // cannot bend them away; the other bones keep their turn from their
    // parent, so they do not pass the parent's misses on.
    std::array<AxisFrame, POSE_BONE_COUNT> frames;
    const Bone& root = *figure_.boneAt(Hips);
    pose.angles[Hips] = solveTurn(root, Quat{}, wanted[Hips], pose.angles[Hips]);
    frames[Hips] = Bone::frameOn(AxisFrame(), root.mainAxis(), pose.angles[Hips]);
    const Quat hipsAsSolved = quatFromFrame(frames[Hips]);
    const Quat fromHips = conjugate(wanted[Hips]);
    errors.fill(NOT_MEASURED);
    for (int bone = 1; bone < POSE_BONE_COUNT; ++bone) {
        const Bone& b = *figure_.boneAt(bone);
        const int p = b.parent()->index();
        const AxisFrame& parent = frames[p];
        if (map_.mapped(bone)) {
            const Quat parentTurn = quatFromFrame(parent);
            const bool fromParent = boneFollow(bone) == BoneFollow::Turn && map_.mapped(p);
            const Quat target = fromParent ? parentTurn * (conjugate(wanted[p]) * wanted[bone])
                                           : hipsAsSolved * (fromHips * wanted[bone]);
            pose.angles[bone] = solveTurn(b, parentTurn, normalized(target), pose.angles[bone]);
        } else {
            pose.angles[bone] = b.pose();
        }
        frames[bone] = Bone::frameOn(parent, b.mainAxis(), pose.angles[bone]);
        if (map_.mapped(bone) && restSpan_[bone].length() > 0) {
            const Vec3 got = rotate(conjugate(hipsAsSolved), frames[bone].axisY);
            const Vec3 meant = rotate(fromHips, direction[bone]);
            errors[bone] =
                static_cast<float>(std::acos(std::clamp(got.dot(meant), -1.0, 1.0)) * 180 / M_PI);
        }
    }

    // The figure's joints relative to its root, for its feet.
    std::array<Vec3, POSE_BONE_COUNT> joints;
    joints[Hips] = Vec3(0, 0, 0);
    for (int bone = 1; bone < POSE_BONE_COUNT; ++bone) {
        const int p = figure_.boneAt(bone)->parent()->index();
        joints[bone] = joints[p] + frames[p].axisY * tipLength(*figure_.boneAt(p));
    }
    const int footBones[2] = {LeftFoot, RightFoot};
    const int shins[2] = {LeftShin, RightShin};
    for (int side = 0; side < 2; ++side) {
        const int foot = footBones[side];
        const Vec3 tip = joints[foot] + frames[foot].axisY * tipLength(*figure_.boneAt(foot));
        feet.figureFoot[side] = std::min(joints[foot].y, tip.y);
        feet.clipFoot[side] = lowestFoot(raw_, shins[side], foot);
    }
    feet.clipHips = world_.positions[map_.hips()];
}

} // namespace

bool retargetClip(const BvhClip& clip, const BoneMap& map, const Skeleton& figure,
                  RetargetedClip& out, std::string& error, const ImportProgress& progress) {
    if (!figure.complete()) {
        error = "the figure's skeleton is not complete";
        return false;
    }
    Retargeter retargeter(clip, map, figure);
    if (!retargeter.setUp(error)) {
        return false;
    }
    const int n = clip.frameCount;
    RetargetedClip result;
    result.frameTime = clip.frameTime;
    result.scale = retargeter.scale();
    result.up = retargeter.up();
    result.poses.resize(n);
    result.directionError.resize(n);
    std::vector<FeetFrame> feet(n);
    ImportPose pose;
    for (int bone = 0; bone < POSE_BONE_COUNT; ++bone) {
        pose.angles[bone] = figure.boneAt(bone)->pose();
    }
    for (int f = 0; f < n; ++f) {
        retargeter.solveFrame(f, pose, feet[f], result.directionError[f]);
        result.poses[f] = pose;
        if (progress && f % 64 == 0 && !progress(static_cast<double>(f) / n)) {
            error = "stopped";
            return false;
        }
    }

    const double floor = clipFloor(feet);
    result.contact = detectContacts(feet, clip.frameTime, retargeter.clipLeg(), floor);
    const std::vector<double> heights =
        rootHeights(feet, result.contact, retargeter.scale(), floor, groundHeight(figure));
    const Vec3 start = *figure.rootPosition();
    for (int f = 0; f < n; ++f) {
        const Vec3 travel = (feet[f].clipHips - feet[0].clipHips) * retargeter.scale();
        result.poses[f].root = Vec3(start.x + travel.x, heights[f], start.z + travel.z);
    }
    out = std::move(result);
    return true;
}
