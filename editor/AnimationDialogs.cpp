// Loading and saving the editor's animation: by name in the animations
// folder (the dialogs), or by path (a file named on the command line).
#include "animation/Animation.h"
#include "animation/AnimationFile.h"
#include "animation/AnimationPlayer.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"
#include "gui/StatusLine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace {

// Why the file at `path` cannot be read, or "" when it can be tried. Looked
// at before opening: opening a pipe would block the program until someone
// writes into it.
std::string unreadableBecause(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return std::strerror(errno);
    if (S_ISDIR(info.st_mode))
        return "it is a folder";
    if (!S_ISREG(info.st_mode))
        return "it is not a regular file";
    if (::access(path.c_str(), R_OK) != 0)
        return std::strerror(errno);
    return "";
}

std::string shownName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

bool SkeletonEditor::loadAnimation(const std::string& name) {
    return loadAnimationFrom(animationFolder + name + ".rgaf");
}

bool SkeletonEditor::loadAnimationFrom(const std::string& path) {
    auto loaded = std::make_unique<Animation>(path);
    if (!loaded->valid())
        return false;
    // The player must never touch the frames about to be deleted: stop it
    // and let it forget the old animation before it goes.
    if (player->playing())
        frameSelection->visible = true;
    // Removing the animation stops the player and makes it let go of every
    // frame it pointed into.
    player->removeAnimation(animation->name());
    animation = std::move(loaded);
    currentFrame = animation->frameCount() > 0 ? animation->frameAt(0) : nullptr;
    player->addAnimation(animation.get());
    stepToNextFrame();
    return true;
}

bool SkeletonEditor::saveCurrentAnimation(const std::string& name) {
    animation->setName(name);
    return saveAnimation(animationFolder, *animation);
}

bool SkeletonEditor::openFile(const std::string& path) {
    const std::string shown = shownName(path);
    std::string problem = unreadableBecause(path);
    bool loaded = false;
    if (problem.empty()) {
        commitEdit();
        loaded = loadAnimationFrom(path);
        if (!loaded)
            problem = "it is not a Kinemorph animation (its first line is not RGAF)";
    }
    if (!loaded) {
        std::cout << "Could not open " << path << ": " << problem << "\n";
        statusLine->show("Could not open " + shown + ": " + problem, StatusLine::NOTICE_SECONDS);
        return false;
    }
    // The file is where the editing starts: undo never goes back past it to
    // the empty animation nobody saw, which Ctrl+S would then write over it.
    history = std::make_unique<EditHistory>(*animation);
    animationChanged = false;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    openedPath = error ? path : absolute.string();
    status("Opened " + shown + ": " + std::to_string(animation->frameCount()) + " frames");
    return true;
}

bool SkeletonEditor::saveToOpenedFile() {
    std::string reason;
    if (!writeAnimationTo(openedPath, *animation, true, &reason)) {
        std::cout << "Error in saving animation data to file!\n";
        status("Save failed: " + reason);
        return false;
    }
    animationChanged = false;
    status("Saved " + shownName(openedPath));
    return true;
}
