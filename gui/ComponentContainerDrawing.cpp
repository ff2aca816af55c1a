#include "gui/ComponentContainer.h"

#include "gui/Painter.h"

void ComponentContainer::draw(Painter& painter) const {
    if (!visible)
        return;
    if (titleBar) {
        const double l = x, r = right, b = y, t = top, bar = top + TITLE_BAR_HEIGHT;
        const Rgba body{0.4, 0.4, 0.4, 1};
        const Rgba frame{0.7, 0.7, 0.7, 1};
        // The body's outline, then the bar's, in one connected strip.
        const Vertex2D outline[8] = {{l, b, body},  {r, b, body},    {r, t, body},
                                     {l, t, body},  {l, bar, frame}, {r, bar, frame},
                                     {r, t, frame}, {l, t, frame}};
        painter.lineStrip(outline, 8);
        const Rgba black{0, 0, 0, 1};
        const Vertex2D background[4] = {{l, b, black}, {r, b, black}, {r, t, black}, {l, t, black}};
        painter.quads(background, 4);
        const Rgba lit{highlightColor.r, highlightColor.g, highlightColor.b, 1};
        const Vertex2D barQuad[4] = {{l, t, black}, {r, t, black}, {r, bar, lit}, {l, bar, lit}};
        painter.quads(barQuad, 4);
        painter.text(text, x + 5, top + 5, lit);
    }
    if (first)
        first->draw(painter);
    if (second)
        second->draw(painter);
}
