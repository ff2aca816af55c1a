#pragma once

#include "gui/Painter.h"

class Fonts;

// Draws the GUI's primitives with OpenGL immediate mode and the program's
// bitmap fonts. Expects the overlay projection (window pixels, y up) to be
// set and lighting and depth testing to be off.
class GlPainter : public Painter {
public:
    explicit GlPainter(const Fonts& fonts) : fonts(fonts) {}
    void quads(const Vertex2D* vertices, int count) override;
    void lineStrip(const Vertex2D* vertices, int count) override;
    void lines(const Vertex2D* vertices, int count) override;
    void text(const std::string& text, double x, double y, const Rgba& color) override;
    void title(const std::string& text, double x, double y, const Rgba& color) override;

private:
    const Fonts& fonts;
};
