#include "editor/SkeletonEditor.h"

#include "animation/Animation.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
#include "editor/AutosaveFiles.h"
#include "editor/InputMap.h"
#include "editor/ShortcutsOverlay.h"
#include "editor/TimelineStrip.h"
#include "gui/Button.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/StatusLine.h"
#include "gui/TextField.h"
#include "motion/BoneTable.h"
#include "skeleton/Skeleton.h"

namespace {
constexpr int32_t BUTTON_PRESSED = 6;

// The held-button table: which flag a button sets and the per-axis factor
// it drives (angles for the rotation buttons, root velocity in units per
// second for the height buttons).
struct HeldButton {
    const char* id;
    bool rotation;
    Vec3 direction;
};
const HeldButton heldButtons[] = {
    {"MAIN_AXIS_INCR", true, {1, 0, 0}},      {"MAIN_AXIS_DECR", true, {-1, 0, 0}},
    {"SEC_AXIS_INCR", true, {0, 1, 0}},       {"SEC_AXIS_DECR", true, {0, -1, 0}},
    {"SELF_AXIS_INCR", true, {0, 0, 1}},      {"SELF_AXIS_DECR", true, {0, 0, -1}},
    {"MOVE_SKELETON_UP", false, {0, 0.3, 0}}, {"MOVE_SKELETON_DOWN", false, {0, -0.3, 0}},
};
} // namespace

SkeletonEditor::SkeletonEditor(InterfaceManager& manager_, PlayerClock* playerClock,
                               const ProgramPaths& paths)
    : manager(manager_), animationFolder(paths.animations), skeletonFile_(paths.skeleton) {
    skeleton_ = std::make_unique<Skeleton>(paths.skeleton, 0, SKELETON_ORIGIN_Y, 0);
    ghostSkeleton_ = std::make_unique<Skeleton>(paths.skeleton, 0, SKELETON_ORIGIN_Y, 0);
    // Partners come from the rest pose, before any frame poses the figure.
    mirror.build(*ghostSkeleton_);
    animation_ = std::make_unique<Animation>("temp", true);
    if (skeleton_->complete())
        animation_->addFrameFromPose(skeleton_.get());
    animation_->setLooping(true);

    player_ = playerClock ? std::make_unique<AnimationPlayer>(*playerClock)
                          : std::make_unique<AnimationPlayer>();
    player_->addAnimation(animation_.get());
    player_->setSkeleton(skeleton_.get());

    buildWindows();
    statusLine_ = std::make_unique<StatusLine>();
    manager.addUnderlay(statusLine_.get());
    timeline_ = std::make_unique<TimelineStrip>(*this);
    manager.addOverlay(timeline_.get());
    shortcuts_ = std::make_unique<ShortcutsOverlay>(shortcutLines());
    manager.addOverlay(shortcuts_.get());

    stepToNextFrame();
    history_ = std::make_unique<EditHistory>(*animation_);
    autosaveFiles_ = std::make_unique<AutosaveFiles>(animationFolder);
    announceAutosave();
}

// Out of line so the owned types are complete here.
SkeletonEditor::~SkeletonEditor() = default;

void SkeletonEditor::onCommand(InterfaceComponent* component) {
    if (!component || component->kind != KIND_BUTTON)
        return;
    const std::string id = component->getId();
    const bool pressed = static_cast<Button*>(component)->state == BUTTON_PRESSED;

    for (const HeldButton& button : heldButtons) {
        if (id != button.id)
            continue;
        bool& flag = button.rotation ? held.rotating : held.movingSkeleton;
        if (pressed && (clickControl || clickShift)) {
            exactStep(button.rotation, button.direction);
            return;
        }
        if (pressed) {
            beginEdit(button.rotation ? "turn bone" : "move figure");
            flag = true;
            held.direction = button.direction;
            held.rotationSpeed = 0;
        } else {
            flag = false;
            finishHeldEdit();
        }
        return;
    }
    if (id == "SHOW_LOAD" || id == "SHOW_SAVE") {
        // The manager takes the focus from any field when a button is hit,
        // press and release alike; the press opens the dialog with the focus
        // in its name field, and the release gives that focus back.
        const bool load = id == "SHOW_LOAD";
        ComponentContainer* dialog = load ? parts.loadWindow : parts.saveWindow;
        TextField* nameField = load ? parts.loadNameField : parts.saveNameField;
        if (pressed)
            showDialog(dialog, nameField);
        else if (dialog->visible)
            manager.focus(nameField);
        return;
    }
    if (!pressed)
        return;
    if (const std::optional<EditorAction> action = buttonAction(id))
        perform(*action);
}

