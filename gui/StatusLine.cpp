#include "gui/StatusLine.h"

#include "gui/Painter.h"

#include <algorithm>
#include <limits>

StatusLine::StatusLine() : InterfaceComponent("STATUS_LINE", "", 0, 0, 0, 0, 0) {}

void StatusLine::show(const std::string& message, double seconds) {
    setText(message);
    remaining = message.empty() ? 0 : seconds;
    showingStanding = false;
    if (remaining <= 0)
        setStanding(standing_);
}

void StatusLine::setStanding(const std::string& message) {
    // A new standing message is news; taking one back leaves what else is
    // said.
    const bool news = !message.empty() && message != standing_;
    standing_ = message;
    if (news || showingStanding || remaining <= 0) {
        setText(message);
        remaining = message.empty() ? 0 : std::numeric_limits<double>::infinity();
        showingStanding = !message.empty();
    }
}

void StatusLine::update(double seconds) {
    remaining = std::max(0.0, remaining - seconds);
    if (remaining <= 0 && !standing_.empty())
        setStanding(standing_);
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
