#pragma once

#include "motion/ExportRig.h"

#include <vector>

// A small figure that draws every bone of a rig in its rest pose, so viewers
// of a skinned export show something: an eight-sided spindle from the
// joint to the tip, widest a fifth of the way along, and a small diamond
// around the joint of a bone without length. Flat-shaded triangles, three
// vertices each, every vertex bound wholly to its own bone. Plain arrays in
// world coordinates, parallel by vertex.
struct BoneMesh {
    std::vector<Vec3> positions;
    // Unit face normals, pointing out of the spindle.
    std::vector<Vec3> normals;
    // The bone index each vertex follows.
    std::vector<int> joints;
};

// The mesh for every bone of `rig`, bone by bone.
BoneMesh makeBoneMesh(const ExportRig& rig);
