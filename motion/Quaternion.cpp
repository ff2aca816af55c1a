#include "motion/Quaternion.h"

#include <cmath>

namespace {

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// v scaled to unit length, or `fallback` when v has none.
Vec3 unitOr(const Vec3& v, const Vec3& fallback) {
    const double length = std::sqrt(dot(v, v));
    if (!(length > 1e-12)) {
        return fallback;
    }
    return Vec3(v.x / length, v.y / length, v.z / length);
}

// Any unit vector at right angles to the unit vector y.
Vec3 perpendicularTo(const Vec3& y) {
    const Vec3 other = std::fabs(y.x) < 0.9 ? Vec3(1, 0, 0) : Vec3(0, 0, 1);
    return unitOr(cross(y, other), Vec3(1, 0, 0));
}

} // namespace

Quat operator*(const Quat& a, const Quat& b) {
    return Quat{a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
                a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

Quat conjugate(const Quat& q) {
    return Quat{q.w, -q.x, -q.y, -q.z};
}

Quat normalized(const Quat& q) {
    const double length = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    if (!(length > 0)) {
        return Quat{};
    }
    return Quat{q.w / length, q.x / length, q.y / length, q.z / length};
}

Vec3 rotate(const Quat& q, const Vec3& v) {
    // v + 2w(u x v) + 2u x (u x v), u the vector part: no matrix needed.
    const Vec3 u(q.x, q.y, q.z);
    const Vec3 t = cross(u, v) * 2.0;
    return v + t * q.w + cross(u, t);
}

Quat alignedWith(const Quat& q, const Quat& reference) {
    const double d = q.w * reference.w + q.x * reference.x + q.y * reference.y + q.z * reference.z;
    if (d < 0) {
        return Quat{-q.w, -q.x, -q.y, -q.z};
    }
    return q;
}

Quat quatFromFrame(const AxisFrame& frame) {
    const Vec3 y = unitOr(frame.axisY, Vec3(0, 1, 0));
    Vec3 x = unitOr(frame.axisX - y * dot(frame.axisX, y), perpendicularTo(y));
    const Vec3 z = cross(x, y);

    // The matrix with columns x, y, z, read off as a quaternion by the
    // branch that divides by the largest of the four candidate terms.
    const double m00 = x.x, m01 = y.x, m02 = z.x;
    const double m10 = x.y, m11 = y.y, m12 = z.y;
    const double m20 = x.z, m21 = y.z, m22 = z.z;
    const double trace = m00 + m11 + m22;
    Quat q;
    if (trace > 0) {
        const double s = std::sqrt(trace + 1.0) * 2;
        q = Quat{0.25 * s, (m21 - m12) / s, (m02 - m20) / s, (m10 - m01) / s};
    } else if (m00 > m11 && m00 > m22) {
        const double s = std::sqrt(1.0 + m00 - m11 - m22) * 2;
        q = Quat{(m21 - m12) / s, 0.25 * s, (m01 + m10) / s, (m02 + m20) / s};
    } else if (m11 > m22) {
        const double s = std::sqrt(1.0 + m11 - m00 - m22) * 2;
        q = Quat{(m02 - m20) / s, (m01 + m10) / s, 0.25 * s, (m12 + m21) / s};
    } else {
        const double s = std::sqrt(1.0 + m22 - m00 - m11) * 2;
        q = Quat{(m10 - m01) / s, (m02 + m20) / s, (m12 + m21) / s, 0.25 * s};
    }
    return normalized(q);
}
