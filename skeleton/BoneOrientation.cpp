#include "skeleton/BoneOrientation.h"

#include <cmath>

namespace {

constexpr double TURN = REBUILD_TURN;
constexpr double HALF_TURN = REBUILD_TURN / 2;
// Below this sine of the main angle the long axis counts as on the parent's
// y axis: sec is then free and own takes up the rest. Big enough to catch a
// main of 180 (its sine is pi - DEG_PI, 8e-13), small enough that a free sec
// moves the long axis by no more than 2e-10.
constexpr double GIMBAL_SINE = 1e-10;
// An overshoot this small is rounding (a mirrored 105 that comes back as
// 105.00000000001), not a reason to prefer another solution.
constexpr double LIMIT_SLACK = 1e-6;

struct Limits {
    double lo, hi;
};

double dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

bool inDeadBand(double degrees) {
    return std::fabs(degrees) <= ANGLE_TOLERANCE;
}

// What the rebuild turns by.
double effective(double degrees) {
    return inDeadBand(degrees) ? 0 : degrees;
}

// The same turn moved by whole turns to lie within half a turn of 0.
double towardZero(double degrees) {
    return degrees - std::round(degrees / TURN) * TURN;
}

// Written out rather than std::clamp: a file may give lo > hi, which
// std::clamp does not allow.
double clampTo(double v, Limits l) {
    if (v < l.lo)
        return l.lo;
    if (v > l.hi)
        return l.hi;
    return v;
}

// How far v lies outside the limits, with rounding counted as inside.
double excess(double v, Limits l) {
    const double over = v < l.lo ? l.lo - v : (v > l.hi ? v - l.hi : 0);
    return over <= LIMIT_SLACK ? 0 : over;
}

// `value` moved by whole turns: inside the limits and nearest `reference`
// when some turn lands inside, else the turn that overshoots least.
double pickTurn(double value, double reference, Limits limits) {
    double best = value + std::round((reference - value) / TURN) * TURN;
    auto consider = [&](double v) {
        const double e = excess(v, limits), eBest = excess(best, limits);
        if (e < eBest || (e == eBest && std::fabs(v - reference) < std::fabs(best - reference)))
            best = v;
    };
    const double nearReference = best;
    for (int k = -2; k <= 2; ++k)
        consider(nearReference + k * TURN);
    // Limits far from the reference still get their own nearest turns.
    for (double edge : {limits.lo, limits.hi})
        if (std::isfinite(edge) && std::fabs(edge) < 1e6)
            consider(value + std::round((edge - value) / TURN) * TURN);
    return best;
}

// Any value in the dead band rebuilds alike: keep the reference's own value
// when it is in the band too, else plain 0.
double settle(double v, double reference) {
    if (!inDeadBand(v))
        return v;
    return inDeadBand(reference) ? reference : 0;
}

double finish(double v, double reference, Limits limits) {
    return clampTo(settle(pickTurn(v, reference, limits), reference), limits);
}

// The own angle that turns the frame built from sec and main about its long
// axis onto `wanted`: exact when wanted's long axis is that frame's, else
// the best twist left.
double ownFor(const AxisFrame& parentFrame, int mainAxis, double sec, double main,
              const AxisFrame& wanted) {
    AxisFrame f = parentFrame;
    f.rotate(sec, AXIS_Y);
    f.rotate(main, mainAxis);
    const double c = dot(f.axisX, wanted.axisX) + dot(f.axisZ, wanted.axisZ);
    const double s = dot(f.axisZ, wanted.axisX) - dot(f.axisX, wanted.axisZ);
    return radiansToDegrees(std::atan2(s, c));
}

struct Candidate {
    BonePose angles;
    double excess;
    double distance;
};

bool better(const Candidate& a, const Candidate& b) {
    if (std::fabs(a.excess - b.excess) > 1e-9)
        return a.excess < b.excess;
    return a.distance < b.distance;
}

double distanceSquared(const BonePose& a, const BonePose& b) {
    const Vec3 d = a - b;
    return dot(d, d);
}

bool finiteFrame(const AxisFrame& f) {
    for (const Vec3& v : {f.axisX, f.axisY, f.axisZ})
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
            return false;
    return true;
}

class Solver {
public:
    Solver(const Bone& bone, const AxisFrame& parentFrame, const AxisFrame& wanted,
           const BonePose& reference)
        : parent_(parentFrame), wanted_(wanted),
          axis_(bone.mainAxis()), main_{bone.minMain(), bone.maxMain()},
          sec_{bone.minSec(), bone.maxSec()}, own_{bone.minOwn(), bone.maxOwn()} {
        auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
        ref_ = BonePose(finite(reference.x), finite(reference.y), finite(reference.z));
    }

