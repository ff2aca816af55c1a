#pragma once

#include <string>
#include <vector>

// Which moments of an animation a render shows, as plain arithmetic on the
// animation's duration (seconds, from animation/Timeline) and its looping
// flag. Frame k shows the time start + k / fps; the clip lasts from start
// to end, so the last frame is shown until end.
//
//   looping       one cycle: round(duration * fps) frames (at least one),
//                 ending at start + duration, where the cycle begins again
//   not looping   runs to its end: round((duration - start) * fps) + 1
//                 frames, the last one on (or within half a frame of) the
//                 end pose, which is then held for one frame
//   --to T        the frames before T; the clip ends at T
//   --frame T     one frame at T
//
// A looping animation repeats: times past its duration wrap around
// (animationTime); any other holds its end pose.

// Frames a render takes at most: 55 minutes at 30 frames per second.
constexpr int MAX_RENDER_FRAMES = 100000;
// Frames per second a render may ask for.
constexpr double MAX_RENDER_FPS = 120;
// Frames per second a GIF can hold: its delays count whole centiseconds, and
// viewers stretch a delay under 2 cs to a tenth of a second.
constexpr double MAX_GIF_FPS = 50;

// What the command line asks for. Times in seconds.
struct ClipRequest {
    double fps = 30;
    // The first frame's time (--from, or --frame's time).
    double from = 0;
    // --to was given: the clip ends at `to`.
    bool hasTo = false;
    double to = 0;
    // --frame: one frame at `from`.
    bool single = false;
};

// The frames of one render.
struct FramePlan {
    double start = 0;
    double fps = 30;
    int count = 0;
    double end = 0;

    // The time frame k shows: start + k / fps, computed afresh for every
    // frame so no rounding piles up over a long clip.
    double frameTime(int k) const { return start + k / fps; }
};

// Works out the frames for an animation of `duration` seconds. Returns false
// with a one-line `error` when fps is not in (0, MAX_RENDER_FPS], a time is
// negative or not finite, --to is not after the first frame, a clip without
// --to never ends (an infinite duration), --from lies past the end of an
// animation that does not loop, or the clip needs more than
// MAX_RENDER_FRAMES frames.
bool planFrames(double duration, bool looping, const ClipRequest& request, FramePlan& plan,
                std::string& error);

// The animation time that clip time `t` shows: wrapped into one cycle for
// a looping animation with a positive, finite duration; `t` itself
// otherwise (the timeline holds the end pose past the end).
double animationTime(double duration, bool looping, double t);

// The GIF delay of every frame, in centiseconds. The frames' boundaries are
// rounded to whole centiseconds (not each delay on its own), so the whole
// lasts end - start within 5 ms and no frame drifts from its time by more
// than that. A delay under 2 cs (only the last frame's can be one, at most
// MAX_GIF_FPS) borrows from the frames before it, keeping the sum.
std::vector<int> gifDelays(const FramePlan& plan);
