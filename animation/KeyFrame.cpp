#include "animation/KeyFrame.h"

#include "animation/AnimationFile.h"
#include "animation/PoseBlend.h"

namespace {

bool posable(const Skeleton* skeleton) {
    return skeleton != nullptr && skeleton->complete();
}

} // namespace

KeyFrame::KeyFrame(const Skeleton* skeleton) {
    boneAngles.fill(BonePose(0, 0, 0));
    capturePose(skeleton);
}

KeyFrame::KeyFrame(const std::string& line) {
    boneAngles.fill(BonePose(0, 0, 0));
    readFrameLine(line, *this);
}

void KeyFrame::capturePose(const Skeleton* skeleton) {
    if (!posable(skeleton)) {
        return;
    }
    rootPosition = skeleton->boneAt(0)->position();
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        boneAngles[i] = skeleton->boneAt(i)->pose();
    }
}

void KeyFrame::applyPose(Skeleton* skeleton) const {
    if (!posable(skeleton)) {
        return;
    }
    holdPose(*skeleton, *this);
}

std::string KeyFrame::toLine() const {
    std::string line;
    appendFrameLine(line, *this);
    return line;
}
