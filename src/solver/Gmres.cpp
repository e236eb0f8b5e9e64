// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/Gmres.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace panelflow {
namespace {

double Dot(const double* a, const double* b, long n) {
    double sum = 0.0;
    for (long k = 0; k < n; ++k) sum += a[k] * b[k];
    return sum;
}

// How far the residual has come from 1 towards the tolerance, on a logarithmic scale.
double Fraction(double relativeResidual, double tolerance) {
    if (relativeResidual <= tolerance) return 1.0;
    if (relativeResidual >= 1.0) return 0.0;
    return std::log(relativeResidual) / std::log(tolerance);
}

}  // namespace

GmresResult Gmres(const LinearOperator& A, long n, const double* b, double* x, const GmresSettings& settings,
                  Progress* progress) {
    const int m = std::max(1, settings.restart);
    // The Krylov basis V (m + 1 vectors), the residual, Hessenberg columns with their Givens
    // rotations, and the right-hand side of the small least-squares problem.
    std::vector<double> V(static_cast<std::size_t>(m + 1) * n), w(n);
    std::vector<double> H(static_cast<std::size_t>(m + 1) * m), c(m), s(m), g(m + 1), y(m);
    auto v = [&](int k) { return V.data() + static_cast<std::size_t>(k) * n; };
    auto h = [&](int row, int column) -> double& { return H[static_cast<std::size_t>(column) * (m + 1) + row]; };

    GmresResult result;
    const double bNorm = std::sqrt(Dot(b, b, n));
    if (bNorm == 0.0) {
        std::fill(x, x + n, 0.0);
        result.converged = true;
        return result;
    }
    double reported = 0.0;  // progress never goes back, even where a restart's residual does
    while (true) {
        // The true residual at every restart: r = b - A x.
        ThrowIfStopRequested(progress);
        A(x, w.data());
        ++result.iterations;
        for (long k = 0; k < n; ++k) v(0)[k] = b[k] - w[k];
        const double beta = std::sqrt(Dot(v(0), v(0), n));
        result.relativeResidual = beta / bNorm;
        result.converged = result.relativeResidual <= settings.tolerance;
        if (result.converged || result.iterations >= settings.maxIterations) break;
        for (long k = 0; k < n; ++k) v(0)[k] /= beta;
        std::fill(g.begin(), g.end(), 0.0);
        g[0] = beta;

        int steps = 0;
        for (int j = 0; j < m && result.iterations < settings.maxIterations; ++j) {
            ThrowIfStopRequested(progress);
            A(v(j), v(j + 1));
            ++result.iterations;
            // Modified Gram-Schmidt against the basis so far.
            for (int i = 0; i <= j; ++i) {
                h(i, j) = Dot(v(j + 1), v(i), n);
                for (long k = 0; k < n; ++k) v(j + 1)[k] -= h(i, j) * v(i)[k];
            }
            h(j + 1, j) = std::sqrt(Dot(v(j + 1), v(j + 1), n));
            if (h(j + 1, j) != 0.0)
                for (long k = 0; k < n; ++k) v(j + 1)[k] /= h(j + 1, j);
            // The earlier rotations on the new column, then one that zeroes its last entry.
            for (int i = 0; i < j; ++i) {
                const double upper = c[i] * h(i, j) + s[i] * h(i + 1, j);
                h(i + 1, j) = -s[i] * h(i, j) + c[i] * h(i + 1, j);
                h(i, j) = upper;
            }
            const double r = std::hypot(h(j, j), h(j + 1, j));
            if (r == 0.0) break;  // a singular operator: no new direction (the column is left out)
            c[j] = h(j, j) / r;
            s[j] = h(j + 1, j) / r;
            h(j, j) = r;
            h(j + 1, j) = 0.0;
            g[j + 1] = -s[j] * g[j];
            g[j] = c[j] * g[j];
            steps = j + 1;
            result.relativeResidual = std::fabs(g[j + 1]) / bNorm;
            if (progress != nullptr) {
                reported = std::max(reported, Fraction(result.relativeResidual, settings.tolerance));
                progress->Report(kStageIteration, reported);
            }
            if (result.relativeResidual <= settings.tolerance) break;
        }
        // x += V y with H y = g (upper triangular after the rotations).
        for (int i = steps - 1; i >= 0; --i) {
            double sum = g[i];
            for (int k = i + 1; k < steps; ++k) sum -= h(i, k) * y[k];
            y[i] = sum / h(i, i);
        }
        for (int i = 0; i < steps; ++i)
            for (long k = 0; k < n; ++k) x[k] += y[i] * v(i)[k];
        // Stagnation (a restart would find the same residual) or the last product spent: the
        // residual is the recurrence's. Otherwise the next cycle starts from the true residual,
        // which also confirms convergence.
        if (steps == 0 || result.iterations >= settings.maxIterations) break;
    }
    return result;
}

}  // namespace panelflow
