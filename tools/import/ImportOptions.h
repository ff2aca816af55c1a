#pragma once

#include <string>
#include <vector>

// Degrees the reduced import may miss the dense one by, unless told.
constexpr double DEFAULT_IMPORT_TOLERANCE = 1;
// The largest tolerance accepted: beyond it keys would stop meaning poses.
constexpr double MAX_IMPORT_TOLERANCE = 90;

// What one run of kinemorph-import is asked to do.
struct ImportOptions {
    std::string skeletonPath;
    // --skeleton was given; without it the importer may also look beside
    // the output's folder, as the exporter does beside its input's.
    bool skeletonGiven = false;
    double tolerance = DEFAULT_IMPORT_TOLERANCE;
    std::string mapPath;
    bool loop = false;
    bool verbose = false;
    std::string input;
    std::string output;
    // --help was given: print the usage and do nothing else.
    bool help = false;
};

// Reads the command line (without the program name):
//   [--skeleton FILE] [--tolerance DEG] [--map FILE] [--loop] [--verbose]
//   INPUT.bvh -o OUTPUT.rgaf
// Options may come in any order, those with a value also as --name=value;
// "--" ends them. Returns false with a one-line `error` for an unknown or
// repeated option, a missing value, a value given to a flag, a tolerance
// that is not a number from 0 to MAX_IMPORT_TOLERANCE, a missing or second
// INPUT, or a missing OUTPUT. With --help it returns true at once, whatever
// else is there.
bool parseImportOptions(const std::vector<std::string>& args, ImportOptions& options,
                        std::string& error);

// The --help text, several lines ending in "\n".
std::string importUsage();
