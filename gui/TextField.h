#pragma once

#include "gui/InterfaceComponent.h"

#include <deque>
#include <string>

// A box that shows a longer text word-wrapped into display lines, with two
// 15 x 15 scroll squares at its right edge. `text` is the authoritative
// contents; `lines` is rebuilt from it by pack() and always holds at least
// one (possibly empty) line. An editable field takes the keyboard focus on a
// left press and then receives typed characters from the manager, filtered
// by `inputFilter`.
class TextField : public InterfaceComponent {
public:
    static constexpr int32_t FILTER_ANY = 17;
    static constexpr int32_t FILTER_DIGITS = 27;
    static constexpr int32_t FILTER_LETTERS = 37;
    // Side of the scroll squares, and the slack pack() and typing leave at
    // the right edge for them.
    static constexpr int32_t SCROLL_SQUARE = 15;

    std::deque<std::string> lines;
    // Index of the topmost shown line.
    int32_t firstLine = 0;
    // Height of "A" in the small font plus 5.
    int32_t lineHeight = 0;
    // Lines that fit in the box, at least 1.
    int32_t visibleLines = 1;
    bool scrollUpHeld = false;
    bool scrollDownHeld = false;
    // Seconds since the last scroll step; starts high so that a newly held
    // square steps at once.
    double repeatTimer = 100;
    bool focused = false;
    bool editable = false;
    int32_t inputFilter = FILTER_ANY;
    // Characters typing may bring the text to; 0 for no limit. Text set by
    // the program is not held to it.
    std::size_t maxLength = 0;

    // A 400 x 200 field at (0, 0). The first wrap runs at the text's own
    // width; the lines fit the box after the next pack (any later
    // setPosition, setSize or setText).
    TextField(std::string id, std::string text, bool editable);

    // Re-wraps `text` into `lines` at `width` - 20 pixels and recomputes
    // lineHeight and visibleLines. Words wider than that are never split.
    void pack() override;
    // Replaces the text and re-wraps; textWidth and textHeight stay as they
    // were, since a field is never sized by its text.
    void setText(const std::string& newText) override;

    // Left button only. A press on a scroll square holds it; a press inside
    // an editable field focuses it and returns it; a press outside clears
    // the focus. A release lets go of both squares. Everything else returns
    // nullptr.
    InterfaceComponent* handleClick(int32_t button, int32_t clickKind, int32_t px,
                                    int32_t py) override;
    void handleMouseMove(int32_t, int32_t) override {}
    void handleMouseDrag(int32_t, int32_t) override {}
    // Shaded body, the scroll squares when there is more than one line, and
    // the visible lines in white.
    void draw(Painter& painter) const override;
    // Steps a held square one line at once and then every 0.1 seconds.
    void update(double seconds) override;

    // Appends a typed character unless the filter refuses it or the text is
    // at maxLength (silently), re-wrapping when the last line grows too
    // wide; then scrolls to the end.
    void appendChar(char c);
    // Removes the last character; does nothing on an empty field.
    void deleteLastChar();
    // Shows the last visibleLines lines.
    void scrollToEnd();
    // Scrolls one line down; returns false when the last line is already shown.
    bool scrollDown();
    // Whether the input filter lets `c` be typed into the field.
    bool accepts(char c) const;

private:
    void pushWrapped(std::string& line, std::string& word);
};
