#include "import/FigureGround.h"

#include "import/BoneMap.h"

#include <algorithm>

double figureGround(const Skeleton& figure) {
    if (!figure.complete()) {
        return 0;
    }
    double lowest = figure.boneAt(FigureBone::LeftFoot)->position().y;
    for (int foot : {FigureBone::LeftFoot, FigureBone::RightFoot}) {
        const Bone& bone = *figure.boneAt(foot);
        lowest = std::min({lowest, bone.position().y, bone.endPoint().y});
    }
    return lowest;
}
