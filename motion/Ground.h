#pragma once

#include "skeleton/Skeleton.h"

// The one ground of the program: the height the figure stands on, which is
// where its lowest point (a joint or a bone's tip: for the program's figure,
// under its feet) is in the pose its skeleton file gives. The sample
// animations stand on it, the exporters write heights from it (so the start
// pose's feet are at 0 in other tools), and what brings motion in or draws
// it out puts the figure on it.

// The ground under `startPose`, a skeleton as its file poses it; 0 for a
// skeleton without bones.
double groundHeight(const Skeleton& startPose);

// Height of the lowest point of the feet (ankles and toes) of the program's
// figure as it stands now.
double lowestFootPoint(const Skeleton& figure);
