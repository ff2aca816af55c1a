#include "motion/MotionSampler.h"

#include "animation/MotionType.h"
#include "animation/NumberText.h"
#include "animation/Timeline.h"
#include "motion/ExportRig.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace {

// How near, relative to the time itself (and in seconds below 1 s), a
// uniform sample counts as falling on a key time: far below any step an
// export takes, far above the rounding of a sum of frame times.
constexpr double KEY_SNAP = 1e-9;

std::string tooLongMessage(const std::string& name, double fps) {
    return "animation '" + name + "' is too long to export: it needs more than " +
           std::to_string(MAX_EXPORT_SAMPLES) + " samples at " + numberText(fps) + " fps";
}

bool withinRange(const Vec3& v) {
    return std::fabs(v.x) <= MAX_EXPORT_COORDINATE && std::fabs(v.y) <= MAX_EXPORT_COORDINATE &&
           std::fabs(v.z) <= MAX_EXPORT_COORDINATE;
}

// Sample times whose single-precision values, as glTF stores them, go up
// strictly. Returns false once more than MAX_EXPORT_SAMPLES are asked for.
class SampleTimes {
public:
    // A key time always stays: it replaces a sample whose float it does not
    // pass (the later state is the one that lasts). Any other time is
    // dropped in that case.
    bool add(double time, bool key) {
        const float stored = static_cast<float>(time);
        if (!times_.empty() && !(stored > last_)) {
            if (!key) {
                return true;
            }
            times_.pop_back();
        }
        if (times_.size() >= static_cast<std::size_t>(MAX_EXPORT_SAMPLES)) {
            return false;
        }
        times_.push_back(time);
        last_ = stored;
        return true;
    }
    std::vector<double>& times() { return times_; }

private:
    std::vector<double> times_;
    float last_ = 0;
};

// Every key time, samples every 1 / fps inside each eased transition, and a
// sample just before every jump. Between two neighbouring distinct key
// times exactly one phase of positive length runs.
bool keyedTimes(const Animation& animation, const Timeline& timeline, double fps,
                std::vector<double>& out) {
    std::vector<double> keys = timeline.keyTimes();
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    SampleTimes times;
    for (std::size_t j = 0; j < keys.size(); ++j) {
        if (!times.add(keys[j], true)) {
            return false;
        }
        if (j + 1 == keys.size()) {
            break;
        }
        const double start = keys[j], end = keys[j + 1];
        const TimelinePlace place = timeline.placeAt(start);
        const bool eased = place.phase == TimelinePhase::Transition &&
                           isMotionType(animation.frameAt(place.frame)->motionType);
        if (eased) {
            const float endStored = static_cast<float>(end);
            for (long i = 1;; ++i) {
                const double t = start + i / fps;
                if (!(static_cast<float>(t) < endStored)) {
                    break;
                }
                if (!times.add(t, false)) {
                    return false;
                }
            }
        }
        // The frame this phase arrives at (a wait, or a transition without
        // a curve, stays on its own), against the frame the next key time
        // starts from: where they differ the motion jumps, and linear
        // interpolation between the two keys would smear the jump over the
        // whole phase.
        const int arriving = eased ? place.nextFrame : place.frame;
        if (timeline.placeAt(end).frame != arriving) {
            const double before =
                std::nextafter(static_cast<float>(end), -std::numeric_limits<float>::infinity());
            if (before > start && !times.add(before, false)) {
                return false;
            }
        }
    }
    out = std::move(times.times());
    return true;
}

// Sample i at i / fps. Waits and transitions in whole milliseconds add up
// to sums a rounding away from the frame steps they are meant to meet; a
// step that close to a key time is taken at the key time, or a jump due on
// that step would show one step late.
bool uniformTimes(const Timeline& timeline, double fps, std::vector<double>& out) {
    const double last = std::round(timeline.duration() * fps);
    if (!(last < MAX_EXPORT_SAMPLES)) {
        return false;
    }
    const long count = static_cast<long>(last) + 1;
    const std::vector<double> keys = timeline.keyTimes();
    auto key = keys.begin();
    out.clear();
    out.reserve(count);
    for (long i = 0; i < count; ++i) {
        const double t = i / fps;
        const double snap = KEY_SNAP * std::max(1.0, t);
        while (key != keys.end() && *key < t - snap) {
            ++key;
        }
        out.push_back(key != keys.end() && std::fabs(*key - t) <= snap ? *key : t);
    }
    return true;
}

class Recorder {
public:
    Recorder(const Skeleton& skeleton, SampledMotion& motion, std::string& error,
             const SampleObserver& observer)
        : skeleton_(skeleton), motion_(motion), error_(error), observer_(observer) {}

    // Appends the present pose at `time`. Returns false with the error set
    // when the root has left the exportable range.
    bool record(double time) {
        PoseSample sample;
        sample.time = time;
        sample.rootPosition = skeleton_.rootBone()->position();
        if (!withinRange(sample.rootPosition)) {
            error_ = "the animation moves the root beyond the coordinates the export formats can "
                     "hold";
            return false;
        }
        sample.rotations.reserve(skeleton_.boneCount());
        for (int i = 0; i < skeleton_.boneCount(); ++i) {
            sample.rotations.push_back(quatFromFrame(skeleton_.boneAt(i)->frame()));
        }
        motion_.samples.push_back(std::move(sample));
        if (observer_) {
            observer_(skeleton_);
        }
        return true;
    }

private:
    const Skeleton& skeleton_;
    SampledMotion& motion_;
    std::string& error_;
    const SampleObserver& observer_;
};

} // namespace

std::string exportLengthRefusal(const Animation& animation, double fps) {
    if (animation.frameCount() == 0)
        return "";
    const Timeline timeline(animation);
    std::vector<double> times;
    if (animation.frameCount() > MAX_EXPORT_FRAMES ||
        !(timeline.duration() * fps < MAX_EXPORT_SAMPLES) ||
        !keyedTimes(animation, timeline, fps, times) || !uniformTimes(timeline, fps, times))
        return tooLongMessage(animation.name(), fps);
    return "";
}

bool sampleMotion(Skeleton& skeleton, const Animation& animation, double fps, SampleSpacing spacing,
                  SampledMotion& motion, std::string& error, const SampleObserver& observer) {
    assert(skeleton.complete());
    motion.name = animation.name();
    motion.fps = fps;
    motion.duration = 0;
    motion.samples.clear();
    if (!(fps > 0 && fps <= MAX_EXPORT_FPS)) {
        error = "fps must be a number above 0 and at most " + numberText(MAX_EXPORT_FPS);
        return false;
    }
    Recorder recorder(skeleton, motion, error, observer);
    if (animation.frameCount() == 0) {
        return recorder.record(0);
    }
    const Timeline timeline(animation);
    // Refused before any time is listed, so a lying file costs nothing.
    if (animation.frameCount() > MAX_EXPORT_FRAMES ||
        !(timeline.duration() * fps < MAX_EXPORT_SAMPLES)) {
        error = tooLongMessage(animation.name(), fps);
        return false;
    }
    std::vector<double> times;
    const bool listed = spacing == SampleSpacing::KeyTimes
                            ? keyedTimes(animation, timeline, fps, times)
                            : uniformTimes(timeline, fps, times);
    if (!listed) {
        error = tooLongMessage(animation.name(), fps);
        return false;
    }
    motion.duration = timeline.duration();
    motion.samples.reserve(times.size());
    for (double t : times) {
        timeline.pose(skeleton, t);
        if (!recorder.record(t)) {
            return false;
        }
    }
    return true;
}
