#pragma once

#include "render/SceneView.h"

#include <string>
#include <vector>

class Camera;
class InterfaceManager;
struct Lighting;

// Everything one pass of the main loop draws, gathered once: the window's
// size, the camera and lights, the figures back to front, the frame-rate
// readout and the GUI. The loop draws the frame from this value and writes
// down what the frame is drawn from (its signature) from the same value, so
// nothing can be drawn without also being compared. GL-free; it points into
// the scene, which must outlive it.
struct FrameContent {
    int width = 0;
    int height = 0;
    const Camera* camera = nullptr;
    const Lighting* lighting = nullptr;
    std::vector<FigureInView> figures;
    // "" while the readout is hidden.
    std::string fpsReadout;
    // Draws itself through a painter (the real one, or the signature's).
    InterfaceManager* interface = nullptr;
};
