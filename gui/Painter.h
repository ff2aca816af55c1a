#pragma once

#include <string>

// Colour with alpha, each channel 0..1.
struct Rgba {
    double r = 1, g = 1, b = 1, a = 1;
};

// One corner of a 2-D primitive in overlay pixels (origin bottom-left, y up),
// with the colour it is drawn in; colours between corners are blended.
struct Vertex2D {
    double x = 0, y = 0;
    Rgba color;
};

// Everything the GUI draws goes through this interface: a handful of
// immediate-mode primitives and text. The program draws through a GL
// implementation; tests record the calls and check them without a window.
class Painter {
public:
    virtual ~Painter() = default;
    // Filled quadrilaterals: every four vertices make one, in order.
    virtual void quads(const Vertex2D* vertices, int count) = 0;
    // One connected line through all the vertices.
    virtual void lineStrip(const Vertex2D* vertices, int count) = 0;
    // Separate segments: every two vertices make one.
    virtual void lines(const Vertex2D* vertices, int count) = 0;
    // Small-font text with the baseline origin of its first character at (x, y).
    virtual void text(const std::string& text, double x, double y, const Rgba& color) = 0;
    // Title-font text, placed as text().
    virtual void title(const std::string& text, double x, double y, const Rgba& color) = 0;
};
