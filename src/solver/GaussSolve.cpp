// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/GaussSolve.h"

#include <cblas.h>

#include <algorithm>
#include <cassert>

#include "solver/BlasKernels.h"

namespace panelflow {
namespace {

// The elimination works on the augmented matrix in place as an N x (N + 1) row-major block
// M(i, j) = A(i + 1, j + 1), 0-based, with leading dimension lda; column N is the right-hand
// side, which takes every row operation like any other column but is never a pivot column.
//
// It is the literal row elimination reorganised as a recursive LU without row exchanges: the
// multiplier of row i at step k, A(i, k) / A(k, k), is kept below the diagonal while the
// factorisation runs, so that whole blocks of steps can be applied with matrix products
// (BLAS-3). The values on and above the diagonal agree with the literal loop up to rounding.
struct Factorisation {
    double* a;
    long lda;
    long N;
    Progress* progress;
    double reported = 0.0;

    double* at(long i, long j) const { return a + i * lda + j; }

    // Factors columns [c0, c0 + w) of rows [c0, N), which hold every update from the steps
    // before c0. Returns -1, or the first column whose pivot is exactly zero; in that case every
    // column of the range holds exactly the steps before that pivot.
    long Factor(long c0, long w) {
        if (w <= kLeafWidth) return FactorLeaf(c0, w);
        const long w1 = w / 2;
        const long failed = Factor(c0, w1);
        if (failed >= 0) {
            ApplySteps(c0, failed, c0 + w1, w - w1);
            return failed;
        }
        ApplySteps(c0, c0 + w1, c0 + w1, w - w1);
        return Factor(c0 + w1, w - w1);
    }

    // Applies the finished steps [k0, k1) to columns [c, c + n): the rows of the steps by a unit
    // lower triangular solve, every row below them by one matrix product.
    void ApplySteps(long k0, long k1, long c, long n) {
        if (k1 <= k0 || n <= 0) return;
        SolveStepRows(k0, k1, c, n);
        if (k1 < N) SubtractProduct(N - k1, n, k1 - k0, at(k1, k0), at(k0, c), at(k1, c));
    }

    // C -= A B for blocks of the matrix (M x K times K x n), on BLAS's threads. A product too
    // large to finish in well under a second goes in bands of columns, so that a wish to stop is
    // heard between them.
    void SubtractProduct(long M, long n, long K, const double* A, const double* B, double* C) const {
        const double flopsPerColumn = 2.0 * static_cast<double>(M) * static_cast<double>(K);
        const long band = std::max(256L, static_cast<long>(kFlopsPerBand / flopsPerColumn) / 64 * 64);
        for (long c = 0; c < n; c += band) {
            ThrowIfStopRequested(progress);
            cblas_dgemm(CblasRowMajor, CblasNoTrans, CblasNoTrans, static_cast<int>(M),
                        static_cast<int>(std::min(band, n - c)), static_cast<int>(K), -1.0, A, static_cast<int>(lda),
                        B + c, static_cast<int>(lda), 1.0, C + c, static_cast<int>(lda));
        }
    }

    // The rows of steps [k0, k1) within columns [c, c + n), each reduced by the steps above it. A
    // wide triangle is halved, so that most of its work is a matrix product too.
    void SolveStepRows(long k0, long k1, long c, long n) {
        if (k1 - k0 <= kTriangleWidth) {
            cblas_dtrsm(CblasRowMajor, CblasLeft, CblasLower, CblasNoTrans, CblasUnit, static_cast<int>(k1 - k0),
                        static_cast<int>(n), 1.0, at(k0, k0), static_cast<int>(lda), at(k0, c),
                        static_cast<int>(lda));
            return;
        }
        const long km = k0 + (k1 - k0) / 2;
        SolveStepRows(k0, km, c, n);
        SubtractProduct(k1 - km, n, km - k0, at(km, k0), at(k0, c), at(km, c));
        SolveStepRows(km, k1, c, n);
    }

