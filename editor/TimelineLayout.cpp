#include "editor/TimelineLayout.h"

#include "animation/Animation.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
#include "animation/PoseBlend.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

double drawnTime(double seconds) {
    if (!std::isfinite(seconds) && seconds > 0)
        return TIMELINE_LONGEST_PART;
    if (!(seconds > 0))
        return 0; // NaN, negative, zero
    return std::min(seconds, TIMELINE_LONGEST_PART);
}

// How far into a phase of `duration` seconds the player is after `elapsed`,
// as the player itself decides when a phase is over: a phase of no length
// (or a negative one) is over at once, one whose length is not a number
// never ends.
double phaseFraction(double elapsed, double duration) {
    const double length = phaseLength(duration);
    if (std::isinf(length))
        return 0;
    if (length == 0)
        return 1;
    const double fraction = elapsed / length;
    return std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
}

// The position of `frame` in `animation`, or -1 when it is none of its
// frames (the player's snapshot, or a frame of another animation).
int positionOf(const Animation& animation, const KeyFrame* frame) {
    if (!frame || animation.frameAt(frame->index) != frame)
        return -1;
    return frame->index;
}

} // namespace

FrameSpan drawnSpan(double wait, double transition) {
    return FrameSpan{drawnTime(wait), drawnTime(transition)};
}

std::vector<FrameSpan> frameSpans(const Animation& animation) {
    std::vector<FrameSpan> spans;
    spans.reserve(static_cast<size_t>(animation.frameCount()));
    for (int i = 0; i < animation.frameCount(); ++i) {
        const KeyFrame* frame = animation.frameAt(i);
        spans.push_back(drawnSpan(frame->waitTime, frame->transitionTime));
    }
    return spans;
}

std::vector<TimelineBlock> layoutBlocks(const std::vector<FrameSpan>& spans, double width,
                                        double minWidth) {
    const size_t n = spans.size();
    if (n == 0)
        return {};
    minWidth = std::isfinite(minWidth) ? std::max(0.0, minWidth) : 0.0;
    width = std::isfinite(width) ? std::max(0.0, width) : 0.0;
    const double content = std::max(width, minWidth * static_cast<double>(n));

    std::vector<FrameSpan> span(n);
    std::vector<double> weight(n);
    for (size_t i = 0; i < n; ++i) {
        span[i] = drawnSpan(spans[i].wait, spans[i].transition);
        weight[i] = span[i].wait + span[i].transition;
    }
    if (std::all_of(weight.begin(), weight.end(), [](double w) { return w <= 0; }))
        std::fill(weight.begin(), weight.end(), 1.0);

    // Blocks whose share falls below the minimum get the minimum, which
    // leaves less for the others; the shortest frames go first, so once one
    // frame's share is wide enough, every longer frame's is too.
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return weight[a] < weight[b]; });
    // Summed from the longest down, so the sums do not drift as frames are
    // taken out.
    std::vector<double> weightFrom(n + 1, 0.0);
    for (size_t k = n; k-- > 0;)
        weightFrom[k] = weightFrom[k + 1] + weight[order[k]];

    std::vector<double> blockWidth(n, minWidth);
    double rest = content;
    size_t k = 0;
    for (; k < n; ++k) {
        const double share = weight[order[k]] * rest / weightFrom[k];
        if (share >= minWidth)
            break;
        rest -= minWidth;
    }
    for (size_t j = k; j < n; ++j) {
        const double share = weightFrom[k] > 0 ? weight[order[j]] * rest / weightFrom[k]
                                               : rest / static_cast<double>(n - k);
        blockWidth[order[j]] = std::max(minWidth, share);
    }

    std::vector<TimelineBlock> blocks(n);
    double left = 0;
    for (size_t i = 0; i < n; ++i) {
        const double time = span[i].wait + span[i].transition;
        const double waitShare = time > 0 ? span[i].wait / time : 0.0;
        blocks[i].left = left;
        // The last block ends on the content's edge, not a rounding off it,
        // so content that fits never scrolls.
        blocks[i].right = i + 1 < n ? left + blockWidth[i] : std::max(left, content);
        blocks[i].split = left + (blocks[i].right - left) * waitShare;
        left = blocks[i].right;
    }
    return blocks;
}

double scrollToShow(const std::vector<TimelineBlock>& blocks, int focus, double viewWidth,
                    double offset, double pad) {
    if (blocks.empty() || !(viewWidth > 0))
        return 0;
    const double most = std::max(0.0, blocks.back().right - viewWidth);
    if (focus >= 0 && static_cast<size_t>(focus) < blocks.size()) {
        const TimelineBlock& block = blocks[static_cast<size_t>(focus)];
        // The pad shrinks when block and pads together are wider than the view.
        const double spare = std::clamp((viewWidth - block.width()) / 2, 0.0, std::max(0.0, pad));
        if (block.left - spare < offset)
            offset = block.left - spare;
        else if (block.right + spare > offset + viewWidth)
            offset = std::min(block.right + spare - viewWidth, block.left - spare);
    }
    return std::isfinite(offset) ? std::clamp(offset, 0.0, most) : 0.0;
}

std::optional<PlayerPlace> playerPlace(const AnimationPlayer& player, const Animation& animation) {
    if (!player.playing() || player.animation() != &animation)
        return std::nullopt;
    const int from = positionOf(animation, player.currentFrame());
    if (player.restartRequested() || from < 0) {
        // The move from the snapshot into the animation: at the start of
        // the frame it heads for.
        const int to = positionOf(animation, player.nextFrame());
        if (to < 0)
            return std::nullopt;
        return PlayerPlace{to, true, 0.0};
    }
    const KeyFrame& frame = *animation.frameAt(from);
    const double elapsed = player.phaseElapsed();
    if (player.waiting())
        return PlayerPlace{from, true, phaseFraction(elapsed, frame.waitTime)};
    return PlayerPlace{from, false, phaseFraction(elapsed, frame.transitionTime)};
}

double playHeadX(const TimelineBlock& block, const PlayerPlace& place) {
    const double progress = std::clamp(place.progress, 0.0, 1.0);
    if (place.inWait)
        return block.left + (block.split - block.left) * progress;
    return block.split + (block.right - block.split) * progress;
}
