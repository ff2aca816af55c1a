#include "tools/render/RenderCommand.h"

#include "animation/Timeline.h"
#include "app/DisplaySettings.h"
#include "app/ExitSignals.h"
#include "platform/ProgramPaths.h"
#include "render/RenderJob.h"
#include "tools/common/SameFile.h"
#include "tools/common/TerminalProgress.h"
#include "tools/export/ConsoleCapture.h"
#include "tools/export/ExportInputs.h"
#include "tools/render/RenderOptions.h"

#include <fstream>

namespace {

constexpr const char* PREFIX = "kinemorph-render: ";

int fail(std::ostream& err, const std::string& message, int status = RENDER_FAILED) {
    err << PREFIX << message << "\n";
    return status;
}

// Samples per pixel as the program's display settings ask, when they are
// there to read; the shipped settings' none otherwise.
int settingsSamples() {
    std::ifstream in(currentProgramPaths().settings);
    if (!in) {
        return 0;
    }
    // A broken file's complaint belongs to the program, not to a render.
    ConsoleCapture quiet;
    return sanitizeDisplaySettings(readDisplaySettings(in)).antialiasingLevel;
}

std::string firstLine(std::string text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) {
        text.erase(end);
    }
    return text;
}

// Installs the exit signals for as long as it lives.
struct SignalsCaught {
    SignalsCaught() { installExitSignals(); }
    ~SignalsCaught() { removeExitSignals(); }
};

} // namespace

int runRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool showProgress) {
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(args, options, error)) {
        return fail(err, error, RENDER_BAD_USAGE);
    }
    if (options.help) {
        out << renderUsage();
        return RENDER_OK;
    }
    if (options.clip.hasTo && options.clip.to <= options.clip.from) {
        return fail(err, "--to must come after --from", RENDER_BAD_USAGE);
    }
    // Installed, the program's own skeleton is found as the program finds it.
    const ProgramPaths paths = currentProgramPaths();
    options.skeletonPath = exportSkeletonPath(options.skeletonPath, options.skeletonGiven,
                                              options.input, paths.installed ? paths.skeleton : "");
    // The output replaces its file whole; it must not be one of the inputs.
    if (sameFile(options.output, options.input) || sameFile(options.output, options.skeletonPath)) {
        return fail(err, "the output '" + options.output + "' would overwrite an input file",
                    RENDER_BAD_USAGE);
    }

    RenderScene scene;
    scene.skeleton = loadExportSkeleton(options.skeletonPath, error);
    if (!scene.skeleton) {
        return fail(err, error);
    }
    scene.animation = loadExportAnimation(options.input, error);
    if (!scene.animation) {
        return fail(err, error);
    }
    FramePlan plan;
    if (!planFrames(timelineDuration(*scene.animation), scene.animation->looping(), options.clip,
                    plan, error)) {
        return fail(err, error);
    }
    SinkSettings settings;
    settings.width = options.width;
    settings.height = options.height;
    settings.transparent = options.transparent;
    settings.plan = plan;
    error = outputProblem(options.kind, settings);
    if (!error.empty()) {
        return fail(err, error, RENDER_BAD_USAGE);
    }
    std::unique_ptr<FrameSink> sink = openFrameSink(options.kind, options.output, settings, error);
    if (!sink) {
        return fail(err, error);
    }

    scene.camera = cameraForShot(options.camera, scene.skeleton->rootPosition(), options.width,
                                 options.height);
    scene.orbit = options.camera == CameraShot::Orbit;
    scene.transparent = options.transparent;
    scene.width = options.width;
    scene.height = options.height;
    scene.samples = settingsSamples();

    SignalsCaught signals;
    TerminalProgress bar(err, PREFIX, showProgress);
    bool interrupted = false;
    std::string diagnostics;
    bool rendered = false;
    {
        ConsoleCapture capture;
        rendered = renderClip(
            scene, plan, *sink,
            [&](double done) {
                interrupted = exitSignalled();
                bar.update(done);
                return !interrupted;
            },
            error);
        diagnostics = capture.text();
    }
    bar.finish();
    if (interrupted) {
        return fail(err, "interrupted; nothing was written");
    }
    if (!rendered) {
        return fail(err, error);
    }
    // The axis frames report rounding trouble on standard output; the
    // render still shows what the program would, so it is only passed on.
    if (!diagnostics.empty()) {
        err << PREFIX << "warning: while posing, the skeleton reported: " << firstLine(diagnostics)
            << "\n";
    }
    return RENDER_OK;
}
