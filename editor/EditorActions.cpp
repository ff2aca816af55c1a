// The editor's added actions: the undo history_, playback and dialog keys,
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

namespace {
// Seconds between two autosaves at most.
constexpr double AUTOSAVE_INTERVAL = 60;
constexpr const char* AUTOSAVE_NAME = "autosave";
// The start-up notice stays longer than an answer to a click.
constexpr double NOTICE_SECONDS = 8;
} // namespace

void SkeletonEditor::status(const std::string& message) {
    statusLine_->show(message);
}

// ---- the history_ ----------------------------------------------------------

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
    if (history_->record(editLabel, before, snapshot(), *animation_) &&
        history_->lastStepChangedAnimation()) {
        animationChanged = true;
        ++changeCount;
    }
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
    held.rotating = held.movingSkeleton = false;
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
    // Whatever comes next may remove frames the player_ points into.
    player_->forgetFrames();
}

// ---- the dialogs ------------------------------------------------------------

void SkeletonEditor::showDialog(ComponentContainer* dialog, TextField* nameField) {
    ComponentContainer* other = dialog == parts.loadWindow ? parts.saveWindow : parts.loadWindow;
    other->visible = false;
    dialog->visible = true;
    manager.raiseWindow(dialog);
    manager.focus(nameField);
}

void SkeletonEditor::confirmLoad() {
    const std::string name = parts.loadNameField->getText();
    bool loaded = false;
    edit("load " + name, [&] { loaded = loadAnimation(name); });
    if (!loaded) {
        parts.loadNameField->setText(name + "Load Failed! Please verify name!");
        status("Load failed");
        return;
    }
    parts.loadWindow->visible = false;
    animationChanged = false;
    fileName_ = name;
    status("Loaded " + name + ": " + std::to_string(animation_->frameCount()) + " frames");
}

void SkeletonEditor::confirmSave() {
    saveUnder(parts.saveNameField->getText());
}

bool SkeletonEditor::saveUnder(const std::string& name) {
    bool saved = false;
    // Saving is not undone, but the name it gives the animation_ is a step.
    edit("name " + name, [&] { saved = saveCurrentAnimation(name); });
    if (!saved) {
        parts.saveWindow->setText(parts.saveWindow->getText() + "Save Failed!");
        status("Save failed");
        return false;
    }
    parts.saveWindow->visible = false;
    animationChanged = false;
    fileName_ = name;
    status("Saved " + name);
    return true;
}

void SkeletonEditor::quickSave() {
    if (fileName_.empty()) {
        showDialog(parts.saveWindow, parts.saveNameField);
        return;
    }
    // A failed quick save opens the dialog, whose title then says so.
    if (!saveUnder(fileName_))
        showDialog(parts.saveWindow, parts.saveNameField);
}

void SkeletonEditor::completeName() {
    TextField* field = manager.focusedField;
    const bool dialogField = (field == parts.loadNameField && parts.loadWindow->visible) ||
                             (field == parts.saveNameField && parts.saveWindow->visible);
    if (!dialogField)
        return;
    const std::string shown = field->getText();
    const std::string completed =
        completion.complete(field->id, shown, savedAnimationNames(ANIMATION_FOLDER));
    if (completed != shown)
        field->setText(completed);
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
    case EditorAction::OpenLoad:
        showDialog(parts.loadWindow, parts.loadNameField);
        break;
    case EditorAction::ConfirmDialog:
        if (manager.focusedField == parts.loadNameField && parts.loadWindow->visible)
            confirmLoad();
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

// ---- autosave ---------------------------------------------------------------

bool SkeletonEditor::autosave() {
    if (!animationChanged)
        return true;
    if (!writeAnimationFile(ANIMATION_FOLDER, AUTOSAVE_NAME, *animation_, false)) {
        status("Autosave failed: could not write autosave.rgaf");
        return false;
    }
    autosavedCount = changeCount;
    return true;
}

void SkeletonEditor::advanceAutosave(double seconds) {
    sinceAutosave += seconds;
    if (sinceAutosave < AUTOSAVE_INTERVAL)
        return;
    if (animationChanged && changeCount != autosavedCount)
        autosave();
    sinceAutosave = 0;
}

void SkeletonEditor::announceAutosave() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder(ANIMATION_FOLDER);
    const fs::path autosaved = folder / (std::string(AUTOSAVE_NAME) + ".rgaf");
    const auto written = fs::last_write_time(autosaved, error);
    if (error)
        return;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        if (path.extension() != ".rgaf" || path.filename() == autosaved.filename())
            continue;
        std::error_code timeError;
        const auto time = fs::last_write_time(path, timeError);
        if (!timeError && time >= written)
            return;
    }
    statusLine_->show("Unsaved work from last run: load autosave", NOTICE_SECONDS);
}