    BonePose solve() const {
        if (!finiteFrame(parent_) || !finiteFrame(wanted_))
            return BonePose(clampTo(ref_.x, main_), clampTo(ref_.y, sec_), clampTo(ref_.z, own_));
        if (axis_ != AXIS_X && axis_ != AXIS_Z)
            return aboutY();
        // The wanted long axis in the parent's frame: its tilt from the
        // parent's y axis is the main angle, its bearing about it the sec.
        const Vec3 d(dot(parent_.axisX, wanted_.axisY), dot(parent_.axisY, wanted_.axisY),
                     dot(parent_.axisZ, wanted_.axisY));
        const double sine = std::hypot(d.x, d.z);
        const double tilt = radiansToDegrees(std::atan2(sine, d.y));
        if (sine < GIMBAL_SINE || inDeadBand(tilt))
            return onTheParentAxis(d.y < 0, -tilt);
        // The rebuild turns by -angle in the right-handed sense, hence the
        // signs; the bearing is measured as the main axis swings the bone.
        const double bearing = axis_ == AXIS_X ? std::atan2(d.x, d.z) : std::atan2(d.z, -d.x);
        const double sec = -radiansToDegrees(bearing);
        const BonePose families[2] = {BonePose(-tilt, sec, 0), BonePose(tilt, sec - HALF_TURN, 0)};
        Candidate best{};
        for (int i = 0; i < 2; ++i) {
            const Candidate c = candidate(families[i]);
            if (i == 0 || better(c, best))
                best = c;
        }
        const double main = clampTo(best.angles.x, main_);
        const double secIn = clampTo(best.angles.y, sec_);
        if (main == best.angles.x && secIn == best.angles.y)
            return BonePose(main, secIn, clampTo(best.angles.z, own_));
        return withOwn(secIn, main);
    }

private:
    // Main and sec of one family on their turns nearest the reference, own
    // from what they leave, scored by limits and distance.
    Candidate candidate(const BonePose& family) const {
        const double main = settle(pickTurn(family.x, ref_.x, main_), ref_.x);
        const double sec = settle(pickTurn(family.y, ref_.y, sec_), ref_.y);
        const double own =
            settle(pickTurn(ownFor(parent_, axis_, sec, main, wanted_), ref_.z, own_), ref_.z);
        const BonePose angles(main, sec, own);
        return Candidate{angles, excess(main, main_) + excess(sec, sec_) + excess(own, own_),
                         distanceSquared(angles, ref_)};
    }

    BonePose withOwn(double sec, double main) const {
        return BonePose(main, sec,
                        finish(ownFor(parent_, axis_, sec, main, wanted_), ref_.z, own_));
    }

    // The long axis on the parent's y axis (main 0, or 180 when `flipped`):
    // sec and own turn about one line, by their sum, or at 180 by sec - own.
    // The turn the reference misses is shared between them, or left to the
    // one of them that is not 0 in the reference.
    BonePose onTheParentAxis(bool flipped, double mainValue) const {
        const double main = finish(mainValue, ref_.x, main_);
        const double sign = flipped ? -1 : 1;
        const double miss =
            towardZero(ownFor(parent_, axis_, ref_.y, main, wanted_) - effective(ref_.z));
        const bool secZero = inDeadBand(ref_.y), ownZero = inDeadBand(ref_.z);
        double sec = ref_.y + sign * miss / 2;
        if (secZero && !ownZero)
            sec = ref_.y;
        else if (ownZero && !secZero)
            sec = ref_.y + sign * miss;
        return withOwn(finish(sec, ref_.y, sec_), main);
    }

    // Main axis 20 (or a code that turns nothing): every angle turns about
    // y, so only the total turn about the parent's y axis is reachable. The
    // turn the reference misses is shared by the angles not 0 in it (all of
    // them when every one is 0); own takes what limits leave.
    BonePose aboutY() const {
        const bool mainTurns = axis_ == AXIS_Y;
        const double total = ownFor(parent_, axis_, 0, 0, wanted_);
        const bool secFree = !inDeadBand(ref_.y), mainFree = mainTurns && !inDeadBand(ref_.x),
                   ownFree = !inDeadBand(ref_.z);
        const bool noneFree = !secFree && !mainFree && !ownFree;
        const int shares = noneFree ? (mainTurns ? 3 : 2) : secFree + mainFree + ownFree;
        const double reached =
            effective(ref_.y) + effective(ref_.z) + (mainTurns ? effective(ref_.x) : 0);
        const double share = towardZero(total - reached) / shares;
        const double sec = ref_.y + (secFree || noneFree ? share : 0);
        double main = clampTo(ref_.x, main_);
        if (mainTurns)
            main = finish(ref_.x + (mainFree || noneFree ? share : 0), ref_.x, main_);
        return withOwn(finish(sec, ref_.y, sec_), main);
    }

    const AxisFrame& parent_;
    const AxisFrame& wanted_;
    int axis_;
    Limits main_, sec_, own_;
    BonePose ref_;
};

} // namespace

BonePose solveBoneAngles(const Bone& bone, const AxisFrame& parentFrame, const AxisFrame& wanted,
                         const BonePose& reference) {
    return Solver(bone, parentFrame, wanted, reference).solve();
}
