// Bone names as the exporter writes them and the status line says them.
#include "skeleton/BoneNames.h"
#include "tests/skeleton/SkeletonTestSupport.h"

using namespace skeleton_test;

TEST(BoneNames, TheDefaultFigureByNameOthersByNumber) {
    Loaded figure = loadFile(defaultSkeletonPath());
    ASSERT_TRUE(isDefaultFigure(*figure.skeleton));
    EXPECT_EQ(boneName(*figure.skeleton, 0), "hips");
    EXPECT_EQ(boneName(*figure.skeleton, 19), "right_forearm");
    EXPECT_EQ(boneLabel(*figure.skeleton, 19), "right forearm");
    EXPECT_EQ(boneName(*figure.skeleton, 21), "");
    EXPECT_EQ(boneName(*figure.skeleton, -1), "");

    // The same bones in another order are another tree.
    Loaded reordered = loadFile(dataPath("symmetric_reordered.rgcf"));
    ASSERT_EQ(reordered.skeleton->boneCount(), 21);
    EXPECT_FALSE(isDefaultFigure(*reordered.skeleton));
    EXPECT_EQ(boneName(*reordered.skeleton, 7), "bone_7");
    EXPECT_EQ(boneLabel(*reordered.skeleton, 7), "bone 7");
    Loaded none = loadText("");
    EXPECT_EQ(boneName(*none.skeleton, 0), "");
}
