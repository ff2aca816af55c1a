#include "tools/export/MotionSampler.h"

#include "animation/AnimationPlayer.h"
#include "animation/NumberText.h"
#include "animation/PlayerClock.h"
#include "tools/export/ExportRig.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace {

// A manual clock that counts its restarts. The player restarts its clock at
// every phase change (a wait ending, a frame reached), also when two happen
// in one update; counting them tells where in the animation the player is
// even when a frame is waited on or reached twice in a row, as with a
// one-frame loop or times of zero or less.
class CountingClock : public ManualPlayerClock {
public:
    void restart() override {
        ++restarts_;
        ManualPlayerClock::restart();
    }
    long restarts() const { return restarts_; }

private:
    long restarts_ = 0;
};

// Updates one wait or transition of `seconds` can take: each ends at the
// first update after its time has passed, and the next starts one update on.
double phaseUpdates(double seconds, double fps) {
    if (std::isnan(seconds)) {
        return std::numeric_limits<double>::infinity();
    }
    return std::max(seconds, 0.0) * fps + 2;
}

bool withinRange(const Vec3& v) {
    return std::fabs(v.x) <= MAX_EXPORT_COORDINATE && std::fabs(v.y) <= MAX_EXPORT_COORDINATE &&
           std::fabs(v.z) <= MAX_EXPORT_COORDINATE;
}

class Recorder {
public:
    Recorder(const Skeleton& skeleton, SampledMotion& motion, std::string& error,
             const SampleObserver& observer)
        : skeleton_(skeleton), motion_(motion), error_(error), observer_(observer) {}

    // Appends the present pose. Returns false with the error set when the
    // sample cap is reached or the root has left the exportable range.
    bool record() {
        if (motion_.samples.size() >= static_cast<std::size_t>(MAX_EXPORT_SAMPLES)) {
            error_ = tooLongMessage(motion_.name, motion_.fps);
            return false;
        }
        PoseSample sample;
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

    static std::string tooLongMessage(const std::string& name, double fps) {
        return "animation '" + name + "' is too long to export: it needs more than " +
               std::to_string(MAX_EXPORT_SAMPLES) + " samples at " + numberText(fps) + " fps";
    }

private:
    const Skeleton& skeleton_;
    SampledMotion& motion_;
    std::string& error_;
    const SampleObserver& observer_;
};

} // namespace

double estimatedUpdates(const Animation& animation, double fps) {
    double updates = phaseUpdates(SNAPSHOT_TRANSITION, fps);
    const int count = animation.frameCount();
    for (int i = 0; i < count; ++i) {
        const KeyFrame& frame = *animation.frameAt(i);
        updates += phaseUpdates(frame.waitTime, fps);
        if (animation.looping() || i + 1 < count) {
            updates += phaseUpdates(frame.transitionTime, fps);
        }
    }
    return updates;
}

bool sampleMotion(Skeleton& skeleton, Animation& animation, double fps, SampledMotion& motion,
                  std::string& error, const SampleObserver& observer) {
    assert(skeleton.complete());
    motion.name = animation.name();
    motion.fps = fps;
    motion.samples.clear();
    if (!(fps > 0 && fps <= MAX_EXPORT_FPS)) {
        error = "fps must be a number above 0 and at most " + numberText(MAX_EXPORT_FPS);
        return false;
    }
    Recorder recorder(skeleton, motion, error, observer);
    const int count = animation.frameCount();
    if (count == 0) {
        return recorder.record();
    }
    // Refused up front, so a lying file never runs the player for long.
    if (count > MAX_EXPORT_FRAMES || !(estimatedUpdates(animation, fps) <= MAX_EXPORT_SAMPLES)) {
        error = Recorder::tooLongMessage(animation.name(), fps);
        return false;
    }

    const KeyFrame* first = animation.frameAt(0);
    first->applyPose(&skeleton);
    CountingClock clock;
    AnimationPlayer player(clock);
    player.setSkeleton(&skeleton);
    player.addAnimation(&animation);
    // Only the very first play of a player heads for frame 1; the second
    // heads for frame 0, which the skeleton already shows.
    player.play(animation.name());
    player.play(animation.name());
    player.update();

    const double step = 1.0 / fps;
    // The snapshot move into frame 0 lasts SNAPSHOT_TRANSITION seconds; the
    // estimate above has made room for it.
    int snapshotUpdates = 0;
    while (!(player.waiting() && player.currentFrame() == first)) {
        if (++snapshotUpdates > MAX_EXPORT_SAMPLES) {
            error = Recorder::tooLongMessage(animation.name(), fps);
            return false;
        }
        clock.advance(step);
        player.update();
    }

    // From here on phase changes alternate: the wait on frame i ends
    // (odd counts), frame i + 1 is reached (even counts).
    const long start = clock.restarts();
    const long end = animation.looping() ? 2L * count : 2L * count - 1;
    if (!recorder.record()) {
        return false;
    }
    while (clock.restarts() - start < end) {
        clock.advance(step);
        player.update();
        if (!recorder.record()) {
            return false;
        }
    }
    return true;
}
