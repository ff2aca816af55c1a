#pragma once

#include "animation/Animation.h"
#include "motion/Quaternion.h"
#include "skeleton/Skeleton.h"

#include <functional>
#include <string>
#include <vector>

// Samples an export holds at most: 55 minutes at 30 fps. A file whose times
// would need more is refused before any pose is sampled, so a lying file
// costs neither minutes nor gigabytes.
constexpr int MAX_EXPORT_SAMPLES = 100000;
// Key frames an export takes at most. A frame is reached and left at two
// key times, each a sample of its own, so more frames than this would not
// fit into MAX_EXPORT_SAMPLES; files announcing more are refused unread.
constexpr int MAX_EXPORT_FRAMES = MAX_EXPORT_SAMPLES / 2;
// Samples per second an export may ask for: at least one a second, so a
// frame time stays a short number, and at most this many.
constexpr double MIN_EXPORT_FPS = 1;
constexpr double MAX_EXPORT_FPS = 1000;
// The samples per second an export takes unless asked for others.
constexpr double DEFAULT_EXPORT_FPS = 30;

// The skeleton's pose at one sample: when it is, the root's joint point and
// every bone's world rotation (the rotation carrying world x, y, z onto its
// axis frame), in bone order.
struct PoseSample {
    double time = 0;
    Vec3 rootPosition{0, 0, 0};
    std::vector<Quat> rotations;
};

// Where the samples of an export fall in time.
enum class SampleSpacing {
    // For formats with a time per key (glTF): every key time of the
    // animation (a frame reached, a wait over, the end), every 1 / fps
    // seconds inside each transition, and, before a jump (a transition of
    // 0, or one without a curve), one more sample just before it that still
    // shows the pose jumped from. Times go up strictly even as floats.
    KeyTimes,
    // For formats with one frame time (BVH): sample i at i / fps seconds,
    // for i = 0 to round(duration * fps).
    Uniform,
};

// The motion of one animation on its exact timeline (animation/Timeline.h).
struct SampledMotion {
    std::string name;
    double fps = 30;
    // Seconds from the first sample's time 0 to the end of the animation.
    double duration = 0;
    std::vector<PoseSample> samples;
};

// Called with the posed skeleton at every recorded sample.
using SampleObserver = std::function<void(const Skeleton&)>;

// Samples `animation` on `skeleton` along its exact timeline: time 0 is
// frame 0's pose, every key time shows its key frame's pose, a looping
// animation is sampled for one cycle and ends on frame 0's pose, any other
// ends when its last frame's wait is over. The poses are set, in time order
// from the skeleton's present pose, through the bones as the player sets
// them, so the limits act as on screen. An animation without frames gives
// one sample of the present pose. `skeleton` must be complete and is left
// in the last sample's pose. Returns false with `error` set when fps is not
// in (0, MAX_EXPORT_FPS], the animation would need more than
// MAX_EXPORT_SAMPLES samples (or never ends), or the root leaves the range
// of MAX_EXPORT_COORDINATE.
bool sampleMotion(Skeleton& skeleton, const Animation& animation, double fps, SampleSpacing spacing,
                  SampledMotion& motion, std::string& error, const SampleObserver& observer = {});

// Why an export at `fps` in either spacing would refuse `animation` for its
// length (too many frames or samples), found without posing anything; ""
// when it would not. The editor asks it before it takes new times, so it
// never makes an animation its exporter refuses.
std::string exportLengthRefusal(const Animation& animation, double fps = DEFAULT_EXPORT_FPS);
