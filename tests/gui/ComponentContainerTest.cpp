#include "gui/ComponentContainer.h"
#include "gui/Button.h"
#include "gui/TextField.h"
#include "tests/gui/RecordingPainter.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A button that reports its destruction.
struct Tracked : Button {
    Tracked(bool& gone, const std::string& id = "T") : Button(id, ""), gone(gone) {}
    ~Tracked() override { gone = true; }
    bool& gone;
};

class ContainerTest : public GuiTest {
protected:
    // A 300 x 200 container at (10, 20) with two label-less buttons, which
    // may shrink to 3 x 3.
    std::unique_ptr<ComponentContainer> make(bool vertical, double ratio, bool titleBar = false) {
        auto c = std::make_unique<ComponentContainer>("C", "Window", titleBar);
        c->vertical = vertical;
        c->splitRatio = ratio;
        c->setFirst(new Button("A", ""));
        c->setSecond(new Button("B", ""));
        c->setSize(300, 200);
        c->setPosition(10, 20);
        return c;
    }
    static void expectRect(const InterfaceComponent* c, int32_t x, int32_t y, int32_t w,
                           int32_t h) {
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->x, x);
        EXPECT_EQ(c->y, y);
        EXPECT_EQ(c->width, w);
        EXPECT_EQ(c->height, h);
        EXPECT_EQ(c->right, x + w);
        EXPECT_EQ(c->top, y + h);
    }
};

TEST_F(ContainerTest, StartsUnsizedSideBySideAndVisible) {
    ComponentContainer c("C", "Window", true);
    EXPECT_EQ(c.kind, KIND_CONTAINER);
    EXPECT_FALSE(c.vertical);
    EXPECT_DOUBLE_EQ(c.splitRatio, 0.5);
    EXPECT_TRUE(c.titleBar);
    EXPECT_TRUE(c.visible);
    EXPECT_FALSE(c.sized);
    EXPECT_FALSE(c.setFirst(nullptr));
    EXPECT_EQ(c.getFirst(), nullptr);
}

TEST_F(ContainerTest, SplitsSideBySideAndStacked) {
    auto side = make(false, 0.5);
    expectRect(side->getFirst(), 11, 21, 148, 198);
    expectRect(side->getSecond(), 161, 21, 148, 198);

    auto stacked = make(true, 0.5);
    expectRect(stacked->getFirst(), 11, 121, 298, 98);
    expectRect(stacked->getSecond(), 11, 21, 298, 98);

    auto quarter = make(false, 0.25);
    expectRect(quarter->getFirst(), 11, 21, 73, 198);
    expectRect(quarter->getSecond(), 86, 21, 223, 198);

    // 0.29 x 200 is just below 58: truncation, not rounding.
    auto odd = make(true, 0.29);
    expectRect(odd->getFirst(), 11, 163, 298, 55);
    expectRect(odd->getSecond(), 11, 21, 298, 140);
}

TEST_F(ContainerTest, MissingChildrenTurnTheRatio) {
    ComponentContainer one("C", "", false);
    one.setFirst(new Button("A", ""));
    one.setSize(300, 200);
    EXPECT_DOUBLE_EQ(one.splitRatio, 1);
    expectRect(one.getFirst(), 1, 1, 298, 198);

    ComponentContainer none("C", "", false);
    none.setSize(300, 200);
    EXPECT_DOUBLE_EQ(none.splitRatio, 1);
}

TEST_F(ContainerTest, UnsizedContainerDoesNotMoveItsChildren) {
    ComponentContainer c("C", "", false);
    c.setFirst(new Button("A", "label"));
    c.setPosition(100, 100);
    EXPECT_EQ(c.getFirst()->x, 0);
    EXPECT_EQ(c.getFirst()->y, 0);
}

TEST_F(ContainerTest, ButtonsKeepTheirMinimumSize) {
    ComponentContainer c("C", "", false);
    c.setFirst(new Button("A", "a long label"));
    c.setSize(50, 10);
    EXPECT_EQ(c.getFirst()->width, 123);
    EXPECT_EQ(c.getFirst()->height, 15);
}

