#include "editor/SkeletonEditor.h"

#include "animation/Animation.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
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
    : manager(manager_), animationFolder(paths.animations) {
    skeleton = std::make_unique<Skeleton>(paths.skeleton, 0, SKELETON_ORIGIN_Y, 0);
    ghostSkeleton = std::make_unique<Skeleton>(paths.skeleton, 0, SKELETON_ORIGIN_Y, 0);
    // Partners come from the rest pose, before any frame poses the figure.
    mirror.build(*ghostSkeleton);
    buildWindows();
    statusLine = std::make_unique<StatusLine>();
    manager.addUnderlay(statusLine.get());
    timeline = std::make_unique<TimelineStrip>(*this);
    manager.addOverlay(timeline.get());
    shortcuts = std::make_unique<ShortcutsOverlay>(shortcutLines());
    manager.addOverlay(shortcuts.get());

    animation = std::make_unique<Animation>("temp", true);
    if (skeleton->complete())
        animation->addFrameFromPose(skeleton.get());
    animation->setLooping(true);

    player = playerClock ? std::make_unique<AnimationPlayer>(*playerClock)
                         : std::make_unique<AnimationPlayer>();
    player->addAnimation(animation.get());
    player->setSkeleton(skeleton.get());

    stepToNextFrame();
    history = std::make_unique<EditHistory>(*animation);
    announceAutosave();
}

// Out of line so the owned types are complete here.
SkeletonEditor::~SkeletonEditor() = default;

