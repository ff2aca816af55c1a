#include "skeleton/Bone.h"

#include "skeleton/SinglePrecision.h"

namespace {

// One angle step: wrapped once into (-360, 360) and kept only inside the
// inclusive limits. A NaN step fails both comparisons and is refused.
void stepAngle(double& angle, double delta, double min, double max) {
    double v = angle + delta;
    if (v >= 360)
        v -= 360;
    else if (v <= -360)
        v += 360;
    if (min <= v && v <= max)
        angle = v;
}

} // namespace

Bone::Bone(Vec3& position, Bone* parent, int mainAxis, double length, double minMain,
           double maxMain, double minSec, double maxSec, double minOwn, double maxOwn,
           double mainAngle, double secAngle, double ownAngle)
    : position_(&position), length_(length), mainAngle_(mainAngle), secAngle_(secAngle),
      ownAngle_(ownAngle), mainAxis_(mainAxis), minMain_(minMain), maxMain_(maxMain),
      minSec_(minSec), maxSec_(maxSec), minOwn_(minOwn), maxOwn_(maxOwn), parent_(parent) {
    if (parent_) {
        parent_->children_.push_back(this);
        *position_ = parent_->endPoint();
    }
    rebuildFrame();
}

AxisFrame Bone::frameOn(const AxisFrame& parentFrame, int mainAxis, const BonePose& angles) {
    AxisFrame f = parentFrame;
    f.rotate(angles.y, AXIS_Y);
    f.rotate(angles.x, mainAxis);
    f.rotate(angles.z, AXIS_Y);
    return f;
}

void Bone::rebuildFrame() {
    frame_ = frameOn(parent_ ? parent_->frame_ : AxisFrame(), mainAxis_, pose());
}

bool Bone::rotateBy(double dMain, double dSec, double dOwn) {
    stepAngle(mainAngle_, dMain, minMain_, maxMain_);
    stepAngle(secAngle_, dSec, minSec_, maxSec_);
    stepAngle(ownAngle_, dOwn, minOwn_, maxOwn_);
    rebuildFrame();
    updateChildren();
    return true;
}

void Bone::setAngles(double main, double sec, double own) {
    rotateBy(main - mainAngle_, sec - secAngle_, own - ownAngle_);
}

Vec3 Bone::endPoint() const {
    // Also catches a negative length: such a bone has its tip at its joint.
    if (length_ < ANGLE_TOLERANCE)
        return *position_;
    // Lengths are used at the precision the skeleton file stores them in.
    return *position_ + frame_.toWorld(0, toSinglePrecision(length_), 0);
}

bool Bone::updateChildren() {
    for (Bone* child : children_) {
        *child->position_ = endPoint();
        child->rotateBy(0, 0, 0);
    }
    return true;
}

bool Bone::moveBy(double dx, double dy, double dz) {
    if (parent_)
        return false;
    *position_ += Vec3(dx, dy, dz);
    updateChildren();
    return true;
}

bool Bone::setPosition(double x, double y, double z) {
    if (parent_)
        return false;
    *position_ = Vec3(x, y, z);
    rotateBy(0, 0, 0);
    return true;
}

void Bone::storeAngles(const BonePose& angles) {
    mainAngle_ = angles.x;
    secAngle_ = angles.y;
    ownAngle_ = angles.z;
}

void Bone::rebuildSubtree() {
    rebuildFrame();
    for (Bone* child : children_) {
        *child->position_ = endPoint();
        child->rebuildSubtree();
    }
}
