#include "tools/export/ExportInputs.h"

#include "animation/AnimationFile.h"
#include "animation/FileRead.h"
#include "motion/MotionSampler.h"
#include "skeleton/DefaultFigure.h"
#include "tools/export/ConsoleCapture.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

// The reader's message without its line end, or `fallback` when it printed
// none.
std::string readerMessage(const std::string& printed, const std::string& fallback) {
    std::string message = printed;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    const std::size_t lineEnd = message.find('\n');
    if (lineEnd != std::string::npos) {
        message.erase(lineEnd);
    }
    return message.empty() ? fallback : message;
}

// The frame count the animation reader will take from `text`, read the same
// way; 0 when it reads none.
long long announcedFrames(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    long long count = 0;
    if (!(in >> count)) {
        return 0;
    }
    return count;
}

} // namespace

std::string exportSkeletonPath(const std::string& skeletonPath, bool given,
                               const std::string& animationPath,
                               const std::string& installedSkeleton) {
    struct stat info;
    if (given || ::stat(skeletonPath.c_str(), &info) == 0) {
        return skeletonPath;
    }
    // "folder/../default.rgcf" lets the system resolve "..", so a folder
    // reached through a link still finds the file beside its real parent.
    const std::size_t slash = animationPath.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "./" : animationPath.substr(0, slash + 1);
    const std::string beside = folder + "../default.rgcf";
    if (::stat(beside.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return beside;
    }
    if (!installedSkeleton.empty() && ::stat(installedSkeleton.c_str(), &info) == 0 &&
        S_ISREG(info.st_mode)) {
        return installedSkeleton;
    }
    return skeletonPath;
}

std::unique_ptr<Skeleton> loadExportSkeleton(const std::string& path, std::string& error) {
    std::string text;
    std::string reason;
    // A skeleton file is a few kilobytes; anything near this is not one.
    if (readRegularFile(path, MAX_ANIMATION_FILE_BYTES, text, reason) != FileRead::Done) {
        error = "cannot read skeleton file '" + path + "': " + reason;
        return nullptr;
    }
    std::istringstream in(text);
    ConsoleCapture capture;
    auto skeleton = std::make_unique<Skeleton>(in, 0, SKELETON_ORIGIN_Y, 0);
    if (!skeleton->complete()) {
        error = "skeleton file '" + path + "' is not usable: " +
                readerMessage(capture.text(), "it has " + std::to_string(skeleton->boneCount()) +
                                                  " bones, " + std::to_string(POSE_BONE_COUNT) +
                                                  " needed");
        return nullptr;
    }
    return skeleton;
}

std::unique_ptr<Animation> loadExportAnimation(const std::string& path, std::string& error) {
    std::string text;
    std::string reason;
    const FileRead read = readRegularFile(path, MAX_ANIMATION_FILE_BYTES, text, reason);
    if (read != FileRead::Done) {
        error = read == FileRead::CannotOpen
                    ? "cannot read animation file '" + path + "': " + reason
                    : "animation file '" + path + "' is refused: " + reason;
        return nullptr;
    }
    // The reader makes every announced frame, lines or not; a lying count
    // must not cost gigabytes before the sampler could refuse it.
    if (announcedFrames(text) > MAX_EXPORT_FRAMES) {
        error = "animation file '" + path + "' announces more than " +
                std::to_string(MAX_EXPORT_FRAMES) + " frames, more than an export can hold";
        return nullptr;
    }
    ConsoleCapture capture;
    std::istringstream textIn(text);
    auto animation = std::make_unique<Animation>(readAnimation(textIn));
    if (!animation->valid()) {
        error = "animation file '" + path +
                "' is not usable: " + readerMessage(capture.text(), "it could not be read");
        return nullptr;
    }
    return animation;
}