void SkeletonEditor::exactStep(bool rotation, const Vec3& factor) {
    // Ctrl: 10 degrees or 0.1 units, Shift: 1 degree or 0.01 units, the
    // way the button turns or moves.
    const double degrees = clickControl ? 10 : 1;
    const double units = clickControl ? 0.1 : 0.01;
    auto sign = [](double v) { return v > 0 ? 1.0 : v < 0 ? -1.0 : 0.0; };
    edit(rotation ? "turn bone" : "move figure", [&] {
        const SkeletonPose before = SkeletonPose::capture(*skeleton_);
        if (rotation) {
            if (Bone* bone = skeleton_->selectedBone())
                bone->rotateBy(factor.x * degrees, factor.y * degrees, factor.z * degrees);
        } else if (Bone* root = skeleton_->rootBone()) {
            root->moveBy(sign(factor.x) * units, sign(factor.y) * units, sign(factor.z) * units);
        }
        if (SkeletonPose::capture(*skeleton_) != before)
            poseUnstored_ = true;
    });
    refreshBoneReadout();
}

void SkeletonEditor::endHeldChanges() {
    held.rotating = false;
    held.movingSkeleton = false;
    finishHeldEdit();
}

void SkeletonEditor::editorUpdate(double dt) {
    if (held.rotating) {
        if (Bone* bone = skeleton_->selectedBone()) {
            double step = 5 * held.rotationSpeed * dt;
            bone->rotateBy(held.direction.x * step, held.direction.y * step,
                           held.direction.z * step);
        }
        held.rotationSpeed += 5 * dt;
        refreshBoneReadout();
    } else if (held.movingSkeleton) {
        if (Bone* root = skeleton_->rootBone())
            root->moveBy(held.direction.x * dt, held.direction.y * dt, held.direction.z * dt);
    }
    if (player_->skeleton())
        player_->update();
    if (background.busy() && !background.poll())
        status(background.progressText());
    if (historyTrimmed) {
        historyTrimmed = false;
        status("The oldest undo steps were forgotten to save memory");
    }
    // The readout follows the selected bone whatever turned it: a pick that
    // completes while a frame is drawn (after the click's own refreshes), a
    // step to another frame, playback, an undo.
    const Bone* selected = skeleton_->selectedBone();
    // A pick says which bone it chose; the readout bookkeeping cannot tell,
    // as a release may refresh the readout between the pick and this update.
    if (selected != announcedBone) {
        announcedBone = selected;
        if (selected)
            status(boneLabel(*skeleton_, selected->index()));
    }
    if (selected != readoutBone || (selected && selected->pose() != readoutAngles))
        refreshBoneReadout();
}

int SkeletonEditor::currentPosition() const {
    return currentFrame_ ? currentFrame_->index : -1;
}

KeyFrame* SkeletonEditor::frameAtWrapped(int index) const {
    int count = animation_->frameCount();
    if (index >= 0 && index < count)
        return animation_->frameAt(index);
    return nullptr;
}

void SkeletonEditor::stepToNextFrame() {
    int count = animation_->frameCount();
    KeyFrame* target = nullptr;
    if (!currentFrame_) {
        target = frameAtWrapped(0);
    } else {
        int i = currentFrame_->index + 1;
        if (i == count) {
            if (!animation_->looping())
                return;
            i = 0;
        }
        target = frameAtWrapped(i);
    }
    if (!target)
        return;
    if (currentFrame_) {
        currentFrame_->applyPose(ghostSkeleton_.get());
        showGhost_ = true;
    } else {
        showGhost_ = false;
    }
    currentFrame_ = target;
    currentFrame_->applyPose(skeleton_.get());
    poseUnstored_ = false;
    parts.frameCounter->setText(std::to_string(currentFrame_->index));
    showFrameProperties();
}

void SkeletonEditor::stepToPreviousFrame() {
    const int count = animation_->frameCount();
    if (count == 0)
        return;
    int target = currentFrame_ ? currentFrame_->index - 1 : count - 1;
    if (target < 0) {
        if (!animation_->looping())
            return;
        target = count - 1;
    }
    stepToFrame(target);
}

void SkeletonEditor::stepToFrame(int position) {
    KeyFrame* target = frameAtWrapped(position);
    if (!target)
        return;
    const int count = animation_->frameCount();
    KeyFrame* previous = position > 0
                             ? frameAtWrapped(position - 1)
                             : (animation_->looping() ? frameAtWrapped(count - 1) : nullptr);
    target->applyPose(skeleton_.get());
    currentFrame_ = target;
    poseUnstored_ = false;
    parts.frameCounter->setText(std::to_string(currentFrame_->index));
    showFrameProperties();
    if (previous) {
        previous->applyPose(ghostSkeleton_.get());
        showGhost_ = true;
    } else {
        showGhost_ = false;
    }
}