void SkeletonEditor::onCommand(InterfaceComponent* component) {
    if (!component || component->kind != KIND_BUTTON)
        return;
    const std::string id = component->getId();
    const bool pressed = static_cast<Button*>(component)->state == BUTTON_PRESSED;

    for (const HeldButton& held : heldButtons) {
        if (id != held.id)
            continue;
        bool& flag = held.rotation ? rotating : movingSkeleton;
        if (pressed && (clickControl || clickShift)) {
            exactStep(held.rotation, held.direction);
            return;
        }
        if (pressed) {
            beginEdit(held.rotation ? "turn bone" : "move figure");
            flag = true;
            direction = held.direction;
            rotationSpeed = 0;
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
        ComponentContainer* dialog = load ? loadWindow : saveWindow;
        TextField* nameField = load ? loadNameField : saveNameField;
        if (pressed)
            showDialog(dialog, nameField);
        else if (dialog->visible)
            manager.focus(nameField);
        return;
    }
    if (!pressed)
        return;

    if (id == "NEXT_FRAME") {
        stepAway("next frame", [this] { stepToNextFrame(); });
    } else if (id == "PREV_FRAME") {
        stepAway("previous frame", [this] { stepToPreviousFrame(); });
    } else if (id == "PLAY_ANIMATION") {
        startPlayback();
    } else if (id == "STOP_ANIMATION") {
        stepAway("stop", [this] { stopPlayback(); });
    } else if (id == "SAVE_FRAME") {
        edit("save pose", [this] {
            if (currentFrame && skeleton->complete()) {
                currentFrame->capturePose(skeleton.get());
                poseUnstored = false;
            }
        });
    } else if (id == "ADD_NEW_FRAME") {
        edit("new frame", [this] {
            if (skeleton->complete()) {
                int count = animation->frameCount();
                currentFrame = count > 0 ? animation->frameAt(count - 1) : nullptr;
                animation->addFrameFromPose(skeleton.get());
                stepToNextFrame();
            }
        });
    } else if (id == "CHANGE_MOTION") {
        cycleMotionLabel();
    } else if (id == "APPLY_FRAME") {
        edit("apply properties", [this] { applyFrameProperties(); });
    } else if (id == "LOAD_ANI") {
        confirmLoad();
    } else if (id == "CANCEL_LOAD") {
        loadWindow->visible = false;
    } else if (id == "SAVE_ANI") {
        confirmSave();
    } else if (id == "CANCEL_SAVE") {
        saveWindow->visible = false;
    }
}

void SkeletonEditor::exactStep(bool rotation, const Vec3& factor) {
    // Ctrl: 10 degrees or 0.1 units, Shift: 1 degree or 0.01 units, the
    // way the button turns or moves.
    const double degrees = clickControl ? 10 : 1;
    const double units = clickControl ? 0.1 : 0.01;
    auto sign = [](double v) { return v > 0 ? 1.0 : v < 0 ? -1.0 : 0.0; };
    edit(rotation ? "turn bone" : "move figure", [&] {
        const SkeletonPose before = SkeletonPose::capture(*skeleton);
        if (rotation) {
            if (Bone* bone = skeleton->selectedBone())
                bone->rotateBy(factor.x * degrees, factor.y * degrees, factor.z * degrees);
        } else if (Bone* root = skeleton->rootBone()) {
            root->moveBy(sign(factor.x) * units, sign(factor.y) * units, sign(factor.z) * units);
        }
        if (SkeletonPose::capture(*skeleton) != before)
            poseUnstored = true;
    });
    refreshBoneReadout();
}

void SkeletonEditor::endHeldChanges() {
    rotating = false;
    movingSkeleton = false;
    finishHeldEdit();
}

void SkeletonEditor::editorUpdate(double dt) {
    if (rotating) {
        if (Bone* bone = skeleton->selectedBone()) {
            double step = 5 * rotationSpeed * dt;
            bone->rotateBy(direction.x * step, direction.y * step, direction.z * step);
        }
        rotationSpeed += 5 * dt;
        refreshBoneReadout();
    } else if (movingSkeleton) {
        if (Bone* root = skeleton->rootBone())
            root->moveBy(direction.x * dt, direction.y * dt, direction.z * dt);
    }
    if (player->skeleton())
        player->update();
    if (background.busy() && !background.poll())
        status(background.progressText());
    // The readout follows the selected bone whatever turned it: a pick that
    // completes while a frame is drawn (after the click's own refreshes), a
    // step to another frame, playback, an undo.
    const Bone* selected = skeleton->selectedBone();
    // A pick says which bone it chose; the readout bookkeeping cannot tell,
    // as a release may refresh the readout between the pick and this update.
    if (selected != announcedBone) {
        announcedBone = selected;
        if (selected)
            status(boneLabel(*skeleton, selected->index()));
    }
    if (selected != readoutBone || (selected && selected->pose() != readoutAngles))
        refreshBoneReadout();
}

KeyFrame* SkeletonEditor::frameAtWrapped(int index) const {
    int count = animation->frameCount();
    if (index >= 0 && index < count)
        return animation->frameAt(index);
    return nullptr;
}

void SkeletonEditor::stepToNextFrame() {
    int count = animation->frameCount();
    KeyFrame* target = nullptr;
    if (!currentFrame) {
        target = frameAtWrapped(0);
    } else {
        int i = currentFrame->index + 1;
        if (i == count) {
            if (!animation->looping())
                return;
            i = 0;
        }
        target = frameAtWrapped(i);
    }
    if (!target)
        return;
    if (currentFrame) {
        currentFrame->applyPose(ghostSkeleton.get());
        showGhost = true;
    } else {
        showGhost = false;
    }
    currentFrame = target;
    currentFrame->applyPose(skeleton.get());
    poseUnstored = false;
    frameCounter->setText(std::to_string(currentFrame->index));
    showFrameProperties();
}

void SkeletonEditor::stepToPreviousFrame() {
    const int count = animation->frameCount();
    if (count == 0)
        return;
    int target = currentFrame ? currentFrame->index - 1 : count - 1;
    if (target < 0) {
        if (!animation->looping())
            return;
        target = count - 1;
    }
    stepToFrame(target);
}

void SkeletonEditor::stepToFrame(int position) {
    KeyFrame* target = frameAtWrapped(position);
    if (!target)
        return;
    const int count = animation->frameCount();
    KeyFrame* previous = position > 0
                             ? frameAtWrapped(position - 1)
                             : (animation->looping() ? frameAtWrapped(count - 1) : nullptr);
    target->applyPose(skeleton.get());
    currentFrame = target;
    poseUnstored = false;
    frameCounter->setText(std::to_string(currentFrame->index));
    showFrameProperties();
    if (previous) {
        previous->applyPose(ghostSkeleton.get());
        showGhost = true;
    } else {
        showGhost = false;
    }
}
