// Drawing and selection-mode picking in a real window, with the scene's
// camera and GL state as the program sets them up.
#include "skeleton/SkeletonDrawing.h"

#include "skeleton/Skeleton.h"
#include "tests/skeleton/SkeletonTestSupport.h"
#include "tests/support/GlProjection.h"
#include "tests/support/GlTestWindow.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <vector>

namespace {

constexpr int WIDTH = 800, HEIGHT = 600;
constexpr int HEAD = 4, LEFT_THIGH = 6, RIGHT_SHIN = 11, LEFT_UPPER_ARM = 14, RIGHT_FOREARM = 19,
              LOWER_SPINE = 1;

struct Pixel {
    int x, y;
};

class SkeletonPick : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.ok());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45, 800.0 / 600.0, 0.5, 10000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1}, diffuse[] = {0.9f, 0.9f, 0.9f, 1},
                      position[] = {2, 3, 2, 0};
        glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_NORMALIZE);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glViewport(0, 0, WIDTH, HEIGHT);
    }

    // The default orbit camera (yaw 0, pitch 45, distance 10) around the
    // skeleton's root.
    void lookAt(const Skeleton& skeleton) {
        const Vec3 target = *skeleton.rootPosition();
        const double pitch = degreesToRadians(45), yaw = degreesToRadians(0);
        const Vec3 eye = target + Vec3(std::sin(yaw) * std::cos(pitch), std::sin(pitch),
                                       std::cos(yaw) * std::cos(pitch)) *
                                      10.0;
        glLoadIdentity();
        gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0, 1, 0);
    }

    // One frame as the scene draws it: the edited skeleton, then the ghost.
    void drawFrame(Skeleton& skeleton, Skeleton* ghost = nullptr) {
        glClearColor(0.1f, 0.8f, 0.1f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        lookAt(skeleton);
        drawSkeleton(skeleton, 1.0, WIDTH, HEIGHT);
        if (ghost)
            drawSkeleton(*ghost, 0.2, WIDTH, HEIGHT);
        glPopMatrix();
    }

    Pixel project(const Skeleton& skeleton, const Vec3& p) {
        glPushMatrix();
        lookAt(skeleton);
        Pixel at{};
        projectToWindow(p, at.x, at.y);
        glPopMatrix();
        return at;
    }

    Pixel midpoint(const Skeleton& skeleton, int bone) {
        const Bone& b = *skeleton.boneAt(bone);
        return project(skeleton, (b.position() + b.endPoint()) * 0.5);
    }

    void pickAt(Skeleton& skeleton, Pixel at) {
        skeleton.pickX = at.x;
        skeleton.pickY = at.y;
        skeleton.pickRequested = true;
        drawFrame(skeleton);
    }

    // Pixels of the selected colour (cyan: blue and green well above red)
    // in the square of the given half size around `at`, or in the window.
    int selectedPixels(Pixel at, int half) {
        return countSelected(at.x - half, at.y - half, 2 * half + 1, 2 * half + 1);
    }
    int selectedPixelsAnywhere() { return countSelected(0, 0, WIDTH, HEIGHT); }

    // Pixels of the unselected bone colour (red and green, no blue).
    int baseColourPixels(Pixel at, int half) {
        int n = 0;
        for (const GlTestWindow::Pixel& p : read(at.x - half, at.y - half, 2 * half + 1))
            n += p.r > 30 && p.g > 30 && p.b < 10 && p.g < 150;
        return n;
    }

    std::vector<GlTestWindow::Pixel> read(int x, int y, int w, int h = -1) {
        if (h < 0)
            h = w;
        std::vector<GlTestWindow::Pixel> pixels(static_cast<size_t>(w) * h);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    int countSelected(int x, int y, int w, int h) {
        int n = 0;
        for (const GlTestWindow::Pixel& p : read(x, y, w, h))
            n += p.b > p.r + 15 && p.g > p.r + 15 && p.b > 30;
        return n;
    }

    static int selectedFlags(const Skeleton& skeleton) {
        int n = 0;
        for (int i = 0; i < skeleton.boneCount(); ++i)
            n += skeleton.boneAt(i)->selected();
        return n;
    }

    std::unique_ptr<Skeleton> defaultSkeleton() {
        skeleton_test::Loaded l =
            skeleton_test::loadFile(skeleton_test::defaultSkeletonPath(), 0, 0.5, 0);
        EXPECT_EQ(l.output, "");
        return std::move(l.skeleton);
    }

    // One window for the whole run, never closed: tearing a context down
    // unloads the Mesa driver with memory it never freed, and the leak
    // checker can then no longer tell whose it was.
    static GlTestWindow& sharedWindow() {
        static GlTestWindow* window = new GlTestWindow(WIDTH, HEIGHT);
        return *window;
    }
    GlTestWindow& window = sharedWindow();
};

// Three bones from the root at `rootLine`: `near` along +x, and `far` along
// +x too but one unit down and one back, so that from the default camera it
// lies right behind `near`. `nearLength` 0 leaves only the far bone.
std::string overlapFile(bool nearFirst, const char* nearLength = "1") {
    const std::string wide = " -360 360 -360 360 -360 360 ";
    const std::string nearBone = std::string(nearLength) + " 90 0 0" + wide + "30 0\n";
    const std::string down = "1.41421 135 0 0" + wide + "10 0\n";
    std::string text = "RGCF\n0 0 0 0 0 0" + wide + "10\n";
    if (nearFirst)
        text += nearBone + down + "1 90 0 0" + wide + "30 2\n";
    else
        text += down + "1 90 0 0" + wide + "30 1\n" + nearBone;
    for (int i = 4; i <= 20; ++i)
        text += "0 0 0 0" + wide + "10 0\n"; // length 0: nothing to hit
    return text;
}

} // namespace

