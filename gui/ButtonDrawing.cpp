#include "gui/Button.h"

#include "gui/Painter.h"

void Button::draw(Painter& painter) const {
    if (glow > 0) {
        // A soft halo: three ever smaller rectangles on top of each other,
        // so the translucent colour builds up toward the body.
        const Rgba halo{highlightColor.r, highlightColor.g, highlightColor.b, 2 * glow};
        Vertex2D rings[12];
        int i = 0;
        for (int n : {6, 4, 2}) {
            rings[i++] = {double(x - n), double(y - n), halo};
            rings[i++] = {double(right + n), double(y - n), halo};
            rings[i++] = {double(right + n), double(top + n), halo};
            rings[i++] = {double(x - n), double(top + n), halo};
        }
        painter.quads(rings, 12);
    }
    const Rgba black{0, 0, 0, 1};
    const Rgba lit{color.r, color.g, color.b, 1};
    const Vertex2D body[4] = {{double(x), double(y), black},
                              {double(right), double(y), black},
                              {double(right), double(top), lit},
                              {double(x), double(top), lit}};
    painter.quads(body, 4);
    // The baseline origin is centred, not the glyphs' box, and is passed
    // unrounded.
    painter.text(text, x + (width - textWidth) * 0.5, y + (height - textHeight) * 0.5,
                 Rgba{1, 1, 1, 1});
}
