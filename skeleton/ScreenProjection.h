#pragma once

#include "skeleton/Vec3.h"

#include <array>

// A 4 x 4 matrix as GL keeps it: column-major, element (row r, column c) at
// [c * 4 + r].
using Matrix4 = std::array<double, 16>;

// The identity matrix.
Matrix4 identityMatrix();
// a * b: the transform that applies b first, then a (as glMultMatrix of b
// onto a current matrix a).
Matrix4 multiply(const Matrix4& a, const Matrix4& b);
// The inverse of m. Returns false, leaving `out` as it was, when m is
// singular.
bool invert(const Matrix4& m, Matrix4& out);

// How the 3-D view maps world points onto the window: a model-view matrix, a
// projection matrix and a viewport, as GL holds them after the camera is
// applied. A plain value with no GL: the pose solvers use it to measure
// distances in window pixels, and tests build one from a fixed camera.
//
// Window coordinates are pixels with x from the left and y from the bottom
// (the overlay's and the pick's convention) and a depth from 0 at the near
// plane to 1 at the far plane.
struct ScreenProjection {
    Matrix4 modelView = identityMatrix();
    Matrix4 projection = identityMatrix();
    // x, y, width, height in pixels.
    std::array<int, 4> viewport{{0, 0, 1, 1}};

    // The window point (x, y, depth) of a world point, as gluProject gives
    // it. Returns false, leaving `window` as it was, when the point lies in
    // the eye's own plane (clip w of 0).
    bool project(const Vec3& world, Vec3& window) const;
    // Like project, but also false for a point at or behind the eye (clip w
    // not above 0), whose window position would be mirrored and misleading.
    bool projectInFront(const Vec3& world, Vec3& window) const;
    // The world point at window (x, y, depth), as gluUnProject gives it.
    // Returns false, leaving `world` as it was, when the matrices are
    // singular or the viewport is empty.
    bool unproject(const Vec3& window, Vec3& world) const;
    // The ray under window pixel (x, y): `origin` on the near plane and a
    // unit `direction` toward the far plane. Returns false, leaving both as
    // they were, when unproject fails.
    bool rayAt(double x, double y, Vec3& origin, Vec3& direction) const;
    // The unit world direction the view looks along (the eye's -z). Returns
    // false, leaving `direction` as it was, for a singular model-view.
    bool viewDirection(Vec3& direction) const;
};