TEST_F(ContainerTest, NestedHitTesting) {
    auto outer = make(false, 0.5);
    auto* inner = new ComponentContainer("INNER", "", true);
    inner->vertical = true;
    inner->setFirst(new Button("DEEP", "x"));
    outer->setSecond(inner); // replaces B, lays out the inner container
    EXPECT_FALSE(inner->titleBar);
    InterfaceComponent* deep = outer->findById("DEEP");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(outer->handleClick(0, CLICK_PRESS, deep->x + 1, deep->y + 1), deep);
    // The inner container's own area, outside the button.
    EXPECT_EQ(outer->handleClick(0, CLICK_PRESS, inner->x, inner->y), inner);
    EXPECT_EQ(outer->handleClick(1, CLICK_PRESS, 10, 20), outer.get()); // a bare edge
    EXPECT_EQ(outer->handleClick(0, CLICK_PRESS, 9, 20), nullptr);
    // Both children see a release, whichever is hit.
    auto* a = static_cast<Button*>(outer->getFirst());
    outer->handleClick(0, CLICK_PRESS, a->x + 1, a->y + 1);
    EXPECT_EQ(outer->handleClick(0, CLICK_RELEASE, deep->x + 1, deep->y + 1), deep);
    EXPECT_EQ(a->state, Button::STATE_IDLE);
}

TEST_F(ContainerTest, FindByIdSearchesItselfThenFirstThenSecond) {
    auto c = make(false, 0.5);
    auto* inner = new ComponentContainer("B", "", false);
    inner->setFirst(new Button("A", ""));
    c->setSecond(inner);
    EXPECT_EQ(c->findById("C"), c.get());
    EXPECT_EQ(c->findById("A"), c->getFirst());
    EXPECT_EQ(c->findById("B"), inner);
    EXPECT_EQ(c->findById("Z"), nullptr);
    EXPECT_EQ(c->findById("A "), nullptr);
}

TEST_F(ContainerTest, TitleBarDragMovesWindowAndChildren) {
    auto w = make(false, 0.5, true); // bar from y 220 to 237
    InterfaceComponent* a = w->getFirst();
    InterfaceComponent* b = w->getSecond();
    EXPECT_EQ(w->handleClick(0, CLICK_PRESS, 10, 230), nullptr); // bar test is strict
    EXPECT_EQ(w->handleClick(0, CLICK_PRESS, 50, 220), w.get()); // body's top edge
    EXPECT_FALSE(w->dragging);
    EXPECT_EQ(w->handleClick(0, CLICK_PRESS, 50, 230), w.get());
    EXPECT_TRUE(w->dragging);
    w->handleMouseDrag(60, 230);
    w->handleMouseDrag(60, 225);
    expectRect(w.get(), 20, 15, 300, 200);
    expectRect(a, 21, 16, 148, 198);
    expectRect(b, 171, 16, 148, 198);
    w->handleClick(0, CLICK_RELEASE, 60, 225);
    EXPECT_FALSE(w->dragging);
    w->handleMouseDrag(100, 100);
    EXPECT_EQ(w->x, 20);

    // A child container has no bar and never drags.
    auto* inner = new ComponentContainer("IN", "", true);
    w->setSecond(inner);
    EXPECT_EQ(inner->handleClick(0, CLICK_PRESS, inner->x + 5, inner->top + 5), nullptr);
}

TEST_F(ContainerTest, CoversItsBodyAndItsBar) {
    auto w = make(false, 0.5, true); // body 10..310 x 20..220, bar to 237
    EXPECT_TRUE(w->covers(10, 20));
    EXPECT_TRUE(w->covers(310, 220));
    EXPECT_TRUE(w->covers(50, 236));
    EXPECT_FALSE(w->covers(10, 230)); // the bar's test is strict
    EXPECT_FALSE(w->covers(50, 237));
    EXPECT_FALSE(w->covers(311, 100));
    w->titleBar = false;
    EXPECT_FALSE(w->covers(50, 230));
    w->visible = false;
    EXPECT_FALSE(w->covers(50, 50));
    // Already in view: nothing moves.
    w->visible = true;
    EXPECT_FALSE(w->keepTitleBarInside(800, 600));
    EXPECT_TRUE(w->keepTitleBarInside(800, 230));
    expectRect(w.get(), 10, 13, 300, 200);
    expectRect(w->getSecond(), 161, 14, 148, 198);
}

