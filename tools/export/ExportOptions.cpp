#include "tools/export/ExportOptions.h"

#include "animation/NumberText.h"
#include "motion/MotionSampler.h"
#include "tools/common/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A decimal number filling the whole text, finite, from MIN_EXPORT_FPS to
// MAX_EXPORT_FPS. strtod alone would take "30abc", " 30", "nan" or "inf".
bool parseFps(const std::string& text, double& fps) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    const bool numeric = std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isdigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    });
    if (!numeric) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE) {
        return false;
    }
    if (!(value >= MIN_EXPORT_FPS && value <= MAX_EXPORT_FPS)) {
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
    if (asksForHelp(args)) {
        options.help = true;
        return true;
    }
    static const std::vector<CommandOption> OPTIONS = {{"--skeleton", nullptr, true},
                                                       {"--fps", nullptr, true},
                                                       {"--format", nullptr, true},
                                                       {"--output", "-o", true}};
    CommandLine line;
    if (!scanCommandLine(args, OPTIONS, line, error)) {
        return false;
    }
    if (line.positional.size() > 1) {
        error = "only one input file may be given (found '" + line.positional[0] + "' and '" +
                line.positional[1] + "')";
        return false;
    }
    const bool haveInput = !line.positional.empty(), haveOutput = line.given("--output"),
               haveFormat = line.given("--format");
    if (haveInput) {
        options.input = line.positional[0];
    }
    if (line.given("--skeleton")) {
        options.skeletonPath = line.value("--skeleton");
        options.skeletonGiven = true;
    }
    if (line.given("--fps") && !parseFps(line.value("--fps"), options.fps)) {
        error = "--fps needs a number from " + numberText(MIN_EXPORT_FPS) + " to " +
                numberText(MAX_EXPORT_FPS) + ", not '" + line.value("--fps") + "'";
        return false;
    }
    const std::string formatName = line.value("--format");
    options.output = line.value("--output");
    if (!haveInput) {
        error = "no input animation file given (try --help)";
        return false;
    }
    if (!haveOutput || options.output.empty()) {
        error = "no output file given; use -o OUTPUT";
        return false;
    }
    if (options.skeletonPath.empty()) {
        error = "--skeleton needs a file name";
        return false;
    }
    if (haveFormat) {
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
