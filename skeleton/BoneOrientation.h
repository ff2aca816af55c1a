#pragma once

#include "skeleton/Bone.h"

// The inverse of a bone's frame rebuild (Bone::frameOn): the three angles
// that turn a parent's frame into a wanted orientation. BonePose holds them
// as x = main, y = sec, z = own, in the rebuild's degrees (converted with
// DEG_PI, so a full turn is a hair over 360 of them).
//
// One orientation has two angle triples, (main, sec, own) and
// (-main, sec + 180, own + 180), and each angle is as good a full turn either
// way. Where main is 0 or 180 the long axis lies on the parent's y axis and
// sec and own turn about one line, so only their sum (at 180 their
// difference) is fixed. With main axis 20 all three angles turn about y and
// only turns about the parent's y axis are reachable. The rebuild skips an
// angle within ANGLE_TOLERANCE of 0, so every value in that band is the same
// solution; the one nearest the reference is returned.

// One full turn in the rebuild's degrees: 2 pi radians converted with the
// shortened DEG_PI, about 360.00000000009. Angles a turn apart give one frame
// only when they differ by this.
constexpr double REBUILD_TURN = 2 * 3.14159265358979323846 * 180 / DEG_PI;

// The angles whose rebuild on `parentFrame` (the identity for a root) gives
// `bone` the orientation `wanted`. Of the exact solutions, the one inside the
// bone's limits nearest `reference` (for example the present angles); where
// sec and own share a line the turn is split between them from the
// reference, and an angle that is 0 there stays 0. When no exact solution
// lies inside the limits, sec and main are clamped into them and own is the
// best twist that remains, clamped too. A frame with a NaN or infinity gives
// the reference clamped into the limits.
BonePose solveBoneAngles(const Bone& bone, const AxisFrame& parentFrame, const AxisFrame& wanted,
                         const BonePose& reference);
