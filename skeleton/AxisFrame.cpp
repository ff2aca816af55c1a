#include "skeleton/AxisFrame.h"

#include <cmath>
#include <iostream>

Vec3 rotateInXZ(const Vec3& p, double degrees) {
    const double r = degreesToRadians(degrees);
    const double c = std::cos(r);
    const double s = std::sin(r);
    return Vec3(c * p.x - s * p.z, p.y, s * p.x + c * p.z);
}

Vec3 rotateInXY(const Vec3& p, double degrees) {
    const double r = degreesToRadians(degrees);
    const double c = std::cos(r);
    const double s = std::sin(r);
    return Vec3(c * p.x + s * p.y, c * p.y - s * p.x, p.z);
}

Vec3 rotateAboutAxis(const Vec3& p, const Vec3& axis, double degrees) {
    if (std::fabs(degrees) <= ANGLE_TOLERANCE)
        return p;
    // Turn the axis into the x-y plane, then onto +y, rotate about y, and
    // undo both turns. atan2(0, 0) is 0, so a zero axis rotates about y.
    const double f = radiansToDegrees(std::atan2(axis.z, axis.x));
    const Vec3 p1 = rotateInXZ(p, -f);
    const Vec3 v = rotateInXZ(axis, -f);
    const double g = radiansToDegrees(std::atan2(v.x, v.y));
    const Vec3 p2 = rotateInXY(p1, -g);
    const Vec3 p3 = rotateInXZ(p2, degrees);
    const Vec3 p4 = rotateInXY(p3, g);
    return rotateInXZ(p4, f);
}

namespace {

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A zero axis has no direction to keep; dividing it would turn the whole
// frame into NaNs, so it is left as it is.
void normaliseInPlace(Vec3& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0) {
        v.x /= length;
        v.y /= length;
        v.z /= length;
    }
}

} // namespace

void AxisFrame::rotate(double degrees, int axisCode) {
    if (std::fabs(degrees) <= ANGLE_TOLERANCE)
        return;
    switch (axisCode) {
    case AXIS_X:
        axisY = rotateAboutAxis(axisY, axisX, degrees);
        axisZ = rotateAboutAxis(axisZ, axisX, degrees);
        break;
    case AXIS_Y:
        axisX = rotateAboutAxis(axisX, axisY, degrees);
        axisZ = rotateAboutAxis(axisZ, axisY, degrees);
        break;
    case AXIS_Z:
        axisX = rotateAboutAxis(axisX, axisZ, degrees);
        axisY = rotateAboutAxis(axisY, axisZ, degrees);
        break;
    default:
        break;
    }
    normaliseInPlace(axisX);
    normaliseInPlace(axisY);
    normaliseInPlace(axisZ);
    checkOrthogonal();
}

bool AxisFrame::checkOrthogonal() const {
    const bool orthogonal = std::fabs(dot(axisX, axisY)) <= ANGLE_TOLERANCE &&
                            std::fabs(dot(axisX, axisZ)) <= ANGLE_TOLERANCE &&
                            std::fabs(dot(axisY, axisZ)) <= ANGLE_TOLERANCE;
    if (!orthogonal)
        std::cout << "EXCEPTION: AXES NOT ORTHOGONAL";
    return orthogonal;
}

Vec3 AxisFrame::toWorld(double a, double b, double c) const {
    return Vec3(a * axisX.x + b * axisY.x + c * axisZ.x, a * axisX.y + b * axisY.y + c * axisZ.y,
                a * axisX.z + b * axisY.z + c * axisZ.z);
}
