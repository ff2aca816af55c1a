#include "tools/render/RenderOptions.h"

#include "animation/NumberText.h"
#include "tools/common/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace {

// "1280x720": two whole numbers from 1 to MAX_RENDER_SIDE.
bool parseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == text.size() || x > 5 ||
        text.size() - x - 1 > 5) {
        return false;
    }
    const std::string w = text.substr(0, x), h = text.substr(x + 1);
    auto digits = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
    };
    if (!digits(w) || !digits(h)) {
        return false;
    }
    width = std::stoi(w);
    height = std::stoi(h);
    return width >= 1 && height >= 1 && width <= MAX_RENDER_SIDE && height <= MAX_RENDER_SIDE;
}

bool parseTime(const std::string& option, const std::string& text, double& seconds,
               std::string& error) {
    if (!parseDecimal(text, seconds) || seconds < 0) {
        error = option + " needs a time in seconds, 0 or more, not '" + text + "'";
        return false;
    }
    return true;
}

} // namespace

bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error) {
    options = RenderOptions();
    CommandLine line;
    if (!splitCommandLine(args,
                          {"--skeleton", "--size", "--fps", "--camera", "--frame", "--from", "--to",
                           "--background", "-o|--output"},
                          line, error)) {
        return false;
    }
    if (line.help) {
        options.help = true;
        return true;
    }
    if (!inputAndOutput(line, options.input, options.output, error)) {
        return false;
    }
    if (line.given("--skeleton")) {
        options.skeletonPath = line.values["--skeleton"];
        options.skeletonGiven = true;
        if (options.skeletonPath.empty()) {
            error = "--skeleton needs a file name";
            return false;
        }
    }
    if (line.given("--size") && !parseSize(line.values["--size"], options.width, options.height)) {
        error = "--size needs WIDTHxHEIGHT, each from 1 to " + std::to_string(MAX_RENDER_SIDE) +
                ", not '" + line.values["--size"] + "'";
        return false;
    }
    if (line.given("--fps")) {
        const std::string& text = line.values["--fps"];
        if (!parseDecimal(text, options.clip.fps) || !(options.clip.fps > 0) ||
            options.clip.fps > MAX_RENDER_FPS) {
            error = "--fps needs a number above 0 and at most " + numberText(MAX_RENDER_FPS) +
                    ", not '" + text + "'";
            return false;
        }
    }
    if (line.given("--camera") && !cameraShotFromName(line.values["--camera"], options.camera)) {
        error =
            "unknown camera '" + line.values["--camera"] + "'; use editor, front, side or orbit";
        return false;
    }
    if (line.given("--background")) {
        const std::string& background = line.values["--background"];
        if (background != "sky" && background != "transparent") {
            error = "unknown background '" + background + "'; use sky or transparent";
            return false;
        }
        options.transparent = background == "transparent";
    }
    if (line.given("--frame")) {
        if (line.given("--from") || line.given("--to")) {
            error = "--frame takes one frame; it cannot go with --from or --to";
            return false;
        }
        if (!parseTime("--frame", line.values["--frame"], options.clip.from, error)) {
            return false;
        }
        options.clip.single = true;
    }
    if (line.given("--from") &&
        !parseTime("--from", line.values["--from"], options.clip.from, error)) {
        return false;
    }
    if (line.given("--to")) {
        if (!parseTime("--to", line.values["--to"], options.clip.to, error)) {
            return false;
        }
        options.clip.hasTo = true;
    }
    if (!outputKindOf(options.output, options.kind)) {
        error = "cannot tell what to write from '" + options.output +
                "'; name it .mp4, .webm, .gif or .png, or end it with / for PNG frames";
        return false;
    }
    return true;
}

std::string renderUsage() {
    return "Usage: kinemorph-render [--skeleton FILE] [--size WxH] [--fps N]\n"
           "         [--camera editor|front|side|orbit] [--frame T] [--from T] [--to T]\n"
           "         [--background sky|transparent] INPUT.rgaf -o OUTPUT\n"
           "Renders a Kinemorph animation as the editor draws it, with no display needed.\n"
           "Frame k shows the animation at time k / fps on its exact timeline.\n"
           "\n"
           "  OUTPUT           by its name: .mp4 (H.264), .webm (VP9, with alpha on a\n"
           "                   transparent background), .gif (one palette, looping forever),\n"
           "                   .png (one frame: give --frame), or a folder ending in /\n"
           "                   (frame-0000.png, frame-0001.png ...); replaced only when the\n"
           "                   render succeeds\n"
           "  --skeleton FILE  the skeleton to pose (default " +
           std::string(SKELETON_PATH) +
           ",\n"
           "                   else default.rgcf in the folder above INPUT's folder)\n"
           "  --size WxH       picture size in pixels (default 1280x720)\n"
           "  --fps N          frames per second, above 0 and at most " +
           numberText(MAX_RENDER_FPS) + " (default 30; a GIF takes at most " +
           numberText(MAX_GIF_FPS) +
           ")\n"
           "  --camera C       editor: the editor's start view (default); front, side: level\n"
           "                   views; orbit: once around the figure over the clip\n"
           "  --frame T        one frame at T seconds (for a .png)\n"
           "  --from T         the first frame's time (default 0)\n"
           "  --to T           end the clip at T seconds (frames before T)\n"
           "  --background B   sky (default) or transparent\n"
           "  -o OUTPUT        where to write\n"
           "  --help           print this help\n"
           "\n"
           "A looping animation gives one cycle of round(duration x fps) frames; any other\n"
           "runs to its end pose. Antialiasing follows resources/config/settings.ini when\n"
           "there is one. Exit status: 0 on success, 2 for a bad command line, 1 when the\n"
           "render fails or is interrupted (Ctrl-C), in which case nothing is written.\n";
}
