#include "gui/TextField.h"

#include "gui/Painter.h"

void TextField::draw(Painter& painter) const {
    const Rgba shade{0.2, 0.2, 0.2, 0.2};
    const Rgba focusShade{highlightColor.r, highlightColor.g, highlightColor.b, 0.5};
    const Rgba topShade{0.2, 0.2, 0.2, 0.7};
    const Rgba bottom = focused ? focusShade : shade;
    const Vertex2D body[4] = {{double(x), double(y), bottom},
                              {double(right), double(y), bottom},
                              {double(right), double(top), topShade},
                              {double(x), double(top), topShade}};
    painter.quads(body, 4);

    if (lines.size() > 1) {
        const double l = right - SCROLL_SQUARE, r = right, mid = right - 7;
        const double upLow = top - SCROLL_SQUARE, upHigh = top;
        const double downLow = y, downHigh = y + SCROLL_SQUARE;
        const Rgba held{highlightColor.r, highlightColor.g, highlightColor.b, 0.5};
        const Rgba idle{color.r, color.g, color.b, 0.5};
        const Rgba up = scrollUpHeld ? held : idle;
        const Rgba down = scrollDownHeld ? held : idle;
        const Vertex2D squares[8] = {{l, upLow, up},      {r, upLow, up},     {r, upHigh, up},
                                     {l, upHigh, up},     {l, downLow, down}, {r, downLow, down},
                                     {r, downHigh, down}, {l, downHigh, down}};
        painter.quads(squares, 8);
        const Vertex2D chevrons[8] = {
            {l, upLow, held},    {mid, upHigh, held},  {mid, upHigh, held},  {r, upLow, held},
            {l, downHigh, held}, {mid, downLow, held}, {mid, downLow, held}, {r, downHigh, held}};
        painter.lines(chevrons, 8);
    }

    // Bounded by both the line count and visibleLines, so no firstLine left
    // over from a longer text can read past the end.
    const Rgba white{1, 1, 1, 1};
    double baseline = y + height - lineHeight - 2;
    const int32_t count = static_cast<int32_t>(lines.size());
    for (int32_t i = firstLine < 0 ? 0 : firstLine, shown = 0; i < count && shown < visibleLines;
         ++i, ++shown, baseline -= lineHeight)
        painter.text(lines[static_cast<size_t>(i)], x + 5, baseline, white);
}
