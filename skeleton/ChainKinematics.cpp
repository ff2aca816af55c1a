#include "skeleton/ChainKinematics.h"

#include "skeleton/SinglePrecision.h"

#include <algorithm>

namespace {

Vec3 cross(const Vec3& a, const Vec3& b) {
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

Vec3 axisByCode(const AxisFrame& f, int code) {
    switch (code) {
    case AXIS_X:
        return f.axisX;
    case AXIS_Y:
        return f.axisY;
    case AXIS_Z:
        return f.axisZ;
    default:
        return Vec3(0, 0, 0); // names no axis: the angle turns nothing
    }
}

// Bone::endPoint for a trial frame.
Vec3 tipOf(const Bone& bone, const Vec3& joint, const AxisFrame& frame) {
    if (bone.length() < ANGLE_TOLERANCE)
        return joint;
    return joint + frame.toWorld(0, toSinglePrecision(bone.length()), 0);
}

} // namespace

ChainKinematics::ChainKinematics(const std::vector<Bone*>& movers, const Bone& end) {
    if (movers.empty() || movers.size() > 3)
        return;
    // Walk up from the end until every mover has been passed.
    std::vector<const Bone*> upward;
    size_t found = 0;
    for (const Bone* b = &end; b && found < movers.size(); b = b->parent()) {
        upward.push_back(b);
        found += static_cast<size_t>(std::count(movers.begin(), movers.end(), b));
    }
    if (found != movers.size())
        return;
    for (size_t i = 0; i < movers.size(); ++i)
        if (std::count(movers.begin(), movers.end(), movers[i]) != 1)
            return;
    path_.assign(upward.rbegin(), upward.rend());
    variableAt_.assign(path_.size(), -1);
    for (size_t m = 0; m < movers.size(); ++m)
        for (size_t p = 0; p < path_.size(); ++p)
            if (path_[p] == movers[m])
                variableAt_[p] = 2 * static_cast<int>(m);
    movers_ = movers;
    top_ = *std::find(movers.begin(), movers.end(), path_.front());
}

void ChainKinematics::currentAngles(double* values) const {
    for (size_t m = 0; m < movers_.size(); ++m) {
        values[2 * m] = movers_[m]->mainAngle();
        values[2 * m + 1] = movers_[m]->secAngle();
    }
}

void ChainKinematics::limits(double* low, double* high) const {
    for (size_t m = 0; m < movers_.size(); ++m) {
        const Bone& b = *movers_[m];
        low[2 * m] = std::min(b.minMain(), b.mainAngle());
        high[2 * m] = std::max(b.maxMain(), b.mainAngle());
        low[2 * m + 1] = std::min(b.minSec(), b.secAngle());
        high[2 * m + 1] = std::max(b.maxSec(), b.secAngle());
    }
}

Vec3 ChainTurn::changeOf(const Vec3& point) const {
    // rotateAboutAxis by +d turns by -d in the right-handed sense.
    return cross(axis, point - pivot) * -(DEG_PI / 180);
}

Vec3 ChainKinematics::tip(const double* values, ChainTurn* turns) const {
    const Bone* top = path_.front();
    AxisFrame frame = top->parent() ? top->parent()->frame() : AxisFrame();
    Vec3 joint = top->position();
    for (size_t p = 0; p < path_.size(); ++p) {
        const Bone& bone = *path_[p];
        const int v = variableAt_[p];
        const double main = v < 0 ? bone.mainAngle() : values[v];
        const double sec = v < 0 ? bone.secAngle() : values[v + 1];
        if (p > 0)
            joint = tipOf(*path_[p - 1], joint, frame);
        // The same three turns as the bone's own rebuild, in the same order.
        // The secondary angle turns about the parent's long axis, the main
        // angle about the main axis as the secondary turn left it.
        const Vec3 parentLong = frame.axisY;
        frame.rotate(sec, AXIS_Y);
        if (v >= 0 && turns) {
            turns[v] = ChainTurn{joint, axisByCode(frame, bone.mainAxis())};
            turns[v + 1] = ChainTurn{joint, parentLong};
        }
        frame.rotate(main, bone.mainAxis());
        frame.rotate(bone.ownAngle(), AXIS_Y);
    }
    return tipOf(*path_.back(), joint, frame);
}

void ChainKinematics::apply(const double* values) const {
    for (size_t m = 0; m < movers_.size(); ++m)
        movers_[m]->storeAngles(BonePose(values[2 * m], values[2 * m + 1], movers_[m]->ownAngle()));
    // Every changed frame lies below the topmost mover.
    top_->rebuildSubtree();
}
