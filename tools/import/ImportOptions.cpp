#include "tools/import/ImportOptions.h"

#include "animation/NumberText.h"
#include "skeleton/DefaultFigure.h"
#include "tools/common/CommandLine.h"

bool parseImportOptions(const std::vector<std::string>& args, ImportOptions& options,
                        std::string& error) {
    options = ImportOptions();
    options.skeletonPath = SKELETON_PATH;
    CommandLine line;
    if (!splitCommandLine(args, {"--skeleton", "--tolerance", "--map", "-o|--output"}, line, error,
                          {"--loop", "--verbose"})) {
        return false;
    }
    if (line.help) {
        options.help = true;
        return true;
    }
    if (!inputAndOutput(line, options.input, options.output, error, "input clip")) {
        return false;
    }
    // Read without adding: values[] would make an option given.
    auto value = [&line](const char* name) {
        const auto at = line.values.find(name);
        return at == line.values.end() ? std::string() : at->second;
    };
    options.loop = line.given("--loop");
    options.verbose = line.given("--verbose");
    if (line.given("--skeleton")) {
        options.skeletonPath = value("--skeleton");
        options.skeletonGiven = true;
    }
    const std::string tolerance = value("--tolerance");
    if (line.given("--tolerance") &&
        !(parseDecimal(tolerance, options.tolerance) && options.tolerance >= 0 &&
          options.tolerance <= MAX_IMPORT_TOLERANCE)) {
        error = "--tolerance needs a number of degrees from 0 to " +
                numberText(MAX_IMPORT_TOLERANCE) + ", not '" + tolerance + "'";
        return false;
    }
    options.mapPath = value("--map");
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
