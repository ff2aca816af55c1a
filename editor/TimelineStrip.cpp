#include "editor/TimelineStrip.h"

#include "animation/Animation.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
#include "editor/SkeletonEditor.h"
#include "gui/KeyCodes.h"
#include "gui/Painter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

bool sameSpans(const std::vector<FrameSpan>& a, const std::vector<FrameSpan>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const FrameSpan& x, const FrameSpan& y) {
                          return x.wait == y.wait && x.transition == y.transition;
                      });
}

// A quad lit at the top and half as bright at the bottom, as the buttons are.
void addShadedQuad(std::vector<Vertex2D>& quads, double l, double b, double r, double t,
                   const Rgb& lit) {
    const Rgba top{lit.r, lit.g, lit.b, 1};
    const Rgba low{lit.r * 0.5, lit.g * 0.5, lit.b * 0.5, 1};
    quads.insert(quads.end(), {{l, b, low}, {r, b, low}, {r, t, top}, {l, t, top}});
}

Rgb scaled(const Rgb& c, double f) {
    return Rgb{c.r * f, c.g * f, c.b * f};
}

} // namespace

TimelineStrip::TimelineStrip(SkeletonEditor& editor_)
    : InterfaceComponent("TIMELINE_STRIP", "", 0, 0, 0, 0, 0), editor(editor_) {}

void TimelineStrip::setShown(bool shown) {
    shown_ = shown;
    if (shown_)
        refresh();
}

Rect2i TimelineStrip::strip() const {
    const int32_t stripTop = top - TOP_GAP;
    return Rect2i{x + SIDE_MARGIN, stripTop - HEIGHT, right - SIDE_MARGIN, stripTop};
}

void TimelineStrip::refresh() {
    const Animation& animation = editor.animation();
    loops = animation.looping();
    const Rect2i area = strip();
    const double viewWidth = std::max(0, area.right - area.left);
    std::vector<FrameSpan> now = frameSpans(animation);
    if (viewWidth != laidOutWidth || !sameSpans(now, spans)) {
        blocks = layoutBlocks(now, viewWidth, MIN_BLOCK);
        spans = std::move(now);
        laidOutWidth = viewWidth;
    }
    const KeyFrame* frame = editor.currentFrame();
    current = frame && animation.frameAt(frame->index) == frame ? frame->index : -1;
    place = playerPlace(editor.player(), animation);
    scroll_ = scrollToShow(blocks, place ? place->frame : current, viewWidth, scroll_, MIN_BLOCK);
    measureVisibleLabels();
}

void TimelineStrip::measureVisibleLabels() {
    // A frame's number depends on its position only, so sizes measured once
    // stay right however the frames change.
    labels.resize(blocks.size(), TextSize{-1, -1});
    const double viewWidth = laidOutWidth;
    auto first = std::upper_bound(
        blocks.begin(), blocks.end(), scroll_,
        [](double offset, const TimelineBlock& block) { return offset < block.right; });
    for (auto it = first; it != blocks.end() && it->left < scroll_ + viewWidth; ++it) {
        TextSize& size = labels[static_cast<size_t>(it - blocks.begin())];
        if (size.width < 0)
            size = textExtent(std::to_string(it - blocks.begin()));
    }
}

void TimelineStrip::update(double) {
    if (shown_)
        refresh();
}

std::vector<TimelineBlock> TimelineStrip::screenBlocks() const {
    const double shift = strip().left - scroll_;
    std::vector<TimelineBlock> placed = blocks;
    for (TimelineBlock& block : placed) {
        block.left += shift;
        block.split += shift;
        block.right += shift;
    }
    return placed;
}

int TimelineStrip::blockAt(int32_t px, int32_t py) const {
    const Rect2i area = strip();
    if (!area.contains(px, py) || blocks.empty())
        return -1;
    const double at = px - area.left + scroll_;
    // Blocks touch: each owns its left edge, the last also its right one.
    auto hit =
        std::upper_bound(blocks.begin(), blocks.end(), at,
                         [](double a, const TimelineBlock& block) { return a < block.right; });
    if (hit == blocks.end())
        return at <= blocks.back().right ? static_cast<int>(blocks.size()) - 1 : -1;
    return static_cast<int>(hit - blocks.begin());
}