    // A narrow column block: the rows of its own pivots one after another, each reduced by the
    // pivots above it and its pivot tested for zero as soon as it is final; then every row below
    // at once, by a triangular solve with the block's pivot rows.
    long FactorLeaf(long c0, long w) {
        const long pivotEnd = std::min(c0 + w, N);
        long failed = -1;
        long limit = pivotEnd;
        for (long i = c0; i < pivotEnd; ++i) {
            ReduceRow(i, c0, std::min(i, limit), c0 + w);
            if (failed < 0 && *at(i, i) == 0.0) failed = limit = i;
        }
        if (pivotEnd < N) {
            if (failed < 0) {
                cblas_dtrsm(CblasRowMajor, CblasRight, CblasUpper, CblasNoTrans, CblasNonUnit,
                            static_cast<int>(N - pivotEnd), static_cast<int>(w), 1.0, at(c0, c0),
                            static_cast<int>(lda), at(pivotEnd, c0), static_cast<int>(lda));
            } else {
                for (long i = pivotEnd; i < N; ++i) ReduceRow(i, c0, limit, c0 + w);
            }
        }
        if (failed < 0) Report(pivotEnd);
        return failed;
    }

    // Applies steps [k0, k1) to row i within columns [k0, end), keeping the multipliers.
    void ReduceRow(long i, long k0, long k1, long end) const {
        double* row = at(i, 0);
        for (long k = k0; k < k1; ++k) {
            const double* pivotRow = at(k, 0);
            const double l = row[k] / pivotRow[k];
            row[k] = l;
            for (long j = k + 1; j < end; ++j) row[j] -= l * pivotRow[j];
        }
    }

    // The work done grows as the cube of the steps finished; a report at least every half percent.
    void Report(long stepsDone) {
        if (progress == nullptr) return;
        const double left = static_cast<double>(N - stepsDone) / static_cast<double>(N);
        const double fraction = 1.0 - left * left * left;
        if (fraction - reported >= 0.005 || stepsDone == N) {
            reported = fraction;
            progress->Report(kStageElimination, fraction);
        }
        ThrowIfStopRequested(progress);
    }

    static constexpr long kLeafWidth = 32;
    static constexpr long kTriangleWidth = 128;
    static constexpr double kFlopsPerBand = 2e10;
};

}  // namespace

namespace {

// Eliminates A(1..N, 1..N) with its right-hand sides in columns N + 1 .. N + R and back-substitutes
// each into solution(r, i) (r = 1..R, i = 1..N).
template <class Solution>
GaussResult Solve(long N, long R, Array2D<double>& A, Solution&& solution, Progress* progress) {
    assert(A.upper1() >= N && A.upper2() >= N + R);
    CheckBlasWorkspace();
    Factorisation lu{A.row(1) + 1, A.stride(), N, progress};
    const long failed = lu.Factor(0, N + R);

    // The eliminated entries below the diagonal are zeros, not the multipliers kept meanwhile;
    // on success they are cleared row by row with the back substitution, which reads the same rows.
    if (failed >= 0) {
        for (long i = 2; i <= N; ++i) std::fill_n(A.row(i) + 1, std::min(i - 1, failed), 0.0);
        return {true, failed + 1};
    }
    for (long r = 1; r <= R; ++r) solution(r, N) = A(N, N + r) / A(N, N);
    std::fill_n(A.row(N) + 1, N - 1, 0.0);
    for (long i = N - 1; i >= 1; --i) {
        double* row = A.row(i);
        for (long r = 1; r <= R; ++r) {
            double s = 0.0;
            for (long j = i + 1; j <= N; ++j) s = s + row[j] * solution(r, j);
            solution(r, i) = (row[N + r] - s) / row[i];
        }
        std::fill_n(row + 1, i - 1, 0.0);
    }
    return {};
}

}  // namespace

GaussResult GaussSolve(long N, Array2D<double>& A, Array1D<double>& X, Progress* progress) {
    assert(X.upper() >= N);
    return Solve(N, 1, A, [&X](long, long i) -> double& { return X(i); }, progress);
}

GaussResult GaussSolve(long N, long R, Array2D<double>& A, Array2D<double>& X, Progress* progress) {
    assert(X.upper1() >= R && X.upper2() >= N);
    return Solve(N, R, A, [&X](long r, long i) -> double& { return X(r, i); }, progress);
}

}  // namespace panelflow
