#include "RigFamilies.h"

#include "motion/BoneTable.h"

#include <algorithm>
#include <cctype>

namespace {

// `pattern` with its side filled in: "%%" takes "Left"/"Right", "%" the
// letters `letters` gives ("L"/"R" or "l"/"r"), "$" "l"/"r". A name with
// none stays as it is.
std::string sided(const std::string& pattern, bool left, const char* letters = "LR") {
    const std::size_t at = pattern.find_first_of("%$");
    if (at == std::string::npos) {
        return pattern;
    }
    const bool word = pattern.compare(at, 2, "%%") == 0;
    std::string side =
        word ? std::string(left ? "Left" : "Right") : std::string(1, letters[left ? 0 : 1]);
    if (pattern[at] == '$') {
        side[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(side[0])));
    }
    return std::string(pattern).replace(at, word ? 2 : 1, side);
}

// Names for the figure's bones: the middle ones, then the limbs of one side
// with "%" for it (left_hip to left_hand order).
std::map<std::string, std::string> names(const std::vector<std::string>& middle,
                                         const std::vector<std::string>& limb,
                                         const char* letters = "LR") {
    std::map<std::string, std::string> out;
    const char* middleBones[] = {"hips", "lower_spine", "upper_spine", "neck", "head"};
    for (std::size_t i = 0; i < middle.size(); ++i) {
        if (!middle[i].empty()) {
            out[middleBones[i]] = middle[i];
        }
    }
    const char* limbBones[] = {"hip",      "thigh",     "shin",    "foot",
                               "shoulder", "upper_arm", "forearm", "hand"};
    for (bool left : {true, false}) {
        for (std::size_t i = 0; i < limb.size(); ++i) {
            if (!limb[i].empty()) {
                out[std::string(left ? "left_" : "right_") + limbBones[i]] =
                    sided(limb[i], left, letters);
            }
        }
    }
    return out;
}

// Both sides of a list of leaves written for the left ("left_..." parents
// and "%" names).
std::vector<Dress::Leaf> bothSides(const std::vector<Dress::Leaf>& left,
                                   const char* letters = "LR") {
    std::vector<Dress::Leaf> out;
    for (bool isLeft : {true, false}) {
        for (Dress::Leaf leaf : left) {
            if (!isLeft) {
                if (leaf.parent.rfind("left_", 0) == 0) {
                    leaf.parent = "right_" + leaf.parent.substr(5);
                }
                leaf.aside.x = -leaf.aside.x;
                leaf.endAside.x = -leaf.endAside.x;
            }
            leaf.parent = sided(leaf.parent, isLeft, letters);
            leaf.name = sided(leaf.name, isLeft, letters);
            out.push_back(leaf);
        }
    }
    return out;
}

// Five fingers of three joints below each hand, named "<hand>Thumb1" and
// so on.
std::vector<Dress::Leaf> fingers(const std::string& hand) {
    std::vector<Dress::Leaf> out;
    const char* names[] = {"Thumb", "Index", "Middle", "Ring", "Pinky"};
    for (int f = 0; f < 5; ++f) {
        const Vec3 aside(0, 0, 0.02 * (2 - f));
        std::string parent = "left_hand";
        for (int k = 1; k <= 3; ++k) {
            const std::string name = hand + names[f] + std::to_string(k);
            out.push_back({parent, name, 1.0, k == 1 ? aside : Vec3(0, 0, 0), 0.3, Vec3(0, 0, 0)});
            parent = name;
        }
    }
    return out;
}

// The joint each figure bone begins at in the dressed clip: its own joint
// as the dress names it; for a joint the dress takes out, its parent's; and
// where `moved` names another joint (one added above it), that one.
std::array<std::string, 21> startJoints(const Dress& dress,
                                        const std::map<std::string, std::string>& moved = {}) {
    std::array<std::string, 21> out;
    for (int i = 0; i < 21; ++i) {
        int bone = i;
        while (std::find(dress.remove.begin(), dress.remove.end(), figureBones()[bone].name) !=
               dress.remove.end()) {
            bone = figureBones()[bone].parent;
        }
        std::string joint = figureBones()[bone].name;
        if (moved.count(joint)) {
            joint = moved.at(joint);
        }
        out[i] = dress.names.count(joint) ? dress.names.at(joint) : joint;
    }
    return out;
}

const Vec3 NONE(0, 0, 0);
const Quat T_POSE_LEFT = axisTurn('Z', 50);
const Quat T_POSE_RIGHT = axisTurn('Z', -50);

} // namespace

