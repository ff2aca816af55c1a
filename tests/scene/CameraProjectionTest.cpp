#include "scene/CameraProjection.h"

#include "scene/Camera.h"

#include <gtest/gtest.h>

namespace {

Camera orbitAround(const Vec3& target) {
    Camera c;
    c.mode = CAMERA_ORBIT;
    c.target = &target;
    c.update(0);
    return c;
}

Vec3 windowOf(const ScreenProjection& s, const Vec3& p) {
    Vec3 w(-1, -1, -1);
    EXPECT_TRUE(s.projectInFront(p, w));
    return w;
}

} // namespace

TEST(CameraProjection, ModesWithoutAViewAndRefusedPerspectivesGiveTheIdentity) {
    Camera none;
    none.mode = 15;
    EXPECT_EQ(cameraProjection(none, 800, 600).modelView, identityMatrix());

    for (auto refuse : {+[](Camera& c) { c.aspect = 0; }, +[](Camera& c) { c.fieldOfView = 0; },
                        +[](Camera& c) { c.farPlane = c.nearPlane; }}) {
        Camera c;
        refuse(c);
        EXPECT_EQ(cameraProjection(c, 800, 600).projection, identityMatrix());
    }
}

TEST(CameraProjection, OrbitCentresTheTargetWithYUpAndXRight) {
    const Vec3 target(0, 1.46, 0);
    const Camera c = orbitAround(target);
    const ScreenProjection s = cameraProjection(c, 800, 600);
    EXPECT_EQ(s.viewport, (std::array<int, 4>{{0, 0, 800, 600}}));
    const Vec3 centre = windowOf(s, target);
    EXPECT_NEAR(centre.x, 400, 1e-9);
    EXPECT_NEAR(centre.y, 300, 1e-9);
    // Yaw 0 puts the eye on +z: world +x is to the right, up is up.
    EXPECT_GT(windowOf(s, target + Vec3(0.1, 0, 0)).x, 400 + 1);
    EXPECT_GT(windowOf(s, target + Vec3(0, 0.1, 0)).y, 300 + 1);
    // Nearer the eye is nearer the near plane.
    EXPECT_LT(windowOf(s, target + Vec3(0, 0.5, 0.5)).z, centre.z);

    Vec3 forward;
    ASSERT_TRUE(s.viewDirection(forward));
    const Vec3 expected = (target - c.eye).normalized();
    EXPECT_NEAR((forward - expected).length(), 0, 1e-12);
}

TEST(CameraProjection, TheCameraAspectFieldRulesNotTheWindow) {
    // Until the first resize the program keeps 4/3 whatever the window:
    // a 1280 x 720 window then shows the view stretched, and the pixels the
    // solvers aim at must be stretched the same way.
    const Vec3 target(0, 1.46, 0);
    const Camera c = orbitAround(target);
    const ScreenProjection narrow = cameraProjection(c, 800, 600);
    const ScreenProjection wide = cameraProjection(c, 1280, 720);
    EXPECT_EQ(narrow.projection, wide.projection);
    const Vec3 side = target + Vec3(0.5, 0, 0);
    EXPECT_NEAR((windowOf(wide, side).x - 640) / 1280, (windowOf(narrow, side).x - 400) / 800,
                1e-12);

    Camera resized = c;
    resized.setViewportSize(1280, 720);
    EXPECT_NE(cameraProjection(resized, 1280, 720).projection, wide.projection);
}

TEST(CameraProjection, FreeModeLooksAtItsLookPoint) {
    Camera c;
    c.eye = Vec3(0, 10, 10);
    c.freeYaw = -90;
    c.freePitch = -45;
    c.moveForward = true;
    c.speed = 1;
    c.update(0.5);
    const Vec3 w = windowOf(cameraProjection(c, 640, 480), c.lookPoint);
    EXPECT_NEAR(w.x, 320, 1e-9);
    EXPECT_NEAR(w.y, 240, 1e-9);
}
