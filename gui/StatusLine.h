#pragma once

#include "gui/InterfaceComponent.h"

#include <string>

// One line of text at the bottom centre of the window, below every panel,
// that answers what the user just did ("Undo: turn bone", "Saved walk") for
// about two seconds and then fades away. It never takes a click and draws
// nothing while it has no message, so it adds nothing to a screen nobody
// acted on. Registered with the interface manager as an overlay, which
// gives it the window's size; its `text` is the message.
class StatusLine : public InterfaceComponent {
public:
    // Seconds a message stays, the last FADE_SECONDS of them fading.
    static constexpr double SHOW_SECONDS = 2.0;
    static constexpr double FADE_SECONDS = 0.4;
    // A notice about the start (work waiting from the last run, a file named
    // on the command line that could not be opened) is read once the window
    // is there: it stays longer than an answer to a click.
    static constexpr double NOTICE_SECONDS = 8;
    // Height above the window's bottom edge of the text's baseline; the
    // lowest panel starts 30 pixels up, the frame-rate readout sits at 10
    // on the left.
    static constexpr double BASELINE = 10;

    StatusLine();

    // Shows `message` from now on for `seconds`, replacing any other.
    void show(const std::string& message, double seconds = SHOW_SECONDS);
    // A message that stays ("" for none): shown now, and again whenever the
    // messages said after it have gone, until it is replaced.
    void setStanding(const std::string& message);
    const std::string& standing() const { return standing_; }
    // The message on screen, or "" when none is.
    std::string message() const { return remaining > 0 ? text : std::string(); }

    // Never takes a click.
    InterfaceComponent* handleClick(int32_t, int32_t, int32_t, int32_t) override { return nullptr; }
    void handleMouseMove(int32_t, int32_t) override {}
    void handleMouseDrag(int32_t, int32_t) override {}
    // A dark box behind white text, centred across the component's width.
    void draw(Painter& painter) const override;
    // Counts the message's time down.
    void update(double seconds) override;

private:
    double remaining = 0;
    std::string standing_;
    bool showingStanding = false;
};
