#include "tools/import/ImportCommand.h"

#include "animation/AnimationFile.h"
#include "animation/FileRead.h"
#include "animation/SafeFileWrite.h"
#include "import/BvhReader.h"
#include "import/MotionImport.h"
#include "motion/BoneTable.h"
#include "platform/ProgramPaths.h"
#include "tools/common/SameFile.h"
#include "tools/common/TerminalProgress.h"
#include "tools/export/ConsoleCapture.h"
#include "tools/export/ExportInputs.h"
#include "tools/import/ImportOptions.h"

#include <chrono>
#include <cstdio>

namespace {

constexpr const char* PREFIX = "kinemorph-import: ";

std::string formatSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

int fail(std::ostream& err, const std::string& message) {
    err << PREFIX << message << "\n";
    return IMPORT_FAILED;
}

// The animation's name: the output's file name without its folder and a
// final ".rgaf".
std::string animationName(const std::string& output) {
    const std::size_t slash = output.rfind('/');
    std::string name = slash == std::string::npos ? output : output.substr(slash + 1);
    const std::string extension = ".rgaf";
    if (name.size() > extension.size() &&
        name.compare(name.size() - extension.size(), extension.size(), extension) == 0) {
        name.erase(name.size() - extension.size());
    }
    return name;
}

} // namespace

int runImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool progressBar) {
    const auto started = std::chrono::steady_clock::now();
    ImportOptions options;
    std::string error;
    if (!parseImportOptions(args, options, error)) {
        err << PREFIX << error << "\n";
        return IMPORT_BAD_USAGE;
    }
    if (options.help) {
        out << importUsage();
        return IMPORT_OK;
    }
    // Installed, the program's own skeleton is found as the program finds it;
    // the skeleton beside the output's folder is the one its animations use.
    const ProgramPaths paths = currentProgramPaths();
    options.skeletonPath =
        exportSkeletonPath(options.skeletonPath, options.skeletonGiven, options.output,
                           paths.installed ? paths.skeleton : "");
    // The output replaces its file whole; it must not be one of the inputs.
    for (const std::string* input : {&options.input, &options.skeletonPath, &options.mapPath}) {
        if (!input->empty() && sameFile(options.output, *input)) {
            err << PREFIX << "the output '" << options.output
                << "' would overwrite an input file\n";
            return IMPORT_BAD_USAGE;
        }
    }
    const std::string name = animationName(options.output);
    if (name.empty() || name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        err << PREFIX << "the output's file name cannot name an animation\n";
        return IMPORT_BAD_USAGE;
    }

    std::unique_ptr<Skeleton> figure = loadExportSkeleton(options.skeletonPath, error);
    if (!figure) {
        return fail(err, error);
    }
    if (!isDefaultFigure(*figure)) {
        return fail(err, "skeleton file '" + options.skeletonPath +
                             "' is not the figure's bone tree, which the import maps onto");
    }
    BvhClip clip;
    if (!readBvhFile(options.input, clip, error)) {
        return fail(err, "cannot read clip '" + options.input + "': " + error);
    }
    MotionImportOptions importOptions;
    importOptions.tolerance = options.tolerance;
    importOptions.loop = options.loop;
    importOptions.name = name;
    if (!options.mapPath.empty() &&
        readRegularFile(options.mapPath, MAX_MAP_FILE_BYTES, importOptions.mapText, error) !=
            FileRead::Done) {
        return fail(err, "cannot read map file '" + options.mapPath + "': " + error);
    }

    MotionImport result;
    {
        // The axis frames report rounding trouble on standard output, which
        // belongs to the summary here.
        ConsoleCapture capture;
        TerminalProgress bar(err, PREFIX, progressBar);
        const bool imported =
            importMotion(clip, *figure, importOptions, result, error, [&](double fraction) {
                bar.update(fraction);
                return true;
            });
        bar.finish();
        if (!imported) {
            return fail(err, "cannot import '" + options.input + "': " + error);
        }
    }
    std::string reason;
    if (!writeFileSafely(options.output, animationText(result.animation), false, &reason)) {
        return fail(err, "cannot write '" + options.output + "': " + reason);
    }
    const std::vector<int> unmapped = unmappedBones(result.map);
    if (!unmapped.empty()) {
        std::string names;
        for (int bone : unmapped) {
            names += (names.empty() ? "" : ", ") + figureBoneName(bone);
        }
        err << PREFIX << "warning: no joint of the clip moves " << names
            << "; they keep the figure's start pose\n";
    }
    if (options.verbose) {
        out << mapText(clip, result.map);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    out << importSummary(result, name) << ", in " << formatSeconds(seconds) << "\n";
    return IMPORT_OK;
}
