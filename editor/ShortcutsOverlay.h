#pragma once

#include "gui/InterfaceComponent.h"

#include <string>
#include <utility>
#include <vector>

// The help F1 shows: a panel in the middle of the window, drawn as the
// floating windows are (dark body, lit title bar), listing one line per key
// or gesture with its keys on the left and what it does on the right, in
// white. It stays below the top dock, and when the lines do not fit the
// height left there they go on in a second (and third) column.
//
// Hidden at start and until F1; F1 hides it again. Hidden, it draws nothing
// and takes no click; shown, it takes the clicks that land on the panel and
// lets the others through. Registered with the interface manager as an
// overlay, which gives it the whole window; it centres the panel in that,
// below the dock, every time it is laid out.
class ShortcutsOverlay : public InterfaceComponent {
public:
    using Line = std::pair<std::string, std::string>;
    // Inside the body's edges; between the keys and their description (and
    // twice that between columns); between two lines; kept free below the
    // panel; kept free above it, where the top dock's buttons are.
    static constexpr int32_t PADDING = 10;
    static constexpr int32_t GAP = 16;
    static constexpr int32_t LINE_SPACING = 2;
    static constexpr int32_t WINDOW_EDGE = 10;
    static constexpr int32_t DOCK_SPACE = 35;
    static constexpr int32_t MAX_COLUMNS = 3;

    // The panel for these (keys, description) lines, in order.
    explicit ShortcutsOverlay(std::vector<Line> lines);

    bool shown() const { return shown_; }
    void setShown(bool shown) { shown_ = shown; }
    void toggle() { shown_ = !shown_; }

    const std::vector<Line>& lines() const { return lines_; }
    // The whole panel, title bar included, in overlay pixels.
    Rect2i panel() const;
    // The body below the title bar, where the lines are.
    Rect2i body() const { return body_; }
    int32_t columns() const { return columns_; }

    // Measures the lines and centres the panel in the component's rectangle.
    void pack() override;
    // The panel takes every click on it while shown; nullptr otherwise.
    InterfaceComponent* handleClick(int32_t button, int32_t clickKind, int32_t px,
                                    int32_t py) override;
    void handleMouseMove(int32_t, int32_t) override {}
    void handleMouseDrag(int32_t, int32_t) override {}
    // The panel and its lines; nothing while hidden.
    void draw(Painter& painter) const override;
    void update(double) override {}

private:
    std::vector<Line> lines_;
    bool shown_ = false;
    int32_t keyWidth = 0;
    int32_t lineHeight = 0;
    int32_t columnWidth = 0;
    int32_t rows = 0;
    int32_t columns_ = 1;
    Rect2i body_;
};
