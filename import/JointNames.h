#pragma once

#include <string>

// Joint names as hints. Rigs name the same joint in many ways
// ("mixamorig:LeftUpLeg", "Bip01 L Thigh", "Character1_LeftUpLeg",
// "lThigh", "LeftHip"); the importer finds the skeleton's parts from its
// shape and only asks names which side a limb is on and, where the shape
// leaves a choice, which joint is the head.

enum class JointSide { None, Left, Right };

// The name without what rigs put before it (anything up to the last ":",
// "Bip01 " or "Bip01_" style prefixes, "Character1_" style prefixes), in
// lower case, without blanks, "_", "-" and ".": "Bip01 L Thigh" gives
// "lthigh", "mixamorig:LeftUpLeg" gives "leftupleg".
std::string normalizedJointName(const std::string& name);

// The side a name says, if any: "Left..." or "...left..." in any case,
// a leading "L" or "l" before a capital or a separator ("LHipJoint",
// "lThigh", "L Thigh" after its prefix), or a trailing "_L", ".L", " L" or
// "-L" (and the same for right).
JointSide jointSide(const std::string& name);
