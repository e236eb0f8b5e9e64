// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Restarted GMRES for a square system A x = b given only through products with A.
//
// Vectors are plain arrays of n doubles, indexed from 0 in whatever order the operator uses.
// Starting from the x it is given, the method stops once the residual computed with the
// operator, |b - A x|, is at most `tolerance` |b| (then `converged`), or after `maxIterations`
// products. Between two products it reports progress and hears a stop (Cancelled, with x
// part-way); the products themselves are the caller's and should check as well when they are
// long. Memory: (restart + 2) vectors of n doubles, taken before the first product
// (std::bad_alloc, x untouched, when they cannot be had).

#include <functional>

#include "base/Progress.h"

namespace panelflow {

struct GmresSettings {
    double tolerance = 1e-10;
    long maxIterations = 1000;
    int restart = 60;
};

struct GmresResult {
    bool converged = false;
    long iterations = 0;            // products with A, those of the residuals at restarts included
    double relativeResidual = 0.0;  // |b - A x| / |b| at the end (converged: computed with A;
                                    // otherwise the recurrence's estimate may stand in for it)
};

// y = A x for vectors of n entries.
using LinearOperator = std::function<void(const double* x, double* y)>;

GmresResult Gmres(const LinearOperator& A, long n, const double* b, double* x, const GmresSettings& settings,
                  Progress* progress = nullptr);

}  // namespace panelflow
