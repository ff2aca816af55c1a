#pragma once

#include "skeleton/Vec3.h"

class Camera;
struct Lighting;

// The GL side of the 3-D scene: lights, camera, sky box, floor and the 2-D
// overlay projection. All immediate mode; each function undoes the state
// changes it makes unless its comment says otherwise.

// Enables lighting and both lights with the record's colours and
// directions. Call with the modelview matrix at identity, so the lights keep
// a fixed direction relative to the viewer.
void applyLights(const Lighting& lighting);
// Enables or disables GL light `which` (0 or 1) to match its flag.
void switchLight(const Lighting& lighting, int which);

// Loads the camera's perspective into the projection matrix (identity
// first) and leaves the modelview matrix current.
void applyProjection(const Camera& camera);
// Multiplies the camera's view onto the current modelview matrix; does
// nothing in a mode without a view.
void applyCamera(const Camera& camera);

// The gradient cube around the eye: drawn without depth test or lighting,
// so everything drawn after it lies in front. `unblended` draws it with
// blending off, the same pixels for less work; blending is on afterwards.
void drawSkyBox(const Vec3& eye, bool unblended = false);
// The 4 x 4 coloured floor quad at height 0, facing up; `unblended` as for
// the sky box.
void drawFloor(bool unblended = false);

// Switches to the overlay: window pixels, origin bottom-left, y up; depth
// test and lighting off; the projection matrix stays current.
void beginOverlay(int windowWidth, int windowHeight);
// Undoes beginOverlay and makes the modelview matrix current again.
void endOverlay();
