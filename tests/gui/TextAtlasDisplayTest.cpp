// More labels than the text atlas holds: the cache must run out of room,
// empty the atlas at the next frame and capture again, and every frame on
// the way must be the pixels the fonts draw, batched or not.
#include "gui/Fonts.h"
#include "gui/GlPainter.h"
#include "gui/TextMetrics.h"
#include "tests/support/FrameReadback.h"
#include "tests/support/GlTestWindow.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;
// Each label nearly as wide as the window, so the atlas takes one per
// shelf and far fewer than this many.
constexpr int LABELS = 120;

GlTestWindow& sharedWindow() {
    static GlTestWindow* window = new GlTestWindow(WIDTH, HEIGHT);
    return *window;
}

class TextAtlasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.ok());
        ASSERT_TRUE(fonts.loaded());
        fonts.setFaceSizes();
        // The overlay as the scene sets it up.
        window.useOverlayState();
    }
    void TearDown() override { painter.textCache().release(); }

    // One frame of every label, overlapping one another, some half
    // transparent; read back before it is presented.
    std::vector<uint8_t> frame(bool batched) {
        glClearColor(0.1f, 0.3f, 0.2f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        painter.setBatching(batched);
        painter.beginFrame(WIDTH, HEIGHT);
        const Vertex2D backdrop[4] = {{0, 0, {0, 0, 0, 1}},
                                      {WIDTH, 0, {0, 0, 0, 1}},
                                      {WIDTH, 300, {0.3, 0.3, 0.3, 1}},
                                      {0, 300, {0.3, 0.3, 0.3, 1}}};
        painter.quads(backdrop, 4);
        for (int i = 0; i < LABELS; ++i) {
            std::string text = "Label " + std::to_string(i) + ":";
            while (text.size() < 100)
                text += " the quick brown fox";
            const Rgba color{1, 0.5 + (i % 5) * 0.1, 0.2, i % 7 == 0 ? 0.5 : 1.0};
            painter.text(text, 3 + i % 4, 5 + i * 4.5, color);
        }
        painter.endFrame();
        painter.setBatching(false);
        return readFrame(WIDTH, HEIGHT);
    }
    std::vector<uint8_t> throughFonts() {
        painter.textCache().setEnabled(false);
        std::vector<uint8_t> pixels = frame(false);
        painter.textCache().setEnabled(true);
        return pixels;
    }

    GlTestWindow& window = sharedWindow();
    Fonts fonts;
    GlPainter painter{fonts};
};

TEST_F(TextAtlasTest, AFullAtlasStartsAgainWithoutChangingAPixel) {
    const std::vector<uint8_t> reference = throughFonts();
    const GlTextCache::Counts start = painter.textCache().counts();
    GlTextCache::Counts last = start;
    int capturingFrames = 0;
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(firstFrameDifference(reference, frame(true), WIDTH, "fonts", "batched"), "")
            << "frame " << i;
        const GlTextCache::Counts now = painter.textCache().counts();
        // Every frame after the first has labels that had to go through
        // the fonts: the atlas never holds them all.
        if (i > 1) {
            EXPECT_GT(now.drawnThroughFont, last.drawnThroughFont) << "frame " << i;
        }
        capturingFrames += now.captured > last.captured;
        last = now;
    }
    // Filled, emptied at the next frame and filled again, over and over.
    EXPECT_GE(capturingFrames, 3);
    EXPECT_GT(last.drawnFromCache, start.drawnFromCache);
    // And drawn straightforwardly from what is cached: the same pixels.
    EXPECT_EQ(firstFrameDifference(reference, frame(false), WIDTH, "fonts", "cached"), "");
}

} // namespace
