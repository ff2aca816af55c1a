#pragma once

#include <cstddef>
#include <vector>

class Bone;
class Skeleton;

// Draws one bone as three thin triangles meeting at its tip (the root draws
// nothing). Needs a current GL context.
void drawBone(const Bone& bone, double alpha);

// Draws every bone, runs a pending pick (see pickBone) and, when alpha >= 1,
// the origin marker. windowWidth/windowHeight are the window's current size
// in pixels. `together` draws all the bones in one call (opaque ones
// unblended): the same pixels for less work.
void drawSkeleton(Skeleton& skeleton, double alpha, int windowWidth, int windowHeight,
                  bool together = false);

// Selection-mode pick at (pickX, pickY): the nearest bone under that pixel
// becomes the selected bone, a miss deselects. Postponed (pickRequested stays
// set) while the viewport does not cover the whole window.
void pickBone(Skeleton& skeleton, int windowWidth, int windowHeight);

// The bone name a selection pass settles on, from the first `hits` hit
// records (name count, minimum depth, maximum depth, names) in the first
// `size` entries of `buffer`: the smallest minimum depth, then the smallest
// maximum depth, the earlier record on a full tie; depths compare as
// unsigned. Returns -1 when no complete record is there.
long nearestHitName(const std::vector<unsigned int>& buffer, std::size_t size, int hits);
