#include "import/TurnSolve.h"

#include <algorithm>
#include <cmath>

namespace {

// Steps of the search, and the miss below which it stops, degrees.
constexpr int STEPS = 12;
constexpr double CLOSE_ENOUGH = 1e-4;

double inside(double v, double lo, double hi) {
    const double hairLo = std::max(0.002, std::fabs(lo) * 2e-6);
    const double hairHi = std::max(0.002, std::fabs(hi) * 2e-6);
    if (lo + hairLo > hi - hairHi) {
        return (lo + hi) / 2;
    }
    return std::clamp(v, lo + hairLo, hi - hairHi);
}

// Solves the 3 x 3 system (J^T J + damping) x = -J^T r.
Vec3 dampedStep(const Vec3 (&j)[3], const Vec3& r, double damping) {
    double a[3][4];
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            a[row][col] = j[row].dot(j[col]) + (row == col ? damping : 0);
        }
        a[row][3] = -j[row].dot(r);
    }
    // Gaussian elimination; the damping keeps the pivots away from zero.
    for (int p = 0; p < 3; ++p) {
        for (int row = p + 1; row < 3; ++row) {
            const double f = a[row][p] / a[p][p];
            for (int col = p; col < 4; ++col) {
                a[row][col] -= f * a[p][col];
            }
        }
    }
    double x[3];
    for (int row = 2; row >= 0; --row) {
        double sum = a[row][3];
        for (int col = row + 1; col < 3; ++col) {
            sum -= a[row][col] * x[col];
        }
        x[row] = sum / a[row][row];
    }
    return Vec3(x[0], x[1], x[2]);
}

} // namespace

BonePose insideLimits(const Bone& bone, const BonePose& angles) {
    return BonePose(inside(angles.x, bone.minMain(), bone.maxMain()),
                    inside(angles.y, bone.minSec(), bone.maxSec()),
                    inside(angles.z, bone.minOwn(), bone.maxOwn()));
}

Vec3 turnMiss(int mainAxis, const Quat& wantedInverse, const BonePose& angles, Vec3 (&columns)[3]) {
    // A turn by d degrees more of one angle turns the bone by -d about that
    // angle's axis as it lies at that point of the rebuild (secondary about
    // y, main about its axis after the secondary, own about the long axis
    // after both); seen from the wanted turn, the miss moves along that
    // axis, to first order in the miss.
    const Vec3 y(0, 1, 0);
    const Quat sec = boneTurn(AXIS_Y, BonePose(0, angles.y, 0));
    const Quat upToOwn = boneTurn(mainAxis, BonePose(angles.x, angles.y, 0));
    Vec3 mainAxisVector(0, 0, 0);
    if (mainAxis == AXIS_X) {
        mainAxisVector = Vec3(1, 0, 0);
    } else if (mainAxis == AXIS_Y) {
        mainAxisVector = y;
    } else if (mainAxis == AXIS_Z) {
        mainAxisVector = Vec3(0, 0, 1);
    }
    columns[0] = -rotate(wantedInverse, rotate(sec, mainAxisVector));
    columns[1] = -rotate(wantedInverse, y);
    columns[2] = -rotate(wantedInverse, rotate(upToOwn, y));
    return rotationVector(wantedInverse * upToOwn * boneTurn(AXIS_Y, BonePose(0, 0, angles.z)));
}

BonePose nearestAngles(const Bone& bone, const Quat& wanted, const BonePose& start) {
    const Quat inverse = conjugate(wanted);
    BonePose x = insideLimits(bone, start);
    Vec3 columns[3];
    Vec3 miss = turnMiss(bone.mainAxis(), inverse, x, columns);
    double damping = 1e-3;
    for (int step = 0; step < STEPS && miss.length() > CLOSE_ENOUGH; ++step) {
        const BonePose moved = insideLimits(bone, x + dampedStep(columns, miss, damping));
        Vec3 movedColumns[3];
        const Vec3 movedMiss = turnMiss(bone.mainAxis(), inverse, moved, movedColumns);
        if (movedMiss.length() < miss.length()) {
            x = moved;
            miss = movedMiss;
            std::copy(std::begin(movedColumns), std::end(movedColumns), std::begin(columns));
            damping = std::max(1e-6, damping / 4);
        } else {
            damping *= 8;
        }
    }
    return x;
}
