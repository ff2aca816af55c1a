#pragma once

#include "editor/TimelineLayout.h"
#include "gui/InterfaceComponent.h"
#include "gui/TextMetrics.h"

#include <optional>
#include <vector>

class SkeletonEditor;

// The timeline: a strip across the window just below the top dock with one
// block per frame of the editor's animation, as wide as the frame lasts
// (wait plus transition, TimelineLayout.h), the wait and the transition
// drawn apart, the frame's number inside when it fits, the current frame
// lit, and while the animation plays a play head where the player is.
// A left press on a block asks the editor for that frame
// (SkeletonEditor::selectFrame), which makes it current exactly as stepping
// there does; every click on the strip is the GUI's, never the 3-D view's.
//
// Hidden at start (F2 shows and hides it): hidden, it draws nothing and
// takes no click. Registered with the interface manager as an overlay, which
// gives it the whole window; the strip is placed inside that. Its geometry
// is worked out in update() (and before a click is handled) and drawing
// only reads it. Reads the editor it is given, which must outlive it.
class TimelineStrip : public InterfaceComponent {
public:
    // The strip's height, its distance from the window's left and right
    // edges, and the gap from the window's top edge to the strip's top: the
    // top dock reaches 30 pixels down.
    static constexpr int32_t HEIGHT = 30;
    static constexpr int32_t SIDE_MARGIN = 10;
    static constexpr int32_t TOP_GAP = 35;
    // No block is narrower, so every frame can be clicked.
    static constexpr double MIN_BLOCK = 12;

    explicit TimelineStrip(SkeletonEditor& editor);

    bool shown() const { return shown_; }
    // Shows the strip (working out its geometry at once) or hides it.
    void setShown(bool shown);
    void toggle() { setShown(!shown_); }

    // The strip's rectangle in overlay pixels; empty (right < left) before
    // the manager's first layout.
    Rect2i strip() const;
    // Every frame's block in overlay pixels as last worked out, scrolled;
    // blocks scrolled out of the strip lie beyond its ends.
    std::vector<TimelineBlock> screenBlocks() const;
    // The frame whose block holds (px, py) inside the strip, or -1.
    int blockAt(int32_t px, int32_t py) const;
    // The play head's x in overlay pixels while the animation plays, else
    // nothing. Outside the strip only when its frame's block is wider than
    // the strip.
    std::optional<double> playHead() const;
    // Content pixels scrolled out at the left.
    double scroll() const { return scroll_; }

    // Takes every click on the shown strip; a left press on a block selects
    // that frame. nullptr while hidden or off the strip.
    InterfaceComponent* handleClick(int32_t button, int32_t clickKind, int32_t px,
                                    int32_t py) override;
    void handleMouseMove(int32_t, int32_t) override {}
    void handleMouseDrag(int32_t, int32_t) override {}
    // The strip as last worked out; nothing while hidden.
    void draw(Painter& painter) const override;
    // Works the geometry out again while shown.
    void update(double seconds) override;

private:
    // Lays the blocks out for the animation and the strip as they are now,
    // finds the current frame and the player, and scrolls the one that
    // matters (the player's frame while playing, else the current one)
    // into view.
    void refresh();
    void measureVisibleLabels();

    SkeletonEditor& editor;
    bool shown_ = false;
    std::vector<FrameSpan> spans;
    double laidOutWidth = -1;
    std::vector<TimelineBlock> blocks;
    double scroll_ = 0;
    int current = -1;
    // Whether the animation loops, as the last refresh found it.
    bool loops = true;
    std::optional<PlayerPlace> place;
    // Size of each frame's number; width -1 until measured.
    std::vector<TextSize> labels;
};
