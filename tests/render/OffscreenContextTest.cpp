// The offscreen context with no display at all: what it draws reads back
// the right way up, multisampling is resolved, and two contexts on two
// threads (a render beside another) keep out of each other's way.
#include "render/OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <thread>

namespace {

constexpr int SIZE = 32;

// Clears to transparent blue, then draws an opaque red triangle over the
// upper-left half (above the diagonal from bottom-left to top-right).
void drawTestPicture() {
    glClearColor(0, 0, 1, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_TRIANGLES);
    glColor4f(1, 0, 0, 1);
    glVertex2f(-1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
}

const uint8_t* pixel(const RgbaImage& image, int x, int yFromTop) {
    return &image.pixels[(static_cast<std::size_t>(yFromTop) * image.width + x) * 4];
}

TEST(OffscreenContext, DrawsAndReadsBackWithoutADisplay) {
    // CTest takes the display away already; run by hand, this says the same.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    struct Case {
        int samples;
        bool blended; // an edge pixel between the two colours exists
    };
    for (const Case c : {Case{0, false}, Case{4, true}}) {
        SCOPED_TRACE(c.samples);
        std::string error;
        auto context = OffscreenContext::create(SIZE, SIZE, c.samples, error);
        ASSERT_TRUE(context) << error;
        drawTestPicture();
        RgbaImage image;
        context->readFrame(image);
        ASSERT_EQ(image.width, SIZE);
        ASSERT_EQ(image.height, SIZE);
        // Top-left red and opaque, bottom-right the clear colour with its
        // alpha kept: the first row read is the top one.
        const uint8_t* topLeft = pixel(image, 1, 1);
        const uint8_t* bottomRight = pixel(image, SIZE - 2, SIZE - 2);
        EXPECT_EQ(topLeft[0], 255);
        EXPECT_EQ(topLeft[3], 255);
        EXPECT_EQ(bottomRight[2], 255);
        EXPECT_EQ(bottomRight[3], 0);
        std::set<int> reds;
        for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
            reds.insert(image.pixels[i]);
        }
        EXPECT_EQ(reds.size() > 2, c.blended) << "samples " << context->samples();
    }
}

TEST(OffscreenContext, ContextsOnTwoThreadsStayApart) {
    std::string error;
    auto first = OffscreenContext::create(SIZE, SIZE, 0, error);
    ASSERT_TRUE(first) << error;
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    std::thread other([] {
        std::string otherError;
        auto second = OffscreenContext::create(SIZE / 2, SIZE / 2, 0, otherError);
        ASSERT_TRUE(second) << otherError;
        drawTestPicture();
        RgbaImage image;
        second->readFrame(image);
        EXPECT_EQ(image.width, SIZE / 2);
        EXPECT_EQ(pixel(image, 1, 1)[0], 255);
    });
    other.join();
    // The second context came and went; the first still holds its picture.
    ASSERT_TRUE(first->makeCurrent());
    RgbaImage image;
    first->readFrame(image);
    EXPECT_EQ(pixel(image, 5, 5)[1], 255);
    EXPECT_EQ(pixel(image, 5, 5)[0], 0);
}

} // namespace