TEST_F(ContainerTest, HiddenContainerTakesNothingAndDrawsNothing) {
    auto w = make(false, 0.5, true);
    w->visible = false;
    EXPECT_EQ(w->handleClick(0, CLICK_PRESS, 50, 50), nullptr);
    EXPECT_EQ(w->handleClick(0, CLICK_PRESS, 50, 230), nullptr);
    EXPECT_FALSE(w->dragging);
    w->handleMouseMove(50, 50);
    EXPECT_FALSE(static_cast<Button*>(w->getFirst())->hovered);
    w->dragging = true;
    w->handleMouseDrag(500, 500);
    EXPECT_EQ(w->x, 10);
    RecordingPainter p;
    w->draw(p);
    EXPECT_TRUE(p.calls.empty());
}

TEST_F(ContainerTest, OwnsItsChildren) {
    bool firstGone = false, secondGone = false, replacementGone = false;
    {
        auto c = std::make_unique<ComponentContainer>("C", "", false);
        auto* keep = new Tracked(firstGone, "F");
        c->setFirst(keep);
        c->setSecond(new Tracked(secondGone));
        c->setSecond(new Tracked(replacementGone));
        EXPECT_TRUE(secondGone);
        EXPECT_FALSE(firstGone);
        // Giving the same child again keeps it; the sibling or the
        // container itself would end up with two owners.
        EXPECT_TRUE(c->setFirst(keep));
        EXPECT_FALSE(firstGone);
        EXPECT_FALSE(c->setSecond(keep));
        EXPECT_FALSE(c->setFirst(c.get()));
        std::unique_ptr<InterfaceComponent> asBase(c.release());
    }
    EXPECT_TRUE(firstGone);
    EXPECT_TRUE(replacementGone);
}

TEST_F(ContainerTest, ColoursReachTheWholeTree) {
    auto c = make(false, 0.5);
    auto* inner = new ComponentContainer("IN", "", false);
    inner->setFirst(new TextField("F", "", false));
    c->setSecond(inner);
    c->setColor(0.1, 0.2, 0.3);
    c->setHighlightColor(0.4, 0.5, 0.6);
    EXPECT_DOUBLE_EQ(inner->getFirst()->color.b, 0.3);
    EXPECT_DOUBLE_EQ(inner->getFirst()->highlightColor.r, 0.4);
    EXPECT_DOUBLE_EQ(c->getFirst()->color.g, 0.2);
    // A child added later takes the container's colours.
    c->setFirst(new Button("N", ""));
    EXPECT_DOUBLE_EQ(c->getFirst()->highlightColor.b, 0.6);
}

TEST_F(ContainerTest, DrawsTitleBarThenChildren) {
    auto w = make(false, 0.5, true);
    w->setHighlightColor(0.2, 0.7, 1.0);
    RecordingPainter p;
    w->draw(p);
    ASSERT_GE(p.calls.size(), 4u);
    const auto& outline = p.calls[0];
    ASSERT_EQ(outline.kind, RecordingPainter::LineStrip);
    ASSERT_EQ(outline.vertices.size(), 8u);
    const double corners[8][2] = {{10, 20},  {310, 20},  {310, 220}, {10, 220},
                                  {10, 237}, {310, 237}, {310, 220}, {10, 220}};
    for (int i = 0; i < 8; ++i)
        expectCorner(outline.vertices[i], corners[i][0], corners[i][1]);
    EXPECT_DOUBLE_EQ(outline.vertices[3].color.r, 0.4);
    EXPECT_DOUBLE_EQ(outline.vertices[4].color.r, 0.7);
    const auto& body = p.calls[1].vertices;
    expectCorner(body[0], 10, 20);
    expectCorner(body[2], 310, 220);
    EXPECT_EQ(body[2].color.r, 0);
    const auto& bar = p.calls[2].vertices;
    expectCorner(bar[0], 10, 220);
    expectCorner(bar[2], 310, 237);
    EXPECT_EQ(bar[0].color.b, 0);
    EXPECT_DOUBLE_EQ(bar[2].color.g, 0.7);
    EXPECT_EQ(p.calls[3].text, "Window");
    EXPECT_DOUBLE_EQ(p.calls[3].x, 15);
    EXPECT_DOUBLE_EQ(p.calls[3].y, 225);
    EXPECT_DOUBLE_EQ(p.calls[3].color.g, 0.7);
    // Each child button then draws its body and label.
    EXPECT_EQ(p.calls.size(), 8u);

    w->titleBar = false;
    RecordingPainter bare;
    w->draw(bare);
    EXPECT_EQ(bare.calls.size(), 4u); // children only
}

} // namespace
