#pragma once

#include "GltfTestReader.h"

#include <string>
#include <vector>

// A BVH file read back independently of the writer, with forward
// kinematics done the way importers do it: a joint's transform is its
// parent's times T(OFFSET + position channels) times the rotation
// channels multiplied in the order they are listed.
struct BvhTestFile {
    struct Joint {
        std::string name;
        int parent = -1;
        Vec3 offset{0, 0, 0};
        std::vector<std::string> channels;
        bool hasEndSite = false;
        Vec3 endSite{0, 0, 0};
        // Where this joint's values start on a motion line.
        int firstValue = 0;
    };

    std::vector<Joint> joints;
    std::vector<std::vector<double>> frames;
    double frameTime = 0;

    // Parses the text; fails the test on a malformed file.
    static BvhTestFile parse(const std::string& text);
    // The index of the joint named `name`, or -1.
    int jointNamed(const std::string& name) const;
    // Every joint's world transform at motion line `frame`.
    std::vector<Mat4> worldMatrices(int frame) const;
};
