#pragma once

#include "animation/KeyFrame.h"
#include "skeleton/Skeleton.h"

// How an animation moves from key frame to key frame, in one place: the
// player, the exact timeline and the timeline strip all go by these rules.

// Whether a wait or transition of `seconds` is over once `elapsed` seconds
// have passed: when more time has passed than it lasts. So one whose time is
// not a number never ends, and one of a negative time is over at once.
inline bool phaseOver(double elapsed, double seconds) {
    return elapsed > seconds;
}

// How long a wait or transition of `seconds` lasts on a timeline, as
// phaseOver ends it: infinite for a time that is not a number, 0 for a
// negative one, else the time itself.
double phaseLength(double seconds);

// Poses `skeleton` `elapsed` seconds into the move from `from` to `to` that
// lasts `length` seconds along the curve `motionType` (one of the four
// codes): the root through Bone::setPosition, then bones 0 to 20 through
// Bone::setAngles, so wrap and limits act as on screen and an angle the
// limits refuse keeps the bone's present value. A value that is not finite
// (the ends of the double range can overflow in between) is not applied: the
// bone keeps its own. `length` must be above 0. The skeleton must be
// complete.
void blendPose(Skeleton& skeleton, const KeyFrame& from, const KeyFrame& to, int motionType,
               double elapsed, double length);
// Poses `skeleton` as `frame` stores it, through the same bone operations
// and with the same care for values that are not finite.
void holdPose(Skeleton& skeleton, const KeyFrame& frame);
