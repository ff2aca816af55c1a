// The status line and the manager's overlays: a message shows for about two
// seconds at the bottom centre, below every panel, and never takes a click;
// overlays draw over the windows and see clicks first, only with the menu
// closed.
#include "gui/StatusLine.h"
#include "tests/gui/ManagerFixture.h"

namespace {

using StatusLineTest = ManagerTest;

// An overlay that takes every left press, to see the routing.
struct Catcher : InterfaceComponent {
    int presses = 0;
    Catcher() : InterfaceComponent("CATCHER", "", 0, 0, 0, 0, 0) {}
    InterfaceComponent* handleClick(int32_t button, int32_t kind, int32_t, int32_t) override {
        if (button != 0 || kind != CLICK_PRESS)
            return nullptr;
        ++presses;
        return this;
    }
    void handleMouseMove(int32_t, int32_t) override {}
    void handleMouseDrag(int32_t, int32_t) override {}
    void draw(Painter& painter) const override { painter.text("catcher", 0, 0, Rgba{}); }
    void update(double) override {}
};

TEST_F(StatusLineTest, AMessageShowsForTwoSecondsThenNothingIsDrawn) {
    auto* status = own<StatusLine>();
    ASSERT_TRUE(manager.addUnderlay(status));
    EXPECT_FALSE(manager.addUnderlay(status)) << "its id is taken now";
    manager.update(0);
    EXPECT_EQ(status->width, 800);

    RecordingPainter idle;
    status->draw(idle);
    EXPECT_TRUE(idle.calls.empty()) << "no message, no pixel";

    status->show("Undo: turn bone");
    manager.update(1.5);
    EXPECT_EQ(status->message(), "Undo: turn bone");
    RecordingPainter painter;
    status->draw(painter);
    ASSERT_EQ(painter.of(RecordingPainter::Text).size(), 1u);
    const auto& text = *painter.of(RecordingPainter::Text)[0];
    EXPECT_EQ(text.text, "Undo: turn bone");
    // Centred across the window, on a baseline below the lowest panel.
    EXPECT_DOUBLE_EQ(text.x + status->textWidth / 2.0, 400);
    EXPECT_DOUBLE_EQ(text.y, StatusLine::BASELINE);
    const auto& box = *painter.of(RecordingPainter::Quads)[0];
    for (const Vertex2D& v : box.vertices)
        EXPECT_LT(v.y, 30) << "stays below every panel";
    manager.update(0.6);
    EXPECT_EQ(status->message(), "");

    // A click at the message reaches what lies under it, and a panel
    // dragged down to the bottom edge is drawn over the message.
    status->show("Saved walk");
    EXPECT_EQ(status->handleClick(0, CLICK_PRESS, 400, 12), nullptr);
    window("W", 300, 5);
    RecordingPainter order;
    manager.draw(order);
    size_t message = 0, panel = 0;
    for (size_t i = 0; i < order.calls.size(); ++i) {
        if (order.calls[i].text == "Saved walk")
            message = i;
        if (order.calls[i].text == "Panel")
            panel = i;
    }
    EXPECT_LT(message, panel);
}

TEST_F(StatusLineTest, OverlaysDrawOverWindowsAndSeeClicksFirst) {
    ComponentContainer* w = window("W", 100, 100);
    auto* catcher = own<Catcher>();
    ASSERT_TRUE(manager.addOverlay(catcher));
    manager.update(0);
    RecordingPainter painter;
    manager.draw(painter);
    ASSERT_FALSE(painter.calls.empty());
    EXPECT_EQ(painter.calls.back().text, "catcher");

    const Point2i button = centre(w->getFirst());
    EXPECT_TRUE(manager.handleClick(0, CLICK_PRESS, button.x, button.y));
    EXPECT_EQ(catcher->presses, 1);
    EXPECT_TRUE(hits.empty()) << "the window under the overlay did not get the press";
    // The release it does not take goes on to the window.
    manager.handleClick(0, CLICK_RELEASE, button.x, button.y);

    // With the menu open the overlays neither draw nor take clicks.
    manager.handleKey(256, false);
    ASSERT_TRUE(manager.menuShown);
    RecordingPainter menu;
    manager.draw(menu);
    for (const auto& call : menu.calls)
        EXPECT_NE(call.text, "catcher");
    manager.handleClick(0, CLICK_PRESS, 5, 5);
    EXPECT_EQ(catcher->presses, 1);
}

} // namespace
