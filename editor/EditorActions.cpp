// The editor's added actions: the undo history, playback and dialog keys,
// quick save, name completion and the autosave.
#include "animation/Animation.h"
#include "animation/AnimationFile.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
#include "editor/InputMap.h"
#include "editor/ShortcutsOverlay.h"
#include "editor/SkeletonEditor.h"
#include "editor/TimelineStrip.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/StatusLine.h"
#include "gui/TextField.h"
#include "skeleton/Skeleton.h"

#include <filesystem>

void SkeletonEditor::status(const std::string& message) {
    statusLine_->show(message);
}

// ---- the history -----------------------------------------------------------

EditorSnapshot SkeletonEditor::snapshot() const {
    EditorSnapshot s;
    s.name = animation_->name();
    s.looping = animation_->looping();
    s.currentFrame = currentFrame_ ? currentFrame_->index : -1;
    s.frameCounterText = parts.frameCounter->getText();
    s.pose = SkeletonPose::capture(*skeleton_);
    s.ghostPose = SkeletonPose::capture(*ghostSkeleton_);
    s.showGhost = showGhost_;
    s.selectedBone = skeleton_->selectedBone() ? skeleton_->selectedBone()->index() : -1;
    s.poseUnstored = poseUnstored_;
    return s;
}

void SkeletonEditor::restore(const EditorSnapshot& state) {
    animation_->setName(state.name);
    animation_->setLooping(state.looping);
    currentFrame_ = animation_->frameAt(state.currentFrame);
    parts.frameCounter->setText(state.frameCounterText);
    state.pose.restore(*skeleton_);
    state.ghostPose.restore(*ghostSkeleton_);
    showGhost_ = state.showGhost;
    skeleton_->select(skeleton_->boneAt(state.selectedBone));
    // A selection put back is no pick: the status line keeps saying what
    // was undone instead of naming the bone.
    announcedBone = skeleton_->selectedBone();
    poseUnstored_ = state.poseUnstored;
    showFrameProperties();
    refreshBoneReadout();
}

void SkeletonEditor::beginEdit(const std::string& label) {
    commitEdit();
    editBefore = snapshot();
    editLabel = label;
}

void SkeletonEditor::commitEdit() {
    if (!editBefore)
        return;
    const EditorSnapshot before = std::move(*editBefore);
    editBefore.reset();
    const std::size_t forgotten = history_->forgottenSteps();
    if (history_->record(editLabel, before, snapshot(), *animation_) &&
        history_->lastStepChangedAnimation()) {
        animationChanged = true;
        ++changeCount;
    }
    historyTrimmed = historyTrimmed || history_->forgottenSteps() != forgotten;
}

void SkeletonEditor::finishHeldEdit() {
    if (!editBefore)
        return;
    if (SkeletonPose::capture(*skeleton_) != editBefore->pose)
        poseUnstored_ = true;
    commitEdit();
}

void SkeletonEditor::undo() {
    travel(false);
}

void SkeletonEditor::redo() {
    travel(true);
}

void SkeletonEditor::travel(bool forward) {
    // A gesture still running ends here as a step of its own; the rest of
    // it does nothing, so no change escapes the history.
    endHeldChanges();
    endBoneDrag();
    commitEdit();
    haltPlayback();
    const auto applied = forward ? history_->redo(*animation_) : history_->undo(*animation_);
    if (!applied) {
        status(forward ? "Nothing to redo" : "Nothing to undo");
        return;
    }
    restore(*applied->state);
    if (applied->changedAnimation) {
        animationChanged = true;
        ++changeCount;
    }
    status((forward ? "Redo: " : "Undo: ") + applied->label);
}

// ---- playback -------------------------------------------------------------

void SkeletonEditor::startPlayback() {
    if (skeleton_->complete())
        player_->play(animation_->name());
    parts.frameSelection->visible = false;
    showGhost_ = false;
}

void SkeletonEditor::stopPlayback() {
    player_->stop();
    parts.frameSelection->visible = true;
    showGhost_ = true;
    stepToNextFrame();
}

void SkeletonEditor::haltPlayback() {
    if (player_->playing())
        parts.frameSelection->visible = true;
    // Whatever comes next may remove frames the player points into.
    player_->forgetFrames();
}

// ---- the input map ----------------------------------------------------------

