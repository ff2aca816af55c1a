#include "render/CameraShot.h"

#include <cmath>

namespace {
// Low enough to see the figure's height, high enough to see the floor.
constexpr double LEVEL_PITCH = 10;
constexpr double ORBIT_PITCH = 20;
constexpr double SIDE_YAW = 90;
// Near enough for the figure to fill about half the picture's height.
constexpr double FRAMING_DISTANCE = 4.5;
} // namespace

bool cameraShotFromName(const std::string& name, CameraShot& shot) {
    if (name == "editor") {
        shot = CameraShot::Editor;
    } else if (name == "front") {
        shot = CameraShot::Front;
    } else if (name == "side") {
        shot = CameraShot::Side;
    } else if (name == "orbit") {
        shot = CameraShot::Orbit;
    } else {
        return false;
    }
    return true;
}

Camera cameraForShot(CameraShot shot, const Vec3* target, int width, int height) {
    Camera camera;
    camera.placeAtStart(target);
    switch (shot) {
    case CameraShot::Editor:
        break;
    case CameraShot::Front:
        camera.orbitPitch = LEVEL_PITCH;
        camera.distance = FRAMING_DISTANCE;
        break;
    case CameraShot::Side:
        camera.orbitYaw = SIDE_YAW;
        camera.orbitPitch = LEVEL_PITCH;
        camera.distance = FRAMING_DISTANCE;
        break;
    case CameraShot::Orbit:
        camera.orbitPitch = ORBIT_PITCH;
        camera.distance = FRAMING_DISTANCE;
        break;
    }
    camera.setViewportSize(width, height);
    camera.update(0);
    return camera;
}

double orbitYawAt(double startYaw, double fraction) {
    // Kept in (-180, 180] as the camera's own turning keeps it.
    double yaw = std::fmod(startYaw + 360 * fraction, 360.0);
    if (yaw > 180) {
        yaw -= 360;
    } else if (yaw <= -180) {
        yaw += 360;
    }
    return yaw;
}
