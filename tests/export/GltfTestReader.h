#pragma once

#include "skeleton/Vec3.h"

#include <nlohmann/json.hpp>

#include <array>
#include <string>
#include <vector>

// A column-major 4x4 matrix, as glTF stores them.
using Mat4 = std::array<double, 16>;

Mat4 identityMatrix();
Mat4 operator*(const Mat4& a, const Mat4& b);
// T(translation) * R(rotation), rotation given as glTF's (x, y, z, w).
Mat4 trsMatrix(const Vec3& translation, const std::array<double, 4>& rotation);
Vec3 transformPoint(const Mat4& m, const Vec3& p);

// A glTF asset read back independently of the writer: the JSON document and
// its binary buffer, taken from a .glb or from a .gltf's data: URI.
struct GltfTestAsset {
    nlohmann::json document;
    std::string buffer;

    // Parses .gltf text or .glb bytes; fails the test on a malformed file.
    static GltfTestAsset parse(const std::string& bytes);
    // The values of a float accessor, element after element.
    std::vector<double> floats(int accessor) const;
    // The values of an unsigned byte or short accessor.
    std::vector<int> integers(int accessor) const;
    // Every node's world matrix with the animation at key `sample` applied
    // (the node's own TRS where no channel targets it; sample -1 for none).
    std::vector<Mat4> worldMatrices(int sample) const;
};
