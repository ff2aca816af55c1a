#pragma once

#include "skeleton/Skeleton.h"

#include <array>
#include <string>

// The program's figure (resources/config/skeleton/default.rgcf) bone by bone:
// the one table of its bones' indices, names, sides and left-right partners
// that the editor, the exporters, the importer and the sample maker share.
// The figure faces +z; its left side is +x.

// The figure's bones by index (parents before children).
namespace FigureBone {
enum : int {
    Hips = 0,
    LowerSpine = 1,
    UpperSpine = 2,
    Neck = 3,
    Head = 4,
    LeftHip = 5,
    LeftThigh = 6,
    LeftShin = 7,
    LeftFoot = 8,
    RightHip = 9,
    RightThigh = 10,
    RightShin = 11,
    RightFoot = 12,
    LeftShoulder = 13,
    LeftUpperArm = 14,
    LeftForearm = 15,
    LeftHand = 16,
    RightShoulder = 17,
    RightUpperArm = 18,
    RightForearm = 19,
    RightHand = 20,
};
} // namespace FigureBone

enum class BoneSide { Centre, Left, Right };

// One bone of the figure.
struct FigureBoneInfo {
    int index;
    // -1 for the root.
    int parent;
    // As the exporters write it: "right_forearm".
    const char* name;
    BoneSide side;
    // The bone on the other side (itself for a bone on the middle line).
    int mirror;
};

// The figure's bones in index order.
const std::array<FigureBoneInfo, POSE_BONE_COUNT>& figureBones();

// The name of bone `index`: for the figure's tree, the table's name
// ("right_forearm"); for any other skeleton "bone_<index>". "" for an index
// outside the skeleton.
std::string boneName(const Skeleton& skeleton, int index);
// The same for people to read: "right forearm", "bone 7".
std::string boneLabel(const Skeleton& skeleton, int index);
// Whether the skeleton's tree is the figure's, bone for bone.
bool isDefaultFigure(const Skeleton& skeleton);
