#pragma once

class Bone;
class Skeleton;

// Draws one bone as three thin triangles meeting at its tip (the root draws
// nothing). Needs a current GL context.
void drawBone(const Bone& bone, double alpha);

// Draws every bone, runs a pending pick (see pickBone) and, when alpha >= 1,
// the origin marker. windowWidth/windowHeight are the window's current size
// in pixels.
void drawSkeleton(Skeleton& skeleton, double alpha, int windowWidth, int windowHeight);

// Selection-mode pick at (pickX, pickY): the nearest bone under that pixel
// becomes the selected bone, a miss deselects. Postponed (pickRequested stays
// set) while the viewport does not cover the whole window.
void pickBone(Skeleton& skeleton, int windowWidth, int windowHeight);
