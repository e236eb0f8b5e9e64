#include "solver/GaussSolve.h"

namespace panelflow {

GaussResult GaussSolve(long N, Array2D<double>& A, Array1D<double>& X, Progress* progress) {
    const long rhs = N + 1;

    // Forward elimination, row by row below the pivot. The factor is read once per row before
    // the column loop, and the quotient by the pivot is formed before it is multiplied, so the
    // pivot column itself is reduced to a stored zero.
    for (long k = 1; k < N; ++k) {
        if (A(k, k) == 0.0) return {true, k};
        if (progress != nullptr && k % 64 == 0) progress->Report("elimination", static_cast<double>(k) / N);
        const double* pivotRow = A.row(k);
        const double pivot = pivotRow[k];
        for (long i = k + 1; i <= N; ++i) {
            double* row = A.row(i);
            const double f = row[k];
            for (long j = k; j <= rhs; ++j) row[j] = row[j] - f * (pivotRow[j] / pivot);
        }
    }
    // A zero last pivot would divide by zero in the first back-substitution step.
    if (A(N, N) == 0.0) return {true, N};

    X(N) = A(N, rhs) / A(N, N);
    for (long i = N - 1; i >= 1; --i) {
        const double* row = A.row(i);
        double s = 0.0;
        for (long j = i + 1; j <= N; ++j) s = s + row[j] * X(j);
        X(i) = (row[rhs] - s) / row[i];
    }
    if (progress != nullptr) progress->Report("elimination", 1.0);
    return {};
}

}  // namespace panelflow
