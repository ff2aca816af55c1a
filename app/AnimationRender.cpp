#include "app/AnimationRender.h"

#include "animation/Timeline.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "gui/StatusLine.h"
#include "render/EncoderPlugin.h"
#include "render/RenderJob.h"
#include "skeleton/DefaultFigure.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

const char* const RENDERS_FOLDER = "renders";

std::string rendersFolder(const std::string& animations) {
    return animations + RENDERS_FOLDER;
}

// The renders folder, made when missing. Refuses a link or anything but a
// folder there: the program chose the place, so nothing planted may steer
// the file elsewhere.
bool prepareFolder(const std::string& animations, std::string& error) {
    const std::string folder = rendersFolder(animations);
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        error = "cannot make the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    struct stat info;
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = folder + " is not a folder";
        return false;
    }
    return true;
}

std::unique_ptr<Animation> copyOf(const Animation& animation) {
    auto copy = std::make_unique<Animation>(animation.name(), animation.looping());
    for (int k = 0; k < animation.frameCount(); ++k)
        copy->appendFrame(std::make_unique<KeyFrame>(*animation.frameAt(k)));
    return copy;
}

} // namespace

std::string editorRenderPath(const std::string& animations, const std::string& name,
                             EditorRender kind) {
    std::string safe;
    for (unsigned char c : name)
        if (std::isalnum(c) || c == '-' || c == '_')
            safe += static_cast<char>(c);
    if (safe.empty())
        safe = "animation";
    return rendersFolder(animations) + "/" + safe + (kind == EditorRender::Gif ? ".gif" : ".mp4");
}

void startEditorRender(Scene& scene, EditorRender kind, int samples) {
    if (!scene.editor)
        return;
    SkeletonEditor& editor = *scene.editor;
    StatusLine& status = editor.statusLine();
    const Animation& animation = editor.animation();
    if (animation.frameCount() == 0) {
        status.show("Nothing to render: the animation has no frames");
        return;
    }
    const bool gif = kind == EditorRender::Gif;
    ClipRequest clip;
    clip.fps = gif ? EDITOR_GIF_FPS : EDITOR_VIDEO_FPS;
    FramePlan plan;
    std::string error;
    if (!planFrames(timelineDuration(animation), animation.looping(), clip, plan, error)) {
        status.show("Cannot render: " + error);
        return;
    }

    // The render's own figure, animation, camera and lights: the editor goes
    // on changing its own while the render runs.
    auto render = std::make_shared<RenderScene>();
    render->skeleton = std::make_unique<Skeleton>(editor.skeletonFile(), 0, SKELETON_ORIGIN_Y, 0);
    if (render->skeleton->boneCount() < POSE_BONE_COUNT) {
        status.show("Cannot render: the figure's file cannot be read");
        return;
    }
    render->animation = copyOf(animation);
    render->width = gif ? EDITOR_GIF_WIDTH : EDITOR_VIDEO_WIDTH;
    render->height = gif ? EDITOR_GIF_HEIGHT : EDITOR_VIDEO_HEIGHT;
    render->camera = scene.camera;
    render->camera.setViewportSize(render->width, render->height);
    render->lighting = scene.lighting;
    render->samples = samples;
    const std::string animations = editor.animationsFolder();
    const std::string path = editorRenderPath(animations, animation.name(), kind);
    const std::string shown = path.substr(animations.size());

    SkeletonEditor* editorPtr = &editor;
    editor.runInBackground("Rendering " + shown, [render, plan, path, shown, gif, animations,
                                                  editorPtr](TaskProgress& progress) {
        std::string failure;
        SinkSettings settings;
        settings.width = render->width;
        settings.height = render->height;
        settings.plan = plan;
        settings.links = AtLink::Replace;
        std::unique_ptr<FrameSink> sink;
        bool done = prepareFolder(animations, failure) &&
                    (sink = openFrameSinkFromModule(gif ? OutputKind::Gif : OutputKind::Mp4, path,
                                                    settings, failure)) &&
                    renderClip(
                        *render, plan, *sink,
                        [&progress](double fraction) {
                            progress.set(fraction);
                            return !progress.cancelled();
                        },
                        failure);
        return BackgroundTask::Finish([editorPtr, done, failure, shown] {
            editorPtr->statusLine().show(done ? "Rendered " + shown : "Render failed: " + failure);
        });
    });
}
