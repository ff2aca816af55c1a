// The bone readout and the current frame's properties window: times shown
// and typed in whole milliseconds, stored in seconds.
#include "animation/KeyFrame.h"
#include "animation/MotionType.h"
#include "animation/NumberText.h"
#include "editor/EditorNumbers.h"
#include "editor/SkeletonEditor.h"
#include "motion/MotionSampler.h"
#include "gui/TextField.h"
#include "skeleton/Skeleton.h"

void SkeletonEditor::refreshBoneReadout() {
    const Bone* bone = skeleton_->selectedBone();
    readoutBone = bone;
    if (bone)
        readoutAngles = bone->pose();
    if (!bone) {
        parts.boneReadout->setText(NO_BONE_READOUT);
        return;
    }
    parts.boneReadout->setText(angleReadout(bone->mainAngle()) + ",  " +
                               angleReadout(bone->secAngle()) + ",  " +
                               angleReadout(bone->ownAngle()));
}

void SkeletonEditor::showFrameProperties() {
    if (!currentFrame_)
        return;
    // Times read from a file can be anything; clamp instead of overflowing.
    times.waitMs = truncateToInt32(currentFrame_->waitTime * 1000);
    parts.waitField->setText(numberText(times.waitMs));
    times.transitionMs = truncateToInt32(currentFrame_->transitionTime * 1000);
    parts.transitionField->setText(numberText(times.transitionMs));
    times.motionType = currentFrame_->motionType;
    if (const char* name = motionTypeText(times.motionType))
        parts.motionLabel->setText(name);
}

void SkeletonEditor::applyFrameProperties() {
    if (!currentFrame_)
        return;
    auto readMs = [](const std::string& text) {
        return text.empty() ? 0 : truncateToInt32(readNumber(text));
    };
    const int waitMs = readMs(parts.waitField->getText());
    const int transitionMs = readMs(parts.transitionField->getText());
    if (waitMs > MAX_FRAME_TIME_MS || transitionMs > MAX_FRAME_TIME_MS) {
        status("Not applied: a wait or transition takes at most one hour (3600000 ms)");
        return;
    }
    const KeyFrame before = *currentFrame_;
    times.waitMs = waitMs;
    if (times.waitMs / 1000.0 >= 0)
        currentFrame_->waitTime = times.waitMs / 1000.0;
    times.transitionMs = transitionMs;
    if (times.transitionMs / 1000.0 >= 0)
        currentFrame_->transitionTime = times.transitionMs / 1000.0;
    times.motionType = motionTypeFromText(parts.motionLabel->getText(), times.motionType);
    if (isMotionType(times.motionType))
        currentFrame_->motionType = times.motionType;
    // Never an animation its own exporter refuses.
    const std::string refusal = exportLengthRefusal(*animation_);
    if (!refusal.empty()) {
        currentFrame_->waitTime = before.waitTime;
        currentFrame_->transitionTime = before.transitionTime;
        currentFrame_->motionType = before.motionType;
        showFrameProperties();
        status("Not applied: " + refusal);
    }
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
    const std::string text = parts.motionLabel->getText();
    for (const auto& step : cycle) {
        if (text == step.from) {
            parts.motionLabel->setText(step.to);
            times.motionType = step.code;
            return;
        }
    }
}
