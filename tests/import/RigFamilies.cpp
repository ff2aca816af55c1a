#include "RigFamilies.h"

#include "motion/BoneTable.h"

namespace {

// `pattern` with "%" as the side: "Left%" style names take "Left"/"Right",
// "%" alone "L"/"R" or "l"/"r" as `letters` says.
std::string sided(const std::string& pattern, bool left, const char* letters = "LR") {
    const std::string side = pattern.find("%%") != std::string::npos
                                 ? std::string(left ? "Left" : "Right")
                                 : std::string(1, letters[left ? 0 : 1]);
    std::string out = pattern;
    const std::size_t at = out.find('%');
    out.replace(at, pattern.find("%%") != std::string::npos ? 2 : 1, side);
    return out;
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
            if (leaf.parent.find('%') != std::string::npos) {
                leaf.parent = sided(leaf.parent, isLeft, letters);
            }
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
            out.push_back({parent, name, k == 1 ? 1.0 : 1.0, k == 1 ? aside : Vec3(0, 0, 0), 0.3,
                           Vec3(0, 0, 0)});
            parent = name;
        }
    }
    return out;
}

std::array<std::string, 21> expected(const std::vector<std::string>& joints) {
    std::array<std::string, 21> out;
    for (int i = 0; i < 21; ++i) {
        out[i] = joints[i];
    }
    return out;
}

// The expected joints in bone order from the middle five and one side's
// eight (the right side follows by `sided`).
std::array<std::string, 21> expectedSided(const std::vector<std::string>& middle,
                                          const std::vector<std::string>& limb,
                                          const char* letters = "LR") {
    std::vector<std::string> all = middle;
    for (int leg = 0; leg < 2; ++leg) {
        for (int i = 0; i < 4; ++i) {
            all.push_back(limb[i].find('%') == std::string::npos
                              ? limb[i]
                              : sided(limb[i], leg == 0, letters));
        }
    }
    for (int arm = 0; arm < 2; ++arm) {
        for (int i = 4; i < 8; ++i) {
            all.push_back(sided(limb[i], arm == 0, letters));
        }
    }
    return expected(all);
}

const Vec3 NONE(0, 0, 0);
const Quat T_POSE_LEFT = axisTurn('Z', 50);
const Quat T_POSE_RIGHT = axisTurn('Z', -50);

} // namespace

std::vector<RigFamily> rigFamilies() {
    std::vector<RigFamily> families;

    std::vector<std::string> own;
    for (const FigureBoneInfo& bone : figureBones()) {
        own.push_back(bone.name);
    }
    families.push_back({"figure", Dress{}, expected(own)});

    {
        Dress d;
        d.insertAbove = {{"Chest2", {"neck", "left_shoulder", "right_shoulder"}},
                         {"lowerneck", {"neck"}}};
        d.add = bothSides({{"left_foot", "%Toe", 1, NONE, 0.5, NONE},
                           {"left_hand", "%hand", 0, NONE, 1, NONE},
                           {"%hand", "%Fingers", 1, NONE, 0.8, NONE},
                           {"left_hand", "%Thumb", 0, NONE, 0.5, Vec3(0, 0, 0.05)}});
        for (Dress::Leaf& leaf : d.add) {
            // CMU names its hands and fingers in lower case and short.
            if (leaf.name == "Lhand" || leaf.name == "Rhand") {
                leaf.name[0] = static_cast<char>(leaf.name[0] + 'a' - 'A');
            }
            if (leaf.parent == "Lhand" || leaf.parent == "Rhand") {
                leaf.parent[0] = static_cast<char>(leaf.parent[0] + 'a' - 'A');
            }
        }
        d.names = names({"Hips", "lowerback", "Chest", "Neck", "Head"},
                        {"%HipJoint", "%%Hip", "%%Knee", "%%Ankle", "%%Collar", "%%Shoulder",
                         "%%Elbow", "%%Wrist"});
        d.scale = 16;
        d.order = "ZYX";
        for (const char* arm : {"Shoulder", "Elbow", "Wrist"}) {
            d.orders[std::string("Left") + arm] = "ZXY";
            d.orders[std::string("Right") + arm] = "ZXY";
        }
        families.push_back({"CMU for 3ds Max", d,
                            expectedSided({"Hips", "lowerback", "Chest", "lowerneck", "Head"},
                                          {"%HipJoint", "%%Hip", "%%Knee", "%%Ankle", "%%Collar",
                                           "%%Shoulder", "%%Elbow", "%%Wrist"})});
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
        families.push_back({"CMU for MotionBuilder", d,
                            expectedSided({"Hips", "LowerBack", "Spine", "Neck", "Head"},
                                          {"%HipJoint", "%%UpLeg", "%%Leg", "%%Foot", "%%Shoulder",
                                           "%%Arm", "%%ForeArm", "%%Hand"})});
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
        families.push_back({"optical studio", d,
                            expectedSided({"Hips", "Hips", "Chest", "Neck", "Head"},
                                          {"Hips", "%%Hip", "%%Knee", "%%Ankle", "%%Collar",
                                           "%%Shoulder", "%%Elbow", "%%Wrist"}),
                            false});
    }
    {
        Dress d;
        d.remove = {"left_hip", "right_hip"};
        d.insertAbove = {{"Spine1", {"upper_spine"}},
                         {"Spine3", {"neck", "left_shoulder", "right_shoulder"}}};
        d.add = bothSides({{"left_foot", "%%Toe", 1, NONE, 0.5, NONE}});
        std::vector<Dress::Leaf> hands = fingers("%%Hand");
        for (const Dress::Leaf& leaf : bothSides(hands)) {
            d.add.push_back(leaf);
        }
        d.names =
            names({"Hips", "Spine", "Spine2", "Neck", "Head"},
                  {"", "%%UpLeg", "%%Leg", "%%Foot", "%%Shoulder", "%%Arm", "%%ForeArm", "%%Hand"});
        d.scale = 100;
        d.order = "YXZ";
        d.sixChannels = true;
        families.push_back({"sensor suit", d,
                            expectedSided({"Hips", "Spine", "Spine1", "Neck", "Head"},
                                          {"Hips", "%%UpLeg", "%%Leg", "%%Foot", "%%Shoulder",
                                           "%%Arm", "%%ForeArm", "%%Hand"})});
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
        families.push_back({"Poser and Second Life", d,
                            expectedSided({"hip", "abdomen", "chest", "neck", "head"},
                                          {"hip", "%Thigh", "%Shin", "%Foot", "%Collar", "%Shldr",
                                           "%ForeArm", "%Hand"},
                                          "lr")});
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
        std::array<std::string, 21> joints = expectedSided(
            {"Hips", "Spine", "Spine1", "Neck", "Head"},
            {"Hips", "%%UpLeg", "%%Leg", "%%Foot", "%%Shoulder", "%%Arm", "%%ForeArm", "%%Hand"});
        for (std::string& joint : joints) {
            joint = "mixamorig:" + joint;
        }
        families.push_back({"Mixamo", prefixed, joints});
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
        families.push_back(
            {"biped, z up", d,
             expectedSided(
                 {"Bip01 Pelvis", "Bip01 Spine", "Bip01 Spine1", "Bip01 Neck", "Bip01 Head"},
                 {"Bip01 Pelvis", "Bip01 % Thigh", "Bip01 % Calf", "Bip01 % Foot",
                  "Bip01 % Clavicle", "Bip01 % UpperArm", "Bip01 % Forearm", "Bip01 % Hand"})});
    }
    return families;
}
