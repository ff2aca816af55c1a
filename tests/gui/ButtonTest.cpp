#include "gui/Button.h"
#include "tests/gui/RecordingPainter.h"

#include <gtest/gtest.h>

namespace {

class ButtonTest : public GuiTest {
protected:
    // A 200 x 30 button with its bottom-left corner at (100, 50).
    Button* make() {
        button = std::make_unique<Button>("PLAY", "Play"); // label 40 x 12
        button->setSize(200, 30);
        button->setPosition(100, 50);
        return button.get();
    }
    std::unique_ptr<Button> button;
};

TEST_F(ButtonTest, StartsIdleAtTextSize) {
    Button b("ID", "Play");
    EXPECT_EQ(b.kind, KIND_BUTTON);
    EXPECT_EQ(b.state, Button::STATE_IDLE);
    EXPECT_FALSE(b.hovered);
    EXPECT_EQ(b.width, 43);
    EXPECT_EQ(b.height, 15);
}

TEST_F(ButtonTest, CompleteClickHitsOnPressAndRelease) {
    Button* b = make();
    EXPECT_EQ(b->handleClick(0, CLICK_PRESS, 100, 80), b); // edges are inside
    EXPECT_EQ(b->state, Button::STATE_PRESSED);
    EXPECT_DOUBLE_EQ(b->glow, 0.2);
    EXPECT_EQ(b->handleClick(0, CLICK_RELEASE, 300, 50), b);
    EXPECT_EQ(b->state, Button::STATE_IDLE);
    // A release over an idle button is no hit.
    EXPECT_EQ(b->handleClick(0, CLICK_RELEASE, 150, 60), nullptr);
}

TEST_F(ButtonTest, ReleaseOutsideGoesIdleWithoutHit) {
    Button* b = make();
    b->handleClick(0, CLICK_PRESS, 150, 60);
    EXPECT_EQ(b->handleClick(0, CLICK_RELEASE, 301, 60), nullptr);
    EXPECT_EQ(b->state, Button::STATE_IDLE);
    EXPECT_EQ(b->handleClick(0, CLICK_PRESS, 150, 81), nullptr);
}

TEST_F(ButtonTest, OtherMouseButtonsChangeNothing) {
    Button* b = make();
    for (int32_t mouse : {1, 2}) {
        EXPECT_EQ(b->handleClick(mouse, CLICK_PRESS, 150, 60), nullptr);
        EXPECT_EQ(b->state, Button::STATE_IDLE);
        EXPECT_EQ(b->glow, 0);
    }
    b->handleClick(0, CLICK_PRESS, 150, 60);
    EXPECT_EQ(b->handleClick(1, CLICK_RELEASE, 150, 60), nullptr);
    EXPECT_EQ(b->state, Button::STATE_PRESSED);
}

TEST_F(ButtonTest, GlowRisesUnderPointerAndFadesAfterRelease) {
    Button* b = make();
    b->handleMouseMove(150, 60);
    EXPECT_TRUE(b->hovered);
    for (int i = 0; i < 100; ++i)
        b->update(0.01);
    EXPECT_NEAR(b->glow, 0.1, 0.006); // settles at the hover level

    b->handleClick(0, CLICK_PRESS, 150, 60);
    b->update(0.5);
    EXPECT_DOUBLE_EQ(b->glow, 0.2); // held while pressed under the pointer

    b->handleClick(0, CLICK_RELEASE, 150, 60);
    b->update(0.2); // hovered and idle: 0.15 per second
    EXPECT_NEAR(b->glow, 0.17, 1e-12);
    b->handleMouseMove(0, 0);
    b->update(0.2); // pointer gone: twice as fast
    EXPECT_NEAR(b->glow, 0.11, 1e-12);
    for (int i = 0; i < 100; ++i)
        b->update(0.1);
    EXPECT_LE(b->glow, 0);
}

TEST_F(ButtonTest, DrawsHaloBodyAndCentredLabel) {
    Button* b = make();
    b->setHighlightColor(0.2, 0.7, 1.0);
    b->setColor(0.5, 0.5, 0.5);
    RecordingPainter idle;
    b->draw(idle);
    ASSERT_EQ(idle.calls.size(), 2u); // no halo without glow

    b->glow = 0.1;
    RecordingPainter p;
    b->draw(p);
    ASSERT_EQ(p.calls.size(), 3u);
    const auto& halo = p.calls[0].vertices;
    ASSERT_EQ(halo.size(), 12u);
    const int grow[] = {6, 4, 2};
    for (int q = 0; q < 3; ++q) {
        expectCorner(halo[q * 4 + 0], 100 - grow[q], 50 - grow[q]);
        expectCorner(halo[q * 4 + 2], 300 + grow[q], 80 + grow[q]);
        EXPECT_DOUBLE_EQ(halo[q * 4].color.a, 0.2);
        EXPECT_DOUBLE_EQ(halo[q * 4].color.g, 0.7);
    }
    const auto& body = p.calls[1].vertices;
    ASSERT_EQ(body.size(), 4u);
    expectCorner(body[0], 100, 50);
    expectCorner(body[2], 300, 80);
    EXPECT_EQ(body[1].color.r, 0); // black at the bottom
    EXPECT_DOUBLE_EQ(body[3].color.r, 0.5);
    const auto& label = p.calls[2];
    EXPECT_EQ(label.text, "Play");
    EXPECT_DOUBLE_EQ(label.x, 100 + (200 - 40) * 0.5);
    EXPECT_DOUBLE_EQ(label.y, 50 + (30 - 12) * 0.5);
    EXPECT_EQ(label.color.r, 1);
}

} // namespace
