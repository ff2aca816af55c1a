#pragma once

#include <Imath/ImathVec.h>

// Points, directions, frame axes and angle triples: three doubles.
using Vec3 = Imath::V3d;

// The value of pi used for every degree/radian conversion in the program
// (camera and axis frames). It is deliberately this 13-digit value, not the
// full-precision one, so cos(90 degrees) comes out near 3.97e-13.
constexpr double DEG_PI = 3.141592653589;

// 0.0001 held in single precision: an angle at most this big means "no
// rotation", a dot product above it fails the orthogonality test, and a bone
// shorter than it has no length.
constexpr double ANGLE_TOLERANCE = static_cast<double>(0.0001f);

inline double degreesToRadians(double degrees) {
    return degrees * DEG_PI / 180.0;
}
inline double radiansToDegrees(double radians) {
    return radians * 180.0 / DEG_PI;
}
