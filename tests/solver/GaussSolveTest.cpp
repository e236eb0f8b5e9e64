#include "solver/GaussSolve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace panelflow {
namespace {

// Builds the augmented matrix [0..N] x [0..N+1] from coefficient rows and a right-hand side.
Array2D<double> Augmented(const std::vector<std::vector<double>>& rows, const std::vector<double>& rhs) {
    const long N = static_cast<long>(rows.size());
    Array2D<double> A(N, N + 1);
    for (long i = 1; i <= N; ++i) {
        for (long j = 1; j <= N; ++j) A(i, j) = rows[i - 1][j - 1];
        A(i, N + 1) = rhs[i - 1];
    }
    return A;
}

void FillSentinels(Array1D<double>& X) {
    for (long i = 0; i <= X.upper(); ++i) X(i) = 1000.0 + i;
}

TEST(GaussSolve, SingleUnknownIsTheQuotient) {
    Array2D<double> A = Augmented({{4.0}}, {3.0});
    Array1D<double> X(1);
    const GaussResult result = GaussSolve(1, A, X);
    EXPECT_FALSE(result.zeroPivot);
    EXPECT_EQ(X(1), 0.75);
}

TEST(GaussSolve, ZeroFirstPivotLeavesMatrixAndSolutionUntouched) {
    Array2D<double> A = Augmented({{0.0, 2.0}, {3.0, 4.0}}, {5.0, 6.0});
    const Array2D<double> before = A;
    Array1D<double> X(2);
    FillSentinels(X);
    const GaussResult result = GaussSolve(2, A, X);
    EXPECT_TRUE(result.zeroPivot);
    EXPECT_EQ(result.step, 1);
    for (long i = 0; i <= 2; ++i)
        for (long j = 0; j <= 3; ++j) EXPECT_EQ(A(i, j), before(i, j)) << i << ", " << j;
    for (long i = 0; i <= 2; ++i) EXPECT_EQ(X(i), 1000.0 + i);
}

TEST(GaussSolve, RegularSystemNeedingARowExchangeIsRefused) {
    Array2D<double> A = Augmented({{0.0, 1.0}, {1.0, 0.0}}, {7.0, 8.0});
    Array1D<double> X(2);
    const GaussResult result = GaussSolve(2, A, X);
    EXPECT_TRUE(result.zeroPivot);
    EXPECT_EQ(result.step, 1);
}

TEST(GaussSolve, PivotBecomingZeroAtStepTwoStopsAfterStepOne) {
    Array2D<double> A = Augmented({{1, 1, 1}, {1, 1, 2}, {2, 3, 4}}, {6, 9, 17});
    Array1D<double> X(3);
    FillSentinels(X);
    const GaussResult result = GaussSolve(3, A, X);
    EXPECT_TRUE(result.zeroPivot);
    EXPECT_EQ(result.step, 2);
    // Rows 2 and 3 reduced by step 1: row 2 minus row 1, row 3 minus twice row 1.
    const double expected[4][5] = {{0, 0, 0, 0, 0}, {0, 1, 1, 1, 6}, {0, 0, 0, 1, 3}, {0, 0, 1, 2, 5}};
    for (long i = 1; i <= 3; ++i)
        for (long j = 1; j <= 4; ++j) EXPECT_EQ(A(i, j), expected[i][j]) << i << ", " << j;
    for (long i = 0; i <= 3; ++i) EXPECT_EQ(X(i), 1000.0 + i);
}

TEST(GaussSolve, ZeroLastPivotIsReportedWithoutDividing) {
    // Row 2 is twice row 1: the last pivot becomes exactly zero.
    Array2D<double> A = Augmented({{1.0, 2.0}, {2.0, 4.0}}, {3.0, 5.0});
    Array1D<double> X(2);
    FillSentinels(X);
    const GaussResult result = GaussSolve(2, A, X);
    EXPECT_TRUE(result.zeroPivot);
    EXPECT_EQ(result.step, 2);
    EXPECT_EQ(A(2, 2), 0.0);
    EXPECT_EQ(X(1), 1001.0);
    EXPECT_EQ(X(2), 1002.0);
}

TEST(GaussSolve, DiagonalMatrixGivesQuotientsAndKeepsRows) {
    const long N = 5;
    Array2D<double> A(N, N + 1);
    for (long i = 1; i <= N; ++i) {
        A(i, i) = 0.5 * i + 1.0;
        A(i, N + 1) = 3.0 - i;
    }
    const Array2D<double> before = A;
    Array1D<double> X(N);
    ASSERT_FALSE(GaussSolve(N, A, X).zeroPivot);
    for (long i = 1; i <= N; ++i) {
        EXPECT_EQ(X(i), before(i, N + 1) / before(i, i));
        for (long j = 1; j <= N + 1; ++j) EXPECT_EQ(A(i, j), before(i, j));
    }
}

TEST(GaussSolve, ManufacturedSolutionIsRecoveredAndLowerPartIsZero) {
    const long N = 200;
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    Array2D<double> A(N, N + 1);
    std::vector<double> x(N + 1);
    for (long i = 1; i <= N; ++i) x[i] = uniform(random);
    for (long i = 1; i <= N; ++i) {
        for (long j = 1; j <= N; ++j) A(i, j) = uniform(random);
        A(i, i) += N;  // diagonally dominant: well conditioned without pivoting
        double b = 0.0;
        for (long j = 1; j <= N; ++j) b += A(i, j) * x[j];
        A(i, N + 1) = b;
    }
    Array1D<double> X(N);
    ASSERT_FALSE(GaussSolve(N, A, X).zeroPivot);
    for (long i = 1; i <= N; ++i) {
        EXPECT_NEAR(X(i), x[i], 1e-12) << i;
        for (long j = 1; j < i; ++j) ASSERT_EQ(A(i, j), 0.0) << i << ", " << j;
    }
}

}  // namespace
}  // namespace panelflow
