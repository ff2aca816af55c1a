// The bone readout and the current frame's properties window: times shown
// and typed in whole milliseconds, stored in seconds.
#include "animation/KeyFrame.h"
#include "animation/MotionType.h"
#include "animation/NumberText.h"
#include "editor/EditorNumbers.h"
#include "editor/SkeletonEditor.h"
#include "gui/TextField.h"
#include "skeleton/Skeleton.h"

void SkeletonEditor::refreshBoneReadout() {
    const Bone* bone = skeleton->selectedBone();
    readoutBone = bone;
    if (bone)
        readoutAngles = bone->pose();
    if (!bone) {
        boneReadout->setText(NO_BONE_READOUT);
        return;
    }
    boneReadout->setText(angleReadout(bone->mainAngle()) + ",  " + angleReadout(bone->secAngle()) +
                         ",  " + angleReadout(bone->ownAngle()));
}

void SkeletonEditor::showFrameProperties() {
    if (!currentFrame)
        return;
    // Times read from a file can be anything; clamp instead of overflowing.
    waitMs = truncateToInt32(currentFrame->waitTime * 1000);
    waitField->setText(numberText(waitMs));
    transitionMs = truncateToInt32(currentFrame->transitionTime * 1000);
    transitionField->setText(numberText(transitionMs));
    pendingMotionType = currentFrame->motionType;
    if (const char* name = motionTypeText(pendingMotionType))
        motionLabel->setText(name);
}

void SkeletonEditor::applyFrameProperties() {
    if (!currentFrame)
        return;
    auto readMs = [](const std::string& text) {
        return text.empty() ? 0 : truncateToInt32(readNumber(text));
    };
    waitMs = readMs(waitField->getText());
    if (waitMs / 1000.0 >= 0)
        currentFrame->waitTime = waitMs / 1000.0;
    transitionMs = readMs(transitionField->getText());
    if (transitionMs / 1000.0 >= 0)
        currentFrame->transitionTime = transitionMs / 1000.0;
    pendingMotionType = motionTypeFromText(motionLabel->getText(), pendingMotionType);
    if (isMotionType(pendingMotionType))
        currentFrame->motionType = pendingMotionType;
}

void SkeletonEditor::cycleMotionLabel() {
    static const struct {
        const char* from;
        const char* to;
        int code;
    } cycle[] = {{"Linear", "Ease In", 13},
                 {"Ease In", "Ease Out", 23},
                 {"Ease Out", "Ease In/Out", 33},
                 {"Ease In/Out", "Linear", 3}};
    const std::string text = motionLabel->getText();
    for (const auto& step : cycle) {
        if (text == step.from) {
            motionLabel->setText(step.to);
            pendingMotionType = step.code;
            return;
        }
    }
}
