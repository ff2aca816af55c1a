// The timeline's block layout and scrolling, without an editor: widths by
// time with a floor, the wait and transition parts, wild times from files,
// and scrolling the frame that matters into view when the blocks do not fit.
#include "editor/TimelineLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double MIN = 12;

double widthOf(const TimelineBlock& b) {
    return b.right - b.left;
}

// Blocks follow each other without gap or overlap from 0.
void expectTiled(const std::vector<TimelineBlock>& blocks, double total) {
    double at = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_DOUBLE_EQ(blocks[i].left, at) << i;
        EXPECT_LE(blocks[i].left, blocks[i].split) << i;
        EXPECT_LE(blocks[i].split, blocks[i].right) << i;
        at = blocks[i].right;
    }
    EXPECT_NEAR(at, total, 1e-6);
}

TEST(TimelineLayout, EmptyZeroAndBrokenInputs) {
    EXPECT_TRUE(layoutBlocks({}, 500, MIN).empty());

    // Frames that last nothing share the strip equally, all transition.
    const auto still = layoutBlocks({{0, 0}, {0, 0}, {0, 0}, {0, 0}}, 400, MIN);
    ASSERT_EQ(still.size(), 4u);
    for (const TimelineBlock& b : still) {
        EXPECT_DOUBLE_EQ(widthOf(b), 100);
        EXPECT_DOUBLE_EQ(b.split, b.left);
    }
    expectTiled(still, 400);

    // No room at all (before the first layout): minimum blocks, no NaN.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double width : {0.0, -50.0, nan}) {
        const auto blocks = layoutBlocks({{0, 1}, {1, 1}}, width, MIN);
        ASSERT_EQ(blocks.size(), 2u);
        EXPECT_DOUBLE_EQ(widthOf(blocks[0]), MIN);
        EXPECT_DOUBLE_EQ(widthOf(blocks[1]), MIN);
    }
}

TEST(TimelineLayout, WidthsFollowWaitPlusTransition) {
    // 1 s, 2 s (half of it waiting) and 2 s in 500 pixels.
    const auto blocks = layoutBlocks({{0, 1}, {1, 1}, {0, 2}}, 500, MIN);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_DOUBLE_EQ(widthOf(blocks[0]), 100);
    EXPECT_DOUBLE_EQ(widthOf(blocks[1]), 200);
    EXPECT_DOUBLE_EQ(widthOf(blocks[2]), 200);
    expectTiled(blocks, 500);
    EXPECT_DOUBLE_EQ(blocks[0].split, blocks[0].left) << "no wait, no wait part";
    EXPECT_DOUBLE_EQ(blocks[1].split, 200) << "the wait is the first half";
    // A frame that only waits is all wait.
    const auto waiting = layoutBlocks({{3, 0}}, 90, MIN);
    EXPECT_DOUBLE_EQ(waiting[0].split, waiting[0].right);
}

TEST(TimelineLayout, ShortFramesKeepTheMinimumAndTheRestShareWhatIsLeft) {
    // 0.1 s, 0.1 s and 9.8 s in 100 pixels: by time the first two would be
    // 1 pixel; they get 12 each, the long one the other 76.
    const auto blocks = layoutBlocks({{0, 0.1}, {0, 0.1}, {0, 9.8}}, 100, MIN);
    EXPECT_DOUBLE_EQ(widthOf(blocks[0]), MIN);
    EXPECT_DOUBLE_EQ(widthOf(blocks[1]), MIN);
    EXPECT_DOUBLE_EQ(widthOf(blocks[2]), 76);
    expectTiled(blocks, 100);

    // Giving the floor to one frame can push the next below it: 1, 2 and
    // 17 s in 60 pixels. By time the 2 s frame gets 6; after the 1 s frame
    // takes its 12 it would get 5.1; both end at the minimum.
    const auto chained = layoutBlocks({{0, 2}, {0, 17}, {0, 1}}, 60, MIN);
    EXPECT_DOUBLE_EQ(widthOf(chained[2]), MIN);
    EXPECT_DOUBLE_EQ(widthOf(chained[0]), MIN);
    EXPECT_DOUBLE_EQ(widthOf(chained[1]), 36);
    expectTiled(chained, 60);
}

