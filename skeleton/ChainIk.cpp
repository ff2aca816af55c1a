#include "skeleton/ChainIk.h"

#include "skeleton/ChainKinematics.h"
#include "skeleton/ScreenProjection.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// Restarts of a stalled solve, the share of the remaining distance a
// restart must win to be taken, and the seed of their poses.
constexpr int IK_RESTARTS = 4;
constexpr double IK_RESTART_GAIN = 0.2;
constexpr unsigned IK_RESTART_SEED = 7;
// Restarts only look beyond a stall this far from the target, in scene
// units (under a pixel at the start camera): nearer, a jump to another pose
// would gain too little to be worth the sight of it.
constexpr double IK_RESTART_DISTANCE = 0.005;

// One sweep of cyclic coordinate descent: each angle in turn, nearest the
// leaf first, takes the value within its limits that brings the tip nearest
// the target. One angle moves the tip on a circle about its line, so that
// value has a closed form. This finds what damped steps cannot see from a
// straight knee or elbow held at its limit, where a small bend moves the
// tip only sideways. A change is kept only when it brings the tip strictly
// closer. Returns true when any angle changed.
bool coordinateSweep(const ChainKinematics& model, const Vec3& target, double* values,
                     const double* low, const double* high, double& error) {
    bool changed = false;
    for (int v = 0; v < model.variables(); ++v) {
        ChainTurn turns[DLS_MAX_VARIABLES];
        const Vec3 tip = model.tip(values, turns);
        const ChainTurn& turn = turns[v];
        // With r the arm from the pivot, a turn by d degrees carries the tip
        // to pivot + r_along + r_across cos d - (axis x r) sin d, so its
        // squared distance to the target falls as alpha cos d + beta sin d
        // rises.
        const Vec3 arm = tip - turn.pivot, toTarget = target - turn.pivot;
        const Vec3 across = arm - turn.axis * turn.axis.dot(arm);
        const double alpha = toTarget.dot(across), beta = -toTarget.dot(turn.axis.cross(arm));
        if (alpha == 0 && beta == 0)
            continue;
        const double best = radiansToDegrees(std::atan2(beta, alpha));
        const double lo = low[v] - values[v], hi = high[v] - values[v];
        double turnBy = NAN;
        for (double candidate : {best, best - 360, best + 360})
            if (candidate >= lo && candidate <= hi && !(std::fabs(candidate) >= std::fabs(turnBy)))
                turnBy = candidate;
        if (std::isnan(turnBy)) {
            // The best turn lies outside the limits: the better end wins.
            auto rise = [&](double d) {
                const double r = degreesToRadians(d);
                return alpha * std::cos(r) + beta * std::sin(r);
            };
            turnBy = rise(lo) >= rise(hi) ? lo : hi;
        }
        double trial[DLS_MAX_VARIABLES];
        std::copy(values, values + model.variables(), trial);
        trial[v] = std::clamp(values[v] + turnBy, low[v], high[v]);
        const double trialError = (model.tip(trial) - target).length();
        if (trialError < error) {
            values[v] = trial[v];
            error = trialError;
            changed = true;
        }
    }
    return changed;
}

// The tip's distance to a fixed target as a least-squares problem in the
// chain's angles.
DlsProblem distanceProblem(const ChainKinematics& model, const Vec3& target) {
    DlsProblem problem;
    problem.variables = model.variables();
    problem.residuals = 3;
    problem.evaluate = [&model, target](const double* values, DlsEvaluation& out) {
        ChainTurn turns[DLS_MAX_VARIABLES];
        const Vec3 tip = model.tip(values, turns);
        const Vec3 error = tip - target;
        out.valid = std::isfinite(error.x) && std::isfinite(error.y) && std::isfinite(error.z);
        out.residual[0] = error.x;
        out.residual[1] = error.y;
        out.residual[2] = error.z;
        for (int v = 0; v < model.variables(); ++v) {
            const Vec3 d = turns[v].changeOf(tip);
            out.jacobian[0][v] = d.x;
            out.jacobian[1][v] = d.y;
            out.jacobian[2][v] = d.z;
        }
    };
    return problem;
}

// Damped steps move the chain smoothly and as little as the target needs;
// where they stall short of the target, a coordinate sweep looks for a way
// round and the damped steps go on from there. At most `budget` iterations,
// each sweep counting as one.
SolveReport refine(const ChainKinematics& model, const DlsProblem& problem, const Vec3& target,
                   double* values, const double* low, const double* high, int budget) {
    SolveReport report;
    for (int left = budget;;) {
        const SolveReport part =
            solveDampedLeastSquares(problem, values, low, high, left, IK_TOLERANCE);
        if (part.startError < 0)
            return report;
        if (report.startError < 0)
            report.startError = part.startError;
        report.error = part.error;
        report.iterations += part.iterations;
        report.steps += part.steps;
        report.changed = report.changed || part.changed;
        left -= part.iterations;
        if (report.error <= IK_TOLERANCE || left <= 0)
            break;
        --left;
        ++report.iterations;
        if (!coordinateSweep(model, target, values, low, high, report.error))
            break;
        ++report.steps;
        report.changed = true;
    }
    return report;
}

