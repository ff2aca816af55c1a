#include "scene/Camera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Camera orbitAround(const Vec3& target) {
    Camera c;
    c.mode = CAMERA_ORBIT;
    c.target = &target;
    return c;
}

TEST(Camera, ConstructedState) {
    Camera c;
    EXPECT_EQ(c.mode, CAMERA_FREE);
    EXPECT_DOUBLE_EQ(c.sensitivity, 0.15000000596046448);
    EXPECT_DOUBLE_EQ(c.distance, 10);
    EXPECT_DOUBLE_EQ(c.orbitPitch, 45);
    EXPECT_DOUBLE_EQ(c.aspect, 4.0 / 3.0);
    EXPECT_NEAR(c.lookPoint.x, 1, 1e-12);
    EXPECT_NEAR(c.lookPoint.y, 0, 1e-12);
    EXPECT_NEAR(c.lookPoint.z, 0, 1e-12);
}

TEST(Camera, UnknownModeIsANoOp) {
    Camera c;
    c.mode = 15;
    double yaw = c.freeYaw;
    EXPECT_FALSE(c.rotateYaw(100));
    EXPECT_FALSE(c.rotatePitch(100));
    c.moveForward = true;
    c.update(1);
    EXPECT_EQ(c.freeYaw, yaw);
    EXPECT_EQ(c.eye, Vec3(0, 0, 0));
    Vec3 e, t, u;
    EXPECT_FALSE(c.lookAt(e, t, u));
}

TEST(Camera, YawWrapsAtPlusMinus180) {
    Vec3 target(0, 0, 0);
    Camera c = orbitAround(target);
    c.sensitivity = 1;
    c.orbitYaw = 179;
    c.rotateYaw(2);
    EXPECT_DOUBLE_EQ(c.orbitYaw, -178);
    c.orbitYaw = -179;
    c.rotateYaw(-2);
    EXPECT_DOUBLE_EQ(c.orbitYaw, 178);
    // Free mode turns its own angle.
    Camera f;
    f.sensitivity = 1;
    f.rotateYaw(30);
    EXPECT_DOUBLE_EQ(f.freeYaw, 30);
    EXPECT_DOUBLE_EQ(f.orbitYaw, 0);
}

TEST(Camera, PitchStepBeyondLimitIsDroppedWhole) {
    Vec3 target(0, 0, 0);
    Camera c = orbitAround(target);
    c.sensitivity = 1;
    c.orbitPitch = 89;
    EXPECT_TRUE(c.rotatePitch(1)); // 90 > 89.8: dropped although 0.8 would fit
    EXPECT_DOUBLE_EQ(c.orbitPitch, 89);
    c.rotatePitch(0.8);
    EXPECT_DOUBLE_EQ(c.orbitPitch, 89.8);
    c.orbitPitch = -89;
    c.rotatePitch(-5);
    EXPECT_DOUBLE_EQ(c.orbitPitch, -89);
}

TEST(Camera, OrbitEyeCirclesTheTarget) {
    Vec3 target(1, 2, 3);
    Camera c = orbitAround(target);
    c.update(0.016);
    double s = std::sin(degreesToRadians(45)), k = std::cos(degreesToRadians(45));
    EXPECT_NEAR(c.eye.x, 1, 1e-9);
    EXPECT_NEAR(c.eye.y, 2 + 10 * s, 1e-9);
    EXPECT_NEAR(c.eye.z, 3 + 10 * k, 1e-9);
    // Yaw 90 puts the eye on +x (sin on x, cos on z).
    c.orbitYaw = 90;
    c.orbitPitch = 0;
    c.update(0.016);
    EXPECT_NEAR(c.eye.x, 11, 1e-9);
    EXPECT_NEAR(c.eye.z, 3, 1e-9);
    // A moving target carries the camera with it.
    target.y += 1;
    c.update(0.016);
    EXPECT_NEAR(c.eye.y, 3, 1e-9);
    Vec3 e, centre, up;
    ASSERT_TRUE(c.lookAt(e, centre, up));
    EXPECT_EQ(centre, target);
    EXPECT_EQ(up, Vec3(0, 1, 0));
}

TEST(Camera, ZoomIsSmoothAndClamped) {
    Vec3 target(0, 0, 0);
    Camera c = orbitAround(target);
    c.pendingZoom = -1; // one wheel notch towards the user... brings it closer
    c.update(0.01);     // 10 units/s: 0.1 this frame
    EXPECT_NEAR(c.distance, 9.9, 1e-12);
    EXPECT_NEAR(c.pendingZoom, -0.9, 1e-12);
    int frames = 1;
    while (c.pendingZoom != 0 && frames < 100) {
        c.update(0.01);
        ++frames;
        EXPECT_LE(std::fabs(c.pendingZoom), 0.9); // consumed, never grows
    }
    // About 0.8 at 10 units per second, then the last 0.2 or less at once.
    EXPECT_GE(frames, 9);
    EXPECT_LE(frames, 10);
    EXPECT_NEAR(c.distance, 9, 1e-9);

    c.pendingZoom = -100;
    for (int i = 0; i < 2000 && c.pendingZoom != 0; ++i) {
        c.update(0.016);
        EXPECT_GE(c.distance, 1.5);
    }
    EXPECT_DOUBLE_EQ(c.distance, 1.5);
    c.pendingZoom = 100;
    for (int i = 0; i < 2000 && c.pendingZoom != 0; ++i)
        c.update(0.016);
    EXPECT_DOUBLE_EQ(c.distance, 20);
}

TEST(Camera, SlowFramesOvershootAndSwingBack) {
    Vec3 target(0, 0, 0);
    Camera c = orbitAround(target);
    c.pendingZoom = 0.3;
    c.update(0.1); // a 1-unit step overshoots 0.3
    EXPECT_NEAR(c.pendingZoom, -0.7, 1e-12);
    c.update(0.1);
    EXPECT_NEAR(c.pendingZoom, 0.3, 1e-12);
}

TEST(Camera, FreeModeMovesAndStrafesLevel) {
    Camera c;
    c.speed = 1;
    c.freeYaw = -90;
    c.freePitch = -45;
    c.moveForward = true;
    c.moveBackward = true; // forward wins
    c.update(1);
    Vec3 d = Camera::direction(-90, -45);
    EXPECT_NEAR((c.eye - d).length(), 0, 1e-12);
    EXPECT_NEAR((c.lookPoint - (c.eye + d)).length(), 0, 1e-12);

    Camera s;
    s.speed = 2;
    s.freePitch = 30;
    s.strafeLeft = true;
    s.update(0.5);
    EXPECT_NEAR(s.eye.y, 0, 1e-12); // strafing never changes height
    EXPECT_NEAR(s.eye.z, -1, 1e-9);
    EXPECT_EQ(s.freePitch, 30);
}

TEST(Camera, FreeTurnShowsOnlyWhenTheCameraMoves) {
    Camera c;
    c.speed = 1;
    Vec3 before = c.lookPoint;
    c.rotateYaw(100);
    c.update(1);
    EXPECT_EQ(c.lookPoint, before);
    c.strafeRight = true;
    c.update(0.1);
    EXPECT_NE(c.lookPoint, before);
}

TEST(Camera, ResizeKeepsAspectForZeroHeight) {
    Camera c;
    c.setViewportSize(1000, 500);
    EXPECT_DOUBLE_EQ(c.aspect, 2);
    c.setViewportSize(640, 0);
    EXPECT_DOUBLE_EQ(c.aspect, 2);
    c.setViewportSize(300, -10);
    EXPECT_DOUBLE_EQ(c.aspect, 2);
}

} // namespace
