#pragma once

#include <optional>
#include <vector>

class Animation;
class AnimationPlayer;

// The geometry of the timeline strip, apart from any drawing: how wide each
// frame's block is, how far the strip is scrolled and where the play head
// stands. Widths are in pixels along the strip, measured from the start of
// its content (scrolling shifts them all alike); times are seconds.

// The longest a frame's wait or transition is drawn. Files may hold waits of
// 2147483647 ms; beyond an hour the block is drawn as if it were an hour, so
// one absurd frame cannot squeeze the others out of the arithmetic.
constexpr double TIMELINE_LONGEST_PART = 3600;

// A frame's two times as the timeline draws them.
struct FrameSpan {
    double wait = 0;
    double transition = 0;
};

// One frame's block: the wait part from `left` to `split`, the transition
// part from `split` to `right`.
struct TimelineBlock {
    double left = 0;
    double split = 0;
    double right = 0;

    double width() const { return right - left; }
};

// Where the player is: the frame whose block holds the play head, which part
// of it (the wait, else the transition) and how far into that part (0..1).
struct PlayerPlace {
    int frame = -1;
    bool inWait = true;
    double progress = 0;
};

// A frame's times made drawable: a time that is not a finite number, or is
// negative, counts as 0; a longer one as TIMELINE_LONGEST_PART.
FrameSpan drawnSpan(double wait, double transition);
// The drawable spans of every frame of `animation`, in order.
std::vector<FrameSpan> frameSpans(const Animation& animation);

// Lays the blocks side by side from 0, each as wide as its share of
// wait + transition but never narrower than `minWidth`, filling `width` (or
// exactly minWidth each when that many minimum blocks do not fit: the
// content then grows wider than `width` and is scrolled). Frames that all
// last nothing get equal widths. Within a block the wait and transition
// parts share its width by their times (a frame of no time is all
// transition). Empty for no frames.
std::vector<TimelineBlock> layoutBlocks(const std::vector<FrameSpan>& spans, double width,
                                        double minWidth);

// The scroll offset (content pixels hidden at the left) that shows block
// `focus` in a view `viewWidth` wide, moving from `offset` only as far as
// needed to show it with `pad` pixels to spare on either side (when there
// is room for them). Always within 0 .. content width - viewWidth; 0 when
// everything fits. A focus outside the blocks only clamps the offset.
double scrollToShow(const std::vector<TimelineBlock>& blocks, int focus, double viewWidth,
                    double offset, double pad);

// Where the player stands in `animation`, or nothing when it is not playing
// that animation. While it moves from its starting snapshot (a pose that
// belongs to no frame) it stands at the start of the frame it heads for.
std::optional<PlayerPlace> playerPlace(const AnimationPlayer& player, const Animation& animation);

// The x of the play head inside `block` for `place`.
double playHeadX(const TimelineBlock& block, const PlayerPlace& place);
