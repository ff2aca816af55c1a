#include "tools/import/ImportOptions.h"

#include "animation/NumberText.h"
#include "skeleton/DefaultFigure.h"

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

struct Option {
    const char* name;
    bool takesValue;
};
const Option OPTIONS[] = {{"--skeleton", true}, {"--tolerance", true}, {"--map", true},
                          {"-o", true},         {"--output", true},    {"--loop", false},
                          {"--verbose", false}};

} // namespace

bool parseImportOptions(const std::vector<std::string>& args, ImportOptions& options,
                        std::string& error) {
    options = ImportOptions();
    options.skeletonPath = SKELETON_PATH;
    if (std::find(args.begin(), args.end(), "--help") != args.end() ||
        std::find(args.begin(), args.end(), "-h") != args.end()) {
        options.help = true;
        return true;
    }
    std::vector<std::string> seen;
    bool haveInput = false, optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            if (haveInput) {
                error = "only one input clip may be given (found '" + options.input + "' and '" +
                        arg + "')";
                return false;
            }
            options.input = arg;
            haveInput = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg, value;
        const std::size_t equals = arg.find('=');
        const bool inlineValue = arg.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inlineValue) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const Option* option = nullptr;
        for (const Option& o : OPTIONS) {
            if (name == o.name) {
                option = &o;
            }
        }
        if (!option) {
            error = "unknown option '" + arg + "' (try --help)";
            return false;
        }
        // -o and --output are one option.
        const std::string key = name == "-o" ? "--output" : name;
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
            error = "option " + name + " is given twice";
            return false;
        }
        seen.push_back(key);
        if (!option->takesValue) {
            if (inlineValue) {
                error = "option " + name + " takes no value";
                return false;
            }
            (name == "--loop" ? options.loop : options.verbose) = true;
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (key == "--skeleton") {
            options.skeletonPath = value;
            options.skeletonGiven = true;
        } else if (key == "--tolerance") {
            if (!parseTolerance(value, options.tolerance)) {
                error = "--tolerance needs a number of degrees from 0 to " +
                        numberText(MAX_IMPORT_TOLERANCE) + ", not '" + value + "'";
                return false;
            }
        } else if (key == "--map") {
            options.mapPath = value;
        } else {
            options.output = value;
        }
    }
    if (!haveInput) {
        error = "no input clip given (try --help)";
        return false;
    }
    if (options.output.empty()) {
        error = "no output file given; use -o OUTPUT.rgaf";
        return false;
    }
    if (options.skeletonPath.empty()) {
        error = "--skeleton needs a file name";
        return false;
    }
    if (std::find(seen.begin(), seen.end(), "--map") != seen.end() && options.mapPath.empty()) {
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
