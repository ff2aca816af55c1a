#include "scene/Camera.h"

#include <cmath>

Vec3 Camera::direction(double heading, double elevation) {
    double h = degreesToRadians(heading);
    double e = degreesToRadians(elevation);
    return Vec3(std::cos(h) * std::cos(e), std::sin(e), std::sin(h) * std::cos(e));
}

Camera::Camera() {
    lookPoint = eye + direction(freeYaw, freePitch);
}

bool Camera::rotateYaw(double pixels) {
    double* angle = nullptr;
    if (mode == CAMERA_FREE)
        angle = &freeYaw;
    else if (mode == CAMERA_ORBIT)
        angle = &orbitYaw;
    else
        return false;
    double step = sensitivity * pixels;
    if (*angle + step >= 180)
        *angle = -180;
    else if (*angle + step <= -180)
        *angle = 180;
    *angle += step;
    return true;
}

bool Camera::rotatePitch(double pixels) {
    double* angle = nullptr;
    if (mode == CAMERA_FREE)
        angle = &freePitch;
    else if (mode == CAMERA_ORBIT)
        angle = &orbitPitch;
    else
        return false;
    double candidate = *angle + sensitivity * pixels;
    if (std::fabs(candidate) <= 89.8)
        *angle = candidate;
    return true;
}

void Camera::update(double dt) {
    if (mode == CAMERA_FREE) {
        double s = speed * dt;
        bool moved = false;
        if (moveForward) {
            eye += s * direction(freeYaw, freePitch);
            moved = true;
        } else if (moveBackward) {
            eye -= s * direction(freeYaw, freePitch);
            moved = true;
        }
        // Strafing stays level: elevation 0 whatever the pitch.
        if (strafeLeft) {
            eye += s * direction(freeYaw - 90, 0);
            moved = true;
        } else if (strafeRight) {
            eye += s * direction(freeYaw + 90, 0);
            moved = true;
        }
        if (moved)
            lookPoint = eye + direction(freeYaw, freePitch);
    } else if (mode == CAMERA_ORBIT) {
        double z = pendingZoom;
        if (std::fabs(z) >= 0.0001) {
            if (std::fabs(z) <= 0.2) {
                distance += z;
                pendingZoom = 0;
            } else {
                // 10 units per second; the remainder is consumed next frame.
                double step = (z > 0 ? 1.0 : -1.0) * 10 * dt;
                distance += step;
                pendingZoom = z - step;
            }
            if (distance < minDistance)
                distance = minDistance;
            if (distance > maxDistance)
                distance = maxDistance;
        }
        if (target) {
            double h = degreesToRadians(orbitYaw);
            double e = degreesToRadians(orbitPitch);
            // Orbit puts sin h on x and cos h on z, the reverse of direction().
            eye = *target + distance * Vec3(std::sin(h) * std::cos(e), std::sin(e),
                                            std::cos(h) * std::cos(e));
        }
    }
}

void Camera::setViewportSize(int width, int height) {
    if (height > 0)
        aspect = static_cast<double>(width) / static_cast<double>(height);
}

bool Camera::lookAt(Vec3& eyeOut, Vec3& centreOut, Vec3& upOut) const {
    if (mode == CAMERA_FREE) {
        centreOut = lookPoint;
    } else if (mode == CAMERA_ORBIT && target) {
        centreOut = *target;
    } else {
        return false;
    }
    eyeOut = eye;
    upOut = Vec3(0, 1, 0);
    return true;
}

void Camera::placeAtStart(const Vec3* orbitTarget) {
    speed = 0.09;
    eye = Vec3(0, 10, 10);
    freeYaw = -90;
    freePitch = -45;
    target = orbitTarget;
    if (target)
        mode = CAMERA_ORBIT;
}

void Camera::returnHome() {
    distance = 10;
    orbitYaw = 0;
    orbitPitch = 45;
    pendingZoom = 0;
}
