#include "motion/BoneTable.h"

#include <algorithm>

const std::array<FigureBoneInfo, POSE_BONE_COUNT>& figureBones() {
    static const std::array<FigureBoneInfo, POSE_BONE_COUNT> table = {{
        {0, -1, "hips", BoneSide::Centre, 0},
        {1, 0, "lower_spine", BoneSide::Centre, 1},
        {2, 1, "upper_spine", BoneSide::Centre, 2},
        {3, 2, "neck", BoneSide::Centre, 3},
        {4, 3, "head", BoneSide::Centre, 4},
        {5, 0, "left_hip", BoneSide::Left, 9},
        {6, 5, "left_thigh", BoneSide::Left, 10},
        {7, 6, "left_shin", BoneSide::Left, 11},
        {8, 7, "left_foot", BoneSide::Left, 12},
        {9, 0, "right_hip", BoneSide::Right, 5},
        {10, 9, "right_thigh", BoneSide::Right, 6},
        {11, 10, "right_shin", BoneSide::Right, 7},
        {12, 11, "right_foot", BoneSide::Right, 8},
        {13, 2, "left_shoulder", BoneSide::Left, 17},
        {14, 13, "left_upper_arm", BoneSide::Left, 18},
        {15, 14, "left_forearm", BoneSide::Left, 19},
        {16, 15, "left_hand", BoneSide::Left, 20},
        {17, 2, "right_shoulder", BoneSide::Right, 13},
        {18, 17, "right_upper_arm", BoneSide::Right, 14},
        {19, 18, "right_forearm", BoneSide::Right, 15},
        {20, 19, "right_hand", BoneSide::Right, 16},
    }};
    return table;
}

bool isDefaultFigure(const Skeleton& skeleton) {
    if (skeleton.boneCount() != POSE_BONE_COUNT)
        return false;
    for (const FigureBoneInfo& bone : figureBones()) {
        const Bone* parent = skeleton.boneAt(bone.index)->parent();
        if ((parent ? parent->index() : -1) != bone.parent)
            return false;
    }
    return true;
}

std::string boneName(const Skeleton& skeleton, int index) {
    if (!skeleton.boneAt(index))
        return "";
    if (isDefaultFigure(skeleton))
        return figureBones()[static_cast<std::size_t>(index)].name;
    return "bone_" + std::to_string(index);
}

std::string boneLabel(const Skeleton& skeleton, int index) {
    std::string label = boneName(skeleton, index);
    std::replace(label.begin(), label.end(), '_', ' ');
    return label;
}
