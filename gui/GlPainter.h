#pragma once

#include "gui/GlTextCache.h"
#include "gui/Painter.h"

class Fonts;

// Draws the GUI's primitives with OpenGL immediate mode and the program's
// bitmap fonts. Expects the overlay projection (window pixels, y up) to be
// set and lighting and depth testing to be off. Text that stays the same
// from frame to frame is drawn from a GlTextCache, pixel for pixel as the
// fonts draw it.
class GlPainter : public Painter {
public:
    explicit GlPainter(const Fonts& fonts) : cache(fonts) {}
    void quads(const Vertex2D* vertices, int count) override;
    void lineStrip(const Vertex2D* vertices, int count) override;
    void lines(const Vertex2D* vertices, int count) override;
    void text(const std::string& text, double x, double y, const Rgba& color) override;
    void title(const std::string& text, double x, double y, const Rgba& color) override;

    // Call once per frame, before the overlay is drawn, with the window's
    // size in pixels; without it no text is ever cached.
    void beginFrame(int windowWidth, int windowHeight) {
        cache.beginFrame(windowWidth, windowHeight);
    }
    GlTextCache& textCache() { return cache; }

private:
    GlTextCache cache;
};
