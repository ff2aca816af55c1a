#include "animation/Timeline.h"

#include "animation/MotionType.h"
#include "animation/PoseBlend.h"

#include <algorithm>
#include <cmath>
#include <limits>

Timeline::Timeline(const Animation& animation) : animation_(animation) {
    const int count = animation.frameCount();
    double time = 0;
    for (int k = 0; k < count; ++k) {
        const KeyFrame& frame = *animation.frameAt(k);
        phases_.push_back({time, phaseLength(frame.waitTime), k, false});
        time += phases_.back().length;
        // The last frame of a looping animation moves back to frame 0; a
        // non-looping one ends when its wait is over.
        if (animation.looping() || k + 1 < count) {
            phases_.push_back({time, phaseLength(frame.transitionTime), k, true});
            time += phases_.back().length;
        }
    }
    duration_ = time;
}

std::vector<double> Timeline::keyTimes() const {
    std::vector<double> times;
    times.reserve(phases_.size() + 1);
    for (const Phase& phase : phases_) {
        times.push_back(phase.start);
    }
    times.push_back(duration_);
    return times;
}

int Timeline::phaseAt(double t) const {
    // The last phase starting at or before t. A zero-length phase shares its
    // start with the one after it, so this is the phase holding t unless t
    // lies past the last phase's end.
    auto after =
        std::upper_bound(phases_.begin(), phases_.end(), t,
                         [](double time, const Phase& phase) { return time < phase.start; });
    if (after == phases_.begin()) {
        return -1;
    }
    const int index = static_cast<int>(after - phases_.begin()) - 1;
    const Phase& phase = phases_[index];
    return t - phase.start < phase.length ? index : -1;
}

double Timeline::clamped(double t) const {
    if (!(t >= 0)) {
        return 0;
    }
    // An animation that never ends has no end to reach, even at infinity.
    if (std::isinf(duration_)) {
        return std::min(t, std::numeric_limits<double>::max());
    }
    return t;
}

TimelinePlace Timeline::placeAt(double t) const {
    TimelinePlace place;
    const int count = animation_.frameCount();
    if (count == 0) {
        return place;
    }
    t = clamped(t);
    const int index = t < duration_ ? phaseAt(t) : -1;
    if (index < 0) {
        place.frame = animation_.looping() ? 0 : count - 1;
        return place;
    }
    const Phase& phase = phases_[index];
    place.phase = phase.transition ? TimelinePhase::Transition : TimelinePhase::Wait;
    place.frame = phase.frame;
    if (phase.transition) {
        place.nextFrame = (phase.frame + 1) % count;
    }
    place.start = phase.start;
    place.length = phase.length;
    // An endless phase is at its very start at any finite time.
    place.fraction = std::isinf(phase.length) ? 0 : (t - phase.start) / phase.length;
    place.fraction = std::min(place.fraction, std::nextafter(1.0, 0.0));
    return place;
}

bool Timeline::pose(Skeleton& skeleton, double t) const {
    if (animation_.frameCount() == 0 || !skeleton.complete()) {
        return false;
    }
    t = clamped(t);
    const TimelinePlace place = placeAt(t);
    const KeyFrame& from = *animation_.frameAt(place.frame);
    if (place.phase != TimelinePhase::Transition || !isMotionType(from.motionType)) {
        // A wait, the end, or a transition with no curve of its own, which
        // holds the frame's pose until the next frame is reached.
        holdPose(skeleton, from);
        return true;
    }
    const KeyFrame& to = *animation_.frameAt(place.nextFrame);
    // The player's own arguments: seconds into the transition and its
    // length. An endless transition stays on its first value.
    const double elapsed = std::isinf(place.length) ? 0 : t - place.start;
    const double d = std::isinf(place.length) ? 1 : place.length;
    blendPose(skeleton, from, to, from.motionType, elapsed, d);
    return true;
}

double timelineDuration(const Animation& animation) {
    return Timeline(animation).duration();
}

bool poseAtTime(const Animation& animation, Skeleton& skeleton, double t) {
    return Timeline(animation).pose(skeleton, t);
}
