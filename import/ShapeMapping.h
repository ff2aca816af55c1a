#pragma once

#include "import/BoneMap.h"

#include <string>

// Maps the figure's bones onto a clip's joints from the skeleton's shape in
// its rest pose, whatever the joints are called:
//   - the hips are the first joint from the root where three large branches
//     part (or two, the legs then parting further down one of them); the
//     branch with the most joints is the spine, the two others the legs;
//   - the spine runs up to the first joint where three large branches part
//     again: the one pointing most upward leads to the head, the two others
//     are the arms;
//   - a leg's thigh and shin are the two longest neighbouring segments down
//     its longest branch; an arm's wrist is its first joint with more than
//     one child (the fingers) or its last, and the two segments before the
//     wrist are the forearm and the upper arm;
//   - the head begins at the joint named "head" in the neck's chain, or at
//     its last joint; the spine parts into two bones at the point nearest
//     half its length.
// Which limb is the left one the names say where they agree ("Left...",
// "l...", "..._L"); otherwise the feet, which point forward, decide.
//
// Branches count as large when they reach a tenth of the rest pose's size
// from where they part, which leaves fingers and toes out.

// Returns false with `error` (one line: what could not be found) when the
// clip has no hips, legs or spine; arms, neck, head, hands and feet that
// cannot be found are left unmapped.
bool mapBonesByShape(const BvhClip& clip, BoneMap& map, std::string& error);

// The world axis (+-x, +-y, +-z) nearest to `direction`.
Vec3 nearestAxis(const Vec3& direction);
