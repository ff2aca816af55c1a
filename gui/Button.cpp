#include "gui/Button.h"

#include "gui/KeyCodes.h"

#include <utility>

namespace {
// Glow rates per second: rise under the pointer, fade otherwise, and fade
// twice as fast when a released button is still above the hover level.
constexpr double GLOW_RISE = 0.55;
constexpr double GLOW_FADE = 0.15;
constexpr double HOVER_GLOW = 0.1;
constexpr double PRESS_GLOW = 0.2;
// A little above the hover level, so a hovered idle button settles near it
// instead of being pulled down each frame.
constexpr double FLASH_LEVEL = 0.101;
} // namespace

Button::Button(std::string id_, std::string text_)
    : InterfaceComponent(std::move(id_), std::move(text_), KIND_BUTTON, 0, 0, 0, 0) {}

InterfaceComponent* Button::handleClick(int32_t button, int32_t clickKind, int32_t px, int32_t py) {
    if (button != MouseButton::Left)
        return nullptr;
    if (contains(px, py)) {
        if (clickKind == CLICK_PRESS) {
            glow = PRESS_GLOW;
            state = STATE_PRESSED;
            return this;
        }
        if (clickKind == CLICK_RELEASE && state == STATE_PRESSED) {
            state = STATE_IDLE;
            return this;
        }
        return nullptr;
    }
    if (clickKind == CLICK_RELEASE)
        state = STATE_IDLE;
    return nullptr;
}

void Button::handleMouseMove(int32_t px, int32_t py) {
    hovered = contains(px, py);
}

void Button::update(double seconds) {
    if (hovered) {
        if (glow <= HOVER_GLOW)
            glow += GLOW_RISE * seconds;
    } else if (glow > 0) {
        glow -= GLOW_FADE * seconds;
    }
    if (glow > FLASH_LEVEL && state == STATE_IDLE)
        glow -= GLOW_FADE * seconds;
}
