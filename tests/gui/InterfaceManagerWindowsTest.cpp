// Floating windows on the manager: which window a click belongs to where
// windows overlap, raising on press, the end of a title-bar drag, and title
// bars kept in view.
#include "tests/gui/ManagerFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> order(const InterfaceManager& m) {
    std::vector<std::string> ids;
    for (const ComponentContainer* w : m.windows)
        ids.push_back(w->id);
    return ids;
}

using Ids = std::vector<std::string>;

Button* buttonOf(ComponentContainer* w) {
    return static_cast<Button*>(w->getFirst());
}
TextField* fieldOf(ComponentContainer* w) {
    return static_cast<TextField*>(w->getSecond());
}

// Two windows on the same spot: B, registered later, is drawn on top and
// takes every click there; raising A turns that round.
TEST_F(ManagerTest, OverlappingWindowsGiveTheClickToTheTopmost) {
    ComponentContainer* a = window("A", 100, 100);
    window("B", 100, 100);
    const Point2i go = centre(buttonOf(a));
    click(go.x, go.y);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].id, "B_BUTTON");
    EXPECT_EQ(hits[1].id, "B_BUTTON");
    // The press never reached the button beneath.
    EXPECT_EQ(buttonOf(a)->glow, 0);

    ASSERT_TRUE(manager.raiseWindow(a));
    hits.clear();
    click(go.x, go.y);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].id, "A_BUTTON");
    EXPECT_EQ(hits[1].id, "A_BUTTON");

    // Focus goes to the field on top.
    const Point2i f = centre(fieldOf(a));
    manager.handleClick(0, CLICK_PRESS, f.x, f.y);
    EXPECT_EQ(manager.focusedField, fieldOf(a));

    // Hidden, the top window lets the click through to the one beneath.
    a->visible = false;
    hits.clear();
    click(go.x, go.y);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].id, "B_BUTTON");
}

// B's title bar lies over A's body: the bar is B's, whatever A holds there.
TEST_F(ManagerTest, ATitleBarOverAnotherWindowBelongsToItsWindow) {
    ComponentContainer* a = window("A", 100, 100);
    ComponentContainer* b = window("B", 100, 50); // bar from y 250 to 267
    const Point2i bar{200, 258};
    ASSERT_TRUE(buttonOf(a)->contains(bar.x, bar.y));
    EXPECT_TRUE(manager.handleClick(0, CLICK_PRESS, bar.x, bar.y));
    EXPECT_TRUE(b->dragging);
    EXPECT_EQ(buttonOf(a)->state, Button::STATE_IDLE);
    EXPECT_TRUE(hits.empty());
    // The release on the bar is not taken, as on a bar over empty space.
    EXPECT_FALSE(manager.handleClick(0, CLICK_RELEASE, bar.x, bar.y));
    EXPECT_FALSE(b->dragging);
    // Nor is a right press there: it turns the camera, not A's button.
    EXPECT_FALSE(manager.handleClick(1, CLICK_PRESS, bar.x, bar.y));
    EXPECT_TRUE(hits.empty());
}

// A window beneath hears releases, so a button pressed there before another
// window was raised over it goes idle; its answer is not a command.
TEST_F(ManagerTest, ReleasesReachWindowsBeneath) {
    ComponentContainer* a = window("A", 100, 100);
    ComponentContainer* b = window("B", 100, 100);
    const Point2i go = centre(buttonOf(b));
    manager.handleClick(0, CLICK_PRESS, go.x, go.y);
    ASSERT_EQ(buttonOf(b)->state, Button::STATE_PRESSED);
    manager.raiseWindow(a); // say, a dialog shown by the press
    EXPECT_TRUE(manager.handleClick(0, CLICK_RELEASE, go.x, go.y));
    EXPECT_EQ(buttonOf(b)->state, Button::STATE_IDLE);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].state, Button::STATE_PRESSED);

    // A held scroll square beneath lets go too.
    TextField* field = fieldOf(b);
    manager.raiseWindow(b);
    manager.handleClick(0, CLICK_PRESS, field->right - 5, field->top - 5);
    ASSERT_TRUE(field->scrollUpHeld);
    manager.raiseWindow(a);
    manager.handleClick(0, CLICK_RELEASE, field->right - 5, field->top - 5);
    EXPECT_FALSE(field->scrollUpHeld);
}

