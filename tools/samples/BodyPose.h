#pragma once

#include "animation/KeyFrame.h"
#include "motion/Ground.h"
#include "skeleton/Skeleton.h"

#include <string>

// A pose of the program's 21-bone figure in the words an animator uses, for
// writing sample animations by script. Angles are degrees, mirrored between
// the sides, so that the same numbers mean the same movement on the left
// and on the right. The defaults stand the figure upright with its arms
// hanging; the hip and shoulder bones and the head keep their rest angles.

// One leg.
struct LegPose {
    // The thigh swung forward (negative: back).
    double swing = 0;
    // The thigh spread out to the side.
    double spread = 0;
    // The knee bent.
    double knee = 0;
    // The foot's own main angle against the shin: about -67 stands the
    // foot on its sole, more negative lifts the toes, less points them.
    double foot = -67.1;
};

// One arm.
struct ArmPose {
    // The upper arm's angle down from the line of the shoulders: 90 hangs
    // straight down, 0 holds it out sideways, negative raises it.
    double drop = 80;
    // The upper arm swung forward (negative: back).
    double swing = 0;
    // The upper arm turned about itself, the elbow's crease turning up.
    double twist = 0;
    // The elbow bent.
    double elbow = 10;
    // The hand bent at the wrist.
    double wrist = 0;
};

// The whole figure.
struct BodyPose {
    LegPose leftLeg, rightLeg;
    ArmPose leftArm, rightArm;
    // The hips turned, left side forward (negative: right side forward).
    double hipTurn = 0;
    // The lower spine bent forward from the hips.
    double lean = 0;
    // The upper spine bent forward, and turned left side forward.
    double chestLean = 0;
    double chestTurn = 0;
    // The neck bent forward (negative: the chin up), and the head turned
    // to the figure's right.
    double nod = 0;
    double headTurn = 0;
    // Height of the lowest point of either foot above the ground.
    double clearance = 0;
};

// The same pose with left and right exchanged.
BodyPose mirrored(const BodyPose& pose);

// Turns body poses into key frames of the program's figure.
class PoseMaker {
public:
    // Poses `skeleton`, the program's figure, whose present pose is taken
    // as the rest pose that every BodyPose starts from. Keeps a reference.
    explicit PoseMaker(Skeleton& skeleton);

    // The key frame of `pose`: every angle set through the bone's own
    // setAngles, so that the limits act as in the editor, and the root
    // straight above its rest place at the height that puts the lowest
    // foot point `pose.clearance` above the floor, rounded up to a tenth of
    // a millimetre. Timing is wait 0, transition 1 s, Linear. Returns false
    // with `error` set when a limit refuses an angle.
    bool frame(const BodyPose& pose, KeyFrame& frame, std::string& error);
    // The angles of `from` at fraction `f` of the way to those of `to` (as
    // plain numbers, the way the player moves them), standing `clearance`
    // above the floor as frame() puts it. Returns false as frame() does.
    bool between(const KeyFrame& from, const KeyFrame& to, double f, double clearance,
                 KeyFrame& frame, std::string& error);

private:
    // Sets the frame's angles on the skeleton, checks that every one was
    // taken, and puts the root at the height for `clearance`.
    bool stand(KeyFrame& frame, double clearance, std::string& error);

    Skeleton& skeleton_;
    KeyFrame rest_;
    // Where the feet stand in the rest pose (motion/Ground.h).
    double ground_;
};
