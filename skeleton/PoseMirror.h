#pragma once

#include "skeleton/SkeletonPose.h"

#include <string>
#include <vector>

class Skeleton;

// Mirrors a figure's pose left to right. Built once from a skeleton in its
// rest pose, it pairs every bone with its mirror partner: the bone whose rest
// joint and tip are the mirror images of its own, whose parent is its
// parent's partner (a bone on the middle plane is its own partner). Bone
// numbers play no part, so any skeleton whose rest pose is symmetric works.
//
// The middle plane of a posed figure is vertical (it contains world +y) and
// passes through the root's joint; its normal is the figure's left-right
// axis, which turns with the root: the rest left-right axis carried by the
// root's present frame, made horizontal. When that axis points straight up
// or down (the figure lies on its side) the normal is the figure's forward
// axis made horizontal instead, so the head stays where it is.
//
// Mirroring puts every bone where its partner's mirror image is: its frame is
// the reflected partner frame, turned back into a right-handed frame by the
// reflection that relates the two partners' rest frames, and its angles are
// solved top-down from those frames with solveBoneAngles, nearest the
// partner's angles mirrored, inside the bone's limits.
class PoseMirror {
public:
    // Finds the partners in `rest`'s present pose, taken as its rest pose.
    // Returns false, keeps no partners and sets reason() to a one-line
    // message when the skeleton has no bones or is not symmetric.
    bool build(const Skeleton& rest);
    // True after a successful build.
    bool ready() const { return !bones_.empty(); }
    // Why the last build failed; empty after a successful one.
    const std::string& reason() const { return reason_; }
    // The index of bone `index`'s partner (itself on the middle plane), or
    // -1 before a successful build or for an index out of range.
    int partnerOf(int index) const;

    // The unit normal of `posed`'s middle plane (horizontal). (1, 0, 0) before
    // a successful build or for a skeleton without bones.
    Vec3 middlePlaneNormal(const Skeleton& posed) const;

    // The mirror image of `pose` for `skeleton`, a skeleton of the file the
    // partners came from, which is used as scratch: it is left in the
    // mirrored pose. The root's joint point stays; every angle lies inside
    // its bone's limits. Returns false and changes nothing when not ready or
    // when the bone counts of skeleton, pose and partners differ.
    bool mirror(Skeleton& skeleton, const SkeletonPose& pose, SkeletonPose& mirrored) const;

private:
    // Per bone: its partner and how the partner's rest frame maps onto its
    // own through the rest mirror.
    struct Partnering {
        int partner = -1;
        // Row k of the reflection T: the partner's frame reflected, then
        // expressed in this bone's rest frame, is this bone's rest frame with
        // its axes flipped by T. Frame mirrored = M * partner frame * T^T.
        Vec3 rows[3];
        // When T flips axes only, and the parent pair flips the same ones, the
        // mirrored angles are the partner's angles times these signs (main,
        // sec, own); zero when no such rule applies.
        Vec3 signs{0, 0, 0};
    };

    bool tryPlane(const Skeleton& rest, const Vec3& normal, int& failedBone);
    // The angles the mirror should land nearest for `bone`: its partner's
    // under the sign rule, else its own in `pose`.
    BonePose reference(const Bone& bone, const SkeletonPose& pose, double planeYaw) const;

    std::vector<Partnering> bones_;
    // The rest left-right and forward axes in the root's rest frame.
    Vec3 leftInRoot_{1, 0, 0};
    Vec3 forwardInRoot_{0, 0, 1};
    std::string reason_;
};
