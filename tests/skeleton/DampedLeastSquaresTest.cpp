#include "skeleton/DampedLeastSquares.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// r = (x - 3, y + 1, x * y - 1): its least-squares minimum lies outside
// the box [-1, 2] x [-2, 0.5] used below, on its edge.
DlsProblem curved(int* evaluations = nullptr) {
    DlsProblem p;
    p.variables = 2;
    p.residuals = 3;
    p.evaluate = [evaluations](const double* v, DlsEvaluation& out) {
        if (evaluations)
            ++*evaluations;
        out.valid = true;
        out.residual[0] = v[0] - 3;
        out.residual[1] = v[1] + 1;
        out.residual[2] = v[0] * v[1] - 1;
        out.jacobian[0][0] = 1;
        out.jacobian[0][1] = 0;
        out.jacobian[1][0] = 0;
        out.jacobian[1][1] = 1;
        out.jacobian[2][0] = v[1];
        out.jacobian[2][1] = v[0];
    };
    return p;
}

} // namespace

TEST(DampedLeastSquares, InvalidStartsAndNoIterationsChangeNothing) {
    DlsProblem never = curved();
    never.evaluate = [](const double*, DlsEvaluation& out) { out.valid = false; };
    double values[2] = {0.25, 0.5};
    const double low[2] = {-1, -2}, high[2] = {2, 0.5};
    SolveReport r = solveDampedLeastSquares(never, values, low, high, 10, 1e-9);
    EXPECT_EQ(r.startError, -1);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(values[0], 0.25);
    EXPECT_EQ(values[1], 0.5);

    r = solveDampedLeastSquares(curved(), values, low, high, 0, 1e-9);
    EXPECT_EQ(r.iterations, 0);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(r.error, r.startError);
    EXPECT_EQ(values[0], 0.25);
}

TEST(DampedLeastSquares, StaysInTheBoxAndNeverGetsWorse) {
    const double low[2] = {-1, -2}, high[2] = {2, 0.5};
    double values[2] = {0, 0};
    double last = INFINITY;
    // One iteration per call: every step in turn.
    for (int call = 0; call < 100; ++call) {
        const SolveReport r = solveDampedLeastSquares(curved(), values, low, high, 1, 1e-12);
        EXPECT_LE(r.error, r.startError);
        EXPECT_LE(r.startError, last);
        last = r.error;
        ASSERT_GE(values[0], low[0]);
        ASSERT_LE(values[0], high[0]);
        ASSERT_GE(values[1], low[1]);
        ASSERT_LE(values[1], high[1]);
    }
    // The constrained minimum: x held at its upper limit 2, y minimising
    // (y + 1)^2 + (2y - 1)^2, so y = 0.2.
    EXPECT_NEAR(values[0], 2, 1e-9);
    EXPECT_NEAR(values[1], 0.2, 1e-6);

    // A reachable zero within tolerance stops early.
    DlsProblem linear = curved();
    linear.residuals = 2;
    double free[2] = {0, 0};
    const double wide[2] = {-10, -10}, far[2] = {10, 10};
    const SolveReport r = solveDampedLeastSquares(linear, free, wide, far, 50, 1e-9);
    EXPECT_LE(r.error, 1e-9);
    EXPECT_LT(r.iterations, 10);
}

TEST(DampedLeastSquares, RefusesStepsIntoValuesItCannotMeasure) {
    // Only x <= 1 can be measured: the solver must stop at the edge rather
    // than step past it toward the minimum at x = 3.
    DlsProblem fenced = curved();
    const auto inner = fenced.evaluate;
    fenced.evaluate = [inner](const double* v, DlsEvaluation& out) {
        inner(v, out);
        out.valid = v[0] <= 1;
    };
    const double low[2] = {-1, -2}, high[2] = {5, 5};
    double values[2] = {0, 0};
    const SolveReport r = solveDampedLeastSquares(fenced, values, low, high, 50, 1e-12);
    EXPECT_LE(values[0], 1);
    EXPECT_LT(r.error, r.startError);
}
