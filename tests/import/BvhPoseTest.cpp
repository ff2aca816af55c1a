#include "import/BvhPose.h"

#include "import/BvhReader.h"
#include "import/Rotations.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Hips at the origin (six channels), one joint a unit up with three
// rotation channels in the given order and a tip one unit further up.
BvhClip twoJoints(const std::string& order, const std::string& motion) {
    std::string channels;
    for (char axis : order) {
        channels += std::string(" ") + axis + "rotation";
    }
    const std::string text = "HIERARCHY\nROOT Hips\n{\nOFFSET 0 0 0\n"
                             "CHANNELS 6 Xposition Yposition Zposition Xrotation Yrotation "
                             "Zrotation\nJOINT Knee\n{\nOFFSET 0 1 0\nCHANNELS 3" +
                             channels +
                             "\nEnd Site\n{\nOFFSET 0 1 0\n}\n}\n}\nMOTION\nFrames: 1\n"
                             "Frame Time: 0.1\n" +
                             motion + "\n";
    BvhClip clip;
    std::string error;
    EXPECT_TRUE(parseBvh(text, clip, error)) << error;
    return clip;
}

void expectNear(const Vec3& a, const Vec3& b, const std::string& what) {
    EXPECT_NEAR((a - b).length(), 0, 1e-9) << what << ": " << a << " against " << b;
}

} // namespace

TEST(BvhKinematics, TurnsChannelsRightHandedInTheOrderListed) {
    struct Case {
        std::string order;
        std::string motion;
        bool moving;
        Vec3 knee, tip;
    };
    const Case cases[] = {
        {"XYZ", "0 0 0 0 0 0 90 0 0", true, {0, 1, 0}, {0, 1, 1}},
        {"XYZ", "0 0 0 0 0 0 0 0 90", true, {0, 1, 0}, {-1, 1, 0}},
        // Listed first, applied last to the bone: Rx(90) Rz(90) against
        // Rz(90) Rx(90).
        {"XZY", "0 0 0 0 0 0 90 90 0", true, {0, 1, 0}, {-1, 1, 0}},
        {"ZXY", "0 0 0 0 0 0 90 90 0", true, {0, 1, 0}, {0, 1, 1}},
        // The root's turn carries its children; its position channels add
        // to its offset, but only where they count.
        {"XYZ", "1 2 3 0 0 90 0 0 0", true, {0, 2, 3}, {-1, 2, 3}},
        {"XYZ", "1 2 3 0 0 0 0 0 0", false, {0, 1, 0}, {0, 2, 0}},
    };
    for (const Case& c : cases) {
        const BvhClip clip = twoJoints(c.order, c.motion);
        const BvhKinematics kinematics(clip, {c.moving, true});
        BvhPose pose;
        kinematics.pose(0, pose);
        const std::string what = c.order + " " + c.motion;
        expectNear(pose.positions[1], c.knee, what);
        expectNear(kinematics.endSite(pose, 1), c.tip, what);
    }
}

TEST(BvhKinematics, SmoothingTakesJitterOutOfFastClipsOnly) {
    // The knee swings by 1 degree up and down every frame: jitter at 100
    // fps, a choice of samples at 10 fps.
    std::string text = "HIERARCHY\nROOT Hips\n{\nOFFSET 0 0 0\nCHANNELS 3 Xrotation Yrotation "
                       "Zrotation\nEnd Site\n{\nOFFSET 0 1 0\n}\n}\nMOTION\nFrames: 21\n"
                       "Frame Time: 0.01\n";
    for (int f = 0; f < 21; ++f) {
        text += std::to_string(30 + (f % 2 ? 1 : -1)) + " 0 0\n";
    }
    BvhClip fast;
    std::string error;
    ASSERT_TRUE(parseBvh(text, fast, error)) << error;
    BvhClip slow = fast;
    slow.frameTime = 0.1;
    struct Case {
        const BvhClip* clip;
        double smoothing;
        double largestSwing;
    };
    const Case cases[] = {{&fast, 0, 2}, {&fast, 1.0 / 60, 0.2}, {&slow, 1.0 / 60, 2}};
    for (const Case& c : cases) {
        const BvhKinematics kinematics(*c.clip, {}, c.smoothing);
        BvhPose a, b;
        double swing = 0;
        for (int f = 5; f < 15; ++f) {
            kinematics.pose(f, a);
            kinematics.pose(f + 1, b);
            swing = std::max(swing, degreesBetween(a.rotations[0], b.rotations[0]));
            // Smoothed or not, the knee stays about 30 degrees up.
            EXPECT_NEAR(degreesBetween(a.rotations[0], Quat{}), 30, 1.01);
        }
        EXPECT_NEAR(swing, c.largestSwing, c.largestSwing == 2 ? 1e-9 : 0.2)
            << c.clip->frameTime << " s per frame, smoothing " << c.smoothing;
    }
}
