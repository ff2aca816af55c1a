// The frame tools (delete, insert, duplicate, move) and the pose tools
// (copy, paste, mirror): each one undo step, each said on the status line.
#include "animation/Animation.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"
#include "gui/StatusLine.h"
#include "gui/TextField.h"
#include "skeleton/Skeleton.h"

namespace {
std::string frameName(int index) {
    return "Frame " + std::to_string(index);
}
} // namespace

void SkeletonEditor::stopForTool() {
    if (player->playing()) {
        player->stop();
        frameSelection->visible = true;
        showGhost = true;
    }
    player->forgetFrames();
}

void SkeletonEditor::showCurrentFrameInPlace() {
    if (!currentFrame)
        return;
    const int position = currentFrame->index;
    frameCounter->setText(std::to_string(position));
    showFrameProperties();
    const int count = animation->frameCount();
    KeyFrame* previous = position > 0
                             ? animation->frameAt(position - 1)
                             : (animation->looping() ? animation->frameAt(count - 1) : nullptr);
    if (previous) {
        previous->applyPose(ghostSkeleton.get());
        showGhost = true;
    } else {
        showGhost = false;
    }
}

void SkeletonEditor::deleteFrame() {
    stopForTool();
    if (!currentFrame) {
        status("No frame to delete");
        return;
    }
    if (animation->frameCount() <= 1) {
        status("Cannot delete the only frame");
        return;
    }
    const int position = currentFrame->index;
    edit("delete frame", [&] {
        currentFrame = nullptr;
        animation->removeFrame(position);
        stepToFrame(position < animation->frameCount() ? position : position - 1);
    });
    status(frameName(position) + " deleted");
}

void SkeletonEditor::insertFrame() {
    stopForTool();
    if (!skeleton->complete())
        return;
    const int position = currentFrame ? currentFrame->index + 1 : 0;
    edit("insert frame", [&] {
        // A new frame's own times: wait 0, transition 1 s, Linear.
        animation->insertFrame(position, std::make_unique<KeyFrame>(skeleton.get()));
        stepToFrame(position);
    });
    status(frameName(position) + " inserted");
}

void SkeletonEditor::duplicateFrame() {
    stopForTool();
    if (!currentFrame) {
        status("No frame to duplicate");
        return;
    }
    const int position = currentFrame->index + 1;
    edit("duplicate frame", [&] {
        animation->insertFrame(position, std::make_unique<KeyFrame>(*currentFrame));
        stepToFrame(position);
    });
    status(frameName(position - 1) + " duplicated as frame " + std::to_string(position));
}

void SkeletonEditor::moveFrame(int places) {
    stopForTool();
    if (!currentFrame)
        return;
    const int from = currentFrame->index;
    const int to = from + places;
    if (to < 0 || to >= animation->frameCount()) {
        status(to < 0 ? frameName(from) + " is already first"
                      : frameName(from) + " is already last");
        return;
    }
    edit(places < 0 ? "move frame earlier" : "move frame later", [&] {
        animation->swapFrames(from, to);
        showCurrentFrameInPlace();
    });
    status(frameName(from) + " moved to " + std::to_string(to));
}

void SkeletonEditor::copyPose() {
    copiedPose = SkeletonPose::capture(*skeleton);
    status("Pose copied");
}

void SkeletonEditor::putPose(const std::string& label, const SkeletonPose& pose) {
    edit(label, [&] {
        const SkeletonPose before = SkeletonPose::capture(*skeleton);
        if (pose.restore(*skeleton) && SkeletonPose::capture(*skeleton) != before)
            poseUnstored = true;
    });
}

void SkeletonEditor::pastePose(bool mirrored) {
    if (!copiedPose) {
        status("Nothing to paste: copy a pose with Ctrl+C first");
        return;
    }
    if (static_cast<int>(copiedPose->angles.size()) != skeleton->boneCount()) {
        status("Cannot paste: the pose has " + std::to_string(copiedPose->angles.size()) +
               " bones, the figure " + std::to_string(skeleton->boneCount()));
        return;
    }
    stopForTool();
    if (!mirrored) {
        putPose("paste pose", *copiedPose);
        status("Pose pasted");
        return;
    }
    if (!mirror.ready()) {
        status(mirror.reason());
        return;
    }
    // The mirror solves on the figure itself; start from the pose as it is.
    const SkeletonPose present = SkeletonPose::capture(*skeleton);
    SkeletonPose flipped;
    if (!mirror.mirror(*skeleton, *copiedPose, flipped))
        return;
    present.restore(*skeleton);
    putPose("paste mirrored pose", flipped);
    status("Pose pasted mirrored");
}

void SkeletonEditor::mirrorPose() {
    if (!mirror.ready()) {
        status(mirror.reason());
        return;
    }
    stopForTool();
    const SkeletonPose present = SkeletonPose::capture(*skeleton);
    SkeletonPose flipped;
    if (!mirror.mirror(*skeleton, present, flipped))
        return;
    present.restore(*skeleton);
    putPose("mirror pose", flipped);
    status("Pose mirrored");
}
