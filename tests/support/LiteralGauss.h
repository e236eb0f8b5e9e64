// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Gaussian elimination as the plain row loop, step by step, with the zero-pivot test before
// every division: the reference that the blocked solver is checked against.

#include "base/Array.h"
#include "solver/GaussSolve.h"

namespace panelflow::testing {

inline GaussResult LiteralGaussSolve(long N, Array2D<double>& A, Array1D<double>& X, Progress* = nullptr) {
    const long rhs = N + 1;
    for (long k = 1; k <= N; ++k) {
        for (long i = k + 1; i <= N; ++i) {
            const double f = A(i, k);
            for (long j = k; j <= rhs; ++j) {
                if (A(k, k) == 0.0) return {true, k};
                A(i, j) = A(i, j) - f * (A(k, j) / A(k, k));
            }
        }
    }
    if (A(N, N) == 0.0) return {true, N};
    X(N) = A(N, rhs) / A(N, N);
    for (long i = N - 1; i >= 1; --i) {
        double s = 0.0;
        for (long j = i + 1; j <= N; ++j) s = s + A(i, j) * X(j);
        X(i) = (A(i, rhs) - s) / A(i, i);
    }
    return {};
}

}  // namespace panelflow::testing
