// Bone names as the exporter writes them and the status line says them.
#include "motion/BoneTable.h"
#include "skeleton/PoseMirror.h"
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

// The table's partners and sides are what the figure's own geometry says
// (the mirror finds partners from the rest pose alone), and its names are
// the ones the exporters write.
TEST(BoneTable, AgreesWithTheFigureItself) {
    Loaded figure = loadFile(defaultSkeletonPath());
    PoseMirror mirror;
    ASSERT_TRUE(mirror.build(*figure.skeleton));
    for (const FigureBoneInfo& bone : figureBones()) {
        SCOPED_TRACE(bone.name);
        EXPECT_EQ(mirror.partnerOf(bone.index), bone.mirror);
        EXPECT_EQ(boneName(*figure.skeleton, bone.index), bone.name);
        const double x = figure.skeleton->boneAt(bone.index)->endPoint().x;
        const BoneSide side = bone.mirror == bone.index ? BoneSide::Centre
                              : x > 0                   ? BoneSide::Left
                                                        : BoneSide::Right;
        EXPECT_EQ(bone.side, side);
    }
}
