#pragma once

#include "gui/GlTextCache.h"
#include "gui/OverlayBatch.h"
#include "gui/Painter.h"

class Fonts;

// Draws the GUI's primitives with OpenGL and the program's bitmap fonts.
// Expects the overlay projection (window pixels, y up) to be set, lighting
// and depth testing off and blending on. Text that stays the same from
// frame to frame is drawn from a GlTextCache, pixel for pixel as the fonts
// draw it.
//
// Two ways of drawing give the same pixels. Straightforward (the default):
// every call draws at once, in immediate mode. Batched: the frame's
// primitives and cached labels are collected in an OverlayBatch and drawn
// by endFrame() in a few calls through the text cache's atlas, which costs
// far less on a software renderer; text that must go through the fonts
// draws what was collected first, so the order on screen stays the same.
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
    // Draws whatever the batch still holds; call after the overlay, before
    // its GL state is left. Does nothing when drawing straightforwardly.
    void endFrame() { flush(); }
    // Batched (true) or straightforward (false); what was collected is
    // drawn first.
    void setBatching(bool batch);
    bool batching() const { return batched; }
    GlTextCache& textCache() { return cache; }

private:
    void collect(OverlayBatch::Mode mode, const Vertex2D* vertices, int count);
    void drawText(GlTextCache::Face face, const std::string& text, double x, double y,
                  const Rgba& color);
    void flush();

    GlTextCache cache;
    OverlayBatch batch;
    std::vector<OverlayBatch::Vertex> scratch;
    std::vector<Vertex2D> segments;
    bool batched = false;
};