TEST_F(SkeletonPick, PickSelectsTheBoneUnderThePointerAndDrawsItSelected) {
    auto skeleton = defaultSkeleton();
    drawFrame(*skeleton);
    EXPECT_EQ(selectedPixelsAnywhere(), 0);
    EXPECT_GT(baseColourPixels(midpoint(*skeleton, LEFT_THIGH), 3), 0);

    for (int bone : {LEFT_THIGH, RIGHT_SHIN, HEAD, LEFT_UPPER_ARM, RIGHT_FOREARM, LOWER_SPINE}) {
        SCOPED_TRACE(bone);
        const Pixel at = midpoint(*skeleton, bone);
        pickAt(*skeleton, at);
        EXPECT_FALSE(skeleton->pickRequested);
        ASSERT_EQ(skeleton->selectedBone(), skeleton->boneAt(bone));
        EXPECT_TRUE(skeleton->boneAt(bone)->selected());
        EXPECT_EQ(selectedFlags(*skeleton), 1);
        // The pick runs after the bones are drawn; the next frame shows it.
        drawFrame(*skeleton);
        if (bone != RIGHT_SHIN) { // the shin's middle lies under the origin marker
            EXPECT_GT(selectedPixels(at, 3), 0);
        }
    }
}

TEST_F(SkeletonPick, NearerOfTwoOverlappingBonesWins) {
    for (bool nearFirst : {true, false}) {
        SCOPED_TRACE(nearFirst);
        skeleton_test::Loaded l = skeleton_test::loadText(overlapFile(nearFirst));
        ASSERT_EQ(l.output, "");
        Skeleton& s = *l.skeleton;
        const int nearIndex = nearFirst ? 1 : 3, farIndex = nearFirst ? 3 : 2;
        ASSERT_TRUE(skeleton_test::near(s.boneAt(farIndex)->frame().axisY, Vec3(1, 0, 0), 1e-9));
        pickAt(s, midpoint(s, nearIndex));
        EXPECT_EQ(s.selectedBone(), s.boneAt(nearIndex));

        // Without the near bone the same pixel finds the far one, so both
        // really were under the pointer.
        skeleton_test::Loaded farOnly = skeleton_test::loadText(overlapFile(nearFirst, "0"));
        pickAt(*farOnly.skeleton, midpoint(s, nearIndex));
        EXPECT_EQ(farOnly.skeleton->selectedBone(), farOnly.skeleton->boneAt(farIndex));
    }
}

TEST_F(SkeletonPick, PickOnEmptySpaceDeselects) {
    auto skeleton = defaultSkeleton();
    pickAt(*skeleton, midpoint(*skeleton, LEFT_THIGH));
    ASSERT_EQ(skeleton->selectedBone(), skeleton->boneAt(LEFT_THIGH));

    pickAt(*skeleton, Pixel{20, HEIGHT - 20});
    EXPECT_EQ(skeleton->selectedBone(), nullptr);
    EXPECT_EQ(selectedFlags(*skeleton), 0);
    EXPECT_FALSE(skeleton->pickRequested);
    drawFrame(*skeleton);
    EXPECT_EQ(selectedPixelsAnywhere(), 0);
}

