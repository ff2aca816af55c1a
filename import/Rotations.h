#pragma once

#include "motion/Quaternion.h"
#include "skeleton/Bone.h"

// Rotation helpers the importer works with, on top of the unit quaternions
// of Quaternion.h (right-handed, acting on column vectors; a * b turns by b
// first). Radians here unless a name says degrees; BVH degrees are
// converted with the true pi, the skeleton's angles with its own DEG_PI.

// The turn by `radians` about the unit vector `axis`, right-handed.
Quat quatAboutAxis(const Vec3& axis, double radians);
// The smallest turn that carries the unit vector `from` onto the unit vector
// `to`. Opposite vectors get a half turn about some axis at right angles.
Quat quatBetween(const Vec3& from, const Vec3& to);
// The angle in degrees of the turn from `a` to `b` (0 to 180).
double degreesBetween(const Quat& a, const Quat& b);
// The axis frame whose axes are the turned world x, y, z: the inverse of
// quatFromFrame.
AxisFrame frameFromQuat(const Quat& q);

// The smallest turn `q` makes, as a rotation vector in degrees: the axis
// scaled by the angle.
Vec3 rotationVector(const Quat& q);

// A bone's turn relative to its parent's frame for the angles `angles`,
// exactly as Bone::frameOn builds it (secondary, main, own; each turn within
// ANGLE_TOLERANCE of 0 skipped; an unknown main axis turns nothing), but
// without the frame's per-axis renormalising, which only moves rounding.
Quat boneTurn(int mainAxis, const BonePose& angles);

// v scaled to length 1, or `fallback` for a vector without length.
Vec3 unitOr(const Vec3& v, const Vec3& fallback);
