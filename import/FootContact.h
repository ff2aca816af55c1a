#pragma once

#include "skeleton/Vec3.h"

#include <array>
#include <vector>

// Where the feet are, frame by frame, for putting the figure on its floor.
// Clip values are in the clip's units, turned so that y is up.
struct FeetFrame {
    // The clip's hips joint.
    Vec3 clipHips{0, 0, 0};
    // The lowest point of each clip foot (left, right).
    std::array<Vec3, 2> clipFoot{Vec3(0, 0, 0), Vec3(0, 0, 0)};
    // The height of the lowest point of each figure foot above the figure's
    // root joint, figure units (negative: the feet hang below the hips).
    std::array<double, 2> figureFoot{0, 0};
};

// The clip's floor: the height that a tenth of the frames' lowest foot
// points lie below (a low mark rather than the very lowest, which marker
// slips pull through the floor).
double clipFloor(const std::vector<FeetFrame>& frames);

// Per frame, whether each foot stands on the clip's floor: its lowest point
// within a twentieth of `legLength` of `floor` and moving slower than half
// a leg length per second. Stands and steps shorter than 0.1 s are taken
// for noise and merged into what surrounds them.
std::vector<std::array<bool, 2>> detectContacts(const std::vector<FeetFrame>& frames,
                                                double frameTime, double legLength, double floor);

// The height of the figure's root joint at every frame: the clip's hips
// height above its floor times `scale` above `ground`, corrected so that a
// foot standing on the clip's floor stands on `ground` (of two, the one
// that needs the root higher), the correction carried in a straight line
// from one stand to the next, and raised wherever a foot would go below
// `ground`.
std::vector<double> rootHeights(const std::vector<FeetFrame>& frames,
                                const std::vector<std::array<bool, 2>>& contact, double scale,
                                double floor, double ground);