TEST_F(SkeletonPick, PickWaitsForAViewportCoveringTheWindow) {
    auto skeleton = defaultSkeleton();
    pickAt(*skeleton, midpoint(*skeleton, LEFT_THIGH));
    ASSERT_EQ(skeleton->selectedBone(), skeleton->boneAt(LEFT_THIGH));

    const Pixel head = midpoint(*skeleton, HEAD);
    glViewport(0, 0, WIDTH / 2, HEIGHT / 2);
    pickAt(*skeleton, head);
    drawFrame(*skeleton);
    // Postponed: the old highlight is gone but the bone stays selected.
    EXPECT_TRUE(skeleton->pickRequested);
    EXPECT_EQ(skeleton->selectedBone(), skeleton->boneAt(LEFT_THIGH));
    EXPECT_EQ(selectedFlags(*skeleton), 0);

    glViewport(0, 0, WIDTH, HEIGHT);
    drawFrame(*skeleton);
    EXPECT_FALSE(skeleton->pickRequested);
    EXPECT_EQ(skeleton->selectedBone(), skeleton->boneAt(HEAD));
    EXPECT_EQ(selectedFlags(*skeleton), 1);
}

TEST_F(SkeletonPick, GhostDrawsNoOriginMarker) {
    auto skeleton = defaultSkeleton();
    auto ghost = defaultSkeleton();
    // A corner of the marker square that no bone covers.
    const Pixel corner = project(*skeleton, skeleton->origin() + Vec3(0.35, 0, 0.4));

    drawFrame(*skeleton);
    const GlTestWindow::Pixel marked = window.pixel(corner.x, corner.y);
    EXPECT_LT(marked.g, 30);
    EXPECT_GT(marked.r, marked.g);

    // The ghost alone over the clear colour: the corner keeps it.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    lookAt(*skeleton);
    drawSkeleton(*ghost, 0.2, WIDTH, HEIGHT);
    glPopMatrix();
    const GlTestWindow::Pixel unmarked = window.pixel(corner.x, corner.y);
    EXPECT_EQ(unmarked.g, 204);
    EXPECT_EQ(unmarked.r, 26);

    // ...and its translucent bones still show, blended over the background.
    const Pixel thigh = midpoint(*ghost, LEFT_THIGH);
    int tinted = 0;
    for (const GlTestWindow::Pixel& p : read(thigh.x - 3, thigh.y - 3, 7))
        tinted += p.g != 204 || p.r != 26;
    EXPECT_GT(tinted, 0);
}

TEST_F(SkeletonPick, DrawingAndPickingLeaveTheGlStateAsTheyFoundIt) {
    auto skeleton = defaultSkeleton();
    GLdouble projectionBefore[16], projectionAfter[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projectionBefore);
    for (bool lit : {true, false}) {
        SCOPED_TRACE(lit);
        lit ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
        pickAt(*skeleton, midpoint(*skeleton, HEAD));
        EXPECT_EQ(skeleton->selectedBone(), skeleton->boneAt(HEAD));
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), lit ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(glIsEnabled(GL_CULL_FACE), GL_TRUE);
        GLint mode, renderMode;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_RENDER_MODE, &renderMode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(renderMode, GL_RENDER);
        glGetDoublev(GL_PROJECTION_MATRIX, projectionAfter);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(projectionAfter[i], projectionBefore[i]);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST(SkeletonPickHits, NearestByMinimumThenMaximumDepth) {
    using Buffer = std::vector<unsigned int>;
    struct Case {
        const char* what;
        Buffer buffer;
        int hits;
        long expected;
    };
    const unsigned int farthest = 0xffffffffu;
    const Case cases[] = {
        {"no hit", {}, 0, -1},
        {"smaller minimum wins", {1, 100, 200, 3, 1, 50, 900, 7}, 2, 7},
        {"equal minimum: smaller maximum wins", {1, 50, 900, 3, 1, 50, 600, 9}, 2, 9},
        {"full tie keeps the earlier record", {1, 50, 600, 9, 1, 50, 600, 11}, 2, 9},
        // Depths are unsigned: the top bit set is far, not negative.
        {"unsigned depths", {1, 0x80000000u, farthest, 2, 1, 0x7fffffffu, farthest, 4}, 2, 4},
        {"a lone record at the far plane still counts", {1, farthest, farthest, 5}, 1, 5},
        // A count larger than the records that fit reads only those.
        {"truncated buffer", {1, 10, 20, 6, 1, 5}, 3, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(nearestHitName(c.buffer, c.buffer.size(), c.hits), c.expected);
    }
}
