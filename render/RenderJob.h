#pragma once

#include "animation/Animation.h"
#include "render/FramePlan.h"
#include "render/FrameSink.h"
#include "scene/Camera.h"
#include "scene/Lighting.h"
#include "skeleton/Skeleton.h"

#include <functional>
#include <memory>
#include <string>

// Everything one render draws, owned by it, so a render can run on a thread
// of its own while the editor goes on changing its own figure and
// animation.
struct RenderScene {
    // The figure, posed by the job at every frame.
    std::unique_ptr<Skeleton> skeleton;
    std::unique_ptr<Animation> animation;
    // Placed and with its projection set; the job points its target at
    // `skeleton`'s root.
    Camera camera;
    // Turn the camera once around the figure over the clip.
    bool orbit = false;
    Lighting lighting;
    // No sky box: the background stays transparent.
    bool transparent = false;
    int width = 1280;
    int height = 720;
    // Samples per pixel (0: no antialiasing), as the display settings ask.
    int samples = 0;
};

// Told the share of the work done (0 to 1) after every frame; returns false
// to stop the render.
using RenderProgress = std::function<bool(double done)>;

// Renders the frames of `plan` into `sink` and finishes it: for every pass
// the sink asks for, frame k is the animation's pose at plan.frameTime(k)
// on its exact timeline (wrapped into one cycle when it loops), drawn from
// the scene's camera with the figure's root as its target. Makes an
// offscreen context of its own on the calling thread. Returns false with a
// one-line `error` when the context cannot be made, the sink fails, or
// `progress` asked to stop ("stopped"); the output is then untouched.
bool renderClip(RenderScene& scene, const FramePlan& plan, FrameSink& sink,
                const RenderProgress& progress, std::string& error);

// What renderClip says when `progress` stopped it.
inline const char* const RENDER_STOPPED = "stopped";
