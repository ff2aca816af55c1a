#pragma once

#include "skeleton/Bone.h"
#include "skeleton/DampedLeastSquares.h"

#include <vector>

struct ScreenProjection;

// Bones an IK chain holds at most.
constexpr int IK_CHAIN_LENGTH = 3;
// Steps of one chain solve, a mouse move's worth.
constexpr int IK_MAX_ITERATIONS = 20;
// The solve stops once the tip is this close to its target, in scene units
// (well below a hundredth of a pixel at the start camera's distance).
constexpr double IK_TOLERANCE = 1e-6;

// The bones that carry the end bone `leaf` in an IK drag, nearest the leaf
// first: from the leaf's parent upward, each ancestor that is not the root,
// ending after a bone with more than one child (a branching point such as
// the upper spine) or after IK_CHAIN_LENGTH bones. On the default figure:
// a hand's forearm, upper arm and shoulder; a foot's shin, thigh and hip;
// the head's neck and upper spine. Empty for a bone with children (only the
// figure's ends are dragged this way), for the root and its direct children.
std::vector<Bone*> ikChain(const Bone& leaf);

// The point a pointer at window pixel (x, y) (from the bottom-left) asks an
// IK drag for: where the ray under the pixel meets the plane through
// `through` (the tip's present position) that faces the camera (its normal
// is the view direction). Returns false, leaving `target` as it was, when
// the view cannot be inverted or the plane does not lie ahead of the eye.
bool dragPlaneTarget(const ScreenProjection& view, const Vec3& through, double x, double y,
                     Vec3& target);

// Turns the main and secondary angles of the `chain` bones (own angles
// kept, the leaf's own angles kept) to bring the tip of `leaf` toward
// `target` (world coordinates): damped least-squares steps from the present
// angles, with coordinate sweeps where they stall, at most `maxIterations`;
// a solve that still stalls short of the target tries a few more starting
// poses (as many iterations each) and takes the nearest pose that gets
// clearly closer. The tip never ends farther from the target than it
// started, every angle is within its limits after every step, and an
// unreachable target ends at the nearest pose the limits allow. The report's
// errors are scene units. A chain that does not lead down to `leaf`, or is
// empty or longer than IK_CHAIN_LENGTH, changes nothing (startError -1).
SolveReport solveChain(const std::vector<Bone*>& chain, const Bone& leaf, const Vec3& target,
                       int maxIterations = IK_MAX_ITERATIONS);

// One mouse move of a Ctrl-drag on `leaf`: its chain (ikChain) brings its
// tip toward the drag-plane target under pixel (x, y). Changes nothing
// (startError -1) when the leaf has no chain or the target cannot be found.
SolveReport dragChain(const Bone& leaf, const ScreenProjection& view, double x, double y,
                      int maxIterations = IK_MAX_ITERATIONS);
