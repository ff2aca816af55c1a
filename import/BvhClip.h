#pragma once

#include "skeleton/Vec3.h"

#include <string>
#include <vector>

// A motion-capture clip as a BVH file holds it: a tree of joints, each with
// an offset from its parent and the channels it reads from every motion
// line, then one line of values per frame. Units are the file's own (any
// length unit; angles in degrees). A plain value, read by BvhReader.h.
//
// At zero rotations every joint's axes are the world's, so the offsets are
// the rest pose's bone vectors in world axes. A joint's transform is its
// parent's, then a move by its offset (plus its position channels), then its
// rotation channels composed in the order the file lists them.

enum class BvhChannel { Xposition, Yposition, Zposition, Xrotation, Yrotation, Zrotation };

struct BvhJoint {
    std::string name;
    // Index of the parent joint; -1 for the root. Parents come first.
    int parent = -1;
    std::vector<int> children;
    Vec3 offset{0, 0, 0};
    std::vector<BvhChannel> channels;
    // Where the joint's first channel sits on a motion line.
    int firstValue = 0;
    // The tip of a joint without children, when the file gives one.
    bool hasEndSite = false;
    Vec3 endSite{0, 0, 0};
    // The file line that names the joint, for messages.
    int line = 0;
};

struct BvhClip {
    std::vector<BvhJoint> joints;
    // Values on every motion line: the sum of the joints' channel counts.
    int valuesPerFrame = 0;
    int frameCount = 0;
    // Seconds from one frame to the next; above 0.
    double frameTime = 0;
    // frameCount lines of valuesPerFrame values, line after line.
    std::vector<double> values;

    // The values of frame `f` (0 to frameCount - 1).
    const double* frame(int f) const {
        return values.data() + static_cast<size_t>(f) * valuesPerFrame;
    }
    // The joint named exactly `name`, or -1.
    int jointNamed(const std::string& name) const;
};
