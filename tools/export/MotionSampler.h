#pragma once

#include "animation/Animation.h"
#include "skeleton/Skeleton.h"
#include "tools/export/Quaternion.h"

#include <functional>
#include <string>
#include <vector>

// Samples an export holds at most: 55 minutes at 30 fps. A file whose times
// would need more is refused before sampling starts, so a lying file costs
// neither minutes nor gigabytes.
constexpr int MAX_EXPORT_SAMPLES = 100000;
// Every key frame takes at least two player updates (its arrival and the
// end of its wait), so an animation with more frames than this can never
// fit into MAX_EXPORT_SAMPLES.
constexpr int MAX_EXPORT_FRAMES = MAX_EXPORT_SAMPLES / 2;
// Samples per second an export may ask for.
constexpr double MAX_EXPORT_FPS = 1000;

// The skeleton's pose at one sample: the root's joint point and every
// bone's world rotation (the rotation carrying world x, y, z onto its axis
// frame), in bone order.
struct PoseSample {
    Vec3 rootPosition{0, 0, 0};
    std::vector<Quat> rotations;
};

// The motion of one animation as the player shows it, one pose every
// 1 / fps seconds; sample k is at k / fps seconds.
struct SampledMotion {
    std::string name;
    double fps = 30;
    std::vector<PoseSample> samples;
};

// Called with the posed skeleton at every recorded sample.
using SampleObserver = std::function<void(const Skeleton&)>;

// Plays `animation` on `skeleton` with the program's AnimationPlayer on a
// manual clock stepped by 1 / fps, recording the pose after every update:
//   - The skeleton is put into frame 0's pose and played twice, so the play
//     starts from frame 0's pose heading for frame 0 (a first play would
//     head for frame 1). The player's 0.2 s snapshot move is run but not
//     recorded: sample 0 is the update at which the player arrives at frame
//     0, the start of frame 0's wait.
//   - A looping animation is recorded for one cycle, up to and including
//     the update at which the player arrives at frame 0 again; a
//     non-looping one up to the update at which the last frame's wait ends.
//   - An animation without frames gives one sample of the present pose.
// Every wait and transition ends at the first update after its time has
// passed, exactly as in the program. `skeleton` must be complete and is left
// in the last sample's pose. Returns false with `error` set, and records
// nothing more, when fps is not in (0, MAX_EXPORT_FPS], the animation would
// need more than MAX_EXPORT_SAMPLES samples, or the root leaves the range
// of MAX_EXPORT_COORDINATE.
bool sampleMotion(Skeleton& skeleton, Animation& animation, double fps, SampledMotion& motion,
                  std::string& error, const SampleObserver& observer = {});

// About how many updates the player needs for the recorded stretch of
// `animation` at `fps`, the snapshot move included: never fewer than it
// takes. Infinite when a time is not a number.
double estimatedUpdates(const Animation& animation, double fps);
