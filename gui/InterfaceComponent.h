#pragma once

#include <cstdint>
#include <string>

class Painter;

// Class codes: the manager and the containers tell components apart by
// these numbers, never by run-time type queries.
constexpr int32_t KIND_BUTTON = 9;
constexpr int32_t KIND_TEXT_FIELD = 19;
constexpr int32_t KIND_CONTAINER = 39;

// Click kinds handed to handleClick.
constexpr int32_t CLICK_PRESS = 6;
constexpr int32_t CLICK_RELEASE = 7;

// A colour without alpha, each channel 0..1.
struct Rgb {
    double r = 0, g = 0, b = 0;
};

struct Point2i {
    int32_t x = 0;
    int32_t y = 0;
};

struct Size2i {
    int32_t width = 0;
    int32_t height = 0;
};

// A rectangle in overlay pixels (y up), with the components' inclusive hit
// test on all four edges.
struct Rect2i {
    int32_t left = 0;
    int32_t bottom = 0;
    int32_t right = 0;
    int32_t top = 0;

    bool contains(int32_t px, int32_t py) const {
        return left <= px && px <= right && bottom <= py && py <= top;
    }
};

// Every element of the user interface: a rectangle in overlay pixels (origin
// at the bottom-left of the window, y up), so (x, y) is the bottom-left corner
// and top > y. It has an identifier that carries commands, a drawn text, two
// colours and the virtual operations for layout, drawing, timed effects and
// mouse events. Button, TextField and ComponentContainer derive from it.
//
// The fields are public for reading; change the geometry only through
// setPosition and setSize so that right == x + width and top == y + height
// always hold.
class InterfaceComponent {
public:
    int32_t x = 0;
    int32_t y = 0;
    int32_t right = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::string id;
    std::string text;
    // Bounding box of `text` in the small font, truncated to whole pixels.
    int32_t textWidth = 0;
    int32_t textHeight = 0;
    Rgb color{0.8, 0.8, 0.8};
    Rgb highlightColor{0.5, 0.5, 0.5};
    // Highlight intensity; only buttons animate it.
    double glow = 0;
    int32_t kind = 0;

    // Stores id, text, place and size, measures the text, and grows the size
    // to at least the text plus 3 pixels each way.
    InterfaceComponent(std::string id, std::string text, int32_t kind, int32_t x, int32_t y,
                       int32_t width, int32_t height);
    virtual ~InterfaceComponent() = default;

    InterfaceComponent(const InterfaceComponent&) = delete;
    InterfaceComponent& operator=(const InterfaceComponent&) = delete;

    // Grows the size to at least the text plus 3 pixels each way.
    virtual void pack();
    Point2i getPosition() const { return {x, y}; }
    Size2i getSize() const { return {width, height}; }
    std::string getId() const { return id; }
    std::string getText() const { return text; }
    // This component if its id equals `wanted` exactly, else nullptr.
    virtual InterfaceComponent* findById(const std::string& wanted);
    // Moves the bottom-left corner, then packs.
    virtual void setPosition(int32_t newX, int32_t newY);
    // Resizes, then packs (so nothing shrinks below its text plus 3).
    virtual void setSize(int32_t newWidth, int32_t newHeight);
    virtual void setColor(double r, double g, double b);
    virtual void setHighlightColor(double r, double g, double b);
    // Replaces the text, measures it again, then packs.
    virtual void setText(const std::string& newText);

    // Offers a mouse click (button 0 left, 1 right, 2 middle; kind
    // CLICK_PRESS or CLICK_RELEASE) at overlay position (px, py). Returns the
    // component that took it, or nullptr.
    virtual InterfaceComponent* handleClick(int32_t button, int32_t clickKind, int32_t px,
                                            int32_t py) = 0;
    // The pointer moved with no button held.
    virtual void handleMouseMove(int32_t px, int32_t py) = 0;
    // The pointer moved with a button held.
    virtual void handleMouseDrag(int32_t px, int32_t py) = 0;
    // Draws the component with the painter.
    virtual void draw(Painter& painter) const = 0;
    // Advances timed effects by `seconds`.
    virtual void update(double seconds) = 0;

    // Inclusive hit test on all four edges.
    bool contains(int32_t px, int32_t py) const {
        return x <= px && px <= right && y <= py && py <= top;
    }

protected:
    // Recomputes right and top from position and size.
    void updateEdges() {
        right = x + width;
        top = y + height;
    }
    // Takes the small-font bounding box of `text` into textWidth/textHeight.
    void measureText();
};
