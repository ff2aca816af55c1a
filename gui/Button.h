#pragma once

#include "gui/InterfaceComponent.h"

#include <string>

// The clickable component and the only one whose hits become commands: its
// id is the command. It lights up under the pointer (glow up to about 0.1),
// flashes to 0.2 when pressed and fades back afterwards. A complete left
// click inside it reports two hits, one on the press with `state` pressed and
// one on the release with `state` idle; receivers tell them apart by `state`.
class Button : public InterfaceComponent {
public:
    static constexpr int32_t STATE_PRESSED = 6;
    static constexpr int32_t STATE_IDLE = 11;

    bool hovered = false;
    int32_t state = STATE_IDLE;

    // A button at (0, 0), as big as its label plus 3 pixels each way.
    Button(std::string id, std::string text);

    // Left button only. A press inside presses the button and returns it; a
    // release inside a pressed button makes it idle and returns it; a release
    // outside makes it idle and returns nullptr.
    InterfaceComponent* handleClick(int32_t button, int32_t clickKind, int32_t px,
                                    int32_t py) override;
    // Hover is the inclusive inside test.
    void handleMouseMove(int32_t px, int32_t py) override;
    void handleMouseDrag(int32_t, int32_t) override {}
    // Halo (when glowing), body shading from black up to `color`, white label.
    void draw(Painter& painter) const override;
    // Moves `glow` toward the hover level; see Button.cpp for the rates.
    void update(double seconds) override;
};
