// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/DenseSolver.h"

#include <algorithm>

#include "model/PanelCounts.h"
#include "solver/Assembly.h"

namespace panelflow {
namespace {

// Right-hand sides -(Zta . V) of the onset flows in columns N + 1 .. N + R; the assembly has
// written the first one's already when it is uniform.
void FillRightHandSides(const PanelModel& model, const FlowProblem& problem, InfluenceMatrices& matrices) {
    const long N = matrices.N;
    for (std::size_t r = 0; r < problem.onsets.size(); ++r) {
        const OnsetFlow& onset = problem.onsets[r];
        if (r == 0 && onset.IsUniform()) continue;
        long m = 0;
        for (int i = 1; i <= model.NI; ++i)
            for (int j = 1; j <= model.NJ; ++j)
                matrices.vNorm(++m, N + 1 + static_cast<long>(r)) =
                    -(model.ZtaX(i, j) * onset.X(i, j) + model.ZtaY(i, j) * onset.Y(i, j) +
                      model.ZtaZ(i, j) * onset.Z(i, j));
    }
}

// The onset's tangential part at every control point plus every source's, summed in panel-number
// order; the normal part is zero by construction of the system.
OnsetSolution TangentialVelocities(const PanelModel& model, const OnsetFlow& onset, const InfluenceMatrices& matrices,
                                   const double* SigmaVec) {
    const int NI = model.NI, NJ = model.NJ;
    const long N = matrices.N;
    OnsetSolution solution{Array2D<double>(NI, NJ), Array2D<double>(NI, NJ), Array2D<double>(NI, NJ), {}};
    long m = 0;
    for (int i = 1; i <= NI; ++i)
        for (int j = 1; j <= NJ; ++j) solution.Sigma(i, j) = SigmaVec[++m];

    m = 0;
    for (int i = 1; i <= NI; ++i) {
        for (int j = 1; j <= NJ; ++j) {
            const double Vx = onset.X(i, j), Vy = onset.Y(i, j), Vz = onset.Z(i, j);
            double ut = model.XsiX(i, j) * Vx + model.XsiY(i, j) * Vy + model.XsiZ(i, j) * Vz;
            double vt = model.ItaX(i, j) * Vx + model.ItaY(i, j) * Vy + model.ItaZ(i, j) * Vz;
            ++m;
            const double* uTanRow = matrices.uTan.row(m);
            const double* vTanRow = matrices.vTan.row(m);
            for (long n = 1; n <= N; ++n) {
                ut = ut + SigmaVec[n] * uTanRow[n];
                vt = vt + SigmaVec[n] * vTanRow[n];
            }
            solution.ut(i, j) = ut;
            solution.vt(i, j) = vt;
        }
    }
    return solution;
}

// The sources' potential at every control point, summed in panel-number order.
Array2D<double> Potentials(const PanelModel& model, const InfluenceMatrices& matrices, const double* SigmaVec) {
    Array2D<double> potential(model.NI, model.NJ);
    long m = 0;
    for (int i = 1; i <= model.NI; ++i) {
        for (int j = 1; j <= model.NJ; ++j) {
            const double* row = matrices.potential.row(++m);
            double phi = 0.0;
            for (long n = 1; n <= matrices.N; ++n) phi = phi + SigmaVec[n] * row[n];
            potential(i, j) = phi;
        }
    }
    return potential;
}

}  // namespace

Status DenseSolve(const PanelModel& model, const FlowProblem& problem, SolverOutput& output, Progress* progress,
                  const CoefficientTableWriter& writeTables, const DenseSteps& steps) {
    const long N = static_cast<long>(model.PanelCount());
    const long R = static_cast<long>(problem.onsets.size());
    const OnsetFlow& first = problem.onsets.front();
    const FreeStream firstStream = first.IsUniform() ? first.uniform : FreeStream{};

    InfluenceMatrices matrices;
    if (R == 1 && !problem.potentials && steps.assemble != nullptr)
        steps.assemble(model, firstStream, matrices, progress);
    else
        AssembleInfluenceMatrices(model, firstStream, matrices, progress, R, problem.potentials);
    FillRightHandSides(model, problem, matrices);

    if (writeTables)
        if (const Status written = writeTables(matrices, progress); !written) return written;

    // No flow through the surface at every control point. After a zero pivot the strengths stay
    // zero and the flow is the onset's alone; the caller tells the user.
    Array2D<double> X(R, N);
    GaussResult eliminated;
    if (R == 1 && steps.solve != nullptr) {
        Array1D<double> SigmaVec(N);
        eliminated = steps.solve(N, matrices.vNorm, SigmaVec, progress);
        std::copy(SigmaVec.data(), SigmaVec.data() + N + 1, X.row(1));
    } else {
        eliminated = GaussSolve(N, R, matrices.vNorm, X, progress);
    }
    SolverOutput result;
    result.zeroPivot = eliminated.zeroPivot;
    result.pivotStep = eliminated.step;
    if (result.zeroPivot) X = Array2D<double>(R, N);
    for (long r = 1; r <= R; ++r) {
        result.solutions.push_back(TangentialVelocities(model, problem.onsets[r - 1], matrices, X.row(r)));
        if (problem.potentials) result.solutions.back().potential = Potentials(model, matrices, X.row(r));
    }
    output = std::move(result);
    return Status::Ok();
}

double DenseSolverBytes(double NI, double NJ, double onsets, bool potentials) {
    // The three matrices dominate; each onset flow after the first widens the first by a column,
    // and the potentials add a fourth matrix.
    const double N = NI * NJ;
    return InfluenceMatrixBytes(NI, NJ) + 8.0 * (N + 1.0) * (onsets - 1.0) + (potentials ? 8.0 * (N + 1.0) * (N + 1.0) : 0.0);
}

}  // namespace panelflow