TEST_F(ManagerTest, APressRaisesTheWindowItLandsOn) {
    window("A", 0, 0);
    window("B", 310, 0);
    ComponentContainer* c = window("C", 0, 250);
    EXPECT_EQ(order(manager), (Ids{"A", "B", "C"}));
    // Releases, presses on nothing and an open menu change nothing.
    manager.handleClick(0, CLICK_RELEASE, 50, 50);
    manager.handleClick(0, CLICK_PRESS, 700, 500);
    manager.showMenu();
    manager.handleClick(0, CLICK_PRESS, 50, 50);
    manager.menuShown = false;
    EXPECT_EQ(order(manager), (Ids{"A", "B", "C"}));

    manager.handleClick(0, CLICK_PRESS, 50, 50); // A's button
    EXPECT_EQ(order(manager), (Ids{"B", "C", "A"}));
    manager.handleClick(0, CLICK_PRESS, 400, 210); // B's title bar
    EXPECT_EQ(order(manager), (Ids{"C", "A", "B"}));
    manager.handleClick(2, CLICK_PRESS, 0, 0); // A's corner, middle button
    EXPECT_EQ(order(manager), (Ids{"C", "B", "A"}));

    // The last window in the list is drawn last.
    RecordingPainter painter;
    manager.draw(painter);
    const auto outlines = painter.of(RecordingPainter::LineStrip);
    ASSERT_FALSE(outlines.empty());
    expectCorner(outlines.back()->vertices[0], 0, 0);

    EXPECT_TRUE(manager.raiseWindow(c));
    EXPECT_TRUE(manager.raiseWindow(c)); // already on top
    EXPECT_EQ(order(manager), (Ids{"B", "A", "C"}));
    ComponentContainer stray("STRAY", "", true);
    EXPECT_FALSE(manager.raiseWindow(&stray));
    EXPECT_FALSE(manager.raiseWindow(nullptr));
    EXPECT_EQ(order(manager), (Ids{"B", "A", "C"}));
}

// A drag let go where it does not reach the dragged window (beneath another
// one, off every window, or after the window was hidden) still ends, so a
// later drag moves only what it grabs.
TEST_F(ManagerTest, ALeftReleaseAnywhereEndsTheDrag) {
    ComponentContainer* a = window("A", 0, 0);
    ComponentContainer* b = window("B", 400, 300); // bar from y 500 to 517
    // Drag B by its bar down onto A's body and let go there.
    manager.handleClick(0, CLICK_PRESS, 450, 510);
    manager.handleMouseDrag(150, 150);
    ASSERT_EQ(b->x, 100);
    manager.raiseWindow(a); // A over the bar: the release is A's
    EXPECT_TRUE(manager.handleClick(0, CLICK_RELEASE, 150, 150));
    EXPECT_FALSE(b->dragging);

    // Off every window; a right release alone keeps the drag.
    manager.handleClick(0, CLICK_PRESS, 150, 210); // A's bar
    manager.handleClick(1, CLICK_RELEASE, 790, 590);
    EXPECT_TRUE(a->dragging);
    EXPECT_FALSE(manager.handleClick(0, CLICK_RELEASE, 790, 590));
    EXPECT_FALSE(a->dragging);

    // Hidden while dragged.
    manager.handleClick(0, CLICK_PRESS, 150, 210);
    a->visible = false;
    manager.handleClick(0, CLICK_RELEASE, 150, 210);
    a->visible = true;
    EXPECT_FALSE(a->dragging);

    // Now drag B alone, by the part of its bar clear of A: A stays.
    manager.handleClick(0, CLICK_PRESS, 350, b->top + 8);
    manager.handleMouseDrag(360, b->top + 8);
    manager.handleClick(0, CLICK_RELEASE, 360, b->top + 8);
    EXPECT_EQ(b->x, 110);
    EXPECT_EQ(a->x, 0);
    EXPECT_EQ(a->y, 0);
}

// A 300 x 200 window dragged past each edge of the 800 x 600 window stops
// with 40 pixels of its bar, or all of the bar's height, still inside.
TEST_F(ManagerTest, ADragKeepsTheTitleBarInView) {
    ComponentContainer* w = window("W", 100, 100); // bar from y 300 to 317
    InterfaceComponent* go = w->getFirst();
    manager.handleClick(0, CLICK_PRESS, 150, 310);
    manager.handleMouseDrag(-600, 310);
    EXPECT_EQ(w->x, 40 - 300);
    EXPECT_EQ(go->x, w->x + 1);
    EXPECT_EQ(w->right, 40);
    // The grab point slides: going back moves the window at once.
    manager.handleMouseDrag(-590, 310);
    EXPECT_EQ(w->x, 40 - 300 + 10);

    manager.handleMouseDrag(2000, 310);
    EXPECT_EQ(w->x, 800 - 40);
    manager.handleMouseDrag(2000, 5000);
    EXPECT_EQ(w->y, 600 - 17 - 200);
    EXPECT_EQ(w->top + ComponentContainer::TITLE_BAR_HEIGHT, 600);
    manager.handleMouseDrag(2000, -5000);
    EXPECT_EQ(w->y, -200);
    EXPECT_EQ(w->top, 0);
    EXPECT_EQ(go->y, w->y + 1);
    EXPECT_EQ(go->top, w->top - 1);
    manager.handleClick(0, CLICK_RELEASE, 2000, -5000);

    // Drags use the window size of the moment, as a resize leaves it.
    state.windowWidth = 500;
    manager.handleMouseDrag(0, 0); // any drag, the camera's say
    EXPECT_EQ(w->x, 500 - 40);
}

