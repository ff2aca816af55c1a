#include "skeleton/ScreenProjection.h"

#include "scene/Camera.h"
#include "scene/CameraProjection.h"
#include "tests/skeleton/SkeletonTestSupport.h"

using skeleton_test::near;

namespace {

struct Pixel {
    double x, y;
};

// The start view around a root at (0, 1.46, 0), in an 800 x 600 window.
ScreenProjection startView() {
    static const Vec3 root(0, 1.46, 0);
    Camera c;
    c.mode = CAMERA_ORBIT;
    c.target = &root;
    c.update(0);
    return cameraProjection(c, 800, 600);
}

} // namespace

TEST(ScreenProjection, DefaultsAndDegenerateInputs) {
    ScreenProjection s;
    Vec3 w;
    ASSERT_TRUE(s.project(Vec3(0, 0, 0), w));
    EXPECT_EQ(w, Vec3(0.5, 0.5, 0.5));
    Vec3 forward;
    ASSERT_TRUE(s.viewDirection(forward));
    EXPECT_EQ(forward, Vec3(0, 0, -1));

    // A projection that sends every w to 0: nothing can be projected, and
    // the output keeps what it held.
    ScreenProjection flat;
    flat.projection[15] = 0;
    w = Vec3(7, 7, 7);
    EXPECT_FALSE(flat.project(Vec3(1, 2, 3), w));
    EXPECT_FALSE(flat.projectInFront(Vec3(1, 2, 3), w));
    EXPECT_EQ(w, Vec3(7, 7, 7));
    EXPECT_FALSE(flat.unproject(Vec3(0.5, 0.5, 0.5), w));

    ScreenProjection singular;
    singular.modelView[0] = 0;
    Vec3 origin(9, 9, 9), direction(9, 9, 9);
    EXPECT_FALSE(singular.unproject(Vec3(0.5, 0.5, 0.5), w));
    EXPECT_FALSE(singular.rayAt(0.5, 0.5, origin, direction));
    EXPECT_FALSE(singular.viewDirection(direction));
    EXPECT_EQ(origin, Vec3(9, 9, 9));
    EXPECT_EQ(direction, Vec3(9, 9, 9));

    ScreenProjection empty;
    empty.viewport = {{0, 0, 0, 600}};
    EXPECT_FALSE(empty.unproject(Vec3(0, 0, 0.5), w));
}

TEST(ScreenProjection, MatrixHelpers) {
    Matrix4 m = identityMatrix();
    m[0] = 2;   // scale x by 2
    m[13] = -3; // then move y by -3
    m[2] = 0.5; // and shear z by x
    EXPECT_EQ(multiply(m, identityMatrix()), m);
    EXPECT_EQ(multiply(identityMatrix(), m), m);
    Matrix4 inverse;
    ASSERT_TRUE(invert(m, inverse));
    const Matrix4 product = multiply(m, inverse);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(product[i], identityMatrix()[i], 1e-15) << i;

    // b applies first: a translation then a scale moves by the scaled amount.
    Matrix4 scale = identityMatrix(), move = identityMatrix();
    scale[0] = scale[5] = scale[10] = 2;
    move[12] = 1;
    EXPECT_EQ(multiply(scale, move)[12], 2);

    Matrix4 singular = identityMatrix(), untouched = m;
    singular[5] = 0;
    EXPECT_FALSE(invert(singular, untouched));
    EXPECT_EQ(untouched, m);
    singular[5] = NAN;
    EXPECT_FALSE(invert(singular, untouched));
}

TEST(ScreenProjection, ProjectAndUnprojectRoundTrip) {
    const ScreenProjection s = startView();
    for (const Vec3& p :
         {Vec3(0, 1.46, 0), Vec3(0.4, 0.1, 0.3), Vec3(-0.8, 2.2, -0.5), Vec3(3, -1, 2)}) {
        Vec3 w, back;
        ASSERT_TRUE(s.projectInFront(p, w));
        EXPECT_GT(w.z, 0);
        EXPECT_LT(w.z, 1);
        ASSERT_TRUE(s.unproject(w, back));
        EXPECT_TRUE(near(back, p, 1e-9));
    }
    // Behind the eye (it sits at (0, 8.53, 7.07)): mirrored onto the window
    // by project, refused by projectInFront.
    Vec3 w(1, 2, 3);
    EXPECT_TRUE(s.project(Vec3(0, 12, 11), w));
    w = Vec3(1, 2, 3);
    EXPECT_FALSE(s.projectInFront(Vec3(0, 12, 11), w));
    EXPECT_EQ(w, Vec3(1, 2, 3));
}

TEST(ScreenProjection, RayUnderAPixelRunsThroughWhatProjectsThere) {
    const ScreenProjection s = startView();
    Vec3 forward;
    ASSERT_TRUE(s.viewDirection(forward));
    for (const Pixel& p : {Pixel{400, 300}, Pixel{13.5, 587}, Pixel{799, 1}}) {
        Vec3 origin, direction;
        ASSERT_TRUE(s.rayAt(p.x, p.y, origin, direction));
        EXPECT_NEAR(direction.length(), 1, 1e-12);
        EXPECT_GT(direction.dot(forward), 0.8); // the corners lie 34 degrees off
        Vec3 w;
        ASSERT_TRUE(s.project(origin, w));
        EXPECT_NEAR(w.z, 0, 1e-9) << "the origin lies on the near plane";
        for (double t : {0.5, 10.0, 300.0}) {
            ASSERT_TRUE(s.projectInFront(origin + direction * t, w));
            EXPECT_NEAR(w.x, p.x, 1e-6);
            EXPECT_NEAR(w.y, p.y, 1e-6);
        }
    }
    Vec3 origin, centre;
    ASSERT_TRUE(s.rayAt(400, 300, origin, centre));
    EXPECT_TRUE(near(centre, forward, 1e-12));
}
