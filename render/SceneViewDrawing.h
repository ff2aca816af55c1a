#pragma once

#include "render/SceneView.h"

// Drawing a SceneView with OpenGL, the same for the editor's window and an
// offscreen render. Immediate mode, GL 1.x only, so any current context
// draws it: the window's GLX one, or an EGL one without GLEW.

// The fixed state the scene's drawing relies on, set once per context:
// blending, depth test, lighting with colour material, smooth shading,
// back faces culled. The projection, the viewport and the lights are the
// caller's.
void setSceneGlState();

// Clears the colour, depth and stencil buffers (to the window's green, or
// to transparent black without a sky), then draws the sky box, the floor
// and the figures through the view's camera. Leaves the modelview matrix as
// it found it. `quick` draws the same pixels for less work (blending off
// where everything is opaque, a figure in one call).
void drawScene(const SceneView& view, bool quick);