// A layout puts every window the user never dragged wholly inside when the
// window can hold it, moved only as far as needed (hidden ones too), and
// back at its own place once the window grows again; a window the user
// dragged, or one too big for the window, only keeps its title bar in view.
TEST_F(ManagerTest, LayoutKeepsWindowsInsideAndPutsThemBack) {
    struct Row {
        const char* id;
        int32_t x, y, w, h;
        bool dragged;
        int32_t x640, y480; // after layout(640, 480)
    };
    const Row rows[] = {
        {"WIDE", 650, 30, 340, 110, false, 640 - 340, 30},
        {"DIALOG", 470, 340, 280, 60, false, 640 - 280, 340},
        {"HIGH", 700, 500, 300, 200, false, 640 - 300, 480 - 17 - 200},
        {"FITS", 10, 10, 300, 200, false, 10, 10},
        {"OUTSIDE", -30, -400, 20, 20, false, 0, 0},
        {"DRAGGED", 650, 30, 340, 110, true, 640 - 40, 30},
    };
    std::vector<ComponentContainer*> windows;
    for (const Row& row : rows) {
        ComponentContainer* w = window(row.id, row.x, row.y);
        w->setSize(row.w, row.h);
        w->movedByUser = row.dragged;
        windows.push_back(w);
    }
    windows[2]->visible = false;
    manager.layout(640, 480);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        EXPECT_EQ(windows[i]->x, rows[i].x640) << rows[i].id;
        EXPECT_EQ(windows[i]->y, rows[i].y480) << rows[i].id;
        EXPECT_EQ(windows[i]->getFirst()->x, windows[i]->x + 1) << "children move along";
    }
    // Smaller still, then large again: back home, the dragged one stays.
    manager.layout(300, 200);
    manager.layout(1024, 768);
    for (std::size_t i = 0; i < windows.size() - 2; ++i) {
        EXPECT_EQ(windows[i]->x, rows[i].x) << rows[i].id;
        EXPECT_EQ(windows[i]->y, rows[i].y) << rows[i].id;
    }
    EXPECT_EQ(windows.back()->x, 300 - 40);
    // Too small for a whole window: the title bar's rule, the left and
    // bottom bounds winning.
    manager.layout(10, 10);
    EXPECT_EQ(windows[0]->x, 10 - 40);
    EXPECT_EQ(windows[0]->top, 0);
}

// Only one field ever looks focused: a press the field beneath never sees
// still takes the look from it, and focus() hands both the focus and the
// look over.
TEST_F(ManagerTest, TheLookOfFocusFollowsTheFocus) {
    ComponentContainer* a = window("A", 100, 100);
    ComponentContainer* b = window("B", 300, 100); // overlaps A's right half
    const Point2i aField = centre(fieldOf(a));
    // A's field peeks out left of B: raise A, focus its field.
    click(aField.x - 60, aField.y);
    ASSERT_EQ(manager.focusedField, fieldOf(a));
    ASSERT_TRUE(fieldOf(a)->focused);
    manager.raiseWindow(b); // B covers A's field again
    click(aField.x, aField.y);
    EXPECT_EQ(manager.focusedField, nullptr) << "B's button took the press";
    EXPECT_FALSE(fieldOf(a)->focused) << "the press went to B, not to A's field";

    manager.focus(fieldOf(a));
    EXPECT_EQ(manager.focusedField, fieldOf(a));
    EXPECT_TRUE(fieldOf(a)->focused);
    manager.focus(fieldOf(b));
    EXPECT_FALSE(fieldOf(a)->focused);
    EXPECT_TRUE(fieldOf(b)->focused);
    manager.focus(nullptr);
    EXPECT_FALSE(fieldOf(b)->focused);
    EXPECT_EQ(manager.focusedField, nullptr);
}

} // namespace
