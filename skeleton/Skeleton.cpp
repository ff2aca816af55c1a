#include "skeleton/Skeleton.h"

#include "skeleton/SkeletonFileReader.h"

#include <cassert>
#include <fstream>
#include <iostream>

Skeleton::Skeleton(const std::string& path, double originX, double originY, double originZ)
    : origin_(originX, originY, originZ) {
    std::ifstream in(path);
    if (!in.is_open()) {
        std::cout << "Could not read skeleton config file\n";
        return;
    }
    load(in);
}

Skeleton::Skeleton(std::istream& in, double originX, double originY, double originZ)
    : origin_(originX, originY, originZ) {
    load(in);
}

void Skeleton::load(std::istream& in) {
    SkeletonFileReader(*this).read(in);
}

Bone* Skeleton::boneAt(int i) {
    if (i < 0 || i >= boneCount())
        return nullptr;
    return bones_[i].get();
}

const Bone* Skeleton::boneAt(int i) const {
    if (i < 0 || i >= boneCount())
        return nullptr;
    return bones_[i].get();
}

void Skeleton::select(Bone* bone) {
    assert(!bone || boneAt(bone->index()) == bone);
    if (selectedBone_)
        selectedBone_->setSelected(false);
    selectedBone_ = bone;
    if (selectedBone_)
        selectedBone_->setSelected(true);
}
