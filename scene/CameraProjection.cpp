#include "scene/CameraProjection.h"

#include "scene/Camera.h"

#include <cmath>

namespace {

Vec3 cross(const Vec3& a, const Vec3& b) {
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

Vec3 normalized(const Vec3& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length == 0 ? v : v / length;
}

Matrix4 lookAtMatrix(const Vec3& eye, const Vec3& centre, const Vec3& up) {
    const Vec3 forward = normalized(centre - eye);
    const Vec3 side = normalized(cross(forward, up));
    const Vec3 trueUp = cross(side, forward);
    // Rows side, up, -forward; then the eye moved to the origin.
    Matrix4 m = identityMatrix();
    const Vec3 rows[3] = {side, trueUp, -forward};
    for (int r = 0; r < 3; ++r) {
        m[r] = rows[r].x;
        m[4 + r] = rows[r].y;
        m[8 + r] = rows[r].z;
        m[12 + r] = -(rows[r].x * eye.x + rows[r].y * eye.y + rows[r].z * eye.z);
    }
    return m;
}

Matrix4 perspectiveMatrix(double fieldOfView, double aspect, double nearPlane, double farPlane) {
    // GLU converts with the full-precision pi, unlike the program's DEG_PI.
    const double radians = fieldOfView / 2 * M_PI / 180;
    const double depth = farPlane - nearPlane;
    const double sine = std::sin(radians);
    if (depth == 0 || sine == 0 || aspect == 0)
        return identityMatrix();
    const double cotangent = std::cos(radians) / sine;
    Matrix4 m{};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(farPlane + nearPlane) / depth;
    m[11] = -1;
    m[14] = -2 * nearPlane * farPlane / depth;
    return m;
}

} // namespace

ScreenProjection cameraProjection(const Camera& camera, int width, int height) {
    ScreenProjection s;
    Vec3 eye, centre, up;
    if (camera.lookAt(eye, centre, up))
        s.modelView = lookAtMatrix(eye, centre, up);
    s.projection =
        perspectiveMatrix(camera.fieldOfView, camera.aspect, camera.nearPlane, camera.farPlane);
    s.viewport = {{0, 0, width, height}};
    return s;
}
