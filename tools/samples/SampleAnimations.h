#pragma once

#include "animation/Animation.h"
#include "animation/MotionType.h"
#include "skeleton/Skeleton.h"
#include "tools/samples/BodyPose.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// The sample animations shipped in the program's animations folder, written
// by script over the model so that anyone can change and regenerate them:
//   walk: a looping walk cycle in place, the arms swinging against the legs;
//   wave: the right arm rises, waves and comes down again, looping;
//   jump: a crouch, a jump and a landing, back to standing; not looping.
// Every angle of every frame, and so every angle in between, lies inside its
// bone's limits, and no foot goes below the floor at any time.

// One beat of a sample: a pose, how long it is held, and the move on to the
// next beat (for the last beat of a looping animation, back to the first).
struct Beat {
    BodyPose pose;
    double wait = 0;
    double transition = 1;
    int motion = MotionType::Linear;
    // The move is written as this many linear moves, each covering an equal
    // share of the way and timed (to the millisecond) to keep to the curve,
    // every pose between them standing on the floor as high as the beats on
    // either side do. Angles that change much while a foot stays down
    // would otherwise carry it into the floor halfway: the legs' reach
    // changes along a curve, the root's height along a straight line.
    int steps = 1;
};

std::vector<Beat> walkBeats();
std::vector<Beat> waveBeats();
std::vector<Beat> jumpBeats();

// Builds an animation from beats on `skeleton` (the program's figure at
// rest, left posed), its feet on the figure's ground (motion/Ground.h).
// When the feet would still dip below the ground
// between two frames, every frame is raised by the depth of the dip. The
// frames are as the animation file keeps them (values of six significant
// digits). Returns nullptr with `error` set when a pose asks a bone for an
// angle outside its limits.
std::unique_ptr<Animation> buildAnimation(Skeleton& skeleton, const std::string& name, bool looping,
                                          const std::vector<Beat>& beats, std::string& error);

// The three samples, in the order walk, wave, jump, each on a fresh figure
// read from `skeletonPath`. Returns an empty list with `error` set when the
// skeleton cannot be read or a sample cannot be built.
std::vector<std::unique_ptr<Animation>> makeSampleAnimations(const std::string& skeletonPath,
                                                             std::string& error);

// The lowest point either foot reaches over the whole animation, checked
// every millisecond on its exact timeline on `skeleton`.
double lowestFootOverTime(const Animation& animation, Skeleton& skeleton);

// Writes the three samples into `folder` with saveAnimation, one line per
// file on `log`. Returns false with `error` set when one cannot be made or
// written.
bool writeSampleAnimations(const std::string& skeletonPath, const std::string& folder,
                           std::ostream& log, std::string& error);
