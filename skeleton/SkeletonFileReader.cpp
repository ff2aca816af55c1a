#include "skeleton/SkeletonFileReader.h"

#include "skeleton/Skeleton.h"

#include <cmath>
#include <iostream>
#include <string>

namespace {

// The bone lines after the root that the format holds; lines past them are
// never looked at.
constexpr int FILE_BONE_LINES = POSE_BONE_COUNT - 1;

// Axis codes are stored as the number with its fraction cut off. A value
// beyond the int range cannot be cut to an int at all; it names no axis
// either way, so it becomes 0.
int axisCodeFrom(float v) {
    if (std::fabs(v) < 2147483648.0f)
        return static_cast<int>(v);
    return 0;
}

} // namespace

bool SkeletonFileReader::read(std::istream& in) {
    skeleton.selectedBone_ = nullptr;
    bool ok = readHeader(in) && readRoot(in);
    for (int bone = 1; ok && bone <= FILE_BONE_LINES; ++bone)
        ok = readBone(in, bone);
    skeleton.pickRequested = false;
    skeleton.selectedBone_ = nullptr;
    return ok;
}

bool SkeletonFileReader::readHeader(std::istream& in) {
    std::string header;
    std::getline(in, header);
    // A file written with CR LF line ends leaves its CR on the line.
    if (!header.empty() && header.back() == '\r')
        header.pop_back();
    if (header != "RGCF") {
        std::cout << "Incorrect file header (RGCF expected)\n";
        return false;
    }
    return true;
}

bool SkeletonFileReader::readNumbers(std::istream& in, float* out, int count, int bone) {
    for (int i = 0; i < count; ++i) {
        if (!(in >> out[i])) {
            std::cout << "Error: skeleton config file ends early or holds a malformed number (bone "
                      << bone << ")\n";
            return false;
        }
    }
    return true;
}

bool SkeletonFileReader::readRoot(std::istream& in) {
    float n[13];
    if (!readNumbers(in, n, 13, 0))
        return false;
    const Vec3& origin = skeleton.origin_;
    skeleton.rootPosition_ = std::make_unique<Vec3>(Vec3(n[0], n[1], n[2]) + origin);
    auto root = std::make_unique<Bone>(*skeleton.rootPosition_, nullptr, axisCodeFrom(n[12]), 0.0,
                                       n[6], n[7], n[8], n[9], n[10], n[11], n[3], n[4], n[5]);
    root->setIndex(0);
    skeleton.bones_.push_back(std::move(root));
    return true;
}

bool SkeletonFileReader::readBone(std::istream& in, int bone) {
    float n[12];
    if (!readNumbers(in, n, 12, bone))
        return false;
    // The parent number is cut toward zero, so -0.5 still means the root.
    // Testing the float before the cut also keeps huge values away from an
    // int conversion that could not hold them.
    const float parentNumber = n[11];
    const int boneCount = skeleton.boneCount();
    if (!(parentNumber > -1.0f && parentNumber < static_cast<float>(boneCount))) {
        std::cout << "Error: bone initialized to an non-existing parent!\n";
        return false;
    }
    Bone* parent = skeleton.bones_[static_cast<int>(parentNumber)].get();
    Vec3& joint = skeleton.jointPoints_.emplace_back(0, 0, 0);
    auto created = std::make_unique<Bone>(joint, parent, axisCodeFrom(n[10]), n[0], n[4], n[5],
                                          n[6], n[7], n[8], n[9], n[1], n[2], n[3]);
    created->setIndex(boneCount);
    skeleton.bones_.push_back(std::move(created));
    return true;
}
