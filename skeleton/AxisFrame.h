#pragma once

#include "skeleton/Vec3.h"

// Axis codes: name one axis of a frame. Any other value names no axis.
constexpr int AXIS_X = 10;
constexpr int AXIS_Y = 20;
constexpr int AXIS_Z = 30;

// Plane rotation of p in the x-z plane by `degrees` (y unchanged):
// (c*x - s*z, y, s*x + c*z).
Vec3 rotateInXZ(const Vec3& p, double degrees);
// Plane rotation of p in the x-y plane by `degrees` (z unchanged):
// (c*x + s*y, c*y - s*x, z).
Vec3 rotateInXY(const Vec3& p, double degrees);
// p rotated about the line through the origin along `axis` (any length) by
// `degrees`. The sense is that of a rotation by -degrees about the unit axis
// in the right-handed sense: (1,0,0) about (0,1,0) by +90 gives (0,0,1).
// Returns p unchanged when |degrees| <= ANGLE_TOLERANCE.
Vec3 rotateAboutAxis(const Vec3& p, const Vec3& axis, double degrees);

// A bone's orientation: three orthonormal axes. axisY is the bone's long
// axis. A new frame is the identity. Copied by value.
struct AxisFrame {
    Vec3 axisX{1, 0, 0};
    Vec3 axisY{0, 1, 0};
    Vec3 axisZ{0, 0, 1};

    // Rotates the frame in place about its own axis `axisCode` (10, 20, 30)
    // by `degrees`, renormalises the three axes and checks orthogonality.
    // Does nothing at all when |degrees| <= ANGLE_TOLERANCE. Another code
    // rotates nothing but still renormalises and checks.
    void rotate(double degrees, int axisCode);
    // Tests the three pairwise dot products against ANGLE_TOLERANCE; prints
    // "EXCEPTION: AXES NOT ORTHOGONAL" (no line end) once on failure and
    // returns false, else true. The frame is never changed.
    bool checkOrthogonal() const;
    // a*axisX + b*axisY + c*axisZ.
    Vec3 toWorld(double a, double b, double c) const;
};
