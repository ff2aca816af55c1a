#pragma once

#include "skeleton/Vec3.h"

// Camera modes. Any other value makes every camera operation a no-op.
constexpr int CAMERA_FREE = 10;
constexpr int CAMERA_ORBIT = 20;

// The view and projection of the 3-D scene. Angles are degrees, lengths
// scene units, times seconds; conversions use DEG_PI.
//
// Orbit mode (the normal one) circles `target` (the edited skeleton's root
// position, not owned) at `distance`, which the wheel changes smoothly
// through `pendingZoom`. Free mode, used only without a target, flies with
// the four movement flags and looks along its own yaw and pitch.
//
// GL-free: the drawing code reads lookAt() and the projection fields.
class Camera {
public:
    int mode = CAMERA_FREE;
    bool moveForward = false, moveBackward = false, strafeLeft = false, strafeRight = false;
    // Free-mode movement speed, units per second.
    double speed = 0;
    // Turn per pixel of mouse drag: 0.15 held in single precision.
    double sensitivity = static_cast<double>(0.15f);
    const Vec3* target = nullptr;
    double distance = 10;
    double minDistance = 1.5;
    double maxDistance = 20;
    double orbitYaw = 0;
    double orbitPitch = 45;
    // Radius change still to be applied; the wheel adds to it.
    double pendingZoom = 0;
    Vec3 eye{0, 0, 0};
    double freeYaw = 0;
    double freePitch = 0;
    double fieldOfView = 45;
    double aspect = 4.0 / 3.0;
    double nearPlane = 0.5;
    double farPlane = 10000;
    // Where a Free camera looks.
    Vec3 lookPoint;

    // Fills the fields as above; the look point is eye + D(free yaw, pitch).
    Camera();

    // Turns by sensitivity * pixels about the vertical axis, wrapping at
    // +-180. False (and no change) outside Free and Orbit mode.
    bool rotateYaw(double pixels);
    // Turns the elevation; a step that would pass +-89.8 is dropped whole.
    // False (and no change) outside Free and Orbit mode.
    bool rotatePitch(double pixels);
    // Movement (Free) or zoom and eye placement (Orbit) for one frame.
    void update(double dt);
    // The program's start placement: the free-flight fields of the first
    // view (eye (0, 10, 10), speed 0.09, looking down at 45 degrees) and,
    // with a target, Orbit mode around it. The orbit keeps its distance,
    // yaw and pitch; its eye follows at the next update.
    void placeAtStart(const Vec3* orbitTarget);
    // Puts the orbit back where it starts, around the target: distance 10,
    // yaw 0, pitch 45, and no zoom still pending. The eye follows at the
    // next update.
    void returnHome();
    // Takes a new window size into the aspect ratio. A zero or negative
    // height keeps the last valid aspect instead of dividing by zero.
    void setViewportSize(int width, int height);

    // Eye, centre and up vector for the view in the current mode. False in
    // any other mode, where no view is applied.
    bool lookAt(Vec3& eyeOut, Vec3& centreOut, Vec3& upOut) const;

    // The direction of heading h and elevation e, in degrees:
    // (cos h cos e, sin e, sin h cos e).
    static Vec3 direction(double heading, double elevation);
};
