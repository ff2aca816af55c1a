#include "render/FramePlan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr double FOREVER = std::numeric_limits<double>::infinity();
constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();

struct PlanCase {
    const char* what;
    double duration;
    bool looping;
    ClipRequest request;
    // Expected frames (0: refused, with one line saying why), the last
    // one's time and when the clip ends.
    int count;
    double lastTime = 0;
    double end = 0;
};

ClipRequest at(double fps, double from = 0) {
    ClipRequest r;
    r.fps = fps;
    r.from = from;
    return r;
}
ClipRequest upTo(double fps, double from, double to) {
    ClipRequest r = at(fps, from);
    r.hasTo = true;
    r.to = to;
    return r;
}
ClipRequest still(double t) {
    ClipRequest r = at(30, t);
    r.single = true;
    return r;
}

// The frames and the GIF's delays together: every frame must start within
// 10 ms of its own time in the GIF, every delay but a lone frame's must be
// one viewers keep (2 cs or more), and the whole must last the clip. What
// cannot be rendered is refused.
TEST(FramePlan, FramesAndGifDelays) {
    const PlanCase cases[] = {
        {"looping, whole frames: one cycle, frame 0 not repeated", 2.0, true, at(30), 60, 59 / 30.0,
         2.0},
        {"looping, half a frame over: rounds up, last frame short", 1.0 + 0.5 / 30, true, at(30),
         31, 1.0, 1.0 + 0.5 / 30},
        {"looping, just under half a frame: last delay would be 1 cs", 29.5 / 30, true, at(30), 30,
         29 / 30.0, 29.5 / 30},
        {"looping cycle from a later time", 2.0, true, at(30, 0.5), 60, 0.5 + 59 / 30.0, 2.5},
        {"looping without length: one still", 0.0, true, at(30), 1, 0.0, 1 / 30.0},
        {"not looping: runs onto its end pose", 2.0, false, at(30), 61, 2.0, 61 / 30.0},
        {"not looping, end between frames: nearest frame", 1.01, false, at(30), 31, 1.0, 31 / 30.0},
        {"not looping from half way", 2.0, false, at(10, 1.0), 11, 2.0, 2.1},
        {"a rate that is not whole", 2.0, true, at(12.5), 25, 24 / 12.5, 2.0},
        {"--to cuts before its time", 2.0, true, upTo(10, 0.5, 1.0), 5, 0.9, 1.0},
        {"--to between frames keeps the frame before it", 2.0, false, upTo(30, 0, 0.51), 16, 0.5,
         0.51},
        {"--to gives an endless animation an end", FOREVER, false, upTo(25, 0, 2), 50, 1.96, 2.0},
        {"--frame: one frame at its time", 2.0, false, still(0.25), 1, 0.25, 0.25 + 1 / 30.0},
        {"no frame rate", 2, true, at(0), 0},
        {"a rate beyond the limit", 2, true, at(MAX_RENDER_FPS * 2), 0},
        {"a rate that is not a number", 2, true, at(NOT_A_NUMBER), 0},
        {"a negative first time", 2, true, at(30, -1), 0},
        {"a first time that is not a number", 2, true, at(30, NOT_A_NUMBER), 0},
        {"--to before --from", 2, true, upTo(30, 1, 0.5), 0},
        {"--to at --from", 2, true, upTo(30, 1, 1), 0},
        {"an endless animation without --to", FOREVER, true, at(30), 0},
        {"--from past a non-looping end", 2, false, at(30, 2.5), 0},
        {"more frames than a render takes", MAX_RENDER_FRAMES / 30.0 + 1, false, at(30), 0},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.what);
        FramePlan plan;
        std::string error;
        const bool planned = planFrames(c.duration, c.looping, c.request, plan, error);
        if (c.count == 0) {
            EXPECT_FALSE(planned);
            EXPECT_FALSE(error.empty());
            EXPECT_EQ(error.find('\n'), std::string::npos);
            continue;
        }
        ASSERT_TRUE(planned) << error;
        EXPECT_EQ(plan.count, c.count);
        EXPECT_NEAR(plan.frameTime(plan.count - 1), c.lastTime, 1e-12);
        EXPECT_NEAR(plan.end, c.end, 1e-12);

        const std::vector<int> delays = gifDelays(plan);
        ASSERT_EQ(static_cast<int>(delays.size()), plan.count);
        const int total = std::accumulate(delays.begin(), delays.end(), 0);
        EXPECT_LE(std::fabs(total / 100.0 - (plan.end - plan.start)), 0.005 + 1e-12);
        int shown = 0;
        for (int k = 0; k < plan.count; ++k) {
            EXPECT_LE(std::fabs(shown / 100.0 - (plan.frameTime(k) - plan.start)), 0.01 + 1e-12)
                << "frame " << k;
            if (plan.count > 1) {
                EXPECT_GE(delays[k], 2) << "frame " << k;
            }
            shown += delays[k];
        }
    }
}

TEST(FramePlan, LoopingTimesWrapIntoOneCycle) {
    EXPECT_DOUBLE_EQ(animationTime(2, true, 2.5), 0.5);
    EXPECT_DOUBLE_EQ(animationTime(2, true, 4), 0);
    EXPECT_DOUBLE_EQ(animationTime(2, true, 1.5), 1.5);
    // Past the end of an animation that does not loop, the timeline holds.
    EXPECT_DOUBLE_EQ(animationTime(2, false, 2.5), 2.5);
    EXPECT_DOUBLE_EQ(animationTime(0, true, 3), 3);
}

} // namespace
