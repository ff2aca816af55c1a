#include "skeleton/AxisFrame.h"

#include "tests/skeleton/SkeletonTestSupport.h"

#include <cstring>
#include <random>

using skeleton_test::near;
using skeleton_test::orthonormal;

namespace {

const Vec3 X(1, 0, 0), Y(0, 1, 0), Z(0, 0, 1);

bool bitIdentical(const AxisFrame& a, const AxisFrame& b) {
    return std::memcmp(&a, &b, sizeof(AxisFrame)) == 0;
}

// The closed form the composed plane rotations must agree with: a rotation
// by -e about the unit axis in the right-handed sense.
Vec3 closedForm(const Vec3& p, const Vec3& axis, double degrees) {
    const double length = std::sqrt(skeleton_test::dot(axis, axis));
    const Vec3 a(axis.x / length, axis.y / length, axis.z / length);
    const double e = degreesToRadians(degrees);
    const Vec3 cross(a.y * p.z - a.z * p.y, a.z * p.x - a.x * p.z, a.x * p.y - a.y * p.x);
    const double along = skeleton_test::dot(a, p) * (1 - std::cos(e));
    return Vec3(p.x * std::cos(e) - cross.x * std::sin(e) + a.x * along,
                p.y * std::cos(e) - cross.y * std::sin(e) + a.y * along,
                p.z * std::cos(e) - cross.z * std::sin(e) + a.z * along);
}

} // namespace

TEST(AxisFrame, DefaultsAndDegenerateInputs) {
    {
        AxisFrame f;
        EXPECT_TRUE(skeleton_test::same(f.axisX, X));
        EXPECT_TRUE(skeleton_test::same(f.axisY, Y));
        EXPECT_TRUE(skeleton_test::same(f.axisZ, Z));
        EXPECT_TRUE(near(f.toWorld(0, 2.5, 0), Vec3(0, 2.5, 0), 0));
    }
    {
        // An unknown axis code turns nothing but still renormalises.
        AxisFrame f;
        f.axisX = Vec3(2, 0, 0);
        f.axisY = Vec3(0, 3, 0);
        f.axisZ = Vec3(0, 0, 0.5);
        testing::internal::CaptureStdout();
        f.rotate(45, 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_TRUE(near(f.axisX, X, 1e-15));
        EXPECT_TRUE(near(f.axisY, Y, 1e-15));
        EXPECT_TRUE(near(f.axisZ, Z, 1e-15));
    }
    {
        // Both arc tangents of the zero axis are 0: it rotates about y.
        EXPECT_TRUE(near(rotateAboutAxis(X, Vec3(0, 0, 0), 90), rotateAboutAxis(X, Y, 90), 0));
    }
    {
        // A zero axis in a frame stays zero rather than becoming NaN.
        AxisFrame f;
        f.axisZ = Vec3(0, 0, 0);
        testing::internal::CaptureStdout();
        f.rotate(30, AXIS_X);
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(skeleton_test::same(f.axisZ, Vec3(0, 0, 0)));
        EXPECT_TRUE(near(f.axisX, X, 0));
    }
}

TEST(AxisFrame, RotatesAboutEachAxisCodeInItsSense) {
    struct Case {
        int code;
        Vec3 x, y, z;
    };
    const Case cases[] = {
        {AXIS_X, X, Vec3(0, 0, -1), Vec3(0, 1, 0)},
        {AXIS_Y, Vec3(0, 0, 1), Y, Vec3(-1, 0, 0)},
        {AXIS_Z, Vec3(0, -1, 0), Vec3(1, 0, 0), Z},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        AxisFrame f;
        f.rotate(90, c.code);
        EXPECT_TRUE(near(f.axisX, c.x, 1e-12));
        EXPECT_TRUE(near(f.axisY, c.y, 1e-12));
        EXPECT_TRUE(near(f.axisZ, c.z, 1e-12));
        // The axis turned about is untouched, bit for bit.
        const Vec3& kept = c.code == AXIS_X ? f.axisX : c.code == AXIS_Y ? f.axisY : f.axisZ;
        EXPECT_TRUE(skeleton_test::same(kept, c.code == AXIS_X ? X : c.code == AXIS_Y ? Y : Z));

        f.rotate(-90, c.code);
        EXPECT_TRUE(near(f.axisX, X, 1e-12));
        EXPECT_TRUE(near(f.axisY, Y, 1e-12));
        EXPECT_TRUE(near(f.axisZ, Z, 1e-12));
    }
}

TEST(AxisFrame, AnglesWithinToleranceChangeNothingBitForBit) {
    // Skewed, non-unit axes show that not even renormalisation happens.
    AxisFrame start;
    start.axisX = Vec3(2, 0.01, 0);
    start.axisY = Vec3(0, 3, 0);
    start.axisZ = Vec3(0.1, 0, 0.5);
    for (double d : {0.00005, -0.00005, ANGLE_TOLERANCE, -ANGLE_TOLERANCE, 0.0}) {
        for (int code : {AXIS_X, AXIS_Y, AXIS_Z, 0}) {
            AxisFrame f = start;
            testing::internal::CaptureStdout();
            f.rotate(d, code);
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            EXPECT_TRUE(bitIdentical(f, start)) << d << " about " << code;
        }
        EXPECT_TRUE(skeleton_test::same(rotateAboutAxis(Vec3(1, 2, 3), Y, d), Vec3(1, 2, 3)));
    }
    // The tolerance itself is the single-precision 0.0001; just above it
    // the frame does turn.
    EXPECT_EQ(ANGLE_TOLERANCE, 9.999999747378752e-05);
    AxisFrame f;
    f.rotate(ANGLE_TOLERANCE * 1.01, AXIS_Y);
    EXPECT_FALSE(bitIdentical(f, AxisFrame()));
}

TEST(AxisFrame, SkewedFrameReportsOnceAndStaysUsable) {
    AxisFrame f;
    f.axisX = Vec3(1, 0.01, 0);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(f.checkOrthogonal());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "EXCEPTION: AXES NOT ORTHOGONAL");

    testing::internal::CaptureStdout();
    f.rotate(30, AXIS_Y);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "EXCEPTION: AXES NOT ORTHOGONAL");
    EXPECT_TRUE(near(f.axisY, Y, 0));
    EXPECT_NEAR(std::sqrt(skeleton_test::dot(f.axisX, f.axisX)), 1, 1e-15);

    testing::internal::CaptureStdout();
    EXPECT_TRUE(AxisFrame().checkOrthogonal());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    // The test runs on the renormalised axes: a dot product of 0.00016
    // between a unit axis and one of length 2 is 0.00008 once both are
    // unit vectors, inside the tolerance.
    AxisFrame longY;
    longY.axisY = Vec3(0.00016, 2, 0);
    testing::internal::CaptureStdout();
    longY.rotate(45, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NEAR(skeleton_test::dot(longY.axisX, longY.axisY), 0.00008, 1e-12);
}

