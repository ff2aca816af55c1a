#include "skeleton/BoneNames.h"

#include "skeleton/Skeleton.h"

#include <algorithm>

namespace {

// The default figure's tree (resources/config/skeleton/default.rgcf): each
// bone's parent index and its name.
struct NamedBone {
    int parent;
    const char* name;
};
const NamedBone DEFAULT_FIGURE[POSE_BONE_COUNT] = {
    {-1, "hips"},       {0, "lower_spine"},    {1, "upper_spine"},      {2, "neck"},
    {3, "head"},        {0, "left_hip"},       {5, "left_thigh"},       {6, "left_shin"},
    {7, "left_foot"},   {0, "right_hip"},      {9, "right_thigh"},      {10, "right_shin"},
    {11, "right_foot"}, {2, "left_shoulder"},  {13, "left_upper_arm"},  {14, "left_forearm"},
    {15, "left_hand"},  {2, "right_shoulder"}, {17, "right_upper_arm"}, {18, "right_forearm"},
    {19, "right_hand"},
};

} // namespace

bool isDefaultFigure(const Skeleton& skeleton) {
    if (skeleton.boneCount() != POSE_BONE_COUNT)
        return false;
    for (int i = 0; i < POSE_BONE_COUNT; ++i) {
        const Bone* parent = skeleton.boneAt(i)->parent();
        if ((parent ? parent->index() : -1) != DEFAULT_FIGURE[i].parent)
            return false;
    }
    return true;
}

std::string boneName(const Skeleton& skeleton, int index) {
    if (!skeleton.boneAt(index))
        return "";
    if (isDefaultFigure(skeleton))
        return DEFAULT_FIGURE[index].name;
    return "bone_" + std::to_string(index);
}

std::string boneLabel(const Skeleton& skeleton, int index) {
    std::string label = boneName(skeleton, index);
    std::replace(label.begin(), label.end(), '_', ' ');
    return label;
}
