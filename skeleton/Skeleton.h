#pragma once

#include "skeleton/Bone.h"

#include <deque>
#include <istream>
#include <memory>
#include <string>
#include <vector>

// Bones the default skeleton file yields, and that a key frame stores.
constexpr int POSE_BONE_COUNT = 21;

// The figure the user poses: bones in index order (root first, parents
// before children) joined in a tree. Owns its bones, their joint points and
// the root position for the rest of its life; bones are never removed or
// re-parented. Loading is done by the constructors from a .rgcf skeleton
// file; drawing and picking live in SkeletonDrawing.h.
class Skeleton {
public:
    // Reads the skeleton file at `path`; positions in it are relative to the
    // origin. A failed read prints its one-line message and leaves the bones
    // read so far (possibly none).
    Skeleton(const std::string& path, double originX, double originY, double originZ);
    // The same, reading the file's text from a stream.
    Skeleton(std::istream& in, double originX, double originY, double originZ);

    Skeleton(const Skeleton&) = delete;
    Skeleton& operator=(const Skeleton&) = delete;

    int boneCount() const { return static_cast<int>(bones_.size()); }
    // bones[i] for 0 <= i < boneCount(), else nullptr.
    Bone* boneAt(int i);
    const Bone* boneAt(int i) const;
    // True when the skeleton has all POSE_BONE_COUNT bones that key frames,
    // the player and the editor need.
    bool complete() const { return boneCount() >= POSE_BONE_COUNT; }

    // The first bone read, or nullptr when the file yielded none.
    Bone* rootBone() const { return bones_.empty() ? nullptr : bones_.front().get(); }
    // The root's joint point in world coordinates, or nullptr without a root.
    // The camera orbits it.
    Vec3* rootPosition() const { return rootPosition_.get(); }
    const Vec3& origin() const { return origin_; }

    // The bone picked last, or nullptr.
    Bone* selectedBone() const { return selectedBone_; }
    // Makes `bone` (a bone of this skeleton, or nullptr) the selected one and
    // keeps every bone's selected flag in step.
    void select(Bone* bone);

    // A pending pick, written by the input dispatch and consumed by the next
    // draw: window pixels, x from the left, y from the bottom.
    bool pickRequested = false;
    int pickX = 0;
    int pickY = 0;
    int pickButton = 0;

private:
    friend class SkeletonFileReader;
    void load(std::istream& in);

    std::vector<std::unique_ptr<Bone>> bones_;
    std::unique_ptr<Vec3> rootPosition_;
    // Joint points of the non-root bones; a deque never moves its elements.
    std::deque<Vec3> jointPoints_;
    Vec3 origin_;
    Bone* selectedBone_ = nullptr;
};
