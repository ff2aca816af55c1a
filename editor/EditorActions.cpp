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

namespace {
// Seconds between two autosaves at most.
constexpr double AUTOSAVE_INTERVAL = 60;
constexpr const char* AUTOSAVE_NAME = "autosave";
} // namespace

void SkeletonEditor::status(const std::string& message) {
    statusLine->show(message);
}

// ---- the history ----------------------------------------------------------

EditorSnapshot SkeletonEditor::snapshot() const {
    EditorSnapshot s;
    s.name = animation->name();
    s.looping = animation->looping();
    s.currentFrame = currentFrame ? currentFrame->index : -1;
    s.frameCounterText = frameCounter->getText();
    s.pose = SkeletonPose::capture(*skeleton);
    s.ghostPose = SkeletonPose::capture(*ghostSkeleton);
    s.showGhost = showGhost;
    s.selectedBone = skeleton->selectedBone() ? skeleton->selectedBone()->index() : -1;
    s.poseUnstored = poseUnstored;
    return s;
}

void SkeletonEditor::restore(const EditorSnapshot& state) {
    animation->setName(state.name);
    animation->setLooping(state.looping);
    currentFrame = animation->frameAt(state.currentFrame);
    frameCounter->setText(state.frameCounterText);
    state.pose.restore(*skeleton);
    state.ghostPose.restore(*ghostSkeleton);
    showGhost = state.showGhost;
    skeleton->select(skeleton->boneAt(state.selectedBone));
    poseUnstored = state.poseUnstored;
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
    if (history->record(editLabel, before, snapshot(), *animation) &&
        history->lastStepChangedAnimation()) {
        animationChanged = true;
        ++changeCount;
    }
}

void SkeletonEditor::finishHeldEdit() {
    if (!editBefore)
        return;
    if (SkeletonPose::capture(*skeleton) != editBefore->pose)
        poseUnstored = true;
    commitEdit();
}

void SkeletonEditor::undo() {
    travel(false);
}

void SkeletonEditor::redo() {
    travel(true);
}

void SkeletonEditor::travel(bool forward) {
    rotating = movingSkeleton = false;
    commitEdit();
    haltPlayback();
    const auto applied = forward ? history->redo(*animation) : history->undo(*animation);
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
    if (skeleton->complete())
        player->play(animation->name());
    frameSelection->visible = false;
    showGhost = false;
}

void SkeletonEditor::stopPlayback() {
    player->stop();
    frameSelection->visible = true;
    showGhost = true;
    stepToNextFrame();
}

void SkeletonEditor::haltPlayback() {
    if (player->playing())
        frameSelection->visible = true;
    // Whatever comes next may remove frames the player points into.
    player->forgetFrames();
}

// ---- the dialogs ------------------------------------------------------------

void SkeletonEditor::showDialog(ComponentContainer* dialog, TextField* nameField) {
    ComponentContainer* other = dialog == loadWindow ? saveWindow : loadWindow;
    other->visible = false;
    dialog->visible = true;
    manager.raiseWindow(dialog);
    manager.focus(nameField);
}

void SkeletonEditor::confirmLoad() {
    const std::string name = loadNameField->getText();
    bool loaded = false;
    edit("load " + name, [&] { loaded = loadAnimation(name); });
    if (!loaded) {
        loadNameField->setText(name + "Load Failed! Please verify name!");
        status("Load failed");
        return;
    }
    loadWindow->visible = false;
    animationChanged = false;
    fileName = name;
    openedPath.clear();
    status("Loaded " + name + ": " + std::to_string(animation->frameCount()) + " frames");
}

void SkeletonEditor::confirmSave() {
    saveUnder(saveNameField->getText());
}

bool SkeletonEditor::saveUnder(const std::string& name) {
    bool saved = false;
    // Saving is not undone, but the name it gives the animation is a step.
    edit("name " + name, [&] { saved = saveCurrentAnimation(name); });
    if (!saved) {
        saveWindow->setText(saveWindow->getText() + "Save Failed!");
        status("Save failed");
        return false;
    }
    saveWindow->visible = false;
    animationChanged = false;
    fileName = name;
    openedPath.clear();
    status("Saved " + name);
    return true;
}

void SkeletonEditor::quickSave() {
    if (!openedPath.empty()) {
        // A failed write opens the dialog, to save into the animations
        // folder instead.
        if (!saveToOpenedFile())
            showDialog(saveWindow, saveNameField);
        return;
    }
    if (fileName.empty()) {
        showDialog(saveWindow, saveNameField);
        return;
    }
    // A failed quick save opens the dialog, whose title then says so.
    if (!saveUnder(fileName))
        showDialog(saveWindow, saveNameField);
}

void SkeletonEditor::completeName() {
    TextField* field = manager.focusedField;
    const bool dialogField = (field == loadNameField && loadWindow->visible) ||
                             (field == saveNameField && saveWindow->visible);
    if (!dialogField)
        return;
    const std::string shown = field->getText();
    const std::string completed =
        completion.complete(field->id, shown, savedAnimationNames(animationFolder));
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
        showDialog(loadWindow, loadNameField);
        break;
    case EditorAction::ConfirmDialog:
        if (manager.focusedField == loadNameField && loadWindow->visible)
            confirmLoad();
        else if (manager.focusedField == saveNameField && saveWindow->visible)
            confirmSave();
        break;
    case EditorAction::CompleteName:
        completeName();
        break;
    case EditorAction::PlayOrStop:
        if (player->playing())
            stepAway("stop", [this] { stopPlayback(); });
        else
            startPlayback();
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
        stepAway("last frame", [this] { stepToFrame(animation->frameCount() - 1); });
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
        shortcuts->toggle();
        break;
    case EditorAction::ToggleTimeline:
        timeline->toggle();
        break;
    default:
        // The camera's own action is not the editor's to do here.
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
    if (!writeAnimationFile(animationFolder, AUTOSAVE_NAME, *animation, false)) {
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
    const fs::path folder(animationFolder);
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
    statusLine->show("Unsaved work from last run: load autosave", StatusLine::NOTICE_SECONDS);
}
