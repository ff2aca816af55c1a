// A render from the editor's camera at the editor's window size is the
// editor's 3-D view, pixel for pixel, wherever no panel covers it: the
// editor draws two moments of an animation in its window, an offscreen
// render (on a thread of its own, through EGL, as the editor's renders run)
// draws the same two, and the pictures are compared outside the GUI.
#include "animation/Timeline.h"
#include "app/Application.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "gui/InterfaceManager.h"
#include "gui/Painter.h"
#include "gui/TextMetrics.h"
#include "render/CameraShot.h"
#include "render/RenderJob.h"
#include "skeleton/DefaultFigure.h"
#include "tests/support/FrameReadback.h"
#include "tests/support/ScopedWorkDir.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;
// Two moments of the walk: its first pose, and one in mid-stride.
constexpr double TIMES[] = {0.0, 0.4};
// Pixels around everything the GUI draws left out too, for its edges.
constexpr int MARGIN = 2;
// The frame-rate readout's corner, bottom-left.
constexpr int READOUT_WIDTH = 160, READOUT_HEIGHT = 30;

class KeptFrames : public FrameSink {
public:
    bool addFrame(const RgbaImage& image, std::string&) override {
        frames.push_back(image);
        return true;
    }
    bool finish(std::string&) override { return true; }
    std::vector<RgbaImage> frames;
};

// Marks where the GUI draws, in window pixels from the bottom-left: the
// bounding box of every shape and every text it paints, with a margin.
class MaskPainter : public Painter {
public:
    std::vector<bool> covered = std::vector<bool>(static_cast<std::size_t>(WIDTH) * HEIGHT);

    void quads(const Vertex2D* v, int n) override { shape(v, n); }
    void lineStrip(const Vertex2D* v, int n) override { shape(v, n); }
    void lines(const Vertex2D* v, int n) override { shape(v, n); }
    void text(const std::string& t, double x, double y, const Rgba&) override {
        words(textExtent(t), x, y);
    }
    void title(const std::string& t, double x, double y, const Rgba&) override {
        words(titleExtent(t), x, y);
    }
    void cover(double left, double bottom, double right, double top) {
        const int y0 = std::max(0, static_cast<int>(bottom) - MARGIN);
        const int y1 = std::min(HEIGHT - 1, static_cast<int>(top) + MARGIN);
        const int x0 = std::max(0, static_cast<int>(left) - MARGIN);
        const int x1 = std::min(WIDTH - 1, static_cast<int>(right) + MARGIN);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                covered[static_cast<std::size_t>(y) * WIDTH + x] = true;
    }

private:
    void shape(const Vertex2D* v, int n) {
        if (n <= 0)
            return;
        double left = v[0].x, right = v[0].x, bottom = v[0].y, top = v[0].y;
        for (int i = 1; i < n; ++i) {
            left = std::min(left, v[i].x);
            right = std::max(right, v[i].x);
            bottom = std::min(bottom, v[i].y);
            top = std::max(top, v[i].y);
        }
        cover(left, bottom, right, top);
    }
    // Text is drawn from its baseline; descenders reach below it.
    void words(const TextSize& size, double x, double y) {
        cover(x, y - size.height, x + size.width, y + size.height);
    }
};

TEST(EditorView, RenderFromTheEditorsCameraIsItsThreeDView) {
    ScopedWorkDir workDir(WIDTH, HEIGHT);
    testing::internal::CaptureStdout();
    Application app;
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(app.ok());
    Scene& scene = app.scene();
    SkeletonEditor& editor = *scene.editor;
    ASSERT_TRUE(editor.loadAnimation("walk"));
    // A render shows the animation alone; the ghost is the editor's help.
    editor.setGhostShown(false);

    std::vector<std::vector<uint8_t>> windowFrames;
    for (double t : TIMES) {
        ASSERT_TRUE(poseAtTime(editor.animation(), editor.skeleton(), t));
        app.update();
        app.drawFrame();
        glFinish();
        windowFrames.push_back(readFrame(WIDTH, HEIGHT));
    }
    MaskPainter mask;
    scene.interface->draw(mask);
    mask.cover(0, 0, READOUT_WIDTH, READOUT_HEIGHT);
    const std::vector<bool>& covered = mask.covered;

    // The render's own figure and animation, read as the editor read them.
    RenderScene render;
    render.skeleton = std::make_unique<Skeleton>(SKELETON_PATH, 0, SKELETON_ORIGIN_Y, 0);
    render.animation = std::make_unique<Animation>(std::string(ANIMATION_FOLDER) + "walk.rgaf");
    render.camera =
        cameraForShot(CameraShot::Editor, render.skeleton->rootPosition(), WIDTH, HEIGHT);
    render.width = WIDTH;
    render.height = HEIGHT;
    FramePlan plan;
    plan.fps = 1 / (TIMES[1] - TIMES[0]);
    plan.count = 2;
    plan.end = 2 / plan.fps;
    KeptFrames kept;
    std::string error;
    bool rendered = false;
    std::thread worker([&] { rendered = renderClip(render, plan, kept, {}, error); });
    worker.join();
    ASSERT_TRUE(rendered) << error;
    ASSERT_EQ(kept.frames.size(), 2u);

    for (std::size_t f = 0; f < 2; ++f) {
        SCOPED_TRACE("time " + std::to_string(TIMES[f]));
        const std::vector<uint8_t>& window = windowFrames[f];
        const RgbaImage& rendered = kept.frames[f];
        long compared = 0, differing = 0;
        std::string first;
        for (int y = 0; y < HEIGHT; ++y) {
            for (int x = 0; x < WIDTH; ++x) {
                if (covered[static_cast<std::size_t>(y) * WIDTH + x])
                    continue;
                // The window reads from the bottom row, the render from the top.
                const uint8_t* a = &window[(static_cast<std::size_t>(y) * WIDTH + x) * 4];
                const uint8_t* b =
                    &rendered.pixels[(static_cast<std::size_t>(HEIGHT - 1 - y) * WIDTH + x) * 4];
                ++compared;
                if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) {
                    if (differing++ == 0)
                        first = "(" + std::to_string(x) + ", " + std::to_string(y) +
                                ") from the bottom-left: window " + std::to_string(a[0]) + " " +
                                std::to_string(a[1]) + " " + std::to_string(a[2]) + ", render " +
                                std::to_string(b[0]) + " " + std::to_string(b[1]) + " " +
                                std::to_string(b[2]);
                }
            }
        }
        // Most of the window is the 3-D view; the panels take the rest.
        EXPECT_GT(compared, WIDTH * HEIGHT / 2);
        EXPECT_EQ(differing, 0) << "first at " << first;
    }
}

} // namespace
