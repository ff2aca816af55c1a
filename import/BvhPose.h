#pragma once

#include "import/BvhClip.h"
#include "motion/Quaternion.h"

#include <vector>

// Where every joint of a clip is, and how it is turned, at one frame: world
// positions in the file's units and world rotations (the turn from the rest
// pose, where every joint's axes are the world's).
struct BvhPose {
    std::vector<Vec3> positions;
    std::vector<Quat> rotations;
};

// Forward kinematics of a clip. Position channels move a joint only where
// `moving` says so: the importer takes them on the joints from the root down
// to the hips and ignores them below, where the figure keeps its own
// proportions and writers disagree whether they add to the offset or
// replace it. Where they count, they add to the offset.
//
// With `smoothing` (seconds) above 0, every joint's turn and move is first
// averaged over the frames around it, weighted by a bell curve of that
// width: markers jitter by fractions of a degree from frame to frame, which
// is no motion anyone means, yet would cost a key frame every few frames.
// A width of 1/60 s keeps what changes slower than about 8 times a second.
// Widths under one frame are not applied: at a few dozen frames a second a
// clip is someone's choice of samples, not jitter.
class BvhKinematics {
public:
    // `moving` holds one flag per joint of `clip`, or is empty for "every
    // joint". The clip must outlive this object.
    BvhKinematics(const BvhClip& clip, std::vector<bool> moving, double smoothing = 0);

    // The pose at frame `f` (0 to frameCount - 1).
    void pose(int f, BvhPose& out) const;
    // The rest pose: every channel 0.
    void restPose(BvhPose& out) const;
    // Where the end site of joint `j` lies in `pose`; the joint's own
    // position for a joint without one.
    Vec3 endSite(const BvhPose& pose, int j) const;

private:
    // Joint j's own turn and move at frame f, from its channels.
    void local(int f, int j, Quat& turn, Vec3& move) const;
    // Averages every joint's turn and move over the bell curve.
    void smooth(double frames);
    void chain(const Quat* turns, const Vec3* moves, BvhPose& out) const;

    const BvhClip& clip_;
    std::vector<bool> moving_;
    // Per frame and joint, when smoothed: the averaged turns and moves.
    std::vector<Quat> turns_;
    std::vector<Vec3> moves_;
};
