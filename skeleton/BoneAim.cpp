#include "skeleton/BoneAim.h"

#include "skeleton/ChainKinematics.h"
#include "skeleton/ScreenProjection.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Grid points per angle for the wider search, and how many of the best are
// refined.
constexpr int AIM_GRID_MAX = 12;
constexpr double AIM_GRID_STEP_DEGREES = 15;
constexpr int AIM_REFINED = 3;
// The share of the remaining distance a farther pose must win.
constexpr double AIM_JUMP_GAIN = 0.2;

double errorAt(const DlsProblem& problem, const double* values) {
    DlsEvaluation e;
    problem.evaluate(values, e);
    return e.valid ? std::hypot(e.residual[0], e.residual[1]) : INFINITY;
}

// Where the bone's swing folds over itself on the screen (it moves toward
// or away from the eye), a pixel can lie just past the fold for the present
// pose and be reached squarely by a pose farther off: the nearest-first
// steps stop at the fold or at a limit. This looks over a coarse grid of
// the angles' whole range, refines the best points, and among those that
// come closest takes the one nearest the present angles, but only when it
// wins at least AIM_JUMP_GAIN of the remaining distance. Returns true when
// it replaced `values`; `error` follows them.
bool searchFarther(const DlsProblem& problem, double* values, const double* low, const double* high,
                   int maxIterations, double& error) {
    int count[2];
    for (int v = 0; v < 2; ++v)
        count[v] =
            std::clamp(static_cast<int>(std::ceil((high[v] - low[v]) / AIM_GRID_STEP_DEGREES)) + 1,
                       2, AIM_GRID_MAX);
    struct Seed {
        double values[2];
        double error;
    };
    Seed best[AIM_REFINED];
    for (Seed& b : best)
        b.error = INFINITY;
    for (int i = 0; i < count[0]; ++i)
        for (int j = 0; j < count[1]; ++j) {
            Seed seed{{low[0] + (high[0] - low[0]) * i / (count[0] - 1),
                       low[1] + (high[1] - low[1]) * j / (count[1] - 1)},
                      0};
            seed.error = errorAt(problem, seed.values);
            // Keep the AIM_REFINED best, worst last.
            for (int k = 0; k < AIM_REFINED; ++k)
                if (seed.error < best[k].error)
                    std::swap(seed, best[k]);
        }
    double nearest = error;
    for (Seed& b : best) {
        if (!std::isfinite(b.error))
            continue;
        const SolveReport r = solveDampedLeastSquares(problem, b.values, low, high, maxIterations,
                                                      AIM_TOLERANCE_PIXELS);
        b.error = r.error < 0 ? INFINITY : r.error;
        nearest = std::min(nearest, b.error);
    }
    if (!(nearest < error * (1 - AIM_JUMP_GAIN)))
        return false;
    const Seed* pick = nullptr;
    double pickChange = INFINITY;
    for (const Seed& b : best) {
        // Within a hundredth of a pixel counts as equally close.
        if (!(b.error <= nearest + 0.01))
            continue;
        const double change = std::hypot(b.values[0] - values[0], b.values[1] - values[1]);
        if (change < pickChange) {
            pickChange = change;
            pick = &b;
        }
    }
    values[0] = pick->values[0];
    values[1] = pick->values[1];
    error = pick->error;
    return true;
}

} // namespace

SolveReport aimBone(Bone& bone, const ScreenProjection& view, double x, double y,
                    int maxIterations) {
    if (bone.length() < ANGLE_TOLERANCE)
        return SolveReport();
    const ChainKinematics model({&bone}, bone);
    const Matrix4 clip = multiply(view.projection, view.modelView);
    const double halfWidth = view.viewport[2] / 2.0, halfHeight = view.viewport[3] / 2.0;

    DlsProblem problem;
    problem.variables = 2;
    problem.residuals = 2;
    problem.evaluate = [&](const double* values, DlsEvaluation& out) {
        ChainTurn turns[2];
        const Vec3 tip = model.tip(values, turns);
        Vec3 window;
        out.valid = view.projectInFront(tip, window);
        if (!out.valid)
            return;
        out.residual[0] = window.x - x;
        out.residual[1] = window.y - y;
        // Window x = halfWidth * (cx / cw) + ..., so its change with the
        // point is halfWidth * (row0 * cw - cx * row3) / cw^2; y likewise.
        double c[4];
        for (int r = 0; r < 4; ++r)
            c[r] = clip[r] * tip.x + clip[4 + r] * tip.y + clip[8 + r] * tip.z + clip[12 + r];
        for (int v = 0; v < 2; ++v) {
            const Vec3 d = turns[v].changeOf(tip);
            double dc[4];
            for (int r = 0; r < 4; ++r)
                dc[r] = clip[r] * d.x + clip[4 + r] * d.y + clip[8 + r] * d.z;
            out.jacobian[0][v] = halfWidth * (dc[0] * c[3] - c[0] * dc[3]) / (c[3] * c[3]);
            out.jacobian[1][v] = halfHeight * (dc[1] * c[3] - c[1] * dc[3]) / (c[3] * c[3]);
        }
    };

    double values[2], low[2], high[2];
    model.currentAngles(values);
    model.limits(low, high);
    SolveReport report =
        solveDampedLeastSquares(problem, values, low, high, maxIterations, AIM_TOLERANCE_PIXELS);
    if (report.error > AIM_JUMP_PIXELS && maxIterations > 0 &&
        searchFarther(problem, values, low, high, maxIterations, report.error))
        report.changed = true;
    if (report.changed && !(report.startError - report.error >= AIM_MIN_GAIN_PIXELS)) {
        // Nothing to see: the angles stay as they were.
        report.changed = false;
        report.error = report.startError;
    }
    if (report.changed)
        model.apply(values);
    return report;
}

bool twistBone(Bone& bone, double pixels, double degreesPerPixel) {
    const double old = bone.ownAngle();
    const double wanted = old + pixels * degreesPerPixel;
    // As with the other solvers, an angle already outside its limits may
    // come back but never goes further out.
    const double low = std::min(bone.minOwn(), old), high = std::max(bone.maxOwn(), old);
    const double own = std::clamp(wanted, low, high);
    if (std::isnan(own) || own == old)
        return false;
    bone.storeAngles(BonePose(bone.mainAngle(), bone.secAngle(), own));
    bone.rebuildSubtree();
    return true;
}
