#pragma once

#include "skeleton/ScreenProjection.h"

class Camera;

// The view the scene draws with, as a GL-free value: the camera's view
// (gluLookAt of its eye, centre and up; the identity in a mode without a
// view), its perspective (gluPerspective of its field of view, its aspect
// field rather than the window's, near and far) and a viewport of
// width x height pixels from the window's bottom-left corner. The matrices
// are computed in double precision the way GLU builds them; a perspective
// that GLU would refuse (zero aspect, zero field of view, near equal to far)
// leaves the identity, as it leaves GL's freshly loaded matrix.
ScreenProjection cameraProjection(const Camera& camera, int width, int height);
