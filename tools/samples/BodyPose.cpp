#include "tools/samples/BodyPose.h"

#include "motion/BoneTable.h"
#include "motion/Ground.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace FigureBone;

// The root's height is kept to a tenth of a millimetre, rounded up, so the
// files hold short numbers and the feet never end below their clearance.
constexpr double HEIGHT_STEP = 1e-4;

// A side's bones and the sign that mirrors its angles: a left bone turning
// forward or outward about the figure's x or y axes turns the other way on
// the right.
struct Side {
    int thigh, shin, foot, upperArm, forearm, hand;
    double sign;
};
constexpr Side LEFT{LeftThigh, LeftShin, LeftFoot, LeftUpperArm, LeftForearm, LeftHand, 1};
constexpr Side RIGHT{RightThigh, RightShin, RightFoot, RightUpperArm, RightForearm, RightHand, -1};

void setLimb(KeyFrame& frame, const Side& side, const LegPose& leg, const ArmPose& arm) {
    const double s = side.sign;
    // The thighs hang from hip bones that point sideways; at main +-90
    // they point down, and their secondary angle swings them in the plane
    // of the stride.
    frame.boneAngles[side.thigh] = BonePose(s * (90 - leg.spread), s * leg.swing, 0);
    frame.boneAngles[side.shin] = BonePose(leg.knee, 0, 0);
    frame.boneAngles[side.foot] = BonePose(leg.foot, 0, 0);
    frame.boneAngles[side.upperArm] = BonePose(s * arm.drop, s * arm.swing, s * arm.twist);
    // A forearm bends forward as its main angle goes negative.
    frame.boneAngles[side.forearm] = BonePose(-arm.elbow, 0, 0);
    frame.boneAngles[side.hand] = BonePose(arm.wrist, 0, 0);
}

} // namespace

BodyPose mirrored(const BodyPose& pose) {
    BodyPose m = pose;
    std::swap(m.leftLeg, m.rightLeg);
    std::swap(m.leftArm, m.rightArm);
    m.hipTurn = -pose.hipTurn;
    m.chestTurn = -pose.chestTurn;
    m.headTurn = -pose.headTurn;
    return m;
}

PoseMaker::PoseMaker(Skeleton& skeleton)
    : skeleton_(skeleton), rest_(&skeleton), ground_(groundHeight(skeleton)) {}

bool PoseMaker::frame(const BodyPose& pose, KeyFrame& frame, std::string& error) {
    frame = rest_;
    // A forward bend is a negative main angle for the spine and the neck.
    frame.boneAngles[Hips].y = pose.hipTurn;
    frame.boneAngles[LowerSpine].x = -pose.lean;
    frame.boneAngles[UpperSpine] = BonePose(-pose.chestLean, pose.chestTurn, 0);
    frame.boneAngles[Neck] = BonePose(-pose.nod, 0, pose.headTurn);
    setLimb(frame, LEFT, pose.leftLeg, pose.leftArm);
    setLimb(frame, RIGHT, pose.rightLeg, pose.rightArm);
    return stand(frame, pose.clearance, error);
}

bool PoseMaker::between(const KeyFrame& from, const KeyFrame& to, double f, double clearance,
                        KeyFrame& frame, std::string& error) {
    frame = from;
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        frame.boneAngles[i] = from.boneAngles[i] + (to.boneAngles[i] - from.boneAngles[i]) * f;
    }
    return stand(frame, clearance, error);
}

bool PoseMaker::stand(KeyFrame& frame, double clearance, std::string& error) {
    // Mirroring negates zeros too; a file has no use for "-0".
    for (BonePose& angles : frame.boneAngles) {
        angles += BonePose(0, 0, 0);
    }
    frame.rootPosition = rest_.rootPosition;
    frame.applyPose(&skeleton_);
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        const BonePose asked = frame.boneAngles[i];
        const BonePose taken = skeleton_.boneAt(i)->pose();
        if ((asked - taken).length() > 1e-9) {
            error = "the " + boneLabel(skeleton_, i) + "'s limits refuse (" +
                    std::to_string(asked.x) + ", " + std::to_string(asked.y) + ", " +
                    std::to_string(asked.z) + ")";
            return false;
        }
    }
    const double height = rest_.rootPosition.y + ground_ + clearance - lowestFootPoint(skeleton_);
    frame.rootPosition.y = std::ceil(height / HEIGHT_STEP) * HEIGHT_STEP;
    frame.applyPose(&skeleton_);
    frame.waitTime = 0;
    frame.transitionTime = 1;
    frame.motionType = MotionType::Linear;
    return true;
}