// Damped steps and sweeps only find the nearest way down; a limb can stall
// in a pose from which the target lies beyond a ridge (a foot that must
// swing the whole thigh round before the knee can bend toward it). When that
// happens, IK_RESTARTS more solves start from poses drawn between the
// present one and random in-limits poses, each farther out than the last,
// from a fixed seed so that a drag always behaves the same. Among those that
// get closest, the one that changes the angles least replaces `values`, but
// only when it brings the tip at least IK_RESTART_GAIN of the remaining way
// closer: an unreachable pointer must not make the chain jump between poses
// of nearly the same reach. Returns the iterations spent; `error` follows
// `values`.
int restart(const ChainKinematics& model, const DlsProblem& problem, const Vec3& target,
            double* values, const double* low, const double* high, int budget, double& error) {
    const int n = model.variables();
    std::mt19937 random(IK_RESTART_SEED);
    double found[IK_RESTARTS][DLS_MAX_VARIABLES];
    double foundError[IK_RESTARTS];
    double best = error;
    int iterations = 0;
    for (int k = 0; k < IK_RESTARTS; ++k) {
        const double reach = static_cast<double>(k + 1) / IK_RESTARTS;
        for (int v = 0; v < n; ++v) {
            const double drawn = std::uniform_real_distribution<double>(low[v], high[v])(random);
            found[k][v] = std::clamp(values[v] + (drawn - values[v]) * reach, low[v], high[v]);
        }
        const SolveReport r = refine(model, problem, target, found[k], low, high, budget);
        iterations += r.iterations;
        foundError[k] = r.startError >= 0 ? r.error : INFINITY;
        best = std::min(best, foundError[k]);
    }
    if (!(best < error * (1 - IK_RESTART_GAIN)))
        return iterations;
    int pick = -1;
    double pickChange = INFINITY;
    for (int k = 0; k < IK_RESTARTS; ++k) {
        // Poses this close in reach count as equally good.
        if (!(foundError[k] <= best + IK_TOLERANCE * 100))
            continue;
        double change = 0;
        for (int v = 0; v < n; ++v)
            change += (found[k][v] - values[v]) * (found[k][v] - values[v]);
        if (change < pickChange) {
            pickChange = change;
            pick = k;
        }
    }
    std::copy(found[pick], found[pick] + n, values);
    error = foundError[pick];
    return iterations;
}

} // namespace

std::vector<Bone*> ikChain(const Bone& leaf) {
    std::vector<Bone*> chain;
    if (!leaf.children().empty())
        return chain;
    for (Bone* b = leaf.parent(); b && b->parent(); b = b->parent()) {
        chain.push_back(b);
        if (b->children().size() > 1 || static_cast<int>(chain.size()) == IK_CHAIN_LENGTH)
            break;
    }
    return chain;
}

bool dragPlaneTarget(const ScreenProjection& view, const Vec3& through, double x, double y,
                     Vec3& target) {
    Vec3 origin, direction, normal;
    if (!view.rayAt(x, y, origin, direction) || !view.viewDirection(normal))
        return false;
    const double facing = direction.dot(normal);
    // Every ray inside the view runs forward; a ray along the plane never
    // meets it.
    if (!(facing > 1e-9))
        return false;
    const double t = (through - origin).dot(normal) / facing;
    if (!(t >= 0) || !std::isfinite(t))
        return false;
    target = origin + direction * t;
    return true;
}

SolveReport solveChain(const std::vector<Bone*>& chain, const Bone& leaf, const Vec3& target,
                       int maxIterations) {
    if (chain.empty() || static_cast<int>(chain.size()) > IK_CHAIN_LENGTH)
        return SolveReport();
    const ChainKinematics model(chain, leaf);
    if (!model.valid())
        return SolveReport();
    const DlsProblem problem = distanceProblem(model, target);
    double values[DLS_MAX_VARIABLES], low[DLS_MAX_VARIABLES], high[DLS_MAX_VARIABLES];
    model.currentAngles(values);
    model.limits(low, high);
    SolveReport report = refine(model, problem, target, values, low, high, maxIterations);
    if (report.startError < 0)
        return report;

    if (report.error > IK_RESTART_DISTANCE && maxIterations > 0) {
        report.iterations +=
            restart(model, problem, target, values, low, high, maxIterations, report.error);
        report.changed = report.changed || report.error < report.startError;
    }
    if (report.changed)
        model.apply(values);
    return report;
}

SolveReport dragChain(const Bone& leaf, const ScreenProjection& view, double x, double y,
                      int maxIterations) {
    const std::vector<Bone*> chain = ikChain(leaf);
    Vec3 target;
    if (chain.empty() || !dragPlaneTarget(view, leaf.endPoint(), x, y, target))
        return SolveReport();
    return solveChain(chain, leaf, target, maxIterations);
}