TEST(TimelineLayout, WildTimesGiveSaneWidths) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // What a file can hold: 2147483647 ms, huge and broken numbers.
    const std::vector<FrameSpan> wild = {{2147483.647, 1}, {inf, inf}, {nan, 1}, {-5, -1},
                                         {1e308, 1e308},   {0, 1},     {0, nan}, {-inf, 2}};
    const auto blocks = layoutBlocks(wild, 1000, MIN);
    ASSERT_EQ(blocks.size(), wild.size());
    for (const TimelineBlock& b : blocks) {
        EXPECT_TRUE(std::isfinite(b.left) && std::isfinite(b.split) && std::isfinite(b.right));
        EXPECT_GE(widthOf(b), MIN);
    }
    expectTiled(blocks, 1000);
    // Anything beyond an hour is drawn as an hour.
    EXPECT_DOUBLE_EQ(widthOf(blocks[1]), widthOf(blocks[4]));
    EXPECT_GT(widthOf(blocks[0]), 100);
    // Not a number and negative count as nothing: the broken wait leaves a
    // 1 s transition, like a plain 1 s frame.
    EXPECT_DOUBLE_EQ(widthOf(blocks[2]), widthOf(blocks[5]));
    EXPECT_DOUBLE_EQ(blocks[2].split, blocks[2].left);
    EXPECT_DOUBLE_EQ(widthOf(blocks[3]), MIN);

    const FrameSpan drawn = drawnSpan(inf, nan);
    EXPECT_DOUBLE_EQ(drawn.wait, TIMELINE_LONGEST_PART);
    EXPECT_DOUBLE_EQ(drawn.transition, 0);
}

TEST(TimelineLayout, TooManyFramesScrollTheFocusIntoView) {
    // 100 frames of very different lengths cannot keep their 12 pixels in
    // a 500-pixel view: every block is at the minimum and the content is
    // 1200 wide.
    std::vector<FrameSpan> spans;
    for (int i = 0; i < 100; ++i)
        spans.push_back({0, 0.5 + i});
    const auto blocks = layoutBlocks(spans, 500, MIN);
    for (const TimelineBlock& b : blocks)
        EXPECT_DOUBLE_EQ(widthOf(b), MIN);
    expectTiled(blocks, 1200);

    EXPECT_DOUBLE_EQ(scrollToShow(blocks, 0, 500, 0, MIN), 0);
    // Frame 50 (600..612) from the start: just far enough to show it and
    // one block more.
    double offset = scrollToShow(blocks, 50, 500, 0, MIN);
    EXPECT_DOUBLE_EQ(offset, 624 - 500);
    // A frame already in view moves nothing.
    EXPECT_DOUBLE_EQ(scrollToShow(blocks, 45, 500, offset, MIN), offset);
    // Back towards the start, and to the very end.
    EXPECT_DOUBLE_EQ(scrollToShow(blocks, 5, 500, offset, MIN), 60 - MIN);
    EXPECT_DOUBLE_EQ(scrollToShow(blocks, 99, 500, 0, MIN), 700);
    // No focus, or a stale offset: only clamped into range.
    EXPECT_DOUBLE_EQ(scrollToShow(blocks, -1, 500, 5000, MIN), 700);
    EXPECT_DOUBLE_EQ(scrollToShow(blocks, 500, 500, -3, MIN), 0);
    // Content that fits never scrolls.
    EXPECT_DOUBLE_EQ(scrollToShow(layoutBlocks(spans, 1500, MIN), 99, 1500, 40, MIN), 0);
    // A block wider than the view shows its start.
    const auto wide = layoutBlocks({{0, 1}, {0, 100}, {0, 1}}, 2000, MIN);
    EXPECT_DOUBLE_EQ(scrollToShow(wide, 1, 300, 0, MIN), wide[1].left);
}

} // namespace
