#pragma once

#include "motion/MotionSampler.h"
#include "skeleton/DefaultFigure.h"

#include <string>
#include <vector>

// The file formats the exporter writes.
enum class ExportFormat { Gltf, Glb, Bvh };

// The skeleton the program itself poses, relative to the working directory.
inline const char* const DEFAULT_EXPORT_SKELETON = SKELETON_PATH;

// What one run of kinemorph-export is asked to do.
struct ExportOptions {
    std::string skeletonPath = DEFAULT_EXPORT_SKELETON;
    // --skeleton was given; without it the exporter may also look beside
    // the animation's folder (exportSkeletonPath).
    bool skeletonGiven = false;
    double fps = DEFAULT_EXPORT_FPS;
    ExportFormat format = ExportFormat::Gltf;
    std::string input;
    std::string output;
    // --help was given: print the usage and do nothing else.
    bool help = false;
};

// Reads the command line (without the program name):
//   [--skeleton FILE] [--fps N] [--format gltf|glb|bvh] INPUT -o OUTPUT
// Options may come in any order, also as --name=value; "--" ends them. The
// format defaults from OUTPUT's extension (.gltf, .glb, .bvh, any case).
// Returns false with a one-line `error` for an unknown or repeated option, a
// missing value, an fps that is not a number from MIN_EXPORT_FPS to
// MAX_EXPORT_FPS, an unknown format, a missing or second INPUT, a missing
// OUTPUT, or a format that cannot be told from OUTPUT. With --help it
// returns true at once, whatever else is there.
bool parseExportOptions(const std::vector<std::string>& args, ExportOptions& options,
                        std::string& error);

// The format named `name` ("gltf", "glb", "bvh"); false for another name.
bool formatFromName(const std::string& name, ExportFormat& format);
// The format OUTPUT's extension names; false for none or another one.
bool formatFromExtension(const std::string& path, ExportFormat& format);

// The --help text, several lines ending in "\n".
std::string exportUsage();
