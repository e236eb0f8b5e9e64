// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dense linear solver: Gaussian elimination without pivoting, then back substitution.
//
// A is the augmented matrix [0..N] x [0..N+1], row-major and contiguous (row 0 and column 0
// unused): A(1..N, 1..N) X = A(1..N, N+1). The rows keep the caller's order; there is no row
// exchange and no scaling. On success A holds the reduced upper-triangular system with zeros
// stored below the diagonal and the reduced right-hand side in column N + 1, and X(1..N) the
// solution. A pivot that is exactly zero at step k (the last one, A(N, N), included) stops the
// solver: A then holds the result of steps 1..k-1 and X is untouched.

#include "base/Array.h"
#include "base/Progress.h"

namespace panelflow {

struct GaussResult {
    bool zeroPivot = false;
    long step = 0;  // the step k whose pivot was zero
};

// The elimination's work is nearly all matrix products, done by BLAS (dgemm, dtrsm) on its own
// threads. A progress that asks to stop ends it with Cancelled (A is then partly reduced). Throws
// std::bad_alloc, with A and X untouched, when the address space for BLAS's work buffers cannot
// be had (CheckBlasWorkspace).
GaussResult GaussSolve(long N, Array2D<double>& A, Array1D<double>& X, Progress* progress = nullptr);

// The same with R right-hand sides in columns N + 1 .. N + R of A ([0..N] x [0..N+R]), eliminated
// together: X is [0..R] x [0..N], solution r in X(r, 1..N). With R = 1 it computes exactly what
// the call above does.
GaussResult GaussSolve(long N, long R, Array2D<double>& A, Array2D<double>& X, Progress* progress = nullptr);

}  // namespace panelflow
