#include "import/JointNames.h"

#include <gtest/gtest.h>

TEST(JointNames, NormaliseAndTellSidesAcrossRigs) {
    struct Case {
        std::string name;
        std::string normalized;
        JointSide side;
    };
    const Case cases[] = {
        {"mixamorig:LeftUpLeg", "leftupleg", JointSide::Left},
        {"Character1_RightHand", "righthand", JointSide::Right},
        {"Bip01 L Thigh", "lthigh", JointSide::Left},
        {"Bip001_R_Calf", "rcalf", JointSide::Right},
        {"LHipJoint", "lhipjoint", JointSide::Left},
        {"rShldr", "rshldr", JointSide::Right},
        {"thigh_l", "thighl", JointSide::Left},
        {"hand.R", "handr", JointSide::Right},
        {"LeftCollar", "leftcollar", JointSide::Left},
        // Not sides: a word that starts with L or R, vertebrae, the middle.
        {"LowerBack", "lowerback", JointSide::None},
        {"RibCage", "ribcage", JointSide::None},
        {"L5", "l5", JointSide::None},
        {"Hips", "hips", JointSide::None},
        {"lhand", "lhand", JointSide::None},
        {"Spine_1", "spine1", JointSide::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(normalizedJointName(c.name), c.normalized) << c.name;
        EXPECT_EQ(jointSide(c.name), c.side) << c.name;
    }
}
