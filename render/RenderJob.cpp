#include "render/RenderJob.h"

#include "animation/Timeline.h"
#include "render/CameraShot.h"
#include "render/OffscreenContext.h"
#include "render/SceneViewDrawing.h"
#include "scene/SceneDrawing.h"
#include "skeleton/SkeletonPose.h"

#include <GL/gl.h>

namespace {

// The GL state the editor's window starts with, in a fresh context: the
// fixed state, the camera's projection, and the lights set with the
// modelview at identity so they keep their direction to the viewer.
void prepareContext(const RenderScene& scene) {
    setSceneGlState();
    applyProjection(scene.camera);
    glLoadIdentity();
    applyLights(scene.lighting);
    switchLight(scene.lighting, 0);
    switchLight(scene.lighting, 1);
}

} // namespace

bool renderClip(RenderScene& scene, const FramePlan& plan, FrameSink& sink,
                const RenderProgress& progress, std::string& error) {
    if (!scene.skeleton || !scene.animation || plan.count < 1) {
        error = "nothing to render";
        return false;
    }
    std::unique_ptr<OffscreenContext> context =
        OffscreenContext::create(scene.width, scene.height, scene.samples, error);
    if (!context) {
        return false;
    }
    Camera& camera = scene.camera;
    camera.target = scene.skeleton->rootPosition();
    camera.pendingZoom = 0;
    const double startYaw = camera.orbitYaw;
    prepareContext(scene);

    const Timeline timeline(*scene.animation);
    const double duration = timeline.duration();
    const bool looping = scene.animation->looping();
    SceneView view;
    view.camera = &camera;
    view.figures.push_back({scene.skeleton.get(), 1.0});
    view.sky = !scene.transparent;
    view.width = scene.width;
    view.height = scene.height;

    // Every pass poses from the same start: a limit that refuses an angle
    // keeps the one before, so the poses depend on where they began.
    const SkeletonPose start = SkeletonPose::capture(*scene.skeleton);
    RgbaImage image;
    const int passes = sink.passes();
    for (int pass = 0; pass < passes; ++pass) {
        if (!sink.beginPass(pass, error)) {
            return false;
        }
        start.restore(*scene.skeleton);
        for (int k = 0; k < plan.count; ++k) {
            const double t = animationTime(duration, looping, plan.frameTime(k));
            timeline.pose(*scene.skeleton, t);
            if (scene.orbit) {
                camera.orbitYaw = orbitYawAt(startYaw, static_cast<double>(k) / plan.count);
            }
            // The eye follows the posed root, as the editor's does each pass.
            camera.update(0);
            drawScene(view, true);
            context->readFrame(image);
            if (!sink.addFrame(image, error)) {
                return false;
            }
            const double done = (pass * plan.count + k + 1.0) / (passes * plan.count);
            if (progress && !progress(done)) {
                error = RENDER_STOPPED;
                return false;
            }
        }
    }
    return sink.finish(error);
}
