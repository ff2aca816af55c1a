#include "gui/StatusLine.h"

#include "gui/Painter.h"

#include <algorithm>

StatusLine::StatusLine() : InterfaceComponent("STATUS_LINE", "", 0, 0, 0, 0, 0) {}

void StatusLine::show(const std::string& message, double seconds) {
    setText(message);
    remaining = message.empty() ? 0 : seconds;
}

void StatusLine::update(double seconds) {
    remaining = std::max(0.0, remaining - seconds);
}

void StatusLine::draw(Painter& painter) const {
    if (remaining <= 0 || text.empty())
        return;
    const double fade = std::min(1.0, remaining / FADE_SECONDS);
    const double left = x + (width - textWidth) * 0.5;
    const double pad = 8;
    const double bottom = y + BASELINE - 6, top = y + BASELINE + textHeight + 4;
    const Rgba shade{0, 0, 0, 0.6 * fade};
    const Vertex2D box[4] = {{left - pad, bottom, shade},
                             {left + textWidth + pad, bottom, shade},
                             {left + textWidth + pad, top, shade},
                             {left - pad, top, shade}};
    painter.quads(box, 4);
    painter.text(text, left, y + BASELINE, Rgba{1, 1, 1, fade});
}
