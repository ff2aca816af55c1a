#include "editor/ShortcutsOverlay.h"

#include "gui/ComponentContainer.h"
#include "gui/Painter.h"
#include "gui/TextMetrics.h"

#include <algorithm>

namespace {
const char* const TITLE = "Keys and gestures (F1 hides this)";
constexpr int32_t BAR = ComponentContainer::TITLE_BAR_HEIGHT;
} // namespace

ShortcutsOverlay::ShortcutsOverlay(std::vector<Line> lines)
    : InterfaceComponent("SHORTCUTS_OVERLAY", "", 0, 0, 0, 0, 0), lines_(std::move(lines)) {
    pack();
}

Rect2i ShortcutsOverlay::panel() const {
    return Rect2i{body_.left, body_.bottom, body_.right, body_.top + BAR};
}

void ShortcutsOverlay::pack() {
    InterfaceComponent::pack();
    keyWidth = 0;
    int32_t describedWidth = 0, tallest = 0;
    for (const Line& line : lines_) {
        const TextSize keys = textExtent(line.first), what = textExtent(line.second);
        keyWidth = std::max(keyWidth, keys.width);
        describedWidth = std::max(describedWidth, what.width);
        tallest = std::max({tallest, keys.height, what.height});
    }
    lineHeight = tallest + LINE_SPACING;
    columnWidth = keyWidth + GAP + describedWidth;
    const int32_t count = static_cast<int32_t>(lines_.size());
    const int32_t room = height - DOCK_SPACE - WINDOW_EDGE - BAR - 2 * PADDING;
    // As few columns as let the lines fit the window's height.
    for (columns_ = 1; columns_ < MAX_COLUMNS; ++columns_)
        if ((count + columns_ - 1) / columns_ * lineHeight <= room)
            break;
    rows = std::max(1, (count + columns_ - 1) / columns_);

    const int32_t bodyWidth = columns_ * columnWidth + (columns_ - 1) * 2 * GAP + 2 * PADDING;
    const int32_t bodyHeight = rows * lineHeight + 2 * PADDING;
    const int32_t left = x + (width - bodyWidth) / 2;
    const int32_t bottom = y + (height - DOCK_SPACE - bodyHeight - BAR) / 2;
    body_ = Rect2i{left, bottom, left + bodyWidth, bottom + bodyHeight};
}

InterfaceComponent* ShortcutsOverlay::handleClick(int32_t, int32_t, int32_t px, int32_t py) {
    return shown_ && panel().contains(px, py) ? this : nullptr;
}

void ShortcutsOverlay::draw(Painter& painter) const {
    if (!shown_)
        return;
    // The floating windows' look: outlined black body, a title bar that
    // runs from black up to the highlight colour, the title in that colour.
    const double l = body_.left, r = body_.right, b = body_.bottom, t = body_.top, bar = t + BAR;
    const Rgba edge{0.4, 0.4, 0.4, 1};
    const Rgba frame{0.7, 0.7, 0.7, 1};
    const Vertex2D outline[8] = {{l, b, edge},    {r, b, edge},    {r, t, edge},  {l, t, edge},
                                 {l, bar, frame}, {r, bar, frame}, {r, t, frame}, {l, t, frame}};
    painter.lineStrip(outline, 8);
    const Rgba black{0, 0, 0, 1};
    const Vertex2D background[4] = {{l, b, black}, {r, b, black}, {r, t, black}, {l, t, black}};
    painter.quads(background, 4);
    const Rgba lit{highlightColor.r, highlightColor.g, highlightColor.b, 1};
    const Vertex2D titleBar[4] = {{l, t, black}, {r, t, black}, {r, bar, lit}, {l, bar, lit}};
    painter.quads(titleBar, 4);
    painter.text(TITLE, l + 5, t + 5, lit);

    const Rgba white{1, 1, 1, 1};
    for (size_t i = 0; i < lines_.size(); ++i) {
        const int32_t column = static_cast<int32_t>(i) / rows;
        const int32_t row = static_cast<int32_t>(i) % rows;
        const double keysX = l + PADDING + column * (columnWidth + 2 * GAP);
        const double baseline = t - PADDING - (row + 1) * lineHeight + LINE_SPACING;
        painter.text(lines_[i].first, keysX, baseline, white);
        painter.text(lines_[i].second, keysX + keyWidth + GAP, baseline, white);
    }
}
