#pragma once

#include "gui/InterfaceComponent.h"

#include <memory>
#include <string>

// A two-way split panel: up to two children side by side (first on the left)
// or stacked (first on top), sharing the container's rectangle by
// `splitRatio`. Children may be containers, so panels of any shape are
// trees. Registered as a floating window, a container draws a 17-pixel title
// bar above its top edge with `text` as the caption and can be dragged by it.
//
// The container owns its children: replacing one destroys the old one, and
// destroying the container destroys the whole subtree. It lays nothing out
// until it has been given a size (`sized`).
class ComponentContainer : public InterfaceComponent {
public:
    // Height of the title bar, which sits above `top`, outside the rectangle.
    static constexpr int32_t TITLE_BAR_HEIGHT = 17;
    // How much of the title bar's width keepTitleBarInside leaves in view:
    // enough to grab it again.
    static constexpr int32_t TITLE_BAR_KEPT = 40;

    // false: children side by side; true: stacked.
    bool vertical = false;
    // Share of the width (or height) given to the first child.
    double splitRatio = 0.5;
    // Draws a title bar and allows dragging. Cleared when the container
    // becomes another container's child, set when it becomes a window.
    bool titleBar = false;
    // While false the container and its subtree neither draw nor take
    // clicks, hover or drags.
    bool visible = true;
    // A title-bar drag is in progress; dragX/dragY is the pointer position
    // at its last step.
    bool dragging = false;
    int32_t dragX = 0;
    int32_t dragY = 0;
    // Where the owner placed the window, taken at its first placeInside;
    // and whether the user has dragged it since.
    int32_t homeX = 0;
    int32_t homeY = 0;
    bool homeTaken = false;
    bool movedByUser = false;
    // Set by setSize; until then pack() places nothing.
    bool sized = false;

    // An empty container at (0, 0), as big as its caption plus 3 pixels.
    ComponentContainer(std::string id, std::string text, bool titleBar);

    // Put `child` in the first (left or upper) place and take ownership of
    // it, destroying the child that was there. A child container loses its
    // title bar; the child takes this container's colours, then the
    // container lays itself out. Returns false and changes nothing for a
    // null child, this container itself or its own other child (either
    // would give one object two owners).
    bool setFirst(InterfaceComponent* child);
    // As setFirst, for the second (right or lower) place.
    bool setSecond(InterfaceComponent* child);
    InterfaceComponent* getFirst() const { return first.get(); }
    InterfaceComponent* getSecond() const { return second.get(); }

    // True if `component` is somewhere below this container (not the
    // container itself). Compares pointers only, so a stale pointer is safe.
    bool holds(const InterfaceComponent* component) const;
    // True if `component` is below this container and every container on
    // the way, this one included, is visible.
    bool shows(const InterfaceComponent* component) const;

    // Splits the rectangle between the children: sizes first, then
    // positions, 1 pixel of margin each way. A missing first child sets
    // `splitRatio` to 0, a missing second child to 1.
    void pack() override;
    // The container itself if its id matches, else the first match in the
    // first child's subtree, then in the second's; nullptr if none.
    InterfaceComponent* findById(const std::string& wanted) override;
    // Marks the container sized, then lays it out at the new size.
    void setSize(int32_t newWidth, int32_t newHeight) override;
    // Passes the colour to both children, then keeps it.
    void setColor(double r, double g, double b) override;
    void setHighlightColor(double r, double g, double b) override;

    // A left press on the title bar starts a drag and returns the container.
    // Otherwise both children see the click; returns the first child's hit,
    // else the second's, else the container if the point is inside it.
    // A hidden container returns nullptr.
    InterfaceComponent* handleClick(int32_t button, int32_t clickKind, int32_t px,
                                    int32_t py) override;
    void handleMouseMove(int32_t px, int32_t py) override;
    // While dragging, moves the container and its children with the pointer.
    void handleMouseDrag(int32_t px, int32_t py) override;

    // Whether this container, shown, is drawn at (px, py): its body, edges
    // included, or its title bar (the strict test a drag starts with).
    bool covers(int32_t px, int32_t py) const;
    // Moves the container and each child by (dx, dy), as a drag step does.
    void moveBy(int32_t dx, int32_t dy);
    // Moves the container only as far as needed for its title bar to keep
    // TITLE_BAR_KEPT pixels of its width (all of it when narrower) and its
    // whole height inside an areaWidth x areaHeight area whose origin is
    // the bottom-left corner. Returns whether it moved.
    bool keepTitleBarInside(int32_t areaWidth, int32_t areaHeight);
    // Places a window for an areaWidth x areaHeight area after a resize:
    // one the user never dragged goes back to its home and then moves only
    // as far as needed to lie wholly inside; one the user dragged, or one
    // the area cannot hold whole, moves as keepTitleBarInside moves it.
    void placeInside(int32_t areaWidth, int32_t areaHeight);
    // Title bar, black body and caption when `titleBar`; then the children.
    void draw(Painter& painter) const override;
    void update(double seconds) override;

private:
    // Stores `child` in `slot` unless it is null, this container or `other`
    // (the sibling slot's child).
    bool adopt(std::unique_ptr<InterfaceComponent>& slot, const InterfaceComponent* other,
               InterfaceComponent* child);
    // The strict test of the bar above `top`.
    bool onTitleBar(int32_t px, int32_t py) const;

    std::unique_ptr<InterfaceComponent> first;
    std::unique_ptr<InterfaceComponent> second;
};
