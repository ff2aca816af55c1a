#include "tools/export/ExportCommand.h"

#include "animation/SafeFileWrite.h"
#include "motion/ExportRig.h"
#include "motion/Ground.h"
#include "motion/MotionSampler.h"
#include "platform/ProgramPaths.h"
#include "tools/common/SameFile.h"
#include "tools/export/BvhWriter.h"
#include "tools/export/ConsoleCapture.h"
#include "tools/export/ExportInputs.h"
#include "tools/export/ExportOptions.h"
#include "tools/export/GltfWriter.h"

namespace {

constexpr const char* PREFIX = "kinemorph-export: ";

std::string firstLine(std::string text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) {
        text.erase(end);
    }
    return text;
}

int fail(std::ostream& err, const std::string& message) {
    err << PREFIX << message << "\n";
    return EXPORT_FAILED;
}

std::string render(ExportFormat format, const ExportRig& rig, const SampledMotion& motion) {
    switch (format) {
    case ExportFormat::Gltf:
        return gltfText(rig, motion);
    case ExportFormat::Glb:
        return glbBytes(rig, motion);
    case ExportFormat::Bvh:
        return bvhText(rig, motion);
    }
    return std::string();
}

} // namespace

int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ExportOptions options;
    std::string error;
    if (!parseExportOptions(args, options, error)) {
        err << PREFIX << error << "\n";
        return EXPORT_BAD_USAGE;
    }
    if (options.help) {
        out << exportUsage();
        return EXPORT_OK;
    }
    // Installed, the program's own skeleton is found as the program finds it.
    const ProgramPaths paths = currentProgramPaths();
    options.skeletonPath = exportSkeletonPath(options.skeletonPath, options.skeletonGiven,
                                              options.input, paths.installed ? paths.skeleton : "");
    // The output replaces its file whole; it must not be one of the inputs.
    if (sameFile(options.output, options.input) || sameFile(options.output, options.skeletonPath)) {
        err << PREFIX << "the output '" << options.output << "' would overwrite an input file\n";
        return EXPORT_BAD_USAGE;
    }

    std::unique_ptr<Skeleton> skeleton = loadExportSkeleton(options.skeletonPath, error);
    if (!skeleton) {
        return fail(err, error);
    }
    std::unique_ptr<Animation> animation = loadExportAnimation(options.input, error);
    if (!animation) {
        return fail(err, error);
    }
    // Heights are written from the figure's ground, so other tools put the
    // start pose's feet on their floor at 0.
    const double ground = groundHeight(*skeleton);
    ExportRig rig;
    if (!makeExportRig(*skeleton, rig, error)) {
        return fail(err,
                    "skeleton file '" + options.skeletonPath + "' cannot be exported: " + error);
    }
    SampledMotion motion;
    std::string diagnostics;
    {
        ConsoleCapture capture;
        // BVH has one frame time for every line; glTF keeps a time per key and
        // so gets every key time exactly.
        const SampleSpacing spacing =
            options.format == ExportFormat::Bvh ? SampleSpacing::Uniform : SampleSpacing::KeyTimes;
        const bool sampled =
            sampleMotion(*skeleton, *animation, options.fps, spacing, motion, error);
        diagnostics = capture.text();
        if (!sampled) {
            return fail(err, error);
        }
    }
    for (RigBone& bone : rig.bones)
        bone.restPosition.y -= ground;
    for (PoseSample& sample : motion.samples)
        sample.rootPosition.y -= ground;
    const std::string bytes = render(options.format, rig, motion);
    if (!writeFileSafely(options.output, bytes, false, &error)) {
        return fail(err, "cannot write '" + options.output + "': " + error);
    }
    // The axis frames report rounding trouble on standard output; the export
    // still holds what the program would show, so it is only passed on.
    if (!diagnostics.empty()) {
        err << PREFIX << "warning: while posing, the skeleton reported: " << firstLine(diagnostics)
            << "\n";
    }
    return EXPORT_OK;
}
