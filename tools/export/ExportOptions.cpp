#include "tools/export/ExportOptions.h"

#include "animation/NumberText.h"
#include "motion/MotionSampler.h"
#include "tools/common/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A number from MIN_EXPORT_FPS to MAX_EXPORT_FPS.
bool parseFps(const std::string& text, double& fps) {
    double value = 0;
    if (!parseDecimal(text, value) || !(value >= MIN_EXPORT_FPS && value <= MAX_EXPORT_FPS)) {
        return false;
    }
    fps = value;
    return true;
}

} // namespace

bool formatFromName(const std::string& name, ExportFormat& format) {
    if (name == "gltf") {
        format = ExportFormat::Gltf;
    } else if (name == "glb") {
        format = ExportFormat::Glb;
    } else if (name == "bvh") {
        format = ExportFormat::Bvh;
    } else {
        return false;
    }
    return true;
}

bool formatFromExtension(const std::string& path, ExportFormat& format) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return false;
    }
    return formatFromName(lowerCase(path.substr(dot + 1)), format);
}

bool parseExportOptions(const std::vector<std::string>& args, ExportOptions& options,
                        std::string& error) {
    options = ExportOptions();
    CommandLine line;
    if (!splitCommandLine(args, {"--skeleton", "--fps", "--format", "-o|--output"}, line, error)) {
        return false;
    }
    if (line.help) {
        options.help = true;
        return true;
    }
    if (line.given("--skeleton")) {
        options.skeletonPath = line.values["--skeleton"];
        options.skeletonGiven = true;
    }
    if (line.given("--fps") && !parseFps(line.values["--fps"], options.fps)) {
        error = "--fps needs a number from " + numberText(MIN_EXPORT_FPS) + " to " +
                numberText(MAX_EXPORT_FPS) + ", not '" + line.values["--fps"] + "'";
        return false;
    }
    if (!inputAndOutput(line, options.input, options.output, error)) {
        return false;
    }
    if (options.skeletonPath.empty()) {
        error = "--skeleton needs a file name";
        return false;
    }
    if (line.given("--format")) {
        const std::string& formatName = line.values["--format"];
        if (!formatFromName(lowerCase(formatName), options.format)) {
            error = "unknown format '" + formatName + "'; use gltf, glb or bvh";
            return false;
        }
    } else if (!formatFromExtension(options.output, options.format)) {
        error = "cannot tell the format from '" + options.output +
                "'; name it .gltf, .glb or .bvh, or use --format";
        return false;
    }
    return true;
}

std::string exportUsage() {
    return "Usage: kinemorph-export [--skeleton FILE] [--fps N] [--format gltf|glb|bvh] "
           "INPUT.rgaf -o OUTPUT\n"
           "Exports a Kinemorph animation to glTF 2.0 (.gltf with the buffer embedded, or .glb)\n"
           "or to BVH, sampled on the animation's exact timeline: every key frame's pose at\n"
           "its key times, every wait and transition exactly as long as the frame says.\n"
           "\n"
           "  --skeleton FILE  the skeleton to pose (default " +
           std::string(DEFAULT_EXPORT_SKELETON) +
           ",\n"
           "                   else default.rgcf in the folder above INPUT's folder,\n"
           "                   else the installed one)\n"
           "  --fps N          samples per second, from " +
           numberText(MIN_EXPORT_FPS) + " to " + numberText(MAX_EXPORT_FPS) +
           " (default 30)\n"
           "  --format F       gltf, glb or bvh (default: from OUTPUT's extension)\n"
           "  -o OUTPUT        the file to write; it is replaced only when the export succeeds\n"
           "  --help           print this help\n"
           "\n"
           "A looping animation is exported for one cycle, back to its first frame; any other\n"
           "until its last frame's wait is over. Exit status: 0 on success, 2 for a bad command\n"
           "line, 1 when the export fails.\n";
}