std::vector<RigFamily> rigFamilies() {
    std::vector<RigFamily> families;

    families.push_back({"figure", Dress{}, startJoints(Dress{})});

    {
        Dress d;
        d.insertAbove = {{"Chest2", {"neck", "left_shoulder", "right_shoulder"}},
                         {"lowerneck", {"neck"}}};
        // CMU names its hands in lower case and short.
        d.add = bothSides({{"left_foot", "%Toe", 1, NONE, 0.5, NONE},
                           {"left_hand", "$hand", 0, NONE, 1, NONE},
                           {"$hand", "%Fingers", 1, NONE, 0.8, NONE},
                           {"left_hand", "%Thumb", 0, NONE, 0.5, Vec3(0, 0, 0.05)}});
        d.names = names({"Hips", "lowerback", "Chest", "Neck", "Head"},
                        {"%HipJoint", "%%Hip", "%%Knee", "%%Ankle", "%%Collar", "%%Shoulder",
                         "%%Elbow", "%%Wrist"});
        d.scale = 16;
        d.order = "ZYX";
        for (const char* arm : {"Shoulder", "Elbow", "Wrist"}) {
            d.orders[std::string("Left") + arm] = "ZXY";
            d.orders[std::string("Right") + arm] = "ZXY";
        }
        families.push_back({"CMU for 3ds Max", d, startJoints(d, {{"neck", "lowerneck"}})});
    }
    {
        Dress d;
        d.insertAbove = {{"Spine1", {"neck", "left_shoulder", "right_shoulder"}},
                         {"Neck1", {"head"}}};
        d.add = bothSides({{"left_foot", "%%ToeBase", 1, NONE, 0.5, NONE},
                           {"left_hand", "%%FingerBase", 1, NONE, 0.5, NONE},
                           {"%%FingerBase", "%%HandIndex1", 0.5, NONE, 1, NONE},
                           {"left_hand", "%Thumb", 0, NONE, 0.5, Vec3(0, 0, 0.05)}});
        d.names = names({"Hips", "LowerBack", "Spine", "Neck", "Head"},
                        {"%HipJoint", "%%UpLeg", "%%Leg", "%%Foot", "%%Shoulder", "%%Arm",
                         "%%ForeArm", "%%Hand"});
        d.scale = 16;
        d.order = "ZYX";
        families.push_back({"CMU for MotionBuilder", d, startJoints(d)});
    }
    {
        // One spine joint: the lower spine's turn goes to the chest, which
        // moves the chest's point, so the motion is not quite the same.
        Dress d;
        d.remove = {"left_hip", "right_hip", "lower_spine"};
        d.names = names(
            {"Hips", "", "Chest", "Neck", "Head"},
            {"", "%%Hip", "%%Knee", "%%Ankle", "%%Collar", "%%Shoulder", "%%Elbow", "%%Wrist"});
        d.scale = 100;
        d.order = "ZXY";
        families.push_back({"optical studio", d, startJoints(d), false});
    }
    {
        Dress d;
        d.remove = {"left_hip", "right_hip"};
        d.insertAbove = {{"Spine1", {"upper_spine"}},
                         {"Spine3", {"neck", "left_shoulder", "right_shoulder"}}};
        d.add = bothSides({{"left_foot", "%%Toe", 1, NONE, 0.5, NONE}});
        for (const Dress::Leaf& leaf : bothSides(fingers("%%Hand"))) {
            d.add.push_back(leaf);
        }
        d.names =
            names({"Hips", "Spine", "Spine2", "Neck", "Head"},
                  {"", "%%UpLeg", "%%Leg", "%%Foot", "%%Shoulder", "%%Arm", "%%ForeArm", "%%Hand"});
        d.scale = 100;
        d.order = "YXZ";
        d.sixChannels = true;
        families.push_back({"sensor suit", d, startJoints(d, {{"upper_spine", "Spine1"}})});
    }
    {
        Dress d;
        d.remove = {"left_hip", "right_hip"};
        d.restTurns = {{"left_upper_arm", T_POSE_LEFT}, {"right_upper_arm", T_POSE_RIGHT}};
        d.names =
            names({"hip", "abdomen", "chest", "neck", "head"},
                  {"", "%Thigh", "%Shin", "%Foot", "%Collar", "%Shldr", "%ForeArm", "%Hand"}, "lr");
        d.scale = 39.37;
        d.order = "ZXY";
        d.orders = {{"hip", "ZYX"}, {"lThigh", "XYZ"}, {"rThigh", "XYZ"}};
        families.push_back({"Poser and Second Life", d, startJoints(d)});
    }
    {
        Dress d;
        d.remove = {"left_hip", "right_hip"};
        d.insertAbove = {{"Spine2", {"neck", "left_shoulder", "right_shoulder"}}};
        d.add = bothSides({{"left_foot", "%%ToeBase", 1, NONE, 0.5, NONE},
                           {"%%ToeBase", "%%Toe_End", 0.5, NONE, 0.2, NONE}});
        d.add.push_back({"head", "HeadTop_End", 1, NONE, 0.1, NONE});
        for (const Dress::Leaf& leaf : bothSides(fingers("%%Hand"))) {
            d.add.push_back(leaf);
        }
        d.restTurns = {{"left_upper_arm", T_POSE_LEFT}, {"right_upper_arm", T_POSE_RIGHT}};
        d.names =
            names({"Hips", "Spine", "Spine1", "Neck", "Head"},
                  {"", "%%UpLeg", "%%Leg", "%%Foot", "%%Shoulder", "%%Arm", "%%ForeArm", "%%Hand"});
        // Every joint carries the rig's prefix.
        Dress prefixed = d;
        for (auto& [from, to] : prefixed.names) {
            to = "mixamorig:" + to;
        }
        for (const char* extra : {"Spine2", "HeadTop_End"}) {
            prefixed.names[extra] = std::string("mixamorig:") + extra;
        }
        for (const Dress::Leaf& leaf : prefixed.add) {
            prefixed.names[leaf.name] = "mixamorig:" + leaf.name;
        }
        prefixed.scale = 100;
        prefixed.order = "ZXY";
        families.push_back({"Mixamo", prefixed, startJoints(prefixed)});
    }
    {
        Dress d;
        d.remove = {"left_hip", "right_hip"};
        d.insertAbove = {{"Bip01", {"hips"}}};
        d.names = names({"Bip01 Pelvis", "Bip01 Spine", "Bip01 Spine1", "Bip01 Neck", "Bip01 Head"},
                        {"", "Bip01 % Thigh", "Bip01 % Calf", "Bip01 % Foot", "Bip01 % Clavicle",
                         "Bip01 % UpperArm", "Bip01 % Forearm", "Bip01 % Hand"});
        d.zUp = true;
        d.scale = 39.37;
        d.order = "ZXY";
        families.push_back({"biped, z up", d, startJoints(d)});
    }
    return families;
}
