#include "gui/ComponentContainer.h"

#include "gui/KeyCodes.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {
// Truncation toward zero, kept inside int32 whatever ratio the owner set.
int32_t truncated(double v) {
    if (!(v == v))
        return 0;
    const double t = std::trunc(v);
    if (t >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (t <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(t);
}

void shift(InterfaceComponent& c, int32_t dx, int32_t dy) {
    const Point2i p = c.getPosition();
    c.setPosition(p.x + dx, p.y + dy);
}

const ComponentContainer* asContainer(const InterfaceComponent* c) {
    return c && c->kind == KIND_CONTAINER ? static_cast<const ComponentContainer*>(c) : nullptr;
}
} // namespace

ComponentContainer::ComponentContainer(std::string id_, std::string text_, bool titleBar_)
    : InterfaceComponent(std::move(id_), std::move(text_), KIND_CONTAINER, 0, 0, 0, 0),
      titleBar(titleBar_) {}

bool ComponentContainer::adopt(std::unique_ptr<InterfaceComponent>& slot,
                               const InterfaceComponent* other, InterfaceComponent* child) {
    // Storing the sibling or the container itself would give one object two
    // owners (or make the tree a loop); both end in a double destruction.
    if (!child || child == this || child == other)
        return false;
    if (slot.get() != child)
        slot.reset(child);
    if (child->kind == KIND_CONTAINER)
        static_cast<ComponentContainer*>(child)->titleBar = false;
    child->setColor(color.r, color.g, color.b);
    child->setHighlightColor(highlightColor.r, highlightColor.g, highlightColor.b);
    pack();
    return true;
}

bool ComponentContainer::setFirst(InterfaceComponent* child) {
    return adopt(first, second.get(), child);
}

bool ComponentContainer::setSecond(InterfaceComponent* child) {
    return adopt(second, first.get(), child);
}

void ComponentContainer::pack() {
    if (!sized)
        return;
    if (!first)
        splitRatio = 0;
    if (!second)
        splitRatio = 1;
    if (!vertical) {
        if (first)
            first->setSize(truncated(splitRatio * width) - 2, height - 2);
        if (second)
            second->setSize(truncated((1 - splitRatio) * width) - 2, height - 2);
        if (first)
            first->setPosition(x + 1, y + 1);
        if (second)
            second->setPosition(x + truncated(width * splitRatio) + 1, y + 1);
    } else {
        if (first)
            first->setSize(width - 2, truncated(splitRatio * height) - 2);
        if (second)
            second->setSize(width - 2, truncated((1 - splitRatio) * height) - 2);
        if (first)
            first->setPosition(x + 1, y + truncated((1 - splitRatio) * height) + 1);
        if (second)
            second->setPosition(x + 1, y + 1);
    }
    updateEdges();
}

InterfaceComponent* ComponentContainer::findById(const std::string& wanted) {
    if (wanted == id)
        return this;
    if (first)
        if (InterfaceComponent* found = first->findById(wanted))
            return found;
    if (second)
        return second->findById(wanted);
    return nullptr;
}

void ComponentContainer::setSize(int32_t newWidth, int32_t newHeight) {
    sized = true;
    width = newWidth;
    height = newHeight;
    updateEdges();
    pack();
}

void ComponentContainer::setColor(double r, double g, double b) {
    if (first)
        first->setColor(r, g, b);
    if (second)
        second->setColor(r, g, b);
    color = {r, g, b};
}

void ComponentContainer::setHighlightColor(double r, double g, double b) {
    if (first)
        first->setHighlightColor(r, g, b);
    if (second)
        second->setHighlightColor(r, g, b);
    highlightColor = {r, g, b};
}

bool ComponentContainer::onTitleBar(int32_t px, int32_t py) const {
    return x < px && px < x + width && top < py && py < top + TITLE_BAR_HEIGHT;
}

InterfaceComponent* ComponentContainer::handleClick(int32_t button, int32_t clickKind, int32_t px,
                                                    int32_t py) {
    if (!visible)
        return nullptr;
    if (titleBar && button == MouseButton::Left && clickKind == CLICK_PRESS && onTitleBar(px, py)) {
        dragX = px;
        dragY = py;
        dragging = true;
        return this;
    }
    if (dragging && button == MouseButton::Left && clickKind == CLICK_RELEASE)
        dragging = false;
    // Both children always see the event: a release must reach a pressed
    // button or a held scroll square even when the other child is hit.
    InterfaceComponent* firstHit = first ? first->handleClick(button, clickKind, px, py) : nullptr;
    InterfaceComponent* secondHit =
        second ? second->handleClick(button, clickKind, px, py) : nullptr;
    if (firstHit)
        return firstHit;
    if (secondHit)
        return secondHit;
    return contains(px, py) ? this : nullptr;
}

void ComponentContainer::handleMouseMove(int32_t px, int32_t py) {
    if (!visible)
        return;
    if (first)
        first->handleMouseMove(px, py);
    if (second)
        second->handleMouseMove(px, py);
}

void ComponentContainer::handleMouseDrag(int32_t px, int32_t py) {
    if (!visible)
        return;
    if (dragging) {
        movedByUser = movedByUser || px != dragX || py != dragY;
        moveBy(px - dragX, py - dragY);
        dragX = px;
        dragY = py;
    }
    if (first)
        first->handleMouseDrag(px, py);
    if (second)
        second->handleMouseDrag(px, py);
    updateEdges();
}

bool ComponentContainer::covers(int32_t px, int32_t py) const {
    return visible && (contains(px, py) || (titleBar && onTitleBar(px, py)));
}

void ComponentContainer::moveBy(int32_t dx, int32_t dy) {
    // Children move by the same step rather than by a new layout, so what
    // the owner placed inside keeps its place relative to the window.
    x += dx;
    y += dy;
    if (first)
        shift(*first, dx, dy);
    if (second)
        shift(*second, dx, dy);
    updateEdges();
}

bool ComponentContainer::keepTitleBarInside(int32_t areaWidth, int32_t areaHeight) {
    // Wide arithmetic: an owner may have set any size. Where the area is too
    // small for both bounds, the left and bottom ones win.
    const int64_t kept = std::clamp<int64_t>(width, 0, TITLE_BAR_KEPT);
    const int64_t lowX = kept - width;
    const int64_t highX = int64_t{areaWidth} - kept;
    const int64_t lowY = -int64_t{height};
    const int64_t highY = int64_t{areaHeight} - TITLE_BAR_HEIGHT - height;
    const int64_t newX = std::max(lowX, std::min<int64_t>(x, highX));
    const int64_t newY = std::max(lowY, std::min<int64_t>(y, highY));
    if (newX == x && newY == y)
        return false;
    moveBy(static_cast<int32_t>(newX - x), static_cast<int32_t>(newY - y));
    return true;
}

void ComponentContainer::placeInside(int32_t areaWidth, int32_t areaHeight) {
    if (!homeTaken) {
        homeX = x;
        homeY = y;
        homeTaken = true;
    }
    const bool fits = width <= areaWidth && height + TITLE_BAR_HEIGHT <= areaHeight;
    if (!movedByUser)
        moveBy(homeX - x, homeY - y);
    if (movedByUser || !fits) {
        keepTitleBarInside(areaWidth, areaHeight);
        return;
    }
    const int32_t newX = std::clamp(x, 0, areaWidth - width);
    const int32_t newY = std::clamp(y, 0, areaHeight - TITLE_BAR_HEIGHT - height);
    moveBy(newX - x, newY - y);
}

void ComponentContainer::update(double seconds) {
    if (first)
        first->update(seconds);
    if (second)
        second->update(seconds);
}

bool ComponentContainer::holds(const InterfaceComponent* target) const {
    for (const InterfaceComponent* child : {first.get(), second.get()}) {
        if (!child)
            continue;
        if (child == target)
            return true;
        if (const ComponentContainer* sub = asContainer(child); sub && sub->holds(target))
            return true;
    }
    return false;
}

bool ComponentContainer::shows(const InterfaceComponent* target) const {
    if (!visible)
        return false;
    for (const InterfaceComponent* child : {first.get(), second.get()}) {
        if (!child)
            continue;
        if (child == target)
            return true;
        if (const ComponentContainer* sub = asContainer(child); sub && sub->shows(target))
            return true;
    }
    return false;
}
