// The GL-free view against what GL itself holds after the program's own
// applyProjection and applyCamera: the pose solvers measure pixels with it,
// so it must be the view the user sees.
#include "scene/CameraProjection.h"

#include "scene/Camera.h"
#include "scene/SceneDrawing.h"
#include "tests/support/GlTestWindow.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;

struct Case {
    std::string name;
    Camera camera;
};

std::vector<Case> cameras(const Vec3& target) {
    std::vector<Case> out;
    Camera start;
    start.mode = CAMERA_ORBIT;
    start.target = &target;
    start.update(0);
    out.push_back({"start", start});
    Camera turned = start;
    turned.orbitYaw = -137.5;
    turned.orbitPitch = -60;
    turned.distance = 2.25;
    turned.aspect = 1280.0 / 720.0;
    turned.update(0);
    out.push_back({"turned and wide", turned});
    Camera free;
    free.eye = Vec3(0.3, 10, 10);
    free.freeYaw = -90;
    free.freePitch = -45;
    free.moveForward = true;
    free.speed = 0.09;
    free.update(1);
    out.push_back({"free", free});
    Camera none = start;
    none.mode = 15;
    out.push_back({"no view", none});
    return out;
}

// The largest difference relative to the matrix's largest entry. GL keeps
// its matrices in single precision, so its entries are ours rounded to
// floats at best.
double worstDifference(const Matrix4& ours, const GLdouble* gl) {
    double scale = 0, worst = 0;
    for (int i = 0; i < 16; ++i)
        scale = std::max(scale, std::fabs(gl[i]));
    for (int i = 0; i < 16; ++i)
        worst = std::max(worst, std::fabs(ours[i] - gl[i]) / scale);
    return worst;
}

GlTestWindow& sharedWindow() {
    // Never closed, as in the other GL tests: tearing the context down
    // leaves the driver's memory to the leak checker.
    static GlTestWindow* window = new GlTestWindow(WIDTH, HEIGHT);
    return *window;
}

} // namespace

TEST(CameraProjectionGl, MatricesMatchWhatGlHolds) {
    ASSERT_TRUE(sharedWindow().ok());
    const Vec3 target(0, 1.46, 0);
    for (const Case& c : cameras(target)) {
        SCOPED_TRACE(c.name);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        applyProjection(c.camera);
        applyCamera(c.camera);
        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        const ScreenProjection ours = cameraProjection(c.camera, WIDTH, HEIGHT);

        // A few units in the last place of a float (6e-8): GL rounded what
        // GLU computed, and nothing more.
        EXPECT_LT(worstDifference(ours.modelView, model), 3e-7);
        EXPECT_LT(worstDifference(ours.projection, projection), 3e-7);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(ours.viewport[i], viewport[i]);

        // Points around the figure land on the same pixels through GL's
        // matrices, well within a hundredth of a pixel.
        for (const Vec3& p : {target, Vec3(0.5, 0.2, -0.3), Vec3(-0.7, 1.9, 0.4)}) {
            GLdouble gx, gy, gz;
            Vec3 w;
            // Without a view the target lies in the eye's own plane.
            if (gluProject(p.x, p.y, p.z, model, projection, viewport, &gx, &gy, &gz) != GL_TRUE) {
                EXPECT_FALSE(ours.project(p, w));
                continue;
            }
            ASSERT_TRUE(ours.project(p, w));
            EXPECT_NEAR(w.x, gx, 0.01);
            EXPECT_NEAR(w.y, gy, 0.01);
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(CameraProjectionGl, ProjectAndUnprojectAgreeWithGlu) {
    const Vec3 target(0, 1.46, 0);
    const ScreenProjection s = cameraProjection(cameras(target)[1].camera, WIDTH, HEIGHT);
    for (const Vec3& p : {target, Vec3(0.5, 0.2, -0.3), Vec3(-0.7, 1.9, 0.4)}) {
        GLdouble g[3];
        Vec3 w;
        ASSERT_EQ(gluProject(p.x, p.y, p.z, s.modelView.data(), s.projection.data(),
                             s.viewport.data(), &g[0], &g[1], &g[2]),
                  GL_TRUE);
        ASSERT_TRUE(s.project(p, w));
        // The same operations in the same order: the same bits.
        EXPECT_EQ(w.x, g[0]);
        EXPECT_EQ(w.y, g[1]);
        EXPECT_EQ(w.z, g[2]);

        GLdouble back[3];
        Vec3 ours;
        ASSERT_EQ(gluUnProject(g[0], g[1], g[2], s.modelView.data(), s.projection.data(),
                               s.viewport.data(), &back[0], &back[1], &back[2]),
                  GL_TRUE);
        ASSERT_TRUE(s.unproject(w, ours));
        EXPECT_NEAR(ours.x, back[0], 1e-9);
        EXPECT_NEAR(ours.y, back[1], 1e-9);
        EXPECT_NEAR(ours.z, back[2], 1e-9);
    }
}
