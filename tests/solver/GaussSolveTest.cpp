// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/GaussSolve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "support/LiteralGauss.h"

namespace panelflow {
namespace {

using testing::LiteralGaussSolve;

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

// A random system, well conditioned without pivoting: the diagonal dominates each row.
Array2D<double> RandomDominantSystem(long N, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    Array2D<double> A(N, N + 1);
    for (long i = 1; i <= N; ++i) {
        for (long j = 1; j <= N + 1; ++j) A(i, j) = uniform(random);
        A(i, i) += 0.6 * N;
    }
    return A;
}

class BlockedElimination : public ::testing::TestWithParam<long> {};

TEST_P(BlockedElimination, AgreesWithTheRowLoop) {
    const long N = GetParam();
    const Array2D<double> system = RandomDominantSystem(N, static_cast<unsigned>(N));
    Array2D<double> reference = system;
    Array1D<double> referenceX(N);
    ASSERT_FALSE(LiteralGaussSolve(N, reference, referenceX).zeroPivot);
    Array2D<double> A = system;
    Array1D<double> X(N);
    ASSERT_FALSE(GaussSolve(N, A, X).zeroPivot);
    for (long i = 1; i <= N; ++i) {
        EXPECT_NEAR(X(i), referenceX(i), 1e-12 * std::fabs(referenceX(i))) << i;
        for (long j = 1; j <= N + 1; ++j) {
            if (j < i) ASSERT_EQ(A(i, j), 0.0) << i << ", " << j;
            else ASSERT_NEAR(A(i, j), reference(i, j), 1e-12 * std::fabs(reference(i, j)) + 1e-14) << i << ", " << j;
        }
    }
}

// Sizes around the width of the narrow blocks and of the recursion's halves.
INSTANTIATE_TEST_SUITE_P(Sizes, BlockedElimination, ::testing::Values(2L, 3L, 31L, 32L, 33L, 64L, 65L, 100L, 257L, 600L, 1100L));

// A = L U with small whole numbers, unit L and pivots of +-1 except U(zeroStep, zeroStep) = 0:
// every step of the elimination is exact in any order, so the blocked solver must leave exactly
// what the row loop leaves.
Array2D<double> ExactSystem(long N, long zeroStep, unsigned seed, long R = 1) {
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> small(-3, 3), sign(0, 1), lower(-1, 1);
    Array2D<double> L(N, N), U(N, N + R);
    for (long i = 1; i <= N; ++i) {
        L(i, i) = 1.0;
        for (long j = 1; j < i; ++j) L(i, j) = lower(random);
        U(i, i) = i == zeroStep ? 0.0 : (sign(random) != 0 ? 1.0 : -1.0);
        for (long j = i + 1; j <= N + R; ++j) U(i, j) = small(random);
    }
    Array2D<double> A(N, N + R);
    for (long i = 1; i <= N; ++i)
        for (long j = 1; j <= N + R; ++j)
            for (long p = 1; p <= std::min(i, j); ++p) A(i, j) += L(i, p) * U(p, j);
    return A;
}

struct ZeroPivotCase {
    long N;
    long zeroStep;  // 0: none
};

void PrintTo(const ZeroPivotCase& c, std::ostream* out) { *out << "N = " << c.N << ", zero pivot at " << c.zeroStep; }

class ExactElimination : public ::testing::TestWithParam<ZeroPivotCase> {};

TEST_P(ExactElimination, LeavesExactlyWhatTheRowLoopLeaves) {
    const auto [N, zeroStep] = GetParam();
    const Array2D<double> system = ExactSystem(N, zeroStep, static_cast<unsigned>(N * 1000 + zeroStep));
    Array2D<double> reference = system;
    Array1D<double> referenceX(N);
    FillSentinels(referenceX);
    const GaussResult expected = LiteralGaussSolve(N, reference, referenceX);
    ASSERT_EQ(expected.zeroPivot, zeroStep != 0);
    Array2D<double> A = system;
    Array1D<double> X(N);
    FillSentinels(X);
    const GaussResult result = GaussSolve(N, A, X);
    EXPECT_EQ(result.zeroPivot, expected.zeroPivot);
    EXPECT_EQ(result.step, expected.step);
    for (long i = 1; i <= N; ++i)
        for (long j = 1; j <= N + 1; ++j) ASSERT_EQ(A(i, j), reference(i, j)) << i << ", " << j;
    for (long i = 0; i <= N; ++i) EXPECT_EQ(X(i), referenceX(i)) << i;
}

// Zero pivots at the first and last step, inside narrow blocks, at their edges and deep in the
// recursion, so that the pending steps of every enclosing block must be applied.
INSTANTIATE_TEST_SUITE_P(Steps, ExactElimination,
                         ::testing::Values(ZeroPivotCase{150, 0}, ZeroPivotCase{150, 1}, ZeroPivotCase{150, 2},
                                           ZeroPivotCase{150, 17}, ZeroPivotCase{150, 32}, ZeroPivotCase{150, 33},
                                           ZeroPivotCase{150, 75}, ZeroPivotCase{150, 76}, ZeroPivotCase{150, 120},
                                           ZeroPivotCase{150, 149}, ZeroPivotCase{150, 150}, ZeroPivotCase{40, 40},
                                           ZeroPivotCase{300, 211}, ZeroPivotCase{600, 0}, ZeroPivotCase{600, 200}, ZeroPivotCase{600, 256},
                                           ZeroPivotCase{600, 257}, ZeroPivotCase{600, 517}, ZeroPivotCase{600, 513},
                                           ZeroPivotCase{600, 600}),
                         [](const ::testing::TestParamInfo<ZeroPivotCase>& info) {
                             std::string name = "N";
                             name += std::to_string(info.param.N);
                             name += "ZeroStep";
                             name += std::to_string(info.param.zeroStep);
                             return name;
                         });

// Right-hand sides eliminated together give each the solution that the row loop gives it alone,
// and a zero pivot stops them all at its step.
TEST(GaussSolve, SeveralRightHandSidesEachGetTheirOwnSolution) {
    constexpr long N = 150, R = 3;
    for (const long zeroStep : {0L, 70L}) {
        const Array2D<double> system = ExactSystem(N, zeroStep, 7, R);
        Array2D<double> A = system;
        Array2D<double> X(R, N);
        const GaussResult result = GaussSolve(N, R, A, X);
        ASSERT_EQ(result.zeroPivot, zeroStep != 0);
        if (result.zeroPivot) {
            EXPECT_EQ(result.step, zeroStep);
            continue;
        }
        for (long r = 1; r <= R; ++r) {
            Array2D<double> alone(N, N + 1);
            for (long i = 1; i <= N; ++i) {
                std::copy(system.row(i) + 1, system.row(i) + N + 1, alone.row(i) + 1);
                alone(i, N + 1) = system(i, N + r);
            }
            Array1D<double> expected(N);
            ASSERT_FALSE(LiteralGaussSolve(N, alone, expected).zeroPivot);
            for (long i = 1; i <= N; ++i) ASSERT_EQ(X(r, i), expected(i)) << r << ", " << i;
        }
    }
}

}  // namespace
}  // namespace panelflow
