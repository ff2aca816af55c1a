#pragma once

#include <string>

class Skeleton;

// The name of bone `index`: for the default figure's tree (the shipped
// skeleton file: hips, spine, neck, head, legs, arms) the joint names the
// exporter writes ("right_forearm"), for any other skeleton "bone_<index>".
// "" for an index outside the skeleton.
std::string boneName(const Skeleton& skeleton, int index);
// The same for people to read: "right forearm", "bone 7".
std::string boneLabel(const Skeleton& skeleton, int index);
// Whether the skeleton's tree is the default figure's, bone for bone.
bool isDefaultFigure(const Skeleton& skeleton);
