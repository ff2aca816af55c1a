// Draws real GUI components with the GL painter and the program's bitmap
// fonts into an 800 x 600 window, then reads pixels back where the layout
// says things are.
#include "gui/Button.h"
#include "gui/ComponentContainer.h"
#include "gui/Fonts.h"
#include "gui/GlPainter.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "gui/TextField.h"
#include "tests/support/GlTestWindow.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

namespace {

// One window for the whole run, never closed: closing it unloads the GL
// driver, whose own allocations the leak checker then can no longer
// attribute (and so no longer suppress).
GlTestWindow& sharedWindow() {
    static GlTestWindow* window = new GlTestWindow(800, 600);
    return *window;
}

class GuiDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.ok());
        ASSERT_TRUE(fonts.loaded()) << "fonts missing under resources/fonts";
        fonts.setFaceSizes();
        installTextMetrics(&fonts);
        // The overlay as the scene sets it up.
        window.useOverlayState();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    void TearDown() override { installTextMetrics(nullptr); }

    // Whether some pixel in the box is near white: only text is drawn
    // white, every body here is at most mid grey.
    bool whitePixelIn(int x0, int y0, int x1, int y1) {
        glFinish();
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                GlTestWindow::Pixel p = window.pixel(x, y);
                if (p.r > 200 && p.g > 200 && p.b > 200)
                    return true;
            }
        return false;
    }

    GlTestWindow& window = sharedWindow();
    Fonts fonts;
    GlPainter painter{fonts};
    ProgramState state;
};

TEST_F(GuiDisplayTest, WindowWithButtonAndField) {
    InterfaceManager manager(state);
    auto* panel = new ComponentContainer("W", "Panel", false);
    auto* button = new Button("GO", "Go");
    auto* field = new TextField("F", "Hello there", true);
    panel->setFirst(button);
    panel->setSecond(field);
    panel->setSize(300, 200);
    panel->setPosition(100, 100); // top at 300, title bar up to 317
    std::unique_ptr<ComponentContainer> owner(panel);
    ASSERT_TRUE(manager.addWindow(panel));
    manager.applyColorScheme();
    ASSERT_EQ(button->x, 101);
    ASSERT_EQ(button->y, 101);
    ASSERT_EQ(button->right, 249);
    ASSERT_EQ(button->top, 299);
    // A press lights the halo at 0.2, so alpha 0.4 a ring.
    manager.handleClick(0, CLICK_PRESS, 175, 200);
    ASSERT_DOUBLE_EQ(button->glow, 0.2);

    manager.draw(painter);
    glFinish();

    // The halo below the button: two rings, one ring, then nothing. (The
    // innermost ring shares its row with the window's outline.)
    const GlTestWindow::Pixel three = window.pixel(175, 99);
    const GlTestWindow::Pixel two = window.pixel(175, 97);
    const GlTestWindow::Pixel one = window.pixel(175, 95);
    const GlTestWindow::Pixel none = window.pixel(175, 94);
    EXPECT_NEAR(two.b, 255 * (1 - 0.6 * 0.6), 6);
    EXPECT_NEAR(two.g, 0.7 * 255 * (1 - 0.6 * 0.6), 6);
    EXPECT_NEAR(one.b, 255 * 0.4, 6);
    EXPECT_GT(three.b, two.b);
    EXPECT_GT(one.b, one.g);
    EXPECT_GT(one.g, one.r);
    EXPECT_EQ(none.b, 0);

    // The body shades from black at the bottom to mid grey at the top.
    const GlTestWindow::Pixel high = window.pixel(110, 297);
    const GlTestWindow::Pixel low = window.pixel(110, 103);
    EXPECT_NEAR(high.r, 127, 6);
    EXPECT_EQ(high.r, high.b);
    EXPECT_LT(low.r, 10);

    // The title bar: light blue at its top, nothing above it.
    const GlTestWindow::Pixel bar = window.pixel(350, 315);
    EXPECT_NEAR(bar.b, 240, 16);
    EXPECT_NEAR(bar.g, 168, 16);
    EXPECT_LT(bar.r, 60);
    const GlTestWindow::Pixel above = window.pixel(350, 319);
    EXPECT_EQ(above.b, 0);

    // Text: the button label at its centre, the field's first line.
    EXPECT_TRUE(whitePixelIn(button->x, button->y + 80, button->right, button->y + 120));
    EXPECT_TRUE(whitePixelIn(field->x + 5, field->top - 25, field->x + 120, field->top - 2));
    EXPECT_FALSE(whitePixelIn(450, 400, 500, 450));
}

TEST_F(GuiDisplayTest, MainMenuPage) {
    InterfaceManager manager(state);
    manager.init();
    manager.layout(800, 600);
    manager.layout(800, 600); // centred by the final sizes
    manager.showMenu();
    manager.menuColor = {0, 0, 0};
    Button* ret = manager.returnButton;
    ASSERT_EQ(ret->x, 300);
    ASSERT_EQ(ret->y, 305); // exit at 265, 40 below

    manager.draw(painter);
    glFinish();
    const GlTestWindow::Pixel body = window.pixel(310, ret->top - 2);
    EXPECT_NEAR(body.g, 125, 8);
    EXPECT_EQ(window.pixel(299, ret->top - 2).g, 0);
    EXPECT_TRUE(whitePixelIn(ret->x, ret->y, ret->right, ret->top));
    // The 70-point title above the column.
    const Point2i title = manager.titlePositions[0];
    EXPECT_GT(title.y, ret->top);
    EXPECT_TRUE(whitePixelIn(title.x, title.y, 800 - title.x, title.y + 50));
}

} // namespace
