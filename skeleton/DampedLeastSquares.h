#pragma once

#include <functional>

// The pose solvers turn at most three bones by two angles each and measure
// at most a 3-D distance.
constexpr int DLS_MAX_VARIABLES = 6;
constexpr int DLS_MAX_RESIDUALS = 3;

// One evaluation of a least-squares problem at trial values: the residuals
// (what should become zero) and their derivatives by each variable. `valid`
// false marks values the problem cannot measure (a point behind the eye);
// a step there is never taken.
struct DlsEvaluation {
    bool valid = false;
    double residual[DLS_MAX_RESIDUALS] = {};
    double jacobian[DLS_MAX_RESIDUALS][DLS_MAX_VARIABLES] = {};
};

// What a solve did. Errors are the residual's length, in the problem's unit
// (window pixels for the aim, scene units for a chain); -1 when the start
// could not be measured, in which case nothing moved.
struct SolveReport {
    double startError = -1;
    double error = -1;
    // Iterations spent, and the accepted steps among them: each accepted
    // step lowered the error.
    int iterations = 0;
    int steps = 0;
    bool changed = false;
};

// A problem: `variables` and `residuals` (each at least 1 and within the
// maxima above), and the evaluation of trial values.
struct DlsProblem {
    int variables = 0;
    int residuals = 0;
    std::function<void(const double* values, DlsEvaluation& out)> evaluate;
};

// Damped least squares (Levenberg-Marquardt) inside box limits: from
// `values`, at most `maxIterations` steps, each kept only when it lowers the
// error strictly, so the error never grows and every value stays within
// [low, high] after every step. The damping keeps steps short, which turns
// the values as little as the target needs. Stops early once the error is
// at most `tolerance` or no step helps. `values` holds the result.
SolveReport solveDampedLeastSquares(const DlsProblem& problem, double* values, const double* low,
                                    const double* high, int maxIterations, double tolerance);
