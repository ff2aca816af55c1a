// Posing by dragging the bone itself, and exact steps on the rotation and
// height buttons.
#include "editor/SkeletonEditor.h"
#include "motion/BoneTable.h"
#include "skeleton/BoneAim.h"
#include "skeleton/ChainIk.h"
#include "skeleton/Skeleton.h"

void SkeletonEditor::armBoneDrag(bool ik) {
    endBoneDrag();
    dragArmed = true;
    dragIk = ik;
}

bool SkeletonEditor::dragBoneTo(const ScreenProjection& view, double x, double y, double dx,
                                bool twist) {
    if (!dragArmed)
        return false;
    if (!draggedBone) {
        // The pick runs while the next frame is drawn; until then the drag
        // does what a drag off every bone does.
        if (skeleton_->pickRequested)
            return false;
        Bone* picked = skeleton_->selectedBone();
        if (!picked) {
            dragArmed = false;
            return false;
        }
        stopForTool();
        draggedBone = picked;
        beginEdit("drag " + boneLabel(*skeleton_, picked->index()));
    }
    if (twist)
        twistBone(*draggedBone, dx);
    else if (dragIk && !ikChain(*draggedBone).empty())
        dragChain(*draggedBone, view, x, y);
    else
        aimBone(*draggedBone, view, x, y);
    return true;
}

void SkeletonEditor::endBoneDrag() {
    if (draggedBone)
        finishHeldEdit();
    dragArmed = false;
    draggedBone = nullptr;
}

void SkeletonEditor::setClickModifiers(bool control, bool shift) {
    clickControl = control;
    clickShift = shift;
}
