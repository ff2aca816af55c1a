#include "animation/PoseBlend.h"

#include "animation/Easing.h"

#include <cmath>
#include <limits>

namespace {

// Sets the root and every bone to value(from's value, to's value).
template <typename Value>
void setPose(Skeleton& skeleton, const KeyFrame& from, const KeyFrame& to, Value value) {
    const Vec3 root(value(from.rootPosition.x, to.rootPosition.x),
                    value(from.rootPosition.y, to.rootPosition.y),
                    value(from.rootPosition.z, to.rootPosition.z));
    // setPosition refuses a root that has a parent, as it should.
    if (std::isfinite(root.x) && std::isfinite(root.y) && std::isfinite(root.z))
        skeleton.rootBone()->setPosition(root.x, root.y, root.z);
    auto finiteOr = [](double v, double kept) { return std::isfinite(v) ? v : kept; };
    // Parents come before children, so each bone is rebuilt on its parent's
    // new frame.
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        Bone* bone = skeleton.boneAt(i);
        const BonePose& a = from.boneAngles[i];
        const BonePose& b = to.boneAngles[i];
        bone->setAngles(finiteOr(value(a.x, b.x), bone->mainAngle()),
                        finiteOr(value(a.y, b.y), bone->secAngle()),
                        finiteOr(value(a.z, b.z), bone->ownAngle()));
    }
}

} // namespace

double phaseLength(double seconds) {
    if (std::isnan(seconds))
        return std::numeric_limits<double>::infinity();
    return seconds < 0 ? 0 : seconds;
}

void blendPose(Skeleton& skeleton, const KeyFrame& from, const KeyFrame& to, int motionType,
               double elapsed, double length) {
    setPose(skeleton, from, to,
            [&](double a, double b) { return ease(motionType, elapsed, length, a, b); });
}

void holdPose(Skeleton& skeleton, const KeyFrame& frame) {
    setPose(skeleton, frame, frame, [](double a, double) { return a; });
}
