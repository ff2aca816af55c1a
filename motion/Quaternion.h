#pragma once

#include "skeleton/AxisFrame.h"

// A rotation as a unit quaternion w + xi + yj + zk, acting on column vectors
// in the right-handed sense (glTF's convention). Products compose right to
// left: (a * b) turns a vector by b first, then by a. A plain value type.
struct Quat {
    double w = 1;
    double x = 0;
    double y = 0;
    double z = 0;
};

// The Hamilton product: the rotation b followed by a.
Quat operator*(const Quat& a, const Quat& b);
// The inverse rotation of a unit quaternion.
Quat conjugate(const Quat& q);
// The same rotation scaled to unit length; the identity for a zero quaternion.
Quat normalized(const Quat& q);
// v turned by the unit quaternion q.
Vec3 rotate(const Quat& q, const Vec3& v);
// q, or -q when that is nearer `reference`: the same rotation, but one that
// interpolates from `reference` along the short way.
Quat alignedWith(const Quat& q, const Quat& reference);

// The rotation that carries world x, y, z onto the frame's axisX, axisY,
// axisZ. A bone's frame is only renormalised axis by axis, so it may be off
// square by rounding; it is squared up first keeping axisY (the bone's long
// axis, on which every tip lies) exactly.
Quat quatFromFrame(const AxisFrame& frame);
