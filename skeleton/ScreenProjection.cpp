#include "skeleton/ScreenProjection.h"

#include <cmath>
#include <utility>

namespace {

struct Vec4 {
    double v[4];
};

Vec4 transform(const Matrix4& m, const Vec4& p) {
    Vec4 out{};
    for (int r = 0; r < 4; ++r)
        out.v[r] = m[r] * p.v[0] + m[4 + r] * p.v[1] + m[8 + r] * p.v[2] + m[12 + r] * p.v[3];
    return out;
}

// Clip coordinates of a world point through the model-view and projection.
Vec4 clip(const ScreenProjection& s, const Vec3& world) {
    return transform(s.projection, transform(s.modelView, Vec4{{world.x, world.y, world.z, 1}}));
}

Vec3 toWindow(const ScreenProjection& s, const Vec4& c) {
    // The same order of operations as gluProject, so the two agree to the bit
    // on the same matrices.
    const double x = c.v[0] / c.v[3] * 0.5 + 0.5, y = c.v[1] / c.v[3] * 0.5 + 0.5,
                 z = c.v[2] / c.v[3] * 0.5 + 0.5;
    return Vec3(x * s.viewport[2] + s.viewport[0], y * s.viewport[3] + s.viewport[1], z);
}

} // namespace

Matrix4 identityMatrix() {
    return Matrix4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 out{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            out[c * 4 + r] = a[r] * b[c * 4] + a[4 + r] * b[c * 4 + 1] + a[8 + r] * b[c * 4 + 2] +
                             a[12 + r] * b[c * 4 + 3];
    return out;
}

bool invert(const Matrix4& m, Matrix4& out) {
    // Gauss-Jordan with partial pivoting on [m | I], row by row of the
    // row-major view of m.
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m[c * 4 + r];
            a[r][c + 4] = r == c ? 1 : 0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        // Also refuses NaN: it fails every comparison.
        if (!(std::fabs(a[pivot][col]) > 0))
            return false;
        if (pivot != col)
            for (int c = 0; c < 8; ++c)
                std::swap(a[pivot][c], a[col][c]);
        const double scale = 1 / a[col][col];
        for (int c = 0; c < 8; ++c)
            a[col][c] *= scale;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0)
                continue;
            const double f = a[r][col];
            for (int c = 0; c < 8; ++c)
                a[r][c] -= f * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[c * 4 + r] = a[r][c + 4];
    return true;
}

bool ScreenProjection::project(const Vec3& world, Vec3& window) const {
    const Vec4 c = clip(*this, world);
    if (c.v[3] == 0)
        return false;
    window = toWindow(*this, c);
    return true;
}

bool ScreenProjection::projectInFront(const Vec3& world, Vec3& window) const {
    const Vec4 c = clip(*this, world);
    if (!(c.v[3] > 0))
        return false;
    window = toWindow(*this, c);
    return true;
}

bool ScreenProjection::unproject(const Vec3& window, Vec3& world) const {
    if (viewport[2] == 0 || viewport[3] == 0)
        return false;
    Matrix4 inverse;
    if (!invert(multiply(projection, modelView), inverse))
        return false;
    const Vec4 ndc{{(window.x - viewport[0]) / viewport[2] * 2 - 1,
                    (window.y - viewport[1]) / viewport[3] * 2 - 1, window.z * 2 - 1, 1}};
    const Vec4 p = transform(inverse, ndc);
    if (p.v[3] == 0)
        return false;
    world = Vec3(p.v[0] / p.v[3], p.v[1] / p.v[3], p.v[2] / p.v[3]);
    return true;
}

bool ScreenProjection::rayAt(double x, double y, Vec3& origin, Vec3& direction) const {
    Vec3 nearPoint, farPoint;
    if (!unproject(Vec3(x, y, 0), nearPoint) || !unproject(Vec3(x, y, 1), farPoint))
        return false;
    const Vec3 d = farPoint - nearPoint;
    const double length = d.length();
    if (!(length > 0) || !std::isfinite(length))
        return false;
    origin = nearPoint;
    direction = d / length;
    return true;
}

bool ScreenProjection::viewDirection(Vec3& direction) const {
    Matrix4 inverse;
    if (!invert(modelView, inverse))
        return false;
    // The eye's -z axis carried into the world (a direction: w = 0).
    const Vec4 d = transform(inverse, Vec4{{0, 0, -1, 0}});
    const Vec3 v(d.v[0], d.v[1], d.v[2]);
    const double length = v.length();
    if (!(length > 0) || !std::isfinite(length))
        return false;
    direction = v / length;
    return true;
}
