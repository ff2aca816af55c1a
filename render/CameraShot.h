#pragma once

#include "scene/Camera.h"

#include <string>

// Where a render looks from. Every shot orbits the figure's root, as the
// editor's camera does, so the figure stays in view however it moves.
enum class CameraShot {
    // The editor's start view: 10 units out on the +z side, 45 degrees up.
    Editor,
    // From the same side, nearly level and nearer, the figure filling about
    // half the picture's height.
    Front,
    // As Front, from the +x side.
    Side,
    // As Front a little higher, once around the figure over the clip.
    Orbit,
};

// The shot named `name` ("editor", "front", "side", "orbit"); false for
// another name.
bool cameraShotFromName(const std::string& name, CameraShot& shot);

// `camera` placed for `shot` around `target` (the root of the figure
// rendered), its projection set for a width x height picture. The eye
// follows the target at each update.
Camera cameraForShot(CameraShot shot, const Vec3* target, int width, int height);

// The orbit's yaw in degrees at `fraction` (0 to 1) of the clip, from
// `startYaw` once round.
double orbitYawAt(double startYaw, double fraction);
