#include "motion/Ground.h"

#include "motion/BoneTable.h"

#include <algorithm>
#include <limits>

double groundHeight(const Skeleton& startPose) {
    if (startPose.boneCount() == 0)
        return 0;
    double lowest = std::numeric_limits<double>::infinity();
    for (int i = 0; i < startPose.boneCount(); ++i) {
        const Bone& bone = *startPose.boneAt(i);
        lowest = std::min({lowest, bone.position().y, bone.endPoint().y});
    }
    return lowest;
}

double lowestFootPoint(const Skeleton& figure) {
    double lowest = std::numeric_limits<double>::infinity();
    for (int foot : {FigureBone::LeftFoot, FigureBone::RightFoot}) {
        const Bone& bone = *figure.boneAt(foot);
        lowest = std::min({lowest, bone.position().y, bone.endPoint().y});
    }
    return lowest;
}