void SkeletonEditor::perform(EditorAction action) {
    switch (action) {
    case EditorAction::Undo:
        undo();
        break;
    case EditorAction::Redo:
        redo();
        break;
    case EditorAction::QuickSave:
        quickSave();
        break;
    case EditorAction::NewAnimation:
        newAnimation();
        break;
    case EditorAction::ToggleLooping:
        toggleLooping();
        break;
    case EditorAction::OpenLoad:
        showDialog(parts.loadWindow, parts.loadNameField);
        break;
    case EditorAction::OpenImport:
        showDialog(parts.importWindow, parts.importNameField);
        break;
    case EditorAction::ConfirmDialog:
        if (manager.focusedField == parts.loadNameField && parts.loadWindow->visible)
            confirmLoad();
        else if (manager.focusedField == parts.importNameField && parts.importWindow->visible)
            confirmImport();
        else if (manager.focusedField == parts.saveNameField && parts.saveWindow->visible)
            confirmSave();
        break;
    case EditorAction::CompleteName:
        completeName();
        break;
    case EditorAction::PlayOrStop:
        perform(player_->playing() ? EditorAction::Stop : EditorAction::Play);
        break;
    case EditorAction::Play:
        startPlayback();
        break;
    case EditorAction::Stop:
        stepAway("stop", [this] { stopPlayback(); });
        break;
    case EditorAction::PreviousFrame:
        stepAway("previous frame", [this] { stepToPreviousFrame(); });
        break;
    case EditorAction::NextFrame:
        stepAway("next frame", [this] { stepToNextFrame(); });
        break;
    case EditorAction::FirstFrame:
        stepAway("first frame", [this] { stepToFrame(0); });
        break;
    case EditorAction::LastFrame:
        stepAway("last frame", [this] { stepToFrame(animation_->frameCount() - 1); });
        break;
    case EditorAction::InsertFrame:
        insertFrame();
        break;
    case EditorAction::DeleteFrame:
        deleteFrame();
        break;
    case EditorAction::DuplicateFrame:
        duplicateFrame();
        break;
    case EditorAction::MoveFrameEarlier:
        moveFrame(-1);
        break;
    case EditorAction::MoveFrameLater:
        moveFrame(1);
        break;
    case EditorAction::CopyPose:
        copyPose();
        break;
    case EditorAction::PastePose:
        pastePose(false);
        break;
    case EditorAction::PasteMirrored:
        pastePose(true);
        break;
    case EditorAction::MirrorPose:
        mirrorPose();
        break;
    case EditorAction::ToggleShortcuts:
        shortcuts_->toggle();
        break;
    case EditorAction::ToggleTimeline:
        timeline_->toggle();
        break;
    case EditorAction::SavePose:
        edit("save pose", [this] {
            if (currentFrame_ && skeleton_->complete()) {
                currentFrame_->capturePose(skeleton_.get());
                poseUnstored_ = false;
            }
        });
        break;
    case EditorAction::AddFrame:
        edit("new frame", [this] {
            if (skeleton_->complete()) {
                const int count = animation_->frameCount();
                currentFrame_ = count > 0 ? animation_->frameAt(count - 1) : nullptr;
                animation_->addFrameFromPose(skeleton_.get());
                stepToNextFrame();
            }
        });
        break;
    case EditorAction::CycleMotion:
        cycleMotionLabel();
        break;
    case EditorAction::ApplyProperties:
        edit("apply properties", [this] { applyFrameProperties(); });
        break;
    case EditorAction::ConfirmLoad:
        confirmLoad();
        break;
    case EditorAction::CancelLoad:
        parts.loadWindow->visible = false;
        break;
    case EditorAction::ConfirmSave:
        confirmSave();
        break;
    case EditorAction::CancelSave:
        parts.saveWindow->visible = false;
        break;
    case EditorAction::ConfirmImport:
        confirmImport();
        break;
    case EditorAction::CancelImport:
        parts.importWindow->visible = false;
        break;
    default:
        // The camera's own action and the renders (which draw from the
        // camera) are the scene's.
        break;
    }
}

void SkeletonEditor::selectFrame(int position) {
    stepAway("go to frame", [this, position] { stepToFrame(position); });
}

// ---- background work ---------------------------------------------------------

bool SkeletonEditor::runInBackground(const std::string& label, BackgroundTask::Work work) {
    if (background.busy()) {
        status("Busy: " + background.label());
        return false;
    }
    background.start(label, std::move(work));
    status(background.progressText());
    return true;
}