TEST(RotateAboutAxis, KnownRotations) {
    struct Case {
        Vec3 p, axis;
        double degrees;
        Vec3 expected;
    };
    const Case cases[] = {
        {X, Y, 90, Vec3(0, 0, 1)},
        {Y, X, 90, Vec3(0, 0, -1)},
        {X, Z, 90, Vec3(0, -1, 0)},
        {X, Vec3(1, 1, 1), 120, Vec3(0, 0, 1)},
        // f = 0 and g = 180: the opposite turn to the same angle about +y.
        {X, Vec3(0, -1, 0), 90, Vec3(0, 0, -1)},
        // The axis need not be of unit length.
        {X, Vec3(0, 7, 0), 90, Vec3(0, 0, 1)},
        {Vec3(0.3, -2, 5), Vec3(-1, 0.5, 2), -73,
         closedForm(Vec3(0.3, -2, 5), Vec3(-1, 0.5, 2), -73)},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(near(rotateAboutAxis(c.p, c.axis, c.degrees), c.expected, 1e-12));
}

TEST(RotateAboutAxis, AgreesWithTheClosedFormForRandomAxes) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> component(-3, 3), angle(-720, 720);
    for (int i = 0; i < 2000; ++i) {
        const Vec3 p(component(random), component(random), component(random));
        const Vec3 axis(component(random), component(random), component(random));
        const double degrees = angle(random);
        ASSERT_TRUE(near(rotateAboutAxis(p, axis, degrees), closedForm(p, axis, degrees), 1e-11))
            << "case " << i;
    }
}

TEST(RotateAboutAxis, ShortenedPiLeavesACosineResidue) {
    // cos(90 degrees) with pi cut to 3.141592653589 is about 3.97e-13, far
    // above the 6e-17 the full-precision value gives.
    const Vec3 r = rotateAboutAxis(X, Y, 90);
    EXPECT_NEAR(r.x, 3.97e-13, 0.01e-13);
    EXPECT_DOUBLE_EQ(r.z, 1);
    EXPECT_NEAR(rotateInXZ(X, 90).x, 3.97e-13, 0.01e-13);
}

TEST(AxisFrame, ToWorldCombinesTheAxes) {
    AxisFrame f;
    f.rotate(90, AXIS_Z); // x -> -y, y -> +x
    EXPECT_TRUE(near(f.toWorld(2, 3, 4), Vec3(3, -2, 4), 1e-11));
}

TEST(AxisFrame, RepeatedRandomTurnsStayOrthonormal) {
    // The renormalisation after each turn keeps the lengths at 1; the
    // composed rotations are exact enough that the angles do not drift.
    std::mt19937 random(11);
    std::uniform_real_distribution<double> angle(-180, 180);
    std::uniform_int_distribution<int> code(1, 3);
    AxisFrame f;
    testing::internal::CaptureStdout();
    for (int i = 0; i < 100000; ++i)
        f.rotate(angle(random), code(random) * 10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(orthonormal(f, 1e-6));
}
