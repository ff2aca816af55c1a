#include "import/Rotations.h"

#include <algorithm>
#include <cmath>

Vec3 unitOr(const Vec3& v, const Vec3& fallback) {
    const double length = v.length();
    if (!(length > 1e-12) || !std::isfinite(length)) {
        return fallback;
    }
    return v / length;
}

Quat quatAboutAxis(const Vec3& axis, double radians) {
    const double s = std::sin(radians / 2);
    return Quat{std::cos(radians / 2), axis.x * s, axis.y * s, axis.z * s};
}

Quat quatBetween(const Vec3& from, const Vec3& to) {
    const double c = from.dot(to);
    if (c < -1 + 1e-12) {
        // Any axis at right angles will do for a half turn.
        const Vec3 other = std::fabs(from.x) < 0.9 ? Vec3(1, 0, 0) : Vec3(0, 0, 1);
        return quatAboutAxis(unitOr(from.cross(other), Vec3(0, 0, 1)), M_PI);
    }
    // The half-way quaternion: (1 + c, from x to), normalised.
    const Vec3 axis = from.cross(to);
    return normalized(Quat{1 + c, axis.x, axis.y, axis.z});
}

double degreesBetween(const Quat& a, const Quat& b) {
    const double d = std::fabs(a.w * b.w + a.x * b.x + a.y * b.y + a.z * b.z);
    return 2 * std::acos(std::min(1.0, d)) * 180 / M_PI;
}

AxisFrame frameFromQuat(const Quat& q) {
    AxisFrame f;
    f.axisX = rotate(q, Vec3(1, 0, 0));
    f.axisY = rotate(q, Vec3(0, 1, 0));
    f.axisZ = rotate(q, Vec3(0, 0, 1));
    return f;
}

Vec3 rotationVector(const Quat& q) {
    const double sign = q.w < 0 ? -1 : 1;
    const Vec3 v(q.x * sign, q.y * sign, q.z * sign);
    const double s = v.length();
    const double toDegrees = 180 / M_PI;
    if (s < 1e-12) {
        return v * (2 * toDegrees);
    }
    return v * (2 * std::atan2(s, q.w * sign) / s * toDegrees);
}

namespace {

// AxisFrame::rotate(degrees, code) turns the frame about its own axis by
// -degrees in the right-handed sense, so it multiplies on the right.
Quat frameStep(const Vec3& axis, double degrees) {
    if (std::fabs(degrees) <= ANGLE_TOLERANCE) {
        return Quat{};
    }
    return quatAboutAxis(axis, -degreesToRadians(degrees));
}

} // namespace

Quat boneTurn(int mainAxis, const BonePose& angles) {
    const Vec3 y(0, 1, 0);
    Quat main;
    if (mainAxis == AXIS_X) {
        main = frameStep(Vec3(1, 0, 0), angles.x);
    } else if (mainAxis == AXIS_Y) {
        main = frameStep(y, angles.x);
    } else if (mainAxis == AXIS_Z) {
        main = frameStep(Vec3(0, 0, 1), angles.x);
    }
    return frameStep(y, angles.y) * main * frameStep(y, angles.z);
}
