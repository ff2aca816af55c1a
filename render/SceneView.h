#pragma once

#include <vector>

class Camera;
class Skeleton;

// What the 3-D part of a frame shows, as a plain value: the editor's window
// and a render build one and draw it the same way (SceneViewDrawing.h), so
// a render at the window's size is the window's 3-D view. GL-free; it
// points into a scene that must outlive it.

// A figure in the 3-D view, and how opaque it is drawn (not const: a pick
// runs while it is drawn and selects a bone).
struct FigureInView {
    Skeleton* skeleton = nullptr;
    double alpha = 1.0;
};

struct SceneView {
    const Camera* camera = nullptr;
    // Back to front: the edited figure, then (faint) the ghost.
    std::vector<FigureInView> figures;
    // The sky box behind everything; without it the background stays
    // transparent (alpha 0).
    bool sky = true;
    // The drawing's size in pixels, by which a pending pick maps the pointer.
    int width = 0;
    int height = 0;
};
