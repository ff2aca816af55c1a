#pragma once

#include "skeleton/Bone.h"
#include "skeleton/DampedLeastSquares.h"

struct ScreenProjection;

// Steps of one aim call, a mouse move's worth: from a move's distance away
// the tip settles on a reachable pixel in a handful of them.
constexpr int AIM_MAX_ITERATIONS = 20;
// The aim stops once the tip is this close to the pointer, in pixels.
constexpr double AIM_TOLERANCE_PIXELS = 1e-3;
// The tip may jump to a pose far from the present one only when the
// pointer lies more than this many pixels beyond its reach.
constexpr double AIM_JUMP_PIXELS = 1;
// A drag turns the bone only when that brings its tip at least this many
// pixels closer to the pointer: less would change its angles with nothing
// to see on the screen (at a limit, say, where another pose comes a hair
// closer).
constexpr double AIM_MIN_GAIN_PIXELS = 0.5;
// Degrees of twist per pixel of horizontal drag: the camera's own turn rate,
// 0.15 held in single precision.
constexpr double TWIST_DEGREES_PER_PIXEL = static_cast<double>(0.15f);

// Turns `bone` so that its tip's projection comes as close to window pixel
// (x, y) (from the bottom-left) as its limits allow: only the main and
// secondary angles change, starting from the present ones and moving them as
// little as the pointer needs, so the bone neither flips nor spins; the own
// angle is kept bit for bit. Only when the pointer lies more than
// AIM_JUMP_PIXELS beyond the reach of the present pose (past a fold of the
// bone's swing on the screen, or past a limit) does a coarse search over
// the whole range pick a farther pose that comes clearly closer, the
// nearest such pose. Iterations are bounded, every step is taken only when
// it brings the tip strictly closer on the screen, the bone keeps its pose
// unless the tip ends at least AIM_MIN_GAIN_PIXELS closer, and every angle
// stays within its limits. The report's errors are window pixels. A bone without
// length, or whose tip lies at or behind the eye, is left alone (startError
// -1).
SolveReport aimBone(Bone& bone, const ScreenProjection& view, double x, double y,
                    int maxIterations = AIM_MAX_ITERATIONS);

// Shift-drag: turns `bone` about its own long axis by `pixels` of
// horizontal pointer movement times `degreesPerPixel` (rightward is a
// positive own angle), stopping at its limits rather than refusing the turn
// as a held button would. Returns true when the own angle changed.
bool twistBone(Bone& bone, double pixels, double degreesPerPixel = TWIST_DEGREES_PER_PIXEL);
