#pragma once

#include "import/Rotations.h"

// Solving a bone's three angles for a wanted turn, where the exact inverse
// (skeleton/BoneOrientation.h) has no answer within the limits.

// `angles` kept a hair inside the bone's limits. The player sets an angle by
// adding the difference to its present value, and a value right on a limit
// can come out a rounding beyond it and be refused; the hair (a few
// thousandths of a degree) outlasts the file's six significant digits.
BonePose insideLimits(const Bone& bone, const BonePose& angles);

// How far the turn of `angles` (main axis `mainAxis`) misses the turn whose
// inverse is `wantedInverse`, as a rotation vector in degrees, and the
// derivatives of that miss by the three angles (per degree), to first order
// in the miss.
Vec3 turnMiss(int mainAxis, const Quat& wantedInverse, const BonePose& angles, Vec3 (&columns)[3]);

// The angles within the bone's limits whose turn relative to the parent
// comes nearest `wanted`, found by damped Gauss-Newton steps from `start`:
// the nearest such angles that the start can slide to, so a pose solved
// from the previous frame's stays with it rather than jumping to another
// equally poor one.
BonePose nearestAngles(const Bone& bone, const Quat& wanted, const BonePose& start);
