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
    if (player_->playing()) {
        player_->stop();
        parts.frameSelection->visible = true;
        showGhost_ = true;
    }
    player_->forgetFrames();
}

void SkeletonEditor::showCurrentFrameInPlace() {
    if (!currentFrame_)
        return;
    const int position = currentFrame_->index;
    parts.frameCounter->setText(std::to_string(position));
    showFrameProperties();
    const int count = animation_->frameCount();
    KeyFrame* previous = position > 0
                             ? animation_->frameAt(position - 1)
                             : (animation_->looping() ? animation_->frameAt(count - 1) : nullptr);
    if (previous) {
        previous->applyPose(ghostSkeleton_.get());
        showGhost_ = true;
    } else {
        showGhost_ = false;
    }
}

void SkeletonEditor::deleteFrame() {
    stopForTool();
    if (!currentFrame_) {
        status("No frame to delete");
        return;
    }
    if (animation_->frameCount() <= 1) {
        status("Cannot delete the only frame");
        return;
    }
    const int position = currentFrame_->index;
    edit("delete frame", [&] {
        currentFrame_ = nullptr;
        animation_->removeFrame(position);
        stepToFrame(position < animation_->frameCount() ? position : position - 1);
    });
    status(frameName(position) + " deleted");
}

void SkeletonEditor::insertFrame() {
    stopForTool();
    if (!skeleton_->complete())
        return;
    const int position = currentFrame_ ? currentFrame_->index + 1 : 0;
    edit("insert frame", [&] {
        // A new frame's own times: wait 0, transition 1 s, Linear.
        animation_->insertFrame(position, std::make_unique<KeyFrame>(skeleton_.get()));
        stepToFrame(position);
    });
    status(frameName(position) + " inserted");
}

void SkeletonEditor::duplicateFrame() {
    stopForTool();
    if (!currentFrame_) {
        status("No frame to duplicate");
        return;
    }
    const int position = currentFrame_->index + 1;
    edit("duplicate frame", [&] {
        animation_->insertFrame(position, std::make_unique<KeyFrame>(*currentFrame_));
        stepToFrame(position);
    });
    status(frameName(position - 1) + " duplicated as frame " + std::to_string(position));
}

void SkeletonEditor::moveFrame(int places) {
    stopForTool();
    if (!currentFrame_)
        return;
    const int from = currentFrame_->index;
    const int to = from + places;
    if (to < 0 || to >= animation_->frameCount()) {
        status(to < 0 ? frameName(from) + " is already first"
                      : frameName(from) + " is already last");
        return;
    }
    edit(places < 0 ? "move frame earlier" : "move frame later", [&] {
        animation_->swapFrames(from, to);
        showCurrentFrameInPlace();
    });
    status(frameName(from) + " moved to " + std::to_string(to));
}

void SkeletonEditor::newAnimation() {
    stopForTool();
    if (!skeleton_->complete())
        return;
    const bool unsaved = animationChanged;
    edit("new animation", [&] {
        auto fresh = std::make_unique<Animation>(NEW_ANIMATION_NAME, true);
        fresh->addFrameFromPose(skeleton_.get());
        replaceAnimation(std::move(fresh));
    });
    // Nothing of it is in a file: Ctrl+S asks for a name.
    fileName_.clear();
    openedPath.clear();
    status(unsaved ? "New animation (Ctrl+Z brings back the unsaved one)" : "New animation");
}

void SkeletonEditor::toggleLooping() {
    stopForTool();
    const bool looping = !animation_->looping();
    edit(looping ? "looping on" : "looping off", [&] {
        animation_->setLooping(looping);
        // Frame 0's ghost is the last frame only in a loop.
        showCurrentFrameInPlace();
    });
    status(looping ? "Looping on" : "Looping off");
}

void SkeletonEditor::copyPose() {
    copiedPose = SkeletonPose::capture(*skeleton_);
    status("Pose copied");
}

void SkeletonEditor::putPose(const std::string& label, const SkeletonPose& pose) {
    edit(label, [&] {
        const SkeletonPose before = SkeletonPose::capture(*skeleton_);
        if (pose.restore(*skeleton_) && SkeletonPose::capture(*skeleton_) != before)
            poseUnstored_ = true;
    });
}

void SkeletonEditor::pastePose(bool mirrored) {
    if (!copiedPose) {
        status("Nothing to paste: copy a pose with Ctrl+C first");
        return;
    }
    if (static_cast<int>(copiedPose->angles.size()) != skeleton_->boneCount()) {
        status("Cannot paste: the pose has " + std::to_string(copiedPose->angles.size()) +
               " bones, the figure " + std::to_string(skeleton_->boneCount()));
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
    const SkeletonPose present = SkeletonPose::capture(*skeleton_);
    SkeletonPose flipped;
    if (!mirror.mirror(*skeleton_, *copiedPose, flipped))
        return;
    present.restore(*skeleton_);
    putPose("paste mirrored pose", flipped);
    status("Pose pasted mirrored");
}

void SkeletonEditor::mirrorPose() {
    if (!mirror.ready()) {
        status(mirror.reason());
        return;
    }
    stopForTool();
    const SkeletonPose present = SkeletonPose::capture(*skeleton_);
    SkeletonPose flipped;
    if (!mirror.mirror(*skeleton_, present, flipped))
        return;
    present.restore(*skeleton_);
    putPose("mirror pose", flipped);
    status("Pose mirrored");
}
