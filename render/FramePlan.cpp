#include "render/FramePlan.h"

#include "animation/NumberText.h"

#include <cmath>

namespace {

// Far below a frame, far above the rounding of a sum of frame times: a
// product like 2.9999999999 * 30 still counts as whole.
constexpr double WHOLE_FRAME_SLACK = 1e-9;
// A GIF delay viewers keep as it is.
constexpr int MIN_GIF_DELAY = 2;

bool tooMany(double frames) {
    return !(frames <= MAX_RENDER_FRAMES);
}

} // namespace

bool planFrames(double duration, bool looping, const ClipRequest& request, FramePlan& plan,
                std::string& error) {
    plan = FramePlan();
    const double fps = request.fps;
    if (!(fps > 0 && fps <= MAX_RENDER_FPS)) {
        error = "the frame rate must be above 0 and at most " + numberText(MAX_RENDER_FPS);
        return false;
    }
    if (!(std::isfinite(request.from) && request.from >= 0)) {
        error = "the first frame's time must be a number of seconds, 0 or more";
        return false;
    }
    plan.start = request.from;
    plan.fps = fps;
    double frames = 0;
    if (request.single) {
        frames = 1;
        plan.end = plan.start + 1 / fps;
    } else if (request.hasTo) {
        if (!(std::isfinite(request.to) && request.to > request.from)) {
            error = "the clip must end after its first frame (--to after --from)";
            return false;
        }
        frames = std::ceil((request.to - request.from) * fps - WHOLE_FRAME_SLACK);
        plan.end = request.to;
    } else if (!std::isfinite(duration)) {
        error = "the animation never ends (a wait or transition is endless), so a clip of it "
                "needs an end (--to)";
        return false;
    } else if (looping) {
        frames = std::max(1.0, std::round(duration * fps));
        plan.end = duration > 0 ? plan.start + duration : plan.start + 1 / fps;
    } else {
        if (request.from > duration) {
            error = "--from " + numberText(request.from) + " is past the animation's end at " +
                    numberText(duration) + " s";
            return false;
        }
        frames = std::round((duration - request.from) * fps) + 1;
        plan.end = plan.start + frames / fps;
    }
    if (tooMany(frames)) {
        error = "the clip is too long: it needs more than " + std::to_string(MAX_RENDER_FRAMES) +
                " frames at " + numberText(fps) + " fps";
        return false;
    }
    plan.count = static_cast<int>(std::max(1.0, frames));
    return true;
}

double animationTime(double duration, bool looping, double t) {
    if (looping && duration > 0 && std::isfinite(duration) && std::isfinite(t) && t >= duration) {
        return std::fmod(t, duration);
    }
    return t;
}

std::vector<int> gifDelays(const FramePlan& plan) {
    std::vector<int> delays(static_cast<std::size_t>(std::max(plan.count, 0)));
    if (delays.empty()) {
        return delays;
    }
    auto centiseconds = [](double seconds) { return std::llround(seconds * 100); };
    long long previous = 0;
    for (int k = 0; k < plan.count; ++k) {
        const double boundary = k + 1 < plan.count ? (k + 1) / plan.fps : plan.end - plan.start;
        const long long next = centiseconds(boundary);
        delays[k] = static_cast<int>(next - previous);
        previous = next;
    }
    for (std::size_t k = delays.size() - 1; k > 0 && delays[k] < MIN_GIF_DELAY; --k) {
        const int need = MIN_GIF_DELAY - delays[k];
        delays[k] += need;
        delays[k - 1] -= need;
    }
    return delays;
}
