#include "tools/import/ImportOptions.h"

#include "animation/NumberText.h"
#include "skeleton/DefaultFigure.h"
#include "tools/common/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

// A decimal number filling the whole text, from 0 to MAX_IMPORT_TOLERANCE.
// strtod alone would take "1abc", " 1", "nan" or "inf".
bool parseTolerance(const std::string& text, double& degrees) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](unsigned char c) {
            return std::isdigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
        })) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE ||
        !(value >= 0 && value <= MAX_IMPORT_TOLERANCE)) {
        return false;
    }
    degrees = value;
    return true;
}

} // namespace

bool parseImportOptions(const std::vector<std::string>& args, ImportOptions& options,
                        std::string& error) {
    options = ImportOptions();
    options.skeletonPath = SKELETON_PATH;
    if (asksForHelp(args)) {
        options.help = true;
        return true;
    }
    static const std::vector<CommandOption> OPTIONS = {
        {"--skeleton", nullptr, true}, {"--tolerance", nullptr, true},
        {"--map", nullptr, true},      {"--output", "-o", true},
        {"--loop", nullptr, false},    {"--verbose", nullptr, false}};
    CommandLine line;
    if (!scanCommandLine(args, OPTIONS, line, error)) {
        return false;
    }
    if (line.positional.empty()) {
        error = "no input clip given (try --help)";
        return false;
    }
    if (line.positional.size() > 1) {
        error = "only one input clip may be given (found '" + line.positional[0] + "' and '" +
                line.positional[1] + "')";
        return false;
    }
    options.input = line.positional[0];
    options.output = line.value("--output");
    options.loop = line.given("--loop");
    options.verbose = line.given("--verbose");
    if (line.given("--skeleton")) {
        options.skeletonPath = line.value("--skeleton");
        options.skeletonGiven = true;
    }
    if (line.given("--tolerance") &&
        !parseTolerance(line.value("--tolerance"), options.tolerance)) {
        error = "--tolerance needs a number of degrees from 0 to " +
                numberText(MAX_IMPORT_TOLERANCE) + ", not '" + line.value("--tolerance") + "'";
        return false;
    }
    options.mapPath = line.value("--map");
    if (options.output.empty()) {
        error = "no output file given; use -o OUTPUT.rgaf";
        return false;
    }
    if (options.skeletonPath.empty()) {
        error = "--skeleton needs a file name";
        return false;
    }
    if (line.given("--map") && options.mapPath.empty()) {
        error = "--map needs a file name";
        return false;
    }
    return true;
}

std::string importUsage() {
    return "Usage: kinemorph-import [--skeleton FILE] [--tolerance DEG] [--map FILE] [--loop]\n"
           "                        [--verbose] INPUT.bvh -o OUTPUT.rgaf\n"
           "Imports a motion-capture clip (BVH) onto Kinemorph's figure: the bones are found\n"
           "from the clip's skeleton, every frame is retargeted to the figure's proportions\n"
           "and limits, and the motion is reduced to the fewest whole-pose key frames (each\n"
           "with a wait, a transition and an easing) that replay it within the tolerance at\n"
           "every frame of the clip.\n"
           "\n"
           "  --skeleton FILE  the figure (default " +
           std::string(SKELETON_PATH) +
           ",\n"
           "                   else default.rgcf in the folder above OUTPUT's folder)\n"
           "  --tolerance DEG  how far any bone may turn from the dense import, degrees (default " +
           numberText(DEFAULT_IMPORT_TOLERANCE) +
           ");\n"
           "                   0 keeps a key frame on every frame of the clip\n"
           "  --map FILE       lines 'figure_bone = SourceJoint' that override the mapping\n"
           "                   (bones: hips, lower_spine, upper_spine, neck, head, left_hip,\n"
           "                   left_thigh, left_shin, left_foot, left_shoulder, left_upper_arm,\n"
           "                   left_forearm, left_hand, and the same for right)\n"
           "  --loop           make the animation loop\n"
           "  --verbose        print the mapping, in the map file's form\n"
           "  -o OUTPUT        the animation file to write; replaced only when the import\n"
           "                   succeeds\n"
           "  --help           print this help\n"
           "\n"
           "Prints one line: the clip's frames and rate, the key frames kept, the largest\n"
           "error and the time taken. Exit status: 0 on success, 2 for a bad command line,\n"
           "1 when the import fails.\n";
}
