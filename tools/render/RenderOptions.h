#pragma once

#include "render/CameraShot.h"
#include "render/FramePlan.h"
#include "render/FrameSink.h"
#include "skeleton/DefaultFigure.h"

#include <string>
#include <vector>

// Picture sizes kinemorph-render takes, a side at most.
constexpr int MAX_RENDER_SIDE = 8192;

// What one run of kinemorph-render is asked to do.
struct RenderOptions {
    std::string skeletonPath = SKELETON_PATH;
    // --skeleton was given; without it the renderer may also look beside
    // the animation's folder, as the exporter does.
    bool skeletonGiven = false;
    int width = 1280;
    int height = 720;
    // The frame rate and the part of the animation (--fps, --frame, --from,
    // --to).
    ClipRequest clip;
    CameraShot camera = CameraShot::Editor;
    bool transparent = false;
    OutputKind kind = OutputKind::Mp4;
    std::string input;
    std::string output;
    // --help was given: print the usage and do nothing else.
    bool help = false;
};

// Reads the command line (without the program name):
//   [--skeleton FILE] [--size WxH] [--fps N] [--camera editor|front|side|orbit]
//   [--frame T] [--from T] [--to T] [--background sky|transparent] INPUT -o OUTPUT
// Options may come in any order, also as --name=value; "--" ends them.
// Returns false with a one-line `error` for an unknown or repeated option,
// a missing value, a size that is not WxH within 1 to MAX_RENDER_SIDE, an
// fps not above 0 and at most MAX_RENDER_FPS, a time that is not 0 or more
// seconds, --frame with --from or --to, an unknown camera or background, a
// missing or second INPUT, a missing OUTPUT, or an OUTPUT whose kind cannot
// be told. With --help it returns true at once, whatever else is there.
bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

// The --help text, several lines ending in "\n".
std::string renderUsage();
