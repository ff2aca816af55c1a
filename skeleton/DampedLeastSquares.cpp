#include "skeleton/DampedLeastSquares.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

double errorOf(const DlsProblem& p, const DlsEvaluation& e) {
    double sum = 0;
    for (int r = 0; r < p.residuals; ++r)
        sum += e.residual[r] * e.residual[r];
    return std::sqrt(sum);
}

// Solves the symmetric positive definite system a x = b of size n in place
// by Cholesky. False when a is not positive definite (or holds a NaN).
bool solveSpd(double a[DLS_MAX_VARIABLES][DLS_MAX_VARIABLES], double* b, int n) {
    for (int j = 0; j < n; ++j) {
        double d = a[j][j];
        for (int k = 0; k < j; ++k)
            d -= a[j][k] * a[j][k];
        if (!(d > 0))
            return false;
        a[j][j] = std::sqrt(d);
        for (int i = j + 1; i < n; ++i) {
            double s = a[i][j];
            for (int k = 0; k < j; ++k)
                s -= a[i][k] * a[j][k];
            a[i][j] = s / a[j][j];
        }
    }
    for (int i = 0; i < n; ++i) {
        double s = b[i];
        for (int k = 0; k < i; ++k)
            s -= a[i][k] * b[k];
        b[i] = s / a[i][i];
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        for (int k = i + 1; k < n; ++k)
            s -= a[k][i] * b[k];
        b[i] = s / a[i][i];
    }
    return true;
}

} // namespace

SolveReport solveDampedLeastSquares(const DlsProblem& problem, double* values, const double* low,
                                    const double* high, int maxIterations, double tolerance) {
    const int n = problem.variables, m = problem.residuals;
    assert(n >= 1 && n <= DLS_MAX_VARIABLES && m >= 1 && m <= DLS_MAX_RESIDUALS);
    SolveReport report;
    DlsEvaluation current;
    problem.evaluate(values, current);
    if (!current.valid)
        return report;
    double error = errorOf(problem, current);
    report.startError = report.error = error;
    if (!std::isfinite(error))
        return report;

    // The damping carries over from step to step: it shrinks after a good
    // step and grows after a refused one.
    double lambda = 0;
    for (int iteration = 0; iteration < maxIterations && error > tolerance; ++iteration) {
        ++report.iterations;
        double gradient[DLS_MAX_VARIABLES], normal[DLS_MAX_VARIABLES][DLS_MAX_VARIABLES];
        for (int i = 0; i < n; ++i) {
            gradient[i] = 0;
            for (int r = 0; r < m; ++r)
                gradient[i] += current.jacobian[r][i] * current.residual[r];
            for (int j = 0; j < n; ++j) {
                normal[i][j] = 0;
                for (int r = 0; r < m; ++r)
                    normal[i][j] += current.jacobian[r][i] * current.jacobian[r][j];
            }
        }
        // A value held at a limit that the descent would push further out
        // stays there; the others take the step.
        int freeIndex[DLS_MAX_VARIABLES], free = 0;
        double largest = 0;
        for (int i = 0; i < n; ++i) {
            if ((values[i] <= low[i] && gradient[i] > 0) ||
                (values[i] >= high[i] && gradient[i] < 0))
                continue;
            freeIndex[free++] = i;
            largest = std::max(largest, normal[i][i]);
        }
        if (free == 0 || !(largest > 0))
            break;
        if (lambda == 0)
            lambda = 1e-3 * largest;
        // A floor keeps the system well conditioned where the variables
        // outnumber the residuals (a chain), whose normal matrix is singular.
        lambda = std::max(lambda, 1e-10 * largest);

        bool accepted = false;
        bool stuck = false;
        for (int attempt = 0; attempt < 10 && !accepted && !stuck; ++attempt) {
            double a[DLS_MAX_VARIABLES][DLS_MAX_VARIABLES], step[DLS_MAX_VARIABLES];
            for (int i = 0; i < free; ++i) {
                for (int j = 0; j < free; ++j)
                    a[i][j] = normal[freeIndex[i]][freeIndex[j]];
                a[i][i] += lambda;
                step[i] = -gradient[freeIndex[i]];
            }
            if (!solveSpd(a, step, free)) {
                lambda *= 8;
                continue;
            }
            double trial[DLS_MAX_VARIABLES];
            std::copy(values, values + n, trial);
            bool moves = false;
            for (int i = 0; i < free; ++i) {
                const int k = freeIndex[i];
                trial[k] = std::clamp(values[k] + step[i], low[k], high[k]);
                moves = moves || trial[k] != values[k];
            }
            if (!moves) {
                stuck = true;
                break;
            }
            DlsEvaluation next;
            problem.evaluate(trial, next);
            const double nextError = next.valid ? errorOf(problem, next) : NAN;
            // NaN fails the comparison: such a step is refused like a worse one.
            if (nextError < error) {
                const double gain = error - nextError;
                std::copy(trial, trial + n, values);
                current = next;
                error = nextError;
                ++report.steps;
                report.changed = true;
                accepted = true;
                lambda *= 0.25;
                // Progress this small means the error has settled (at a limit
                // or at the nearest reachable point): stop rather than spend
                // the remaining iterations on rounding.
                if (gain <= 1e-9 * (1 + error))
                    stuck = true;
            } else {
                lambda *= 8;
            }
        }
        if (!accepted || stuck)
            break;
    }
    report.error = error;
    return report;
}
