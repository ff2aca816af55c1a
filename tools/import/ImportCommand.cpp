#include "tools/import/ImportCommand.h"

#include "animation/AnimationFile.h"
#include "animation/FileRead.h"
#include "animation/SafeFileWrite.h"
#include "import/BvhReader.h"
#include "import/MotionImport.h"
#include "motion/BoneTable.h"
#include "platform/ProgramPaths.h"
#include "tools/export/ConsoleCapture.h"
#include "tools/export/ExportInputs.h"
#include "tools/import/ImportOptions.h"

#include <chrono>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr const char* PREFIX = "kinemorph-import: ";
// The bar shows once the work has taken this long, seconds.
constexpr double BAR_AFTER = 1;
constexpr int BAR_WIDTH = 30;

// True when `a` and `b` name one existing file.
bool sameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

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

// A bar on a terminal, drawn over itself, once the work has gone on for
// BAR_AFTER seconds; wiped when it ends.
class ProgressBar {
public:
    ProgressBar(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    ~ProgressBar() {
        if (shown_) {
            err_ << "\r" << std::string(BAR_WIDTH + 8, ' ') << "\r" << std::flush;
        }
    }

    void show(double fraction) {
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        if (!enabled_ || seconds < BAR_AFTER) {
            return;
        }
        const int filled = static_cast<int>(fraction * BAR_WIDTH);
        err_ << "\r[" << std::string(filled, '#') << std::string(BAR_WIDTH - filled, ' ') << "] "
             << static_cast<int>(fraction * 100) << " %" << std::flush;
        shown_ = true;
    }

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& err_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_ = Clock::now();
};

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
        ProgressBar bar(err, progressBar);
        if (!importMotion(clip, *figure, importOptions, result, error, [&](double fraction) {
                bar.show(fraction);
                return true;
            })) {
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