std::optional<double> TimelineStrip::playHead() const {
    if (!place || place->frame < 0 || static_cast<size_t>(place->frame) >= blocks.size())
        return std::nullopt;
    return strip().left - scroll_ + playHeadX(blocks[static_cast<size_t>(place->frame)], *place);
}

InterfaceComponent* TimelineStrip::handleClick(int32_t button, int32_t clickKind, int32_t px,
                                               int32_t py) {
    if (!shown_ || !strip().contains(px, py))
        return nullptr;
    if (button == MouseButton::Left && clickKind == CLICK_PRESS) {
        // The frames may have changed since the strip was last drawn (a key
        // in the same batch of events): find the block in the animation as
        // it is now.
        refresh();
        const int frame = blockAt(px, py);
        if (frame >= 0) {
            editor.selectFrame(frame);
            refresh();
        }
    }
    return this;
}

void TimelineStrip::draw(Painter& painter) const {
    if (!shown_)
        return;
    const Rect2i area = strip();
    if (area.right <= area.left)
        return;
    const double l = area.left, r = area.right, b = area.bottom, t = area.top;
    // Every quad of the strip goes out in one call, and the frame numbers
    // after them: each call costs the software renderer more than the few
    // pixels these quads cover.
    std::vector<Vertex2D> quads;
    const Rgba shade{0, 0, 0, 0.7};
    quads.insert(quads.end(), {{l - 2, b - 2, shade},
                               {r + 2, b - 2, shade},
                               {r + 2, t + 2, shade},
                               {l - 2, t + 2, shade}});
    struct Label {
        size_t frame;
        double x;
    };
    std::vector<Label> numbers;
    std::optional<std::array<double, 2>> litEdges;

    const Rgb waitColor{0.3, 0.3, 0.34}, currentWait{0.55, 0.55, 0.6};
    const Rgb transitionColor = scaled(highlightColor, 0.55);
    // The last frame's move back to frame 0 is played only by an animation
    // that loops; otherwise it stands there dark.
    const Rgb unplayed{0.12, 0.12, 0.14};
    const size_t last = blocks.empty() ? 0 : blocks.size() - 1;
    const double shift = l - scroll_;
    auto first = std::upper_bound(
        blocks.begin(), blocks.end(), scroll_,
        [](double offset, const TimelineBlock& block) { return offset < block.right; });
    for (auto it = first; it != blocks.end() && it->left + shift < r; ++it) {
        const size_t i = static_cast<size_t>(it - blocks.begin());
        const bool lit = static_cast<int>(i) == current;
        // Whole pixels, one left dark between neighbours.
        const double left = std::max(l, std::round(it->left + shift));
        const double right = std::min(r, std::round(it->right + shift) - 1);
        if (right <= left)
            continue;
        const double split = std::clamp(std::round(it->split + shift), left, right);
        if (split > left)
            addShadedQuad(quads, left, b, split, t, lit ? currentWait : waitColor);
        if (right > split)
            addShadedQuad(quads, split, b, right, t,
                          i == last && !loops ? unplayed
                          : lit               ? highlightColor
                                              : transitionColor);
        if (lit)
            litEdges = {left, right};
        const TextSize label = i < labels.size() ? labels[i] : TextSize{-1, -1};
        if (label.width >= 0 && label.width + 4 <= right - left)
            numbers.push_back({i, (left + right - label.width) * 0.5});
    }
    painter.quads(quads.data(), static_cast<int>(quads.size()));

    const Rgba white{1, 1, 1, 1};
    if (litEdges) {
        const double left = (*litEdges)[0], right = (*litEdges)[1];
        const Vertex2D outline[5] = {{left, b, white},
                                     {right, b, white},
                                     {right, t, white},
                                     {left, t, white},
                                     {left, b, white}};
        painter.lineStrip(outline, 5);
    }
    for (const Label& number : numbers)
        painter.text(std::to_string(number.frame), number.x,
                     b + (HEIGHT - labels[number.frame].height) * 0.5, white);

    if (const std::optional<double> head = playHead(); head && *head >= l && *head <= r) {
        const Rgba amber{1, 0.8, 0.2, 1};
        const Vertex2D bar[4] = {{*head - 1, b - 3, amber},
                                 {*head + 1, b - 3, amber},
                                 {*head + 1, t + 3, amber},
                                 {*head - 1, t + 3, amber}};
        painter.quads(bar, 4);
    }
}
