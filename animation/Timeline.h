#pragma once

#include "animation/Animation.h"
#include "skeleton/Skeleton.h"

#include <vector>

// The exact timeline of an animation: what the animation describes, as
// opposed to what one run of the player happens to show. Time 0 is frame
// 0's pose. Frame k holds its pose for exactly its wait time, then moves to
// the frame after it over exactly its transition time along its easing
// curve. A looping animation ends on frame 0's pose after every frame's
// wait and transition; any other ends when the last frame's wait is over.
//
// Phases are half-open, [start, start + length): where several begin at one
// time (zero waits or transitions), the last of them shows, so a transition
// of 0 is a jump. A time that is not a number counts as forever (the player
// never sees it pass) and a negative time as 0. A transition whose motion
// type is not one of the four codes holds the frame's pose and jumps to the
// next frame at its end. Playing from the present pose (the snapshot move,
// the first play heading for frame 1) is the player's business, not the
// animation's, and has no place here.

// What a time shows.
enum class TimelinePhase {
    // Holding `frame`'s pose.
    Wait,
    // Moving from `frame` to `nextFrame`.
    Transition,
    // Past the end: holding the pose the animation ends on.
    End,
};

// Where a time falls on the timeline.
struct TimelinePlace {
    TimelinePhase phase = TimelinePhase::End;
    // The frame waited on or moved from; at the end, the frame whose pose
    // the animation ends on (0 when looping, else the last); -1 for an
    // animation without frames.
    int frame = -1;
    // The frame a transition moves to; -1 in the other phases.
    int nextFrame = -1;
    // When the phase began and how long it lasts, in seconds (0 at the end).
    double start = 0;
    double length = 0;
    // How far through the phase the time is, from 0 up to (not including) 1.
    double fraction = 0;
};

// The times of one animation, read once. Keeps a reference to the animation,
// which must outlive it; build a new one after the animation's frames or
// times have changed.
class Timeline {
public:
    explicit Timeline(const Animation& animation);

    // Seconds from time 0 to the end; 0 without frames, infinite when a wait
    // or transition on the way never ends.
    double duration() const { return duration_; }
    // Every time at which a frame's pose is reached or left, in order
    // (frame k's arrival, the end of its wait, ...), then the duration.
    // Zero-length phases give repeated times. Just {0} without frames.
    std::vector<double> keyTimes() const;

    // Which frame and phase time `t` shows. Times before 0 (and NaN) count
    // as 0; times at or past the duration are the end.
    TimelinePlace placeAt(double t) const;

    // Poses `skeleton` as the timeline shows it at `t`: the root through
    // Bone::setPosition, then bones 0 to 20 through Bone::setAngles, as the
    // player does, so wrap and limits act as on screen and an angle the
    // limits refuse keeps the skeleton's present value. A value that is not
    // finite is not applied. Returns false and changes nothing when the
    // animation has no frames or the skeleton is not complete.
    bool pose(Skeleton& skeleton, double t) const;

private:
    struct Phase {
        double start;
        double length;
        int frame;
        bool transition;
    };

    // `t` as the timeline reads it: 0 for negative times and NaN, and never
    // infinite in an animation that never ends.
    double clamped(double t) const;
    // Index of the phase that shows at `t` (already clamped), or -1 for the
    // end.
    int phaseAt(double t) const;

    const Animation& animation_;
    std::vector<Phase> phases_;
    double duration_ = 0;
};

// Timeline(animation).duration().
double timelineDuration(const Animation& animation);
// Timeline(animation).pose(skeleton, t), for a single look.
bool poseAtTime(const Animation& animation, Skeleton& skeleton, double t);
