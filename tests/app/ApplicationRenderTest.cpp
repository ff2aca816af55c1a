// Draws real frames through the Application and its Scene under Xvfb and
// reads the back buffer.
#include "app/Application.h"
#include "app/Scene.h"
#include "scene/SceneDrawing.h"
#include "tests/support/ScopedWorkDir.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

namespace {

struct Rgb8 {
    int r, g, b;
    int sum() const { return r + g + b; }
};

Rgb8 pixel(int x, int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

int whitePixels(int x0, int y0, int w, int h) {
    int count = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            Rgb8 p = pixel(x, y);
            count += p.r > 230 && p.g > 230 && p.b > 230;
        }
    return count;
}

class ApplicationRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        workDir = new ScopedWorkDir(800, 600);
        testing::internal::CaptureStdout();
        app = new Application();
        output = new std::string(testing::internal::GetCapturedStdout());
    }
    static void TearDownTestSuite() {
        delete app;
        delete output;
        delete workDir;
    }
    // One pass without events: update, then draw without presenting.
    void frame() {
        app->update();
        app->drawFrame();
        glFinish();
    }
    static ScopedWorkDir* workDir;
    static Application* app;
    static std::string* output;
};
ScopedWorkDir* ApplicationRender::workDir = nullptr;
Application* ApplicationRender::app = nullptr;
std::string* ApplicationRender::output = nullptr;

TEST_F(ApplicationRender, StartsWithTheVersionLineOnly) {
    ASSERT_TRUE(app->ok()) << *output;
    // Start-up says nothing but the version (and, on a machine without
    // sound, that the music is silent).
    std::string rest = *output;
    const std::string silent = "No audio device found: the background music is silent.\n";
    if (rest.rfind(silent, 0) == 0)
        rest = rest.substr(silent.size());
    EXPECT_EQ(rest.rfind("OpenGL Ver.: ", 0), 0u) << *output;
    EXPECT_EQ(rest.find('\n'), rest.size() - 1) << *output;
    EXPECT_EQ(app->state().windowWidth, 800);
    EXPECT_EQ(app->state().windowHeight, 600);
}

TEST_F(ApplicationRender, SkyIsAGradientAndCoversTheClearColour) {
    ASSERT_TRUE(app->ok());
    frame();
    Rgb8 top = pixel(400, 590), bottom = pixel(790, 5);
    EXPECT_GT(top.sum(), bottom.sum() + 100);
    EXPECT_GT(top.b, top.g - 1); // bluish white above
    // The clear colour (0.1, 0.8, 0.1) must not show anywhere we look.
    for (int y = 0; y < 600; y += 50)
        for (int x = 0; x < 800; x += 50) {
            Rgb8 p = pixel(x, y);
            EXPECT_FALSE(p.g > 180 && p.r < 60 && p.b < 60) << x << "," << y;
        }
}

TEST_F(ApplicationRender, FloorLiesBelowTheOrbitCentre) {
    ASSERT_TRUE(app->ok());
    frame();
    Rgb8 floor = pixel(500, 300);
    EXPECT_GT(floor.b, floor.r + 40) << floor.r << " " << floor.g << " " << floor.b;
}

TEST_F(ApplicationRender, ReadoutDrawsTextAndF12StateHidesIt) {
    ASSERT_TRUE(app->ok());
    frame();
    EXPECT_EQ(app->fpsText().rfind("FPS: ", 0), 0u);
    EXPECT_GT(whitePixels(8, 8, 70, 16), 10);
}

TEST_F(ApplicationRender, LightsSwitchOffAndOn) {
    ASSERT_TRUE(app->ok());
    Scene& scene = app->scene();
    frame();
    Rgb8 lit = pixel(500, 300);
    scene.lighting.flip(0);
    switchLight(scene.lighting, 0);
    scene.lighting.flip(1);
    switchLight(scene.lighting, 1);
    frame();
    Rgb8 dark = pixel(500, 300);
    EXPECT_LT(dark.sum(), lit.sum() - 60);
    // The sky is drawn unlit and does not change.
    scene.lighting.flip(0);
    switchLight(scene.lighting, 0);
    scene.lighting.flip(1);
    switchLight(scene.lighting, 1);
    frame();
    Rgb8 again = pixel(500, 300);
    EXPECT_NEAR(again.sum(), lit.sum(), 6);
}

} // namespace
