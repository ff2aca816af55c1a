#pragma once

class Skeleton;

// The floor the figure stands on: the height of the lowest point of its feet
// (the foot bones' joints and tips) in the pose `figure` has, which for a
// freshly loaded skeleton is its start pose. Imported motion puts feet that
// touch the clip's floor on this height and never lets a foot below it.
// Returns 0 for a skeleton that is not complete.
double figureGround(const Skeleton& figure);
