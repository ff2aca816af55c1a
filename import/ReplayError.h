#pragma once

#include "import/Retarget.h"
#include "motion/Quaternion.h"

#include <vector>

// How far a replay of key frames may stray from the dense motion it stands
// for: every bone's turn relative to its parent within `degrees`, and the
// root's joint point within `rootUnits`. Errors are compared as one number,
// the larger of the two misses each in its own tolerance: 1 is just within.
struct ReplayTolerance {
    double degrees = 1;
    double rootUnits = 0.01;
};

// How a key moves on to the next one: it holds its pose for `wait` source
// frames, then moves along the easing `motion` (a MotionType code) for the
// rest of the frames up to the next key.
struct KeyShape {
    int wait = 0;
    int motion = 3;
};

// The blend, from 0 (this key's pose) to 1 (the next key's), that a
// replay shows `step` frames after a key whose next key comes `length`
// frames later, along `shape`: the easing curves of the animation model
// (animation/Easing.h) at the fraction of the transition passed.
double keyBlend(int step, int length, const KeyShape& shape);

// The pose between `a` and `b` at `blend`: every value moved along the
// same fraction, as the timeline moves them.
ImportPose blendPoses(const ImportPose& a, const ImportPose& b, double blend);

// The dense motion of a retarget, prepared for measuring replays against
// it: every frame's pose with every bone's turn.
class DenseTrack {
public:
    // `frameTime` is the seconds from one pose to the next.
    DenseTrack(const std::vector<ImportPose>& poses, double frameTime, const Skeleton& figure,
               const ReplayTolerance& tolerance);

    int frames() const { return static_cast<int>(poses_.size()); }
    double frameTime() const { return frameTime_; }
    const ImportPose& pose(int f) const { return poses_[f]; }
    const Quat& turn(int f, int bone) const { return turns_[f][bone]; }
    int mainAxis(int bone) const { return axes_[bone]; }
    const ReplayTolerance& tolerance() const { return tolerance_; }

    // The error of `pose` against frame `f` (1: just within tolerance).
    // Stops measuring once it passes `limit` and then returns more than it.
    double error(int f, const ImportPose& pose, double limit = 1e300) const;
    // The turn, degrees, between `angles` of `bone` and frame `f`'s.
    double boneDegrees(int f, int bone, const BonePose& angles) const;
    // The largest error of replaying the frames strictly between key frames
    // `i` and `j` from pose `a` to pose `b` along `shape`; more than `limit`
    // as soon as one frame passes it. Frames before `from` (when given) are
    // not looked at.
    double segmentError(int i, int j, const ImportPose& a, const ImportPose& b,
                        const KeyShape& shape, double limit = 1e300, int from = -1) const;

private:
    std::vector<ImportPose> poses_;
    std::vector<std::array<Quat, POSE_BONE_COUNT>> turns_;
    std::array<int, POSE_BONE_COUNT> axes_;
    double frameTime_;
    ReplayTolerance tolerance_;
};
